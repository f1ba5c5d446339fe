#include "win32/tray_shell.h"

#include "win32/system_library.h"

#include "resources/resource_ids.h"

#include <windows.h>

#include <shellapi.h>

#include <cstddef>
#include <cstring>

namespace omnitap::win32 {

namespace {

using ports::TrayCommand;

static_assert(static_cast<DWORD>(TrayCommand::Add) == NIM_ADD &&
              static_cast<DWORD>(TrayCommand::Modify) == NIM_MODIFY &&
              static_cast<DWORD>(TrayCommand::Delete) == NIM_DELETE &&
              static_cast<DWORD>(TrayCommand::SetFocus) == NIM_SETFOCUS &&
              static_cast<DWORD>(TrayCommand::SetVersion) == NIM_SETVERSION);

// The portable byte counts are those of 32-bit Windows; a 32-bit build must agree.
static_assert(sizeof(void*) != 4 ||
              (offsetof(NOTIFYICONDATAA, szTip) + 64 == ports::kNarrowFirstLayoutSize &&
               offsetof(NOTIFYICONDATAA, guidItem) == ports::kNarrowExtendedLayoutSize &&
               offsetof(NOTIFYICONDATAW, szTip) + 128 == ports::kWideFirstLayoutSize &&
               offsetof(NOTIFYICONDATAW, guidItem) == ports::kWideExtendedLayoutSize));

// The same layout at this build's sizes (pointers and handles are wider on 64-bit).
DWORD systemSize(std::uint32_t portableSize) {
    switch (portableSize) {
    case ports::kNarrowFirstLayoutSize:
        return NOTIFYICONDATAA_V1_SIZE;
    case ports::kNarrowExtendedLayoutSize:
        return NOTIFYICONDATAA_V2_SIZE;
    case ports::kWideFirstLayoutSize:
        return NOTIFYICONDATAW_V1_SIZE;
    case ports::kWideExtendedLayoutSize:
        return NOTIFYICONDATAW_V2_SIZE;
    }
    return 0;
}

template <typename Data> Data toSystemRecord(const ports::TrayIconRecord& r) {
    Data d{};
    d.cbSize = systemSize(r.cbSize);
    d.hWnd = reinterpret_cast<HWND>(r.hWnd);
    d.uID = r.uID;
    d.uFlags = r.uFlags;
    d.uCallbackMessage = r.uCallbackMessage;
    d.hIcon = reinterpret_cast<HICON>(r.hIcon);
    static_assert(sizeof d.szTip <= sizeof r.szTip);
    std::memcpy(d.szTip, r.szTip.data(), sizeof d.szTip); // UTF-16LE bytes or ANSI characters
    static_assert(sizeof d.szInfo <= sizeof r.szInfo &&
                  sizeof d.szInfoTitle <= sizeof r.szInfoTitle);
    std::memcpy(d.szInfo, r.szInfo.data(), sizeof d.szInfo);
    std::memcpy(d.szInfoTitle, r.szInfoTitle.data(), sizeof d.szInfoTitle);
    d.uVersion = r.uVersion;
    d.dwInfoFlags = r.dwInfoFlags;
    return d;
}

template <typename Function> Function systemFunction(const wchar_t* module, const char* name) {
    return functionIn<Function>(GetModuleHandleW(module), name);
}

} // namespace

std::uint32_t Win32TrayShell::versionWord() {
    // GetVersion and GetVersionEx report the version in the program's manifest (or 6.2
    // without one) rather than the system's; RtlGetVersion always tells the truth. The word
    // is packed the way GetVersion packs it.
    using RtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
    if (auto rtlGetVersion = systemFunction<RtlGetVersion>(L"ntdll.dll", "RtlGetVersion")) {
        OSVERSIONINFOW info{};
        info.dwOSVersionInfoSize = sizeof info;
        if (rtlGetVersion(&info) == 0) {
            const bool windows95Line = info.dwPlatformId != VER_PLATFORM_WIN32_NT;
            return (info.dwMajorVersion & 0xFF) | (info.dwMinorVersion & 0xFF) << 8 |
                   (info.dwBuildNumber & 0x7FFF) << 16 | (windows95Line ? 0x80000000u : 0u);
        }
    }
    // No RtlGetVersion: a system old enough for GetVersion to be right.
    using GetVersion = DWORD(WINAPI*)();
    auto getVersion = systemFunction<GetVersion>(L"kernel32.dll", "GetVersion");
    return getVersion ? getVersion() : 0;
}

bool Win32TrayShell::notifyIcon(TrayCommand command, const ports::TrayIconRecord& record) {
    const DWORD message = static_cast<DWORD>(command);
    if (command == TrayCommand::Add) {
        // An elevated program would not hear a non-elevated Explorer announce its restart.
        ChangeWindowMessageFilterEx(reinterpret_cast<HWND>(record.hWnd), taskbarCreatedMessage(),
                                    MSGFLT_ALLOW, nullptr);
    }
    if (record.wide) {
        NOTIFYICONDATAW data = toSystemRecord<NOTIFYICONDATAW>(record);
        return Shell_NotifyIconW(message, &data) != FALSE;
    }
    NOTIFYICONDATAA data = toSystemRecord<NOTIFYICONDATAA>(record);
    return Shell_NotifyIconA(message, &data) != FALSE;
}

unsigned Win32TrayShell::taskbarCreatedMessage() {
    return RegisterWindowMessageW(L"TaskbarCreated");
}

std::optional<ports::ScreenRect> Win32TrayShell::iconRect(const ports::TrayIconRecord& record) {
    // Windows 7 and later; looked up, so that older systems still start the program.
    using GetRect = HRESULT(WINAPI*)(const NOTIFYICONIDENTIFIER*, RECT*);
    auto getRect = systemFunction<GetRect>(L"shell32.dll", "Shell_NotifyIconGetRect");
    NOTIFYICONIDENTIFIER icon{sizeof icon, reinterpret_cast<HWND>(record.hWnd), record.uID, {}};
    RECT r{};
    if (!getRect || FAILED(getRect(&icon, &r))) return std::nullopt;
    return ports::ScreenRect{r.left, r.top, r.right, r.bottom};
}

ports::IconId Win32TrayShell::applicationIcon() {
    return icon(icon_, IDI_OMNITAP);
}

ports::IconId Win32TrayShell::greyedIcon() {
    return icon(greyed_, IDI_OMNITAP_GREYED);
}

ports::IconId Win32TrayShell::icon(IconHandle& icon, int resource) {
    if (!icon) {
        HINSTANCE module = resources_ ? resources_ : GetModuleHandleW(nullptr);
        icon.reset(static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(resource), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXSMICON),
                                                 GetSystemMetrics(SM_CYSMICON), 0)));
    }
    return reinterpret_cast<ports::IconId>(icon.get());
}

} // namespace omnitap::win32
