#include "win32/ui/message_loop.h"

#include "win32/ui/window.h"

namespace omnitap::win32 {

bool translateDialogMessage(MSG& msg) {
    if (!msg.hwnd) return false; // thread messages
    HWND top = GetAncestor(msg.hwnd, GA_ROOT);
    if (!Win32Window::isOurs(top)) return false;
    return IsDialogMessageW(top, &msg) != FALSE;
}

int runMessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (translateDialogMessage(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

} // namespace omnitap::win32
