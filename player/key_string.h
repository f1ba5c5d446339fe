#pragma once
// The key-string notation in which text is handed to the typing facility.
//
// + ^ % ~ ( ) { } are special; every other character stands for itself. A single character
// in braces stands for itself too, so "{+}" types "+", "{{}" types "{" and "{}}" types "}".
//
// The notation also knows modifier prefixes (+ Shift, ^ Ctrl, % Alt), groups in ( ), ~ for
// Enter and named keys such as {ENTER} or {TAB 3}. The program never produces those (it
// escapes every special character before typing), so they are not supported: a text that
// holds a bare special character, a named key or an unclosed brace is rejected whole rather
// than typed in part.

#include <optional>
#include <string>
#include <string_view>

namespace omnitap {

// The characters (UTF-8) that `keys` types, or nothing when it uses notation we do not
// support. Bytes that are not valid UTF-8 stand for themselves outside braces.
std::optional<std::string> parseKeyString(std::string_view keys);

} // namespace omnitap
