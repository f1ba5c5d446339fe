#pragma once
// UTF-8, the program's text inside: the one decoder and encoder.

#include <cstddef>
#include <string>
#include <string_view>

namespace omnitap {

inline constexpr char32_t kReplacementCharacter = U'\uFFFD';

// Decodes the code point that starts at `i` and moves `i` past it. A malformed sequence (a
// stray continuation byte, an overlong form, a surrogate, beyond U+10FFFF, cut short) gives
// U+FFFD and moves past its first byte only.
char32_t nextCodePoint(std::string_view text, std::size_t& i);

void appendUtf8(std::string& out, char32_t codePoint);

// The UTF-16 units a code point takes: two beyond the basic plane.
inline std::size_t utf16Units(char32_t codePoint) {
    return codePoint >= 0x10000 ? 2 : 1;
}

// The text as UTF-16 code units, low byte first.
std::string utf16leBytes(std::string_view text);

// UTF-16 text (low or high byte first, no byte-order mark) as UTF-8; a trailing odd byte
// is dropped.
std::string utf16leToUtf8(std::string_view bytes);
std::string utf16beToUtf8(std::string_view bytes);

} // namespace omnitap
