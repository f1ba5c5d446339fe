#pragma once
// Text in double quotes, so that whoever reads it takes it whole, blanks and all: a program's
// path on a command line, a track's title, a value in keys.ini.

#include <string>
#include <string_view>

namespace omnitap {

inline std::string quoted(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    out += text;
    out += '"';
    return out;
}

} // namespace omnitap
