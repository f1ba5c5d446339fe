#pragma once
// The notification area through Shell_NotifyIcon.

#include "ports/tray_shell.h"
#include "win32/ui/dpi.h" // IconHandle

namespace omnitap::win32 {

class Win32TrayShell final : public ports::TrayShell {
  public:
    // The application icon is loaded from `resources`, the executable when null.
    explicit Win32TrayShell(HINSTANCE__* resources = nullptr) : resources_(resources) {}

    bool notifyIcon(ports::TrayCommand command, const ports::TrayIconRecord& record) override;
    unsigned taskbarCreatedMessage() override;
    ports::IconId applicationIcon() override;
    ports::IconId greyedIcon() override;
    std::optional<ports::ScreenRect> iconRect(const ports::TrayIconRecord& record) override;

  private:
    ports::IconId icon(IconHandle& icon, int resource);

    HINSTANCE__* resources_;
    IconHandle icon_, greyed_;
};

} // namespace omnitap::win32
