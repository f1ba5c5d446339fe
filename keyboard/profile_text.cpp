#include "keyboard/profile_text.h"

#include <cstdint>

namespace omnitap {
namespace {

constexpr std::size_t kValueUnits = 1023; // a 1024-character buffer less its terminator

// Decodes the code point that starts at `i`; sets `len` to its byte count. An invalid byte
// counts as one replacement character.
char32_t decodeAt(std::string_view s, std::size_t i, std::size_t& len) {
    auto b = static_cast<unsigned char>(s[i]);
    int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    if ((b & 0xC0) == 0x80 || i + static_cast<std::size_t>(extra) >= s.size()) {
        len = 1;
        return b < 0x80 ? b : 0xFFFD;
    }
    char32_t cp = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
    for (int k = 1; k <= extra; ++k) {
        auto c = static_cast<unsigned char>(s[i + k]);
        if ((c & 0xC0) != 0x80) {
            len = 1;
            return 0xFFFD;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    len = static_cast<std::size_t>(extra) + 1;
    return cp;
}

// Start of the code point that ends just before `end`.
std::size_t previousStart(std::string_view s, std::size_t end) {
    std::size_t i = end - 1;
    int back = 0;
    while (i > 0 && back < 3 && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) {
        --i;
        ++back;
    }
    std::size_t len = 0;
    decodeAt(s, i, len);
    return i + len == end ? i : end - 1;
}

std::string_view trim(std::string_view s) {
    std::size_t begin = 0;
    while (begin < s.size() && isProfileSpace(s[begin]))
        ++begin;
    std::size_t end = s.size();
    while (end > begin && isProfileSpace(s[end - 1]))
        --end;
    return s.substr(begin, end - begin);
}

// The C string functions behind the profile code stop at the first NUL.
std::string_view cutAtNul(std::string_view s) {
    auto nul = s.find('\0');
    return nul == std::string_view::npos ? s : s.substr(0, nul);
}

// The first `units` UTF-16 units of `s`, and the number of units `s` has.
std::string_view firstUnits(std::string_view s, std::size_t units, std::size_t& total) {
    std::size_t count = 0;
    std::size_t cut = s.size();
    for (std::size_t i = 0; i < s.size();) {
        std::size_t len = 0;
        char32_t cp = decodeAt(s, i, len);
        std::size_t u = cp >= 0x10000 ? 2 : 1;
        if (cut == s.size() && count + u > units) cut = i;
        count += u;
        i += len;
    }
    total = count;
    return s.substr(0, cut);
}

} // namespace

bool isProfileSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1A';
}

std::string foldProfileName(std::string_view name) {
    std::string out(name);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

ProfileSection::ProfileSection(std::string_view original, std::string_view section)
    : text_(original) {
    std::string_view text = text_;
    values_.reserve(text.size() / 24);
    const std::string wanted = foldProfileName(trim(section));
    bool inWanted = false;
    bool done = false;
    std::size_t pos = 0;
    while (pos < text.size() && !done) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = trim(text.substr(pos, end - pos));
        pos = text.find_first_not_of("\r\n", end);
        if (pos == std::string_view::npos) pos = text.size();
        if (line.empty()) continue;

        if (line.front() == '[') {
            auto close = line.rfind(']');
            if (close != std::string_view::npos && close > 0) {
                std::string name = foldProfileName(trim(cutAtNul(line.substr(1, close - 1))));
                if (inWanted) {
                    done = true; // only the first section of the name is searched
                } else if (name == wanted) {
                    inWanted = true;
                    found_ = true;
                }
                continue;
            }
        }
        if (!inWanted) continue;

        auto eq = line.find('=');
        std::string_view name = eq == std::string_view::npos ? line : trim(line.substr(0, eq));
        std::string_view value =
            eq == std::string_view::npos ? std::string_view{} : trim(line.substr(eq + 1));
        values_.try_emplace(foldProfileName(cutAtNul(name)), cutAtNul(value));
    }
}

std::string ProfileSection::read(std::string_view key) const {
    auto it = values_.find(foldProfileName(trim(key)));
    if (it == values_.end()) return {};
    std::string_view value = it->second;
    bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                  value.back() == value.front();
    if (quoted) value.remove_prefix(1);
    std::size_t total = 0;
    std::string_view kept = firstUnits(value, kValueUnits, total);
    // The closing quote is dropped only when the whole rest fitted in the buffer, and then
    // the last character copied goes, whatever it is.
    if (quoted && total <= kValueUnits + 1 && !kept.empty())
        kept = kept.substr(0, previousStart(kept, kept.size()));
    return std::string(kept);
}

namespace {
void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size());
    auto unit = [&](std::size_t i) -> char16_t {
        auto a = static_cast<unsigned char>(bytes[i]);
        auto b = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t cp = unit(i);
        if (cp >= 0xD800 && cp < 0xDC00 && i + 3 < bytes.size()) {
            char16_t low = unit(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        appendUtf8(out, cp);
    }
    return out;
}
} // namespace

std::string utf16leToUtf8(std::string_view bytes) {
    return utf16ToUtf8(bytes, false);
}
std::string utf16beToUtf8(std::string_view bytes) {
    return utf16ToUtf8(bytes, true);
}

} // namespace omnitap
