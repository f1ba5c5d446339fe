#include "keys/key_names.h"

#include "text/trim.h"

#include <charconv>

namespace omnitap {
namespace {

struct NamedKey {
    const char* names; // the first is how the key is written, the others are read too
    std::uint8_t vk;
    std::uint16_t scan;
    bool extended = false;
};

// clang-format off
constexpr NamedKey kNamedKeys[] = {
    {"Esc|Escape", 0x1B, 0x01},             {"Enter|Return", 0x0D, 0x1C},
    {"Tab", 0x09, 0x0F},                    {"Space|Spacebar", 0x20, 0x39},
    {"Backspace|BS|BKSP", 0x08, 0x0E},      {"Delete|Del", 0x2E, 0x53, true},
    {"Insert|Ins", 0x2D, 0x52, true},       {"Home", 0x24, 0x47, true},
    {"End", 0x23, 0x4F, true},              {"Page Up|PgUp", 0x21, 0x49, true},
    {"Page Down|PgDn", 0x22, 0x51, true},   {"Left", 0x25, 0x4B, true},
    {"Right", 0x27, 0x4D, true},            {"Up", 0x26, 0x48, true},
    {"Down", 0x28, 0x50, true},             {"Caps Lock|Caps", 0x14, 0x3A},
    {"Num Lock", 0x90, 0x45, true},         {"Scroll Lock", 0x91, 0x46},
    {"Print Screen|PrtSc|PrintScreen", 0x2C, 0x37, true},
    {"Pause", 0x13, 0x45},                  {"Break|Cancel", 0x03, 0x46, true},
    {"Help", 0x2F, 0x00},                   {"Apps|Menu|Application", 0x5D, 0x5D, true},
    {"Left Ctrl|Ctrl|LCtrl|Control", 0xA2, 0x1D},
    {"Right Ctrl|RCtrl", 0xA3, 0x1D, true},
    {"Left Shift|Shift|LShift", 0xA0, 0x2A},
    {"Right Shift|RShift", 0xA1, 0x36},
    {"Left Alt|Alt|LAlt", 0xA4, 0x38},      {"Right Alt|RAlt|AltGr", 0xA5, 0x38, true},
    {"Left Win|Win|LWin|Windows", 0x5B, 0x5B, true},
    {"Right Win|RWin", 0x5C, 0x5C, true},
    {"F1", 0x70, 0x3B}, {"F2", 0x71, 0x3C}, {"F3", 0x72, 0x3D}, {"F4", 0x73, 0x3E},
    {"F5", 0x74, 0x3F}, {"F6", 0x75, 0x40}, {"F7", 0x76, 0x41}, {"F8", 0x77, 0x42},
    {"F9", 0x78, 0x43}, {"F10", 0x79, 0x44}, {"F11", 0x7A, 0x57}, {"F12", 0x7B, 0x58},
    {"F13", 0x7C, 0x64}, {"F14", 0x7D, 0x65}, {"F15", 0x7E, 0x66}, {"F16", 0x7F, 0x67},
    {"F17", 0x80, 0x68}, {"F18", 0x81, 0x69}, {"F19", 0x82, 0x6A}, {"F20", 0x83, 0x6B},
    {"F21", 0x84, 0x6C}, {"F22", 0x85, 0x6D}, {"F23", 0x86, 0x6E}, {"F24", 0x87, 0x76},
    {"Num 0", 0x60, 0x52}, {"Num 1", 0x61, 0x4F}, {"Num 2", 0x62, 0x50}, {"Num 3", 0x63, 0x51},
    {"Num 4", 0x64, 0x4B}, {"Num 5", 0x65, 0x4C}, {"Num 6", 0x66, 0x4D}, {"Num 7", 0x67, 0x47},
    {"Num 8", 0x68, 0x48}, {"Num 9", 0x69, 0x49},
    {"Num *|Multiply", 0x6A, 0x37},         {"Num +|Add", 0x6B, 0x4E},
    {"Num -|Subtract", 0x6D, 0x4A},         {"Num .|Decimal", 0x6E, 0x53},
    {"Num /|Divide", 0x6F, 0x35, true},     {"Num Enter", 0x0D, 0x1C, true},
    {"Volume Mute|Mute", 0xAD, 0x20, true}, {"Volume Down", 0xAE, 0x2E, true},
    {"Volume Up", 0xAF, 0x30, true},        {"Next Track|Media Next", 0xB0, 0x19, true},
    {"Previous Track|Media Prev", 0xB1, 0x10, true},
    {"Stop|Media Stop", 0xB2, 0x24, true},  {"Play/Pause|Media Play Pause", 0xB3, 0x22, true},
    {"Browser Back", 0xA6, 0x6A, true},     {"Browser Forward", 0xA7, 0x69, true},
};
// clang-format on

// The scan codes of the letters and of the digits 1 to 9 and 0, by their rows.
constexpr std::string_view kLetterRows[] = {"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
constexpr std::uint16_t kLetterRowStarts[] = {0x10, 0x1E, 0x2C};

char folded(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
// Equal in any case; the blanks of the table's name may be left out or doubled ("pageup"),
// but none added where it has none ("F1 2" is not F12).
bool sameName(std::string_view table, std::string_view typed) {
    for (std::size_t i = 0, j = 0;; ++i, ++j) {
        if (i < table.size() && table[i] == ' ') {
            while (i < table.size() && table[i] == ' ')
                ++i;
            while (j < typed.size() && typed[j] == ' ')
                ++j;
        }
        if (i == table.size() || j == typed.size()) return i == table.size() && j == typed.size();
        if (folded(table[i]) != folded(typed[j])) return false;
    }
}

std::optional<ports::KeyStroke> letterOrDigit(char c) {
    const char upper = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    const auto vk = static_cast<std::uint8_t>(upper);
    if (upper >= '1' && upper <= '9') return ports::KeyStroke{vk, std::uint16_t(upper - '1' + 2)};
    if (upper == '0') return ports::KeyStroke{vk, 0x0B};
    for (std::size_t row = 0; row < 3; ++row)
        if (std::size_t at = kLetterRows[row].find(upper); at != std::string_view::npos)
            return ports::KeyStroke{vk, static_cast<std::uint16_t>(kLetterRowStarts[row] + at)};
    return std::nullopt;
}

// "Key 65 - 30" or "Key 65": a code of 1 to 255, a scan code below 65536.
std::optional<ports::KeyStroke> numberedKey(std::string_view name) {
    if (name.size() < 4 || !sameName("key", name.substr(0, 3)) || name[3] != ' ') return {};
    auto number = [&](std::string_view text, unsigned limit) -> std::optional<unsigned> {
        text = trimSpaces(text);
        unsigned value = 0;
        auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
            value > limit)
            return std::nullopt;
        return value;
    };
    const std::size_t dash = name.find('-', 4);
    const auto vk = number(name.substr(4, dash == name.npos ? name.npos : dash - 4), 255);
    const auto scan =
        dash == name.npos ? std::optional<unsigned>(0) : number(name.substr(dash + 1), 65535);
    if (!vk || *vk == 0 || !scan) return {};
    return ports::KeyStroke{static_cast<std::uint8_t>(*vk), static_cast<std::uint16_t>(*scan)};
}

} // namespace

std::optional<ports::KeyStroke> parseKeyName(std::string_view name) {
    name = trimSpaces(name);
    if (name.size() == 1) return letterOrDigit(name[0]);
    for (const NamedKey& key : kNamedKeys) {
        for (std::string_view names = key.names; !names.empty();) {
            const std::size_t bar = names.find('|');
            if (sameName(names.substr(0, bar), name))
                return ports::KeyStroke{key.vk, key.scan, false, key.extended};
            names = bar == names.npos ? std::string_view() : names.substr(bar + 1);
        }
    }
    return numberedKey(name);
}

std::string keyNameOf(std::uint32_t vkCode, std::uint32_t scanCode) {
    for (const NamedKey& key : kNamedKeys)
        if (std::string_view names = key.names; key.vk == vkCode)
            return std::string(names.substr(0, names.find('|')));
    if ((vkCode >= '0' && vkCode <= '9') || (vkCode >= 'A' && vkCode <= 'Z'))
        return std::string(1, static_cast<char>(vkCode));
    return "Key " + std::to_string(vkCode) + " - " + std::to_string(scanCode);
}

} // namespace omnitap
