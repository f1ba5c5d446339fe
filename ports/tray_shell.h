#pragma once
// The shell's notification area: the icon record, the calls that add and delete it, and
// the system version the choice of record depends on.

#include "ports/shell.h" // WindowId

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

// Byte counts of the record's layouts on 32-bit Windows: the first layout (up to a
// 64-character tip) and the extended one (128-character tip, balloon fields, uVersion).
constexpr std::int32_t kNarrowFirstLayoutSize = 88;
constexpr std::int32_t kNarrowExtendedLayoutSize = 488;
constexpr std::int32_t kWideFirstLayoutSize = 152;
constexpr std::int32_t kWideExtendedLayoutSize = 936;

// The shell's icon record (NOTIFYICONDATA) as the program fills it. Fields keep the
// system's names. `cbSize` is the byte count of the chosen layout on 32-bit Windows
// (88 or 488 narrow, 152 or 936 wide); the edge turns it into the size of the same
// layout for the architecture it was built for.
struct TrayIconRecord {
    bool wide = false; // NOTIFYICONDATAW and Shell_NotifyIconW, else the A forms
    std::uint32_t cbSize = 0;
    WindowId hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    IconId hIcon = 0;
    // szTip as bytes: 128 ANSI characters (narrow) or 128 UTF-16LE units (wide).
    std::array<std::uint8_t, 256> szTip{};
    // A balloon's text and title (NIF_INFO), UTF-16LE: 256 and 64 units. Wide records only.
    std::array<std::uint8_t, 512> szInfo{};
    std::array<std::uint8_t, 128> szInfoTitle{};
    std::uint32_t uVersion = 0; // with NIF_INFO, uTimeout, which shares its place
    std::uint32_t dwInfoFlags = 0;

    bool operator==(const TrayIconRecord&) const = default;
};

class TrayShell {
  public:
    virtual ~TrayShell() = default;
    // The system version packed as GetVersion packs it: major in the lowest byte, minor in
    // the next, bit 31 set on the Windows 95 line.
    virtual std::uint32_t versionWord() = 0;
    // Shell_NotifyIconW or Shell_NotifyIconA, as the record says; true on success.
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
