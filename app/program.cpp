#include "app/program.h"

#include "app/version.h"
#include "keys/keys_ini.h"

namespace omnitap {

std::string welcomeText() {
    const char* lines[] = {
        "Welcome to Omnitap!",
        "",
        "I can see this is your first time running Omnitap.",
        "Once you click OK, you will see the Edit Configuration window. You'll need to add some "
        "of your keyboard keys to the list in order to use Omnitap. ",
        "Click \"Add or Delete Keys\" and then \"Add New Key\". Follow the directions. After "
        "you've done this, you'll be able to assign functions to your new keys!",
        "",
    };
    std::string text;
    for (const char* line : lines) {
        text += line;
        text += "\r\n";
    }
    text += "Enjoy Omnitap! Please report any problems to ";
    text += kWebSite;
    text += ".";
    return text;
}

Program::Program(Seams seams, HookChannel& channel, ports::VolumeBackends volume)
    : seams_(seams), channel_(channel), files_(seams.fileSystem), mixer_(std::move(volume)),
      tray_(seams.trayShell),
      config_(ConfigContext{state_, KeyFileIo{files_, seams.codec, seams.messages}, seams.ui,
                            seams.messages, channel}),
      control_(seams.ui, seams.messages, seams.appInfo, seams.hook, tray_, config_, handler_,
               AboutText{versionText(), kWebSite}),
      winamp_(seams.messaging, seams.clipboard, seams.typing, seams.shell, seams.codec, control_),
      handler_(state_, channel, winamp_, mixer_, seams.shell, seams.typing, config_, control_) {}

void Program::Main() {
    KeyFileIo io{files_, seams_.codec, seams_.messages};
    state_.iniPath = iniPathFor(seams_.appInfo.exeFolder());
    state_.keyTable.clear();
    loadKeys(io, state_.iniPath, state_.keyTable);
    // Before the hook can deliver its first event.
    channel_.publish(state_.keyTable);
    mixer_.openMixer();
    control_.Form_Load();
    if (state_.keyTable.empty()) {
        seams_.messages.show(welcomeText(), "Omnitap",
                             ports::mb::kOk | ports::mb::kIconInformation);
        config_.showEditConfiguration();
    }
}

} // namespace omnitap
