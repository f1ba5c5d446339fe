#pragma once
// The shell's notification area: the icon record and the calls that add and delete it.

#include "ports/window_id.h"

#include <array>
#include <cstdint>
#include <optional>

namespace omnitap::ports {

// An icon as the portable code knows it: the system's handle as a number, 0 = none.
using IconId = std::uintptr_t;

// Shell_NotifyIcon's commands, with the system's values.
enum class TrayCommand : std::uint32_t {
    Add = 0,
    Modify = 1,
    Delete = 2,
    SetFocus = 3, // the keyboard's focus back to the notification area
    SetVersion = 4
};

// The shell's icon record (NOTIFYICONDATAW) as the program fills it. Fields keep the
// system's names.
struct TrayIconRecord {
    WindowId hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    IconId hIcon = 0;
    // Text fields as bytes, UTF-16LE: the tip, 128 units; a balloon's text and title
    // (NIF_INFO), 256 and 64 units.
    std::array<std::uint8_t, 256> szTip{};
    std::array<std::uint8_t, 512> szInfo{};
    std::array<std::uint8_t, 128> szInfoTitle{};
    std::uint32_t uVersion = 0; // with NIF_INFO, uTimeout, which shares its place
    std::uint32_t dwInfoFlags = 0;

    bool operator==(const TrayIconRecord&) const = default;
};

class TrayShell {
  public:
    virtual ~TrayShell() = default;
    // Shell_NotifyIconW; true on success.
    virtual bool notifyIcon(TrayCommand command, const TrayIconRecord& record) = 0;
    // The registered "TaskbarCreated" message: Explorer broadcasts it when it (re)starts,
    // and every icon it showed before is gone.
    virtual unsigned taskbarCreatedMessage() = 0;
    // The application icon at the size of the notification area, owned by the shell
    // object; 0 when it cannot be loaded.
    virtual IconId applicationIcon() = 0;
    // The same, greyed: the keys do nothing for now.
    virtual IconId greyedIcon() = 0;
    // Where the shell shows the record's icon; nothing when it cannot tell.
    virtual std::optional<ScreenRect> iconRect(const TrayIconRecord& record) = 0;
};

} // namespace omnitap::ports
