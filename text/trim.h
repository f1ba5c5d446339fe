#pragma once
// Trimming: the one helper, with the blanks as a parameter.

#include <string_view>

namespace omnitap {

// `text` without the characters at its start and end for which `isBlank` is true.
template <typename IsBlank> std::string_view trimmed(std::string_view text, IsBlank&& isBlank) {
    std::size_t begin = 0;
    while (begin < text.size() && isBlank(text[begin]))
        ++begin;
    std::size_t end = text.size();
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

// Spaces (code 32) only: tabs and other white space stay. Names, launch targets and the
// player's caption are trimmed so.
inline std::string_view trimSpaces(std::string_view text) {
    return trimmed(text, [](char c) { return c == ' '; });
}

} // namespace omnitap
