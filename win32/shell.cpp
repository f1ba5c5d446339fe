#include "win32/shell.h"

#include "win32/wide.h"

#include <windows.h>

#include <shellapi.h>

namespace omnitap::win32 {

void Win32Shell::execute(ports::WindowId owner, const std::string& verb, const std::string& file,
                         const std::string& parameters, const std::string& directory,
                         int showCommand) {
    std::wstring v = widen(verb), f = widen(file), p = widen(parameters), d = widen(directory);
    // An empty directory means the default one; the shell wants a null pointer for that.
    ShellExecuteW(reinterpret_cast<HWND>(owner), v.c_str(), f.c_str(),
                  p.empty() ? nullptr : p.c_str(), d.empty() ? nullptr : d.c_str(), showCommand);
}

std::string Win32Shell::systemProgram(const std::string& name) {
    wchar_t folder[MAX_PATH] = L"";
    UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return name;
    return narrow(folder) + "\\" + name;
}

} // namespace omnitap::win32
