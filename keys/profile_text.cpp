#include "keys/profile_text.h"

#include "text/trim.h"
#include "text/utf8.h"

namespace omnitap {
namespace {

std::string_view trim(std::string_view s) {
    return trimmed(s, isProfileSpace);
}

// The C string functions behind the profile code stop at the first NUL.
std::string_view cutAtNul(std::string_view s) {
    auto nul = s.find('\0');
    return nul == std::string_view::npos ? s : s.substr(0, nul);
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
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = trim(text.substr(pos, end - pos));
        pos = text.find_first_not_of("\r\n", end);
        if (pos == std::string_view::npos) pos = text.size();
        if (line.empty()) continue;
        if (done) {
            ++unreachable_;
            continue;
        }

        if (line.front() == '[') {
            auto close = line.rfind(']');
            if (close != std::string_view::npos && close > 0) {
                std::string name = foldProfileName(trim(cutAtNul(line.substr(1, close - 1))));
                if (inWanted) {
                    done = true; // only the first section of the name is searched
                    ++unreachable_;
                } else if (name == wanted) {
                    inWanted = true;
                    found_ = true;
                } else {
                    ++unreachable_;
                }
                continue;
            }
        }
        if (!inWanted) {
            ++unreachable_;
            continue;
        }

        auto eq = line.find('=');
        std::string_view name = eq == std::string_view::npos ? line : trim(line.substr(0, eq));
        std::string_view value =
            eq == std::string_view::npos ? std::string_view{} : trim(line.substr(eq + 1));
        if (!values_.try_emplace(foldProfileName(cutAtNul(name)), cutAtNul(value)).second)
            ++unreachable_;
    }
}

bool ProfileSection::has(std::string_view key) const {
    return values_.count(foldProfileName(trim(key))) > 0;
}

std::string ProfileSection::read(std::string_view key) const {
    auto it = values_.find(foldProfileName(trim(key)));
    if (it == values_.end()) return {};
    std::string_view value = it->second;
    bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                  value.back() == value.front();
    // Whole, however long: what the writer wrote comes back, where the system's functions
    // would cut it to the caller's buffer.
    if (quoted) value = value.substr(1, value.size() - 2);
    return std::string(value);
}

} // namespace omnitap
