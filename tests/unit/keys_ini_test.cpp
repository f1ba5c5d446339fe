#include "keys/keys_ini.h"
#include "keys/profile_text.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_system.h"

#include <gtest/gtest.h>

using namespace omnitap;

namespace {

KeyDef key(std::string name, int mapm, int code, int code2, std::string webs) {
    return KeyDef{static_cast<std::int16_t>(code), static_cast<std::int16_t>(code2),
                  std::move(name), static_cast<std::int16_t>(mapm), std::move(webs)};
}

class KeysIniFile : public ::testing::Test {
  protected:
    fakes::FakeFileSystem files;
    AtomicFiles atomicFiles{files};
    fakes::FakeCodec codec;
    fakes::FakeMessageBoxes messages;
    const std::string path = "C:\\Omnitap\\keys.ini";
    KeyFileIo io() { return KeyFileIo{atomicFiles, codec, messages}; }
};

} // namespace

TEST(KeysIniFormat, WritesTheExactLinesWithCrLf) {
    KeyTable table;
    table.append(key("Play", 30, 179, 34, ""));
    table.append(key("Notes", 60, 112, 59, "\"C:\\Program Files\\App\\app.exe\" /x"));
    EXPECT_EQ(
        formatKeysIni(table),
        "[keys]\r\nnumkeys=2\r\n"
        "key1_name=Play\r\nkey1_mapm=30\r\nkey1_code=179\r\nkey1_code2=34\r\nkey1_webs=\"\"\r\n\r\n"
        "key2_name=Notes\r\nkey2_mapm=60\r\nkey2_code=112\r\nkey2_code2=59\r\n"
        "key2_webs=\"\"C:\\Program Files\\App\\app.exe\" /x\"\r\n\r\n");
}

TEST(KeysIniFormat, RoundTripKeepsEveryFieldAndOrder) {
    KeyTable table;
    table.append(key("Launch", 60, 112, 59, "\"C:\\My Files\\tool.exe\" /switch"));
    table.append(key("Same code", 0, 112, 59, ""));
    table.append(key("Vendor key", 33, 255, 110, "17"));
    table.append(key("Odd", -1, -32768, 32767, "notepad.exe C:\\notes.txt"));
    table.append(key("Caf\xC3\xA9", 300, 173, 0, "'single'"));
    EXPECT_EQ(parseKeysIni(formatKeysIni(table)), table);
}

TEST(KeysIniFormat, NamesAndArgumentsThatTheReaderWouldTrimOrUnquoteComeBackUnchanged) {
    KeyTable table;
    for (const char* text : {"'Play'", "\"Night mode\"", " lead", "trail ", "\tTab", "a\"", "'",
                             "\"", "\"\"", "\"quoted\" /x", "'a' \"b\""})
        table.append(key(text, 60, 65, 30, text));
    EXPECT_EQ(parseKeysIni(formatKeysIni(table)), table);
    // Only such values get quotes: the others are written as users know them.
    std::string file = formatKeysIni(table);
    EXPECT_NE(file.find("key1_name=\"'Play'\"\r\n"), std::string::npos);
    EXPECT_NE(file.find("key3_name=\" lead\"\r\n"), std::string::npos);
}

TEST(KeysIniFormat, LineBreaksInsideAValueBecomeBlanks) {
    KeyTable table;
    table.append(key("two\r\nlines", 60, 65, 30, "  a\nnumkeys=9  "));
    KeyTable back = parseKeysIni(formatKeysIni(table));
    ASSERT_EQ(back.numKeys(), 1);
    EXPECT_EQ(back[1].name, "two  lines");
    EXPECT_EQ(back[1].webs, "  a numkeys=9  ");
}

TEST(KeysIniRead, MissingCountOrZeroGivesTheEmptyTable) {
    for (const char* text : {"[keys]\r\nnumkeys=0\r\nkey1_name=x\r\n", "[keys]\r\nkey1_name=x\r\n",
                             "", "[other]\r\nnumkeys=3\r\n", "[keys]\nnumkeys=-5\n"})
        EXPECT_EQ(parseKeysIni(text).numKeys(), 0) << text;
}

