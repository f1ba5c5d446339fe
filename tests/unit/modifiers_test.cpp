// Keys held with modifiers: their keys.ini value and their text.

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
