#include "player/key_string.h"

namespace omnitap {

namespace {

constexpr std::string_view kSpecials = "+^%~(){}";

bool isSpecial(char c) {
    return kSpecials.find(c) != std::string_view::npos;
}

// Length of the UTF-8 character that starts at `at`, or 0 when the bytes there are not one.
std::size_t characterLength(std::string_view text, std::size_t at) {
    auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = lead < 0x80           ? 1
                         : (lead >> 5) == 0x6  ? 2
                         : (lead >> 4) == 0xE  ? 3
                         : (lead >> 3) == 0x1E ? 4
                                               : 0;
    if (length == 0 || at + length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 0;
    return length;
}

} // namespace

std::optional<std::string> parseKeyString(std::string_view keys) {
    std::string typed;
    typed.reserve(keys.size());
    for (std::size_t at = 0; at < keys.size();) {
        char c = keys[at];
        if (c != '{') {
            if (isSpecial(c)) return std::nullopt; // modifiers, groups, Enter, stray "}"
            typed += c;
            ++at;
            continue;
        }
        // "{x}": exactly one character, which may itself be a brace ("{{}", "{}}").
        std::size_t length = at + 1 < keys.size() ? characterLength(keys, at + 1) : 0;
        std::size_t close = at + 1 + length;
        if (length == 0 || close >= keys.size() || keys[close] != '}') return std::nullopt;
        typed.append(keys.substr(at + 1, length));
        at = close + 1;
    }
    return typed;
}

} // namespace omnitap
