#include "win32/shell.h"

#include "win32/wide.h"

#include <windows.h>

#include <shellapi.h>

namespace omnitap::win32 {

namespace {

// ShellExecute's own codes, where GetLastError has nothing to say, as the system's.
DWORD systemError(INT_PTR shellCode) {
    switch (shellCode) {
    case SE_ERR_NOASSOC:
    case SE_ERR_ASSOCINCOMPLETE:
        return ERROR_NO_ASSOCIATION;
    case SE_ERR_DLLNOTFOUND:
        return ERROR_DLL_NOT_FOUND;
    case SE_ERR_SHARE:
        return ERROR_SHARING_VIOLATION;
    default: // 2, 3, 5, 8 and 11 are the system's codes already
        return shellCode > 0 ? static_cast<DWORD>(shellCode) : ERROR_NOT_ENOUGH_MEMORY;
    }
}

} // namespace

ports::Result Win32Shell::execute(ports::WindowId owner, const std::string& verb,
                                  const std::string& file, const std::string& parameters,
                                  const std::string& directory, int showCommand) {
    std::wstring v = widen(verb), f = widen(file), p = widen(parameters), d = widen(directory);
    SHELLEXECUTEINFOW info{sizeof info};
    // No box from the shell: the program tells the user without taking the focus.
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = reinterpret_cast<HWND>(owner);
    info.lpVerb = v.c_str();
    info.lpFile = f.c_str();
    // An empty directory means the default one; the shell wants a null pointer for that.
    info.lpParameters = p.empty() ? nullptr : p.c_str();
    info.lpDirectory = d.empty() ? nullptr : d.c_str();
    info.nShow = showCommand;
    const BOOL started = ShellExecuteExW(&info);
    const DWORD lastError = GetLastError();
    const auto shellCode = reinterpret_cast<INT_PTR>(info.hInstApp);
    if (started && shellCode > 32) return {};
    const DWORD code = !started && lastError ? lastError : systemError(shellCode);
    return {false, errorText(code), static_cast<std::uint32_t>(code)};
}

std::string Win32Shell::systemProgram(const std::string& name) {
    wchar_t folder[MAX_PATH] = L"";
    UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return name;
    return narrow(folder) + "\\" + name;
}

} // namespace omnitap::win32
