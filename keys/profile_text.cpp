#include "keys/profile_text.h"

#include "text/trim.h"
#include "text/utf8.h"

#include <cstdint>

namespace omnitap {
namespace {

constexpr std::size_t kValueUnits = 1023; // a 1024-character buffer less its terminator

// Start of the code point that ends just before `end`.
std::size_t previousStart(std::string_view s, std::size_t end) {
    std::size_t i = end - 1;
    int back = 0;
    while (i > 0 && back < 3 && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) {
        --i;
        ++back;
    }
    std::size_t next = i;
    nextCodePoint(s, next);
    return next == end ? i : end - 1;
}

std::string_view trim(std::string_view s) {
    return trimmed(s, isProfileSpace);
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
        std::size_t start = i;
        std::size_t u = utf16Units(nextCodePoint(s, i));
        if (cut == s.size() && count + u > units) cut = start;
        count += u;
    }
    total = count;
    return s.substr(0, cut);
}

} // namespace

std::string wellFormedUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();)
        appendUtf8(out, nextCodePoint(bytes, i));
    return out;
}

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

} // namespace omnitap
