#include "win32/wide.h"

#include <windows.h>

namespace omnitap::win32 {

std::wstring widen(std::string_view text, unsigned codePage) {
    if (text.empty()) return {};
    int n =
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string narrow(std::wstring_view utf16, unsigned codePage, unsigned long flags) {
    if (utf16.empty()) return {};
    int n = WideCharToMultiByte(codePage, flags, utf16.data(), static_cast<int>(utf16.size()),
                                nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(codePage, flags, utf16.data(), static_cast<int>(utf16.size()), out.data(),
                        n, nullptr, nullptr);
    return out;
}

std::wstring widen(std::string_view utf8) {
    return widen(utf8, CP_UTF8);
}

std::string narrow(std::wstring_view utf16) {
    return narrow(utf16, CP_UTF8);
}

std::string errorText(unsigned long code) {
    wchar_t* buffer = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = n ? std::wstring(buffer, n) : std::wstring();
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    if (text.empty()) text = L"Error " + std::to_wstring(code) + L".";
    return narrow(text);
}

} // namespace omnitap::win32
