#pragma once
// frmControl, the control window: hidden in normal use, it owns the tray icon and its menu,
// carries the volume-repeat timer and receives the hook's events. Started as "Omnitap.exe" it
// shows itself with a HOOK button instead of hooking at once (test mode).

#include "actions/key_handler.h"
#include "ports/app_info.h"
#include "ports/keyboard_hook.h"
#include "ports/message_box.h"
#include "ports/ui.h"
#include "tray/tray_icon.h"
#include "windows/config_windows.h"

#include <cstdint>
#include <memory>
#include <string>

namespace omnitap {

// What the About box and the tray menu's first entry say.
struct AboutText {
    std::string versionText; // "Omnitap, version 1.1.0"
    std::string webSite;
};

class frmControl final : public ControlSurface {
  public:
    frmControl(ui::UiFactory& ui, ports::MessageBoxes& messages, ports::AppInfo& appInfo,
               ports::KeyboardHook& hook, TrayIconFs& tray, ConfigWindows& config,
               KeyboardHandler& keys, AboutText about);

    void Form_Load();
    void Form_Unload();
    void Command1_Click() {}
    void Command2_Click();
    void Command4_Click();
    void mnuItems_Click(int index);
    void mnuSuper_Click();
    void Timer1_Timer();

    // Opens the tray menu at the mouse position (a right-button release on the icon).
    void PopupMenu_mnuPop();

    bool testMode() const;
    ui::WindowId id() const { return window_ ? window_->id() : 0; }
    ui::Window& window() { return *window_; }
    ui::Timer& Timer1() { return *Timer1_; }

    // ControlSurface
    ports::WindowId ownerWindow() const override { return id(); }
    void setCaption(const std::string& caption) override;
    void setRepeatTimer(bool enabled) override;
    void monitorsOff() override;

  private:
    void keyEventsWaiting();
    bool onPrivateMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

    ui::UiFactory& ui_;
    ports::MessageBoxes& messages_;
    ports::AppInfo& appInfo_;
    ports::KeyboardHook& hook_;
    TrayIconFs& tray_;
    ConfigWindows& config_;
    KeyboardHandler& keys_;
    AboutText about_;
    std::unique_ptr<ui::Window> window_;
    std::unique_ptr<ui::Timer> Timer1_;
    std::string mnuSuperCaption_ = "Omnitap";
    bool hookedByButton_ = false;
};

} // namespace omnitap
