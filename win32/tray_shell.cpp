#include "win32/tray_shell.h"

#include "resources/resource_ids.h"

#include <windows.h>

#include <shellapi.h>

#include <cstring>

namespace omnitap::win32 {

namespace {

using ports::TrayCommand;

static_assert(static_cast<DWORD>(TrayCommand::Add) == NIM_ADD &&
              static_cast<DWORD>(TrayCommand::Modify) == NIM_MODIFY &&
              static_cast<DWORD>(TrayCommand::Delete) == NIM_DELETE &&
              static_cast<DWORD>(TrayCommand::SetFocus) == NIM_SETFOCUS &&
              static_cast<DWORD>(TrayCommand::SetVersion) == NIM_SETVERSION);

NOTIFYICONDATAW toSystemRecord(const ports::TrayIconRecord& r) {
    NOTIFYICONDATAW d{};
    // The layout with balloons and uVersion; the fields after it stay unused.
    d.cbSize = NOTIFYICONDATAW_V2_SIZE;
    d.hWnd = reinterpret_cast<HWND>(r.hWnd);
    d.uID = r.uID;
    d.uFlags = r.uFlags;
    d.uCallbackMessage = r.uCallbackMessage;
    d.hIcon = reinterpret_cast<HICON>(r.hIcon);
    static_assert(sizeof d.szTip == sizeof r.szTip && sizeof d.szInfo == sizeof r.szInfo &&
                  sizeof d.szInfoTitle == sizeof r.szInfoTitle);
    std::memcpy(d.szTip, r.szTip.data(), sizeof d.szTip);
    std::memcpy(d.szInfo, r.szInfo.data(), sizeof d.szInfo);
    std::memcpy(d.szInfoTitle, r.szInfoTitle.data(), sizeof d.szInfoTitle);
    d.uVersion = r.uVersion;
    d.dwInfoFlags = r.dwInfoFlags;
    return d;
}

} // namespace

bool Win32TrayShell::notifyIcon(TrayCommand command, const ports::TrayIconRecord& record) {
    const DWORD message = static_cast<DWORD>(command);
    if (command == TrayCommand::Add) {
        // An elevated program would not hear a non-elevated Explorer announce its restart.
        ChangeWindowMessageFilterEx(reinterpret_cast<HWND>(record.hWnd), taskbarCreatedMessage(),
                                    MSGFLT_ALLOW, nullptr);
    }
    NOTIFYICONDATAW data = toSystemRecord(record);
    return Shell_NotifyIconW(message, &data) != FALSE;
}

unsigned Win32TrayShell::taskbarCreatedMessage() {
    return RegisterWindowMessageW(L"TaskbarCreated");
}

std::optional<ports::ScreenRect> Win32TrayShell::iconRect(const ports::TrayIconRecord& record) {
    NOTIFYICONIDENTIFIER icon{sizeof icon, reinterpret_cast<HWND>(record.hWnd), record.uID, {}};
    RECT r{};
    if (FAILED(Shell_NotifyIconGetRect(&icon, &r))) return std::nullopt;
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
