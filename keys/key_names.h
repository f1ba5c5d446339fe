#pragma once
// The names keys go by, for the key a key acts as and the braces of a key string: "Esc",
// "Caps Lock", "Left Ctrl", "Num 4", "F24", "Volume Up", each with the virtual-key code, scan
// code and extended flag the keyboard sends it with (set 1 scan codes, which every layout
// shares for these keys).

#include "ports/typing.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace omnitap {

// The key a name stands for, in any case, with or without its blanks ("pageup", "PGUP"):
//   a name of the table, with the other names it goes by ("Esc" or "Escape", "Ctrl" for the
//   left one, "RCtrl", "Del", "BS", "PrtSc" ...);
//   a letter or a digit, the key that bears it ("a", "7");
//   "Key 65 - 30", as the Key Finder names a key it has no name for: the virtual-key code,
//   and the scan code after a dash, if any.
// Nothing when it names no key.
std::optional<ports::KeyStroke> parseKeyName(std::string_view name);

// The first name of the table for a key (by its virtual-key code), its letter or digit, or
// "Key 65 - 30": a name that parseKeyName reads back as the same key.
std::string keyNameOf(std::uint32_t vkCode, std::uint32_t scanCode);

} // namespace omnitap
