// Keys held with modifiers: their keys.ini value, their text, and the hook's view of the
// modifiers held.

#include "hook/modifier_state.h"
#include "keys/keys_ini.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace omnitap;

TEST(Modifiers, AreReadLenientlyWrittenAfterTheKeyAndAFileWithoutThemSavesAsBefore) {
    std::ifstream in(OMNITAP_SOURCE_DIR "/fuzz/corpus/keys_ini/written-by-the-program",
                     std::ios::binary);
    const std::string old{std::istreambuf_iterator<char>(in), {}};
    ASSERT_NE(old.find("key2_webs"), std::string::npos);
    EXPECT_EQ(formatKeysIni(parseKeysIni(old)), old);
    KeyTable table = parseKeysIni(old);
    table[1].mods = readModifiers("LCtrl + shift");
    const std::string file = formatKeysIni(table);
    EXPECT_NE(file.find("key1_webs=\"\"\r\nkey1_mods=lctrl+shift\r\n\r\nkey2_"), std::string::npos);
    EXPECT_EQ(parseKeysIni(file), table);
    // What is written, what is shown, and whether a save keeps all the file says.
    const char* cases[][3] = {
        {"ctrl+alt", "ctrl+alt", "Ctrl+Alt+F9"},
        {" RWIN\t", "rwin", "Right Win+F9"},
        {"'shift+LALT+win+ctrl'", "win+ctrl+lalt+shift", "Win+Ctrl+Left Alt+Shift+F9"},
        {"ctrl+hyper", "", "F9"},
        {"ctrl+rctrl", "", "F9"},
        {"alt+", "", "F9"},
        {"", "", "F9"}};
    for (auto [text, value, shown] : cases) {
        const Modifiers mods = parseKeysIni(old + "key2_mods=" + text)[2].mods;
        EXPECT_EQ(modifiersValue(mods), value) << text;
        EXPECT_EQ(shortcutText(mods, "F9"), shown) << text;
        EXPECT_EQ(keptWholeBySave(old + "key2_mods=" + text), *value || !*text) << text;
    }
}

TEST(ModifierState, FollowsPressesAndReleasesOfEitherSideAndReadsTheSystemsState) {
    using K = ModifierKind;
    // Sided codes; the plain ones, sided by scan code (Shift) or the extended flag; no modifier.
    const std::tuple<std::uint32_t, std::uint32_t, std::uint32_t, std::uint8_t> steps[] = {
        {0xA2, 0x1D, 0, ModifierState::bit(K::Ctrl, false)},
        {0xA5, 0x38, 1, ModifierState::bit(K::Alt, true)},
        {0x5C, 0x5C, 1, ModifierState::bit(K::Win, true)},
        {0xA2, 0x1D, kKeyUpFlag, ModifierState::bit(K::Ctrl, false)},
        {0x10, 0x36, 0, ModifierState::bit(K::Shift, true)},
        {0x10, 0x2A, 0, ModifierState::bit(K::Shift, false)},
        {0x11, 0x1D, 1, ModifierState::bit(K::Ctrl, true)},
        {0x12, 0x38, 1 | kKeyUpFlag, ModifierState::bit(K::Alt, true)},
        {0x12, 0x38, 0, ModifierState::bit(K::Alt, false)},
        {0x41, 0x1E, 0, 0}};
    ModifierState state;
    std::uint8_t held = 0;
    for (auto [vk, scan, flags, bit] : steps) {
        state.apply({vk, scan, flags});
        held = static_cast<std::uint8_t>(flags & kKeyUpFlag ? held & ~bit : held | bit);
        EXPECT_EQ(state.held(), held) << vk;
    }
    const auto down = [](std::uint8_t vk) { return vk == 0xA1 || vk == 0xA2 || vk == 0x5B; };
    EXPECT_EQ(ModifierState::read(down), ModifierState(ModifierState::bit(K::Shift, true) |
                                                       ModifierState::bit(K::Ctrl, false) |
                                                       ModifierState::bit(K::Win, false)));
}

TEST(ModifierTest, PassesExactlyTheModifiersNeededOnTheirSideAndAnythingForNone) {
    constexpr std::uint8_t lctrl = 0x01, rctrl = 0x02, lalt = 0x04, rshift = 0x20, lwin = 0x40;
    const std::tuple<const char*, int, bool> cases[] = {{"ctrl", lctrl, true},
                                                        {"ctrl", lctrl | rctrl, true},
                                                        {"ctrl", 0, false},
                                                        {"ctrl", lctrl | lwin, false},
                                                        {"ctrl+alt", lctrl, false},
                                                        {"lctrl", rctrl, false},
                                                        {"lctrl", lctrl | rctrl, false},
                                                        {"rctrl+alt", rctrl | lalt, true},
                                                        {"", 0xFF, true},
                                                        {"win+shift", lwin | rshift, true}};
    for (auto [mods, held, passes] : cases)
        EXPECT_EQ(ModifierTest(readModifiers(mods)).passes(ModifierState(std::uint8_t(held))),
                  passes)
            << mods << " " << held;
}
