#pragma once
// An INI text read the way the Windows profile functions (GetPrivateProfileString) read it:
// lines end at CR or LF; blanks around lines, section names, key names and values are dropped;
// section and key names compare without regard to case; only the first section of a name is
// searched and the first key of a name in it wins; one pair of enclosing quotes (either kind) is
// removed. A value comes back whole, as the functions give it with a buffer large enough for it.
// The text is parsed once, so a file with tens of thousands of keys costs one pass and one hash
// look-up per value.

#include "text/utf8.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace omnitap {

class ProfileSection {
  public:
    // Parses `text` (UTF-8) and keeps the keys of the first section called `section`.
    ProfileSection(std::string_view text, std::string_view section);

    bool found() const { return found_; }
    // The value as GetPrivateProfileString gives it with a buffer that holds it; empty when
    // the key is missing.
    std::string read(std::string_view key) const;
    // Whether the section has a key of that name.
    bool has(std::string_view key) const;
    // How many keys the section has, each name counted once.
    std::size_t keyCount() const { return values_.size(); }
    // The lines that no lookup in the section reaches: text before it, other sections, and a
    // key name's repeats.
    std::size_t unreachableLines() const { return unreachable_; }

  private:
    std::string text_; // the values point into this copy
    bool found_ = false;
    std::size_t unreachable_ = 0;
    std::unordered_map<std::string, std::string_view> values_; // folded name -> raw value
};

// Turns the bytes of a file into UTF-8: a UTF-8 or UTF-16 byte-order mark is honoured, and so
// is UTF-16 LE without one (saved so by another tool), which says so plainly: its first two
// characters have a NUL as their high byte, which no text file in a code page has. Anything
// else is text in the ANSI code page, converted by `ansiToUtf8`.
template <typename AnsiToUtf8>
std::string decodeProfileBytes(std::string_view bytes, AnsiToUtf8&& ansiToUtf8);

// UTF-8 from a file, every malformed sequence replaced by U+FFFD, as the system decodes it.
std::string wellFormedUtf8(std::string_view bytes);

// White space as the profile functions see it: the ASCII blanks and controls, plus the old
// end-of-file mark Ctrl-Z. A no-break space is not white space to them. None of these bytes
// occurs inside a UTF-8 sequence, so trimming works on bytes.
bool isProfileSpace(char c);

// Lower-case fold used to compare section and key names.
std::string foldProfileName(std::string_view name);

template <typename AnsiToUtf8>
std::string decodeProfileBytes(std::string_view bytes, AnsiToUtf8&& ansiToUtf8) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return wellFormedUtf8(bytes.substr(3));
    if (bytes.substr(0, 2) == "\xFF\xFE") return utf16leToUtf8(bytes.substr(2));
    if (bytes.substr(0, 2) == "\xFE\xFF") return utf16beToUtf8(bytes.substr(2));
    if (bytes.size() >= 4 && bytes[0] != 0 && bytes[1] == 0 && bytes[2] != 0 && bytes[3] == 0)
        return utf16leToUtf8(bytes);
    return ansiToUtf8(bytes);
}

} // namespace omnitap
