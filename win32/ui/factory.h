#pragma once
// The control layer on Win32: windows from layout tables, timers, the popup menu. Create it
// once on the UI thread, before any window, and keep it for the whole run; run the thread's
// message loop with runMessageLoop() (or call translateDialogMessage() in your own loop) so
// that Tab, Enter and Esc work in the windows.

#include "ports/ui.h"

#include <windows.h>

#include <memory>

namespace omnitap::win32 {

class TimerWindow;

class Win32UiFactory final : public ui::UiFactory {
  public:
    // The module whose resources hold the application icon; null means the program's own.
    explicit Win32UiFactory(HINSTANCE instance = nullptr);
    ~Win32UiFactory() override;

    std::unique_ptr<ui::Window>
    createWindow(const ui::WindowDesign& window,
                 const std::vector<ui::ControlDesign>& controls) override;
    std::unique_ptr<ui::Timer> createTimer() override;
    int showPopupMenu(ui::WindowId owner, const std::vector<ui::MenuItem>& items,
                      std::optional<ports::ScreenPoint> at) override;

  private:
    HINSTANCE instance_;
    // Shared with the timers, which may outlive the factory during shutdown.
    std::shared_ptr<TimerWindow> timers_;
};

} // namespace omnitap::win32
