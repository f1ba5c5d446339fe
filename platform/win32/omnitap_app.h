#pragma once
// The whole program put together: the real seams, the modules and the windows, wired to each
// other. Everything here lives on the UI thread except the keyboard hook's thread.

#include "config_ui/config_windows.h"
#include "keyboard/hook_channel.h"
#include "keyboard/key_handler.h"
#include "keyboard/keyboard_state.h"
#include "mixer/mixer.h"
#include "platform/win32/clipboard.h"
#include "platform/win32/files.h"
#include "platform/win32/keyboard_hook.h"
#include "platform/win32/shell.h"
#include "platform/win32/system_seams.h"
#include "platform/win32/tray_shell.h"
#include "platform/win32/typing.h"
#include "platform/win32/ui_factory.h"
#include "platform/win32/window_messaging.h"
#include "player/winamp.h"
#include "tray/frm_control.h"
#include "tray/tray_icon_fs.h"

namespace omnitap::win32 {

class OmnitapApp {
  public:
    OmnitapApp();
    // Start-up; the caller then runs the message loop until the control window ends it.
    void Main();

  private:
    KeyHandlerLinks keyHandlerLinks();
    ControlWindowLinks controlWindowLinks();
    void monitorsOff();

    // Seams
    Win32Files files_;
    Win32TextCodec codec_;
    Win32MessageBoxes messages_;
    Win32AppInfo appInfo_;
    Win32Shell shell_;
    Win32WindowMessaging messaging_;
    Win32Clipboard clipboard_;
    Win32Typing typing_;
    Win32TrayShell trayShell_;
    Win32UiFactory ui_;

    // Shared state and modules
    KeyboardState state_;
    HookChannel channel_;
    KeyboardHook hook_{channel_};
    Mixer mixer_;
    Winamp winamp_;
    KeyboardHandler handler_;
    ConfigContext configContext_;
    ConfigWindows config_{configContext_};
    frmControl control_;
    TrayIconFs tray_;
};

} // namespace omnitap::win32