TEST(KeysIniRead, PartialFileFillsMissingEntriesAndClampsNumbers) {
    KeyTable table = parseKeysIni("[keys]\nnumkeys=2\nkey1_name=A\nkey1_mapm=  30.5x\n"
                                  "key1_code=70000\nkey1_code2=-70000\nkey1_webs=\"x\"\n");
    ASSERT_EQ(table.numKeys(), 2);
    EXPECT_EQ(table[1], key("A", 30, 32767, -32768, "x"));
    EXPECT_EQ(table[2], KeyDef{});
    EXPECT_EQ(parseKeysIni("[keys]\nnumkeys=2000000000\n").numKeys(), 32767);
}

TEST(KeysIniRead, FollowsTheProfileRules) {
    // Other sections, other case, blanks and tabs, comments, repeated keys (first wins),
    // single quotes, CR-only line ends, and only the first [keys] section counts.
    KeyTable table = parseKeysIni("; comment\r[Other]\rnumkeys=9\r[ Keys\t]\r"
                                  "  NumKeys \t=\t 2 \r; key1_name=comment\rKEY1_NAME =  First \r"
                                  "key1_name=Second\rkey1_webs='quoted'\rkey1_code = 65\r"
                                  "[keys]\rkey2_name=late\rnumkeys=5\r");
    ASSERT_EQ(table.numKeys(), 2);
    EXPECT_EQ(table[1].name, "First");
    EXPECT_EQ(table[1].webs, "quoted");
    EXPECT_EQ(table[1].code, 65);
    EXPECT_EQ(table[2].name, "");
}

TEST(KeysIniRead, QuotesGoOnlyWhenTheyEncloseAndValuesAreCutTo1023) {
    KeyTable table =
        parseKeysIni("[keys]\nnumkeys=5\nkey1_webs=\"a\" b\nkey2_webs=\"\n"
                     "key3_webs=\"'\nkey4_webs=\"\"\"\nkey1_name=" +
                     std::string(3000, 'n') + "\nkey5_webs=\"" + std::string(1023, 'w') + "\"\n");
    EXPECT_EQ(table[1].webs, "\"a\" b");
    EXPECT_EQ(table[2].webs, "\"");
    EXPECT_EQ(table[3].webs, "\"'");
    EXPECT_EQ(table[4].webs, "\"");
    EXPECT_EQ(table[1].name, std::string(1023, 'n'));
    // The closing quote does not fit the buffer with 1023 characters before it; the
    // profile functions then drop the last character copied instead.
    EXPECT_EQ(table[5].webs, std::string(1022, 'w'));
}

TEST(KeysIniRead, Utf16FileWithItsMarkIsRead) {
    std::string utf16("\xFF\xFE", 2);
    for (char c : std::string("[keys]\nnumkeys=2\n")) {
        utf16 += c;
        utf16 += '\0';
    }
    EXPECT_EQ(parseKeysIni(decodeProfileBytes(utf16, [](auto) { return std::string(); })).numKeys(),
              2);
}

TEST_F(KeysIniFile, LoadWithoutAFileLeavesTheTableAlone) {
    KeyTable table;
    table.append(key("kept", 0, 1, 2, ""));
    loadKeys(io(), path, table);
    EXPECT_EQ(table.numKeys(), 1);
}

TEST_F(KeysIniFile, SaveThenLoadGivesTheSameTableThroughTheCodePage) {
    KeyTable table;
    table.append(key("Caf\xC3\xA9", 60, 65, 30, "\"C:\\A B\\c.exe\" /q"));
    table.append(key("Snow \xE2\x98\x83", 0, 66, 48, ""));
    ASSERT_TRUE(saveKeys(io(), path, table));
    EXPECT_NE(files.files[path].find("key1_name=Caf\xE9\r\n"), std::string::npos);
    KeyTable back;
    loadKeys(io(), path, back);
    EXPECT_EQ(back[1], table[1]);
    EXPECT_EQ(back[2].name, "Snow ?"); // the code page has no snowman
    EXPECT_TRUE(messages.shown.empty());
}

TEST(KeysIniPath, BackslashIsAlwaysAdded) {
    EXPECT_EQ(iniPathFor("C:\\Tools"), "C:\\Tools\\keys.ini");
    EXPECT_EQ(iniPathFor("C:\\"), "C:\\\\keys.ini");
}
