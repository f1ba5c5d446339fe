#include "app/program.h"

#include "app/version.h"

#include <cstdint>

namespace omnitap {

std::string welcomeText(const Welcome& welcome) {
    const std::string greeting =
        welcome.unreadFile.empty()
            ? std::string("I can see this is your first time running Omnitap.")
            : "Omnitap could not read any key from\r\n" + welcome.unreadFile +
                  "\r\nThat file stays as it is until you add a key; then it is kept as\r\n" +
                  welcome.keptAs;
    std::string text = "Welcome to Omnitap!\r\n\r\n" + greeting +
                       "\r\nOnce you click OK, you will see the Edit Configuration window. You'll "
                       "need to add some of your keyboard keys to the list in order to use "
                       "Omnitap. \r\nClick \"Add or Delete Keys\" and then \"Add New Key\". Follow "
                       "the directions. After you've done this, you'll be able to assign "
                       "functions to your new keys!\r\n\r\n";
    if (!welcome.folderError.empty())
        text += "Omnitap cannot write in its folder\r\n" + welcome.folder + "\r\n" +
                welcome.folderError +
                "\r\nThe keys you add will work only until Omnitap ends. Quit it, move its "
                "folder into one of your own (in your Documents, say) and start it from "
                "there.\r\n\r\n";
    // No address to report problems to: the project names no page a user could reach.
    return text + "Enjoy Omnitap!";
}

std::string runningCopyName(const ports::FolderIdentity& folder, const std::string& iniPath) {
    static constexpr char kDigits[] = "0123456789abcdef";
    auto hex = [](std::uint64_t value, int digits) {
        std::string text;
        for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
            text += kDigits[(value >> shift) & 0xF];
        return text;
    };
    if (folder.known) return "Omnitap-" + hex(folder.volume, 8) + "-" + hex(folder.index, 16);
    // A folder that cannot be opened: FNV-1a over the path with ASCII letters folded, as
    // Windows paths ignore case; a name of fixed length fits the system's limit.
    std::uint64_t hash = 14695981039346656037ULL;
    for (char c : iniPath) {
        hash ^= static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        hash *= 1099511628211ULL;
    }
    return "Omnitap-" + hex(hash, 16);
}

Program::Program(Seams seams, HookChannel& channel, ports::VolumeBackends volume)
    : seams_(seams), channel_(channel), files_(seams.fileSystem),
      keyFile_(KeyFileIo{files_, seams.codec, seams.messages}), mixer_(std::move(volume)),
      shownVolume_(mixer_, seams.indicator, seams.ui.createTimer()), tray_(seams.trayShell),
      startWithWindows_(seams.startup, seams.appInfo, seams.messages),
      config_(
          ConfigContext{state_, keyFile_, seams.ui, seams.messages, channel, seams.sessionEnd, {}}),
      control_(ControlParts{seams.ui, seams.messages, seams.appInfo, seams.hook, channel, tray_,
                            startWithWindows_},
               config_, handler_, versionText()),
      winamp_(seams.messaging, seams.clipboard, seams.typing, seams.shell, seams.codec, control_),
      handler_(state_, channel, winamp_, shownVolume_, seams.shell, seams.fileSystem, seams.typing,
               config_, control_) {}

std::optional<int> Program::Main() {
    // Never in its own folder: nothing there is found by a relative name.
    const ports::ProgramFolders folders = seams_.shell.programFolders();
    seams_.fileSystem.setCurrentFolder(folders.profile.empty() ? folders.system : folders.profile);
    state_.exeFolder = seams_.appInfo.exeFolder();
    state_.iniPath = iniPathFor(state_.exeFolder);
    const ports::FolderIdentity folder = seams_.copies.identify(state_.exeFolder);
    if (!seams_.copies.claim(runningCopyName(folder, state_.iniPath))) {
        seams_.copies.askFirstCopy();
        return 0;
    }
    state_.keyTable.clear();
    LoadResult loaded = keyFile_.load(state_.iniPath, state_.keyTable);
    if (!loaded.ok) {
        // Never a first run: the first key added would be saved over the user's keys.
        seams_.messages.show(0,
                             "Omnitap cannot read your keys from\r\n" + state_.iniPath +
                                 "\r\n\r\n" + loaded.error +
                                 "\r\n\r\nNothing was changed. Omnitap ends now; start it again "
                                 "once the file can be read.",
                             "Omnitap", ports::mb::kOk | ports::mb::kIconError);
        return 1;
    }
    // Before the hook can deliver its first event.
    channel_.publish(state_.keyTable);
    mixer_.openMixer();
    control_.Form_Load();
    seams_.copies.listen(control_.id());
    if (state_.keyTable.empty()) startWithoutKeys(loaded.found);
    return std::nullopt;
}

void Program::startWithoutKeys(KeysFound found) {
    // A count of 0, as "Remove All Keys" leaves the file, is welcomed like a first run.
    Welcome welcome;
    if (found == KeysFound::Unreadable) welcome = {state_.iniPath, keyFile_.backupName()};
    // Said now rather than when the first key cannot be saved.
    ports::FileResult probe = keyFile_.probeFolder();
    if (!probe.ok) {
        welcome.folder = seams_.appInfo.exeFolder();
        welcome.folderError = probe.error;
    }
    seams_.messages.show(0, welcomeText(welcome), "Omnitap",
                         ports::mb::kOk | ports::mb::kIconInformation);
    config_.showEditConfiguration();
}

} // namespace omnitap
