#include "win32/clipboard.h"

#include "base/retry.h"
#include "win32/sleep.h"
#include "win32/unique_handle.h"
#include "win32/wide.h"

#include <windows.h>

#include <cstring>

namespace omnitap::win32 {

namespace {

void freeGlobal(HGLOBAL h) {
    GlobalFree(h);
}
using UniqueGlobal = Unique<HGLOBAL, &freeGlobal>;

struct ClipboardCloser {
    ~ClipboardCloser() { CloseClipboard(); }
};

} // namespace

bool Win32Clipboard::setText(ports::WindowId owner, const std::string& text) {
    // Unicode only: the system derives the ANSI and OEM forms for readers that ask for them.
    std::wstring wide = widen(text);
    std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory) return false;
    void* target = GlobalLock(memory.get());
    if (!target) return false;
    std::memcpy(target, wide.c_str(), bytes);
    GlobalUnlock(memory.get());

    // Another program may have the clipboard open for a moment.
    if (!retryFor(kClipboardPatience, sleepFor,
                  [owner] { return OpenClipboard(reinterpret_cast<HWND>(owner)) != FALSE; }))
        return false;
    ClipboardCloser closer;
    if (!EmptyClipboard()) return false;
    if (!SetClipboardData(CF_UNICODETEXT, memory.get())) return false;
    memory.release(); // the clipboard owns it now
    return true;
}

} // namespace omnitap::win32
