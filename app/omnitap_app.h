#pragma once
// The program on Windows: the real seams, the hook on its own thread, and the program built
// over them. Everything here lives on the UI thread except the keyboard hook's thread.

#include "app/program.h"
#include "hook/hook_channel.h"
#include "win32/clipboard.h"
#include "win32/files.h"
#include "win32/indicator_window.h"
#include "win32/keyboard_hook.h"
#include "win32/running_copies.h"
#include "win32/session_end.h"
#include "win32/shell.h"
#include "win32/startup_list.h"
#include "win32/system_seams.h"
#include "win32/tray_shell.h"
#include "win32/typing.h"
#include "win32/ui/factory.h"
#include "win32/window_messaging.h"

namespace omnitap::win32 {

class OmnitapApp {
  public:
    OmnitapApp();
    std::optional<int> Main() { return program_.Main(); }

  private:
    Win32FileSystem fileSystem_;
    Win32TextCodec codec_;
    Win32MessageBoxes messages_;
    Win32AppInfo appInfo_;
    Win32Shell shell_;
    Win32WindowMessaging messaging_;
    Win32Clipboard clipboard_;
    Win32Typing typing_;
    Win32TrayShell trayShell_;
    Win32UiFactory ui_;
    Win32RunningCopies copies_;
    Win32StartupList startup_;
    Win32IndicatorWindow indicator_;
    Win32SessionEnd sessionEnd_;
    HookThreadOutput hookOutput_;
    HookChannel channel_{hookOutput_};
    KeyboardHook hook_{channel_, hookOutput_};
    Program program_;
};

} // namespace omnitap::win32
