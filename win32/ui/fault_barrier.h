#pragma once
// Window and timer procedures never let an exception escape: unwinding through the system's
// DispatchMessage is undefined. An exception (a control looked up under the wrong kind, a
// window that could not be made) ends the handling of the event it came from; the program
// keeps running, and the first such fault of the run is shown to the user, naming what failed.

#include <windows.h>

#include <exception>

namespace omnitap::win32 {

// Shows the fault in a message box, the first time only. `window` is where it happened (its
// caption names it), or null for a timer.
void reportFault(HWND window, const char* what) noexcept;

// Runs `handle`, which returns a procedure's result; an exception gives 0 instead.
template <class Handle> LRESULT withinBarrier(HWND window, Handle&& handle) noexcept {
    try {
        return handle();
    } catch (const std::exception& e) {
        reportFault(window, e.what());
    } catch (...) {
        reportFault(window, "an exception of unknown type");
    }
    return 0;
}

} // namespace omnitap::win32
