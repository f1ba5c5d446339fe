#include "tests/fakes/fake_system.h"

#include "text/utf8.h"

namespace omnitap::fakes {

std::string FakeCodec::ansiToUtf8(std::string_view ansi) {
    std::string out;
    for (unsigned char c : ansi)
        appendUtf8(out, c);
    return out;
}

std::string FakeCodec::utf8ToAnsi(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c = nextCodePoint(utf8, i);
        out += c < 0x100 ? static_cast<char>(c) : '?';
    }
    return out;
}

} // namespace omnitap::fakes
