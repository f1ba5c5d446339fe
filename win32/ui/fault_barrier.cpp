#include "win32/ui/fault_barrier.h"

#include "win32/wide.h"

#include <atomic>
#include <string>

namespace omnitap::win32 {
namespace {

// Once per run: a fault in an event that comes back (a paint, a timer) must not bury the user
// in boxes, and the box itself runs a message loop in which the fault may come again.
std::atomic<bool> reported{false};

} // namespace

void reportFault(HWND window, const char* what) noexcept {
    if (reported.exchange(true)) return;
    try {
        std::wstring where = L"a timer";
        if (window && IsWindow(window)) {
            wchar_t caption[256] = L"";
            GetWindowTextW(window, caption, 256);
            where = L"the window \"" + std::wstring(caption) + L"\"";
        }
        std::wstring text = L"Omnitap met an internal error in " + where +
                            L" and skipped the event that caused it:\r\n\r\n" + widen(what) +
                            L"\r\n\r\nOmnitap keeps running. Further errors are not shown.";
        MessageBoxW(nullptr, text.c_str(), L"Omnitap", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
    } catch (...) {
        // Out of memory while reporting: the event is dropped all the same.
    }
}

} // namespace omnitap::win32
