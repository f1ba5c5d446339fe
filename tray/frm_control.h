#pragma once
// The control window: hidden in normal use, it owns the tray icon and its menu, carries the
// volume-repeat timer and receives the hook's events. Started as "Omnitap.exe" it shows
// itself with a HOOK button instead of hooking at once (test mode).

#include "platform/app_info.h"
#include "platform/message_box.h"
#include "platform/ui.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace omnitap {

struct ControlWindowLinks {
    std::function<void()> hookKeyboard;
    std::function<void()> unhookKeyboard;
    std::function<void(ui::WindowId window)> addTrayIcon;
    std::function<void()> removeTrayIcon;
    std::function<void(int code)> handleTrayMessage; // the mouse message over the icon
    std::function<void()> reAddTrayIcon;             // the taskbar was created anew
    std::uint32_t trayCallbackMessage = 0;
    std::uint32_t taskbarCreatedMessage = 0;
    std::function<void()> keyEventsWaiting; // the hook queued events for the UI thread
    std::function<void()> showEditConfiguration;
    std::function<void()> stepVolume; // each tick of the volume-repeat timer
    std::function<void()> endProgram; // ends the process at once
};

// The private message by which the hook thread wakes the UI thread.
inline constexpr std::uint32_t kKeyEventsMessage = 0x8000 + 2; // WM_APP + 2

class frmControl {
  public:
    frmControl(ui::UiFactory& ui, platform::MessageBoxes& messages, platform::AppInfo& appInfo,
               ControlWindowLinks links);

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
    void setCaption(const std::string& caption) {
        if (window_) window_->setCaption(caption);
    }

  private:
    bool onPrivateMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

    ui::UiFactory& ui_;
    platform::MessageBoxes& messages_;
    platform::AppInfo& appInfo_;
    ControlWindowLinks links_;
    std::unique_ptr<ui::Window> window_;
    std::unique_ptr<ui::Timer> Timer1_;
    std::string mnuSuperCaption_ = "Omnitap";
    bool hookedByButton_ = false;
};

} // namespace omnitap
