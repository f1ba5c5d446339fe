#pragma once
// The whole program put together over its seams: the Win32 entry point builds it with the
// real ones, the tests with fakes. Every object gets its collaborators in its constructor.

#include "actions/key_handler.h"
#include "actions/program_state.h"
#include "forms/config_windows.h"
#include "forms/control_window.h"
#include "hook/hook_channel.h"
#include "keys/atomic_files.h"
#include "keys/key_file.h"
#include "player/winamp.h"
#include "ports/app_info.h"
#include "ports/clipboard.h"
#include "ports/file_system.h"
#include "ports/indicator_window.h"
#include "ports/keyboard_hook.h"
#include "ports/message_box.h"
#include "ports/running_copies.h"
#include "ports/session_end.h"
#include "ports/shell.h"
#include "ports/startup_list.h"
#include "ports/text_codec.h"
#include "ports/tray_shell.h"
#include "ports/typing.h"
#include "ports/ui.h"
#include "ports/volume_backend.h"
#include "ports/window_messaging.h"
#include "tray/start_with_windows.h"
#include "tray/tray_icon.h"
#include "volume/mixer.h"
#include "volume/volume_indicator.h"

#include <optional>
#include <string>

namespace omnitap {

struct Seams {
    ports::FileSystem& fileSystem;
    ports::TextCodec& codec;
    ports::MessageBoxes& messages;
    ports::AppInfo& appInfo;
    ports::Shell& shell;
    ports::WindowMessaging& messaging;
    ports::Clipboard& clipboard;
    ports::Typing& typing;
    ports::TrayShell& trayShell;
    ui::UiFactory& ui;
    ports::KeyboardHook& hook;
    ports::RunningCopies& copies;
    ports::StartupList& startup;
    ports::IndicatorWindow& indicator;
    ports::SessionEnd& sessionEnd;
};

// What a start tells the user when no key could be read.
struct Welcome {
    std::string unreadFile, keptAs;  // a keys.ini that yielded no key, and its name once kept
    std::string folder, folderError; // a folder that cannot be written, and the system's reason
};
// The welcome text of a first run, and of a start that found no key it could read.
std::string welcomeText(const Welcome& welcome = {});
// The name that the one running copy per keys.ini claims: derived from the identity of its
// folder, however the path is spelled ("Omnitap-", the volume and the folder's number in
// hexadecimal); from the path, whatever its letter case, when the folder has none.
std::string runningCopyName(const ports::FolderIdentity& folder, const std::string& iniPath);

class Program {
  public:
    Program(Seams seams, HookChannel& channel, ports::VolumeBackends volume);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Start-up: sets the ini path, loads the keys, opens the mixer, loads the control window
    // (which installs the hook and the tray icon) and, when no key is learned, welcomes the
    // user and opens the Edit Configuration window. The caller then runs the message loop,
    // unless the program is to end at once: then the result is its exit code (another copy
    // runs for the same keys.ini; keys.ini exists and cannot be read).
    std::optional<int> Main();

    ProgramState& state() { return state_; }
    frmControl& controlWindow() { return control_; }
    ConfigWindows& configWindows() { return config_; }

  private:
    // A start without keys is welcomed (saying so when keys.ini yielded no key), then opens
    // Edit Configuration.
    void startWithoutKeys(KeysFound found);

    Seams seams_;
    HookChannel& channel_;
    AtomicFiles files_;
    KeyFile keyFile_;
    ProgramState state_;
    Mixer mixer_;
    ShownVolume shownVolume_; // what the volume keys change
    TrayIconFs tray_;
    StartWithWindows startWithWindows_;
    ConfigWindows config_;
    // Given the key handler, which is built after it: the window calls it only once the
    // message loop runs.
    frmControl control_;
    Winamp winamp_;
    KeyboardHandler handler_;
};

} // namespace omnitap
