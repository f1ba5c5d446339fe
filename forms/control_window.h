#pragma once
// frmControl, the control window: hidden in normal use, it owns the tray icon and its menu,
// carries the volume-repeat timer and receives the hook's events. Started as "Omnitap.exe" it
// shows itself with a HOOK button instead of hooking at once (test mode).

#include "actions/key_handler.h"
#include "forms/config_windows.h"
#include "hook/hook_channel.h"
#include "ports/app_info.h"
#include "ports/keyboard_hook.h"
#include "ports/message_box.h"
#include "ports/ui.h"
#include "tray/start_with_windows.h"
#include "tray/tray_icon.h"

#include <cstdint>
#include <memory>
#include <string>

namespace omnitap {

// What the control window works with besides the windows it opens.
struct ControlParts {
    ui::UiFactory& ui;
    ports::MessageBoxes& messages;
    ports::AppInfo& appInfo;
    ports::KeyboardHook& hook;
    HookChannel& channel;
    TrayIconFs& tray;
    StartWithWindows& startWithWindows;
};

class frmControl final : public ControlSurface {
  public:
    frmControl(ControlParts parts, ConfigWindows& config, KeyboardHandler& keys,
               std::string versionText);

    void Form_Load();
    void Form_Unload();
    void Command1_Click() {}
    void Command2_Click();
    void Command4_Click();
    void mnuItems_Click(int index);
    void mnuSuper_Click();
    void mnuTurnKeysOn_Click();
    void mnuPauseKeys_Click();
    void mnuStartWithWindows_Click() { startWithWindows_.toggle(); }
    void Timer1_Timer();

    // Opens the tray menu: at the mouse position, or, when the keyboard asked for it, at the
    // icon (where the shell can tell it).
    void PopupMenu_mnuPop(bool byKeyboard = false);

    bool testMode() const;
    ui::WindowId id() const { return window_ ? window_->id() : 0; }
    ui::Window& window() { return *window_; }
    ui::Timer& Timer1() { return *Timer1_; }

    // ControlSurface
    ports::WindowId ownerWindow() const override { return id(); }
    void setCaption(const std::string& caption) override;
    void setRepeatTimer(bool enabled) override;
    void monitorsOff() override;
    void showNotice(const Notice& notice) override { tray_.showBalloon(notice.title, notice.text); }

  private:
    void keyEventsWaiting();
    bool onPrivateMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
    // Installs the hook; while the system refuses, the keys are off and the tray says so.
    ports::Result installHook();
    // One box naming the system's reason, when the hook was refused.
    void reportRefusal(const ports::Result& hooked);
    void showKeysState();
    // Hook and tray icon removed, the process ended.
    void endProgram();

    ui::UiFactory& ui_;
    ports::MessageBoxes& messages_;
    ports::AppInfo& appInfo_;
    ports::KeyboardHook& hook_;
    HookChannel& channel_;
    TrayIconFs& tray_;
    StartWithWindows& startWithWindows_;
    ConfigWindows& config_;
    KeyboardHandler& keys_;
    std::string versionText_; // "Omnitap, version 1.1.0": the About box and the menu's first entry
    std::unique_ptr<ui::Window> window_;
    std::unique_ptr<ui::Timer> Timer1_;
    std::string mnuSuperCaption_ = "Omnitap";
    bool hookedByButton_ = false;
    bool hookMissing_ = false; // the system refused the last installation
    bool captionShown_ = false; // the window shows in its test mode alone
};

} // namespace omnitap
