#pragma once
// UTF-8 inside the program, UTF-16 at the system's wide interfaces.

#include <string>
#include <string_view>

namespace omnitap::win32 {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);
// The system's message for an error code, without the trailing line break.
std::string errorText(unsigned long code);

} // namespace omnitap::win32
