#include "win32/shell.h"

#include "win32/wide.h"

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

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

using FolderFunction = UINT(WINAPI*)(LPWSTR, UINT);
std::string systemFolder(FolderFunction get) {
    wchar_t folder[MAX_PATH] = L"";
    const UINT length = get(folder, MAX_PATH);
    return length && length < MAX_PATH ? narrow(folder) : std::string();
}
std::string variable(const wchar_t* name) {
    std::wstring value(GetEnvironmentVariableW(name, nullptr, 0), L'\0');
    if (value.empty()) return {};
    value.resize(GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size())));
    return narrow(value);
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
    const std::string folder = systemFolder(GetWindowsDirectoryW);
    return folder.empty() ? name : folder + "\\" + name;
}

std::string Win32Shell::registeredProgram(const std::string& name) {
    const std::wstring key =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + widen(name);
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        wchar_t value[2048];
        DWORD bytes = sizeof value;
        // REG_SZ, or REG_EXPAND_SZ expanded.
        if (RegGetValueW(root, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &bytes) ==
            ERROR_SUCCESS)
            return narrow(value);
    }
    return {};
}

ports::ProgramFolders Win32Shell::programFolders() {
    wchar_t profile[MAX_PATH] = L"";
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, profile)))
        profile[0] = L'\0';
    return {systemFolder(GetSystemDirectoryW), systemFolder(GetWindowsDirectoryW),
            variable(L"PATH"), variable(L"PATHEXT"), narrow(profile)};
}

} // namespace omnitap::win32
