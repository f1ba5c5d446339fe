// Key strings and key names: what a string sends, keys by name, and where a string goes wrong.

#include "keys/key_names.h"
#include "keys/send_keys.h"
#include "tests/fakes/desktop_fakes.h"

#include <gtest/gtest.h>

using namespace omnitap;

namespace {

// "+Left Ctrl +A -A +Delete*" for keys, by name (* extended); a character typed as text as itself,
// or as U+XXXX.
std::string sent(std::string_view text) {
    fakes::FakeTyping layout; // the letters and digits, "=" and "+" on one key
    const KeyString parsed = parseKeyString(text);
    if (parsed.problem) return problemText(*parsed.problem);
    std::string out;
    for (const ports::KeyStroke& key : strokesOf(parsed.steps, layout)) {
        if (key.text && key.up) continue;
        char unit[16];
        std::snprintf(unit, sizeof unit, key.scanCode < 128 ? "%c" : "U+%X", key.scanCode);
        out += out.empty() ? "" : " ";
        out += key.text ? std::string(unit)
                        : (key.up ? "-" : "+") + keyNameOf(key.vk, key.scanCode) +
                              (key.extended ? "*" : "");
    }
    return out;
}

} // namespace

TEST(KeyStrings, ModifiersGroupsRepeatsBracesAndCharactersSendWhatTheyMean) {
    const std::pair<const char*, const char*> cases[] = {
        {"^a{DEL}hi~", "+Left Ctrl +A -A -Left Ctrl +Delete* -Delete* h i +Enter -Enter"},
        {"+(ab)c%{F4}", "+Left Shift +A -A +B -B -Left Shift c +Left Alt +F4 -F4 -Left Alt"},
        {"^A+A^+{=}", "+Left Ctrl +Left Shift +A -A -Left Shift -Left Ctrl +Left Shift +A -A -Left "
                      "Shift +Left Ctrl +Left Shift +Key 187 - 13 -Key 187 - 13 -Left Shift -Left "
                      "Ctrl"},
        {"{WIN}e^{rwin}",
         "+Left Win* +E -E -Left Win* +Left Ctrl +Right Win* -Right Win* -Left Ctrl"},
        {"{a 3}{LEFT 2}{}}{{}{~}{(}{)}{+}{^}{%}{} 2}", "a a a +Left* -Left* +Left* -Left* } { ~ ( "
                                                       ") + ^ % } }"},
        {"{page up}{PGDN}{f24}{Num 4}{esc 0}{F1 2}^é",
         "+Page Up* -Page Up* +Page Down* -Page Down* +F24 -F24 +Num 4 -Num 4 +F1 -F1 +F1 -F1 "
         "+Left Ctrl U+E9 "
         "-Left Ctrl"},
        {"é€😀", "U+E9 U+20AC U+D83D U+DE00"},
        {"", ""},
        {"ab{x", "At character 3: this { is never closed"},
        {"{}", "At character 1: this { is never closed"},
        {"a)b", "At character 2: there is no ( for this )"},
        {"x(ab", "At character 2: this ( is never closed"},
        {"é{NOPE}", "At character 2: no key is named {NOPE}"},
        {"^^a", "At character 2: a modifier comes twice"},
        {"éé^", "At character 3: nothing follows ^"},
        {"+(a%)", "At character 4: nothing follows %"},
        {"{a 1001}", "At character 4: a key is repeated at most 1000 times"},
    };
    for (auto [text, expected] : cases)
        EXPECT_EQ(sent(text), expected) << text;
}

TEST(KeyNames, EveryNameReadsBackAsItsKeyInAnyCaseWithOrWithoutBlanks) {
    for (std::uint32_t vk = 1; vk < 256; ++vk) {
        const std::string name = keyNameOf(vk, 30);
        const auto key = parseKeyName(name);
        ASSERT_TRUE(key) << name;
        EXPECT_EQ(key->vk, vk) << name;
    }
    EXPECT_EQ(keyNameOf(0xA3, 0x1D), "Right Ctrl");
    EXPECT_EQ(keyNameOf(0xE9, 5), "Key 233 - 5");
    EXPECT_EQ(parseKeyName(" CAPSLOCK "), (ports::KeyStroke{0x14, 0x3A}));
    EXPECT_EQ(parseKeyName("ctrl"), (ports::KeyStroke{0xA2, 0x1D}));
    EXPECT_EQ(parseKeyName("rctrl"), (ports::KeyStroke{0xA3, 0x1D, false, true}));
    EXPECT_EQ(parseKeyName("Key 255 - 110"), (ports::KeyStroke{255, 110}));
    for (const char* none : {"", "Key 0", "Key 256", "Key 65 - 70000", "Key 65 -", "Ctrl+C", "ab"})
        EXPECT_FALSE(parseKeyName(none)) << none;
}
