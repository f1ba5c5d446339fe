#include "win32/session_end.h"

#include "win32/wide.h"

#include <windows.h>

namespace omnitap::win32 {

// The system shows the reason in its list of the programs that hold up the end of the session.
void Win32SessionEnd::holdUp(ports::WindowId window, const std::string& reason) {
    ShutdownBlockReasonCreate(reinterpret_cast<HWND>(window), widen(reason).c_str());
}

void Win32SessionEnd::allow(ports::WindowId window) {
    ShutdownBlockReasonDestroy(reinterpret_cast<HWND>(window));
}

} // namespace omnitap::win32
