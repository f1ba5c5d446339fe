#include "win32/system_seams.h"

#include "win32/wide.h"

#include <windows.h>

namespace omnitap::win32 {

std::string Win32TextCodec::ansiToUtf8(std::string_view ansi) {
    return narrow(widen(ansi, CP_ACP));
}

std::string Win32TextCodec::utf8ToAnsi(std::string_view utf8) {
    // No best-fit mapping: a character the code page lacks becomes "?", never a look-alike.
    return narrow(widen(utf8), CP_ACP, WC_NO_BEST_FIT_CHARS);
}

int Win32MessageBoxes::show(ports::WindowId owner, const std::string& text,
                            const std::string& title, unsigned style) {
    return MessageBoxW(reinterpret_cast<HWND>(owner), widen(text).c_str(), widen(title).c_str(),
                       style | MB_SETFOREGROUND);
}

namespace {
std::wstring modulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}
} // namespace

std::string Win32AppInfo::exeFolder() {
    std::wstring path = modulePath();
    auto slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return {};
    // The root keeps its backslash ("C:\"), as the folder of a program there is written.
    return narrow(path.substr(0, slash == 2 && path[1] == L':' ? slash + 1 : slash));
}

std::string Win32AppInfo::exeBaseName() {
    std::wstring path = modulePath();
    auto slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    auto dot = name.find_last_of(L'.');
    return narrow(dot == std::wstring::npos ? name : name.substr(0, dot));
}

std::string Win32AppInfo::exePath() {
    return narrow(modulePath());
}

void Win32AppInfo::endProgram() {
    ExitProcess(0);
}

} // namespace omnitap::win32
