#pragma once
// UTF-8 inside the program, UTF-16 at the system's wide interfaces.

#include <string>
#include <string_view>

namespace omnitap::win32 {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);
// The same between UTF-16 and another code page (CP_ACP, say), with WideCharToMultiByte's
// `flags` on the way back.
std::wstring widen(std::string_view text, unsigned codePage);
std::string narrow(std::wstring_view utf16, unsigned codePage, unsigned long flags = 0);
// The system's message for an error code, without the trailing line break.
std::string errorText(unsigned long code);

} // namespace omnitap::win32
