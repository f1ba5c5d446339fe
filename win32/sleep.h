#pragma once
// The calling thread waits: before what another program holds for a moment is tried again
// (base/retry.h says how often and how long).

#include <windows.h>

#include <chrono>

namespace omnitap::win32 {

inline void sleepFor(std::chrono::milliseconds time) {
    Sleep(static_cast<DWORD>(time.count()));
}

} // namespace omnitap::win32
