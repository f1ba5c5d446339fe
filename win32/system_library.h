#pragma once
// Functions looked up at run time rather than imported: those newer than the oldest Windows
// the program runs on (importing them would stop it from starting there), and those of DLLs
// that are not among the system's known DLLs. Such a DLL is loaded from the system folder
// only, never from the exe's folder, where anything may sit beside a downloaded program.

#include <windows.h>

namespace omnitap::win32 {

// A DLL from the system folder; null when it is missing.
inline HMODULE systemLibrary(const wchar_t* name) {
    return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// `name` in `module` as a function of type Function; null when either is missing.
template <typename Function> Function functionIn(HMODULE module, const char* name) {
    FARPROC found = module ? GetProcAddress(module, name) : nullptr;
    // Through void(*)(): the one function type that any other may be cast from without warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

} // namespace omnitap::win32
