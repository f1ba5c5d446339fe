#include "keyboard/keys_ini.h"
#include "keyboard/profile_text.h"
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
    fakes::FakeFiles files;
    fakes::FakeCodec codec;
    fakes::FakeMessageBoxes messages;
    const std::string path = "C:\\Omnitap\\keys.ini";
    KeyFileIo io() { return KeyFileIo{files, codec, messages}; }
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

TEST(KeysIniFormat, EmptyTableIsTwoLinesAndNegativeNumbersHaveNoBlank) {
    EXPECT_EQ(formatKeysIni(KeyTable{}), "[keys]\r\nnumkeys=0\r\n");
    KeyTable table;
    table.append(key("Odd", -1, -32768, 32767, ""));
    std::string text = formatKeysIni(table);
    EXPECT_NE(text.find("key1_mapm=-1\r\n"), std::string::npos);
    EXPECT_NE(text.find("key1_code=-32768\r\n"), std::string::npos);
}

TEST(KeysIniFormat, LineBreaksInsideValuesCannotSplitTheFile) {
    KeyTable table;
    table.append(key("two\r\nlines", 60, 65, 30, "a\nnumkeys=9"));
    KeyTable back = parseKeysIni(formatKeysIni(table));
    ASSERT_EQ(back.numKeys(), 1);
    EXPECT_EQ(back[1].name, "two  lines");
    EXPECT_EQ(back[1].webs, "a numkeys=9");
}

TEST(KeysIniFormat, RoundTripKeepsEveryFieldAndOrder) {
    KeyTable table;
    table.append(key("Launch", 60, 112, 59, "\"C:\\My Files\\tool.exe\" /switch"));
    table.append(key("Same code", 0, 112, 59, ""));
    table.append(key("Vendor key", 33, 255, 110, "17"));
    table.append(key("Doc", 60, 113, 60, "notepad.exe C:\\notes.txt"));
    table.append(key("Caf\xC3\xA9", 300, 173, 0, "'single'"));
    EXPECT_EQ(parseKeysIni(formatKeysIni(table)), table);
}

TEST(KeysIniFormat, NameLosesItsOuterBlanksOnTheWayBack) {
    KeyTable table;
    table.append(key(" Spaced name ", 0, 65, 30, "  padded target  "));
    KeyTable back = parseKeysIni(formatKeysIni(table));
    EXPECT_EQ(back[1].name, "Spaced name");
    EXPECT_EQ(back[1].webs, "  padded target  "); // protected by its quotes
}

TEST(KeysIniRead, MissingCountOrZeroGivesTheEmptyTable) {
    EXPECT_EQ(parseKeysIni("[keys]\r\nnumkeys=0\r\nkey1_name=x\r\n").numKeys(), 0);
    EXPECT_EQ(parseKeysIni("[keys]\r\nkey1_name=x\r\n").numKeys(), 0);
    EXPECT_EQ(parseKeysIni("").numKeys(), 0);
    EXPECT_EQ(parseKeysIni("[other]\r\nnumkeys=3\r\n").numKeys(), 0);
}

TEST(KeysIniRead, PartialFileFillsMissingEntriesWithEmptyFields) {
    KeyTable table = parseKeysIni("[keys]\nnumkeys=2\nkey1_name=A\nkey1_mapm=31\nkey1_code=65\n"
                                  "key1_code2=30\nkey1_webs=\"x\"\n");
    ASSERT_EQ(table.numKeys(), 2);
    EXPECT_EQ(table[1], key("A", 31, 65, 30, "x"));
    EXPECT_EQ(table[2], KeyDef{});
}

TEST(KeysIniRead, HugeOrNegativeCountsAreClamped) {
    EXPECT_EQ(parseKeysIni("[keys]\nnumkeys=2000000000\n").numKeys(), 32767);
    EXPECT_EQ(parseKeysIni("[keys]\nnumkeys=-5\n").numKeys(), 0);
    KeyTable table = parseKeysIni("[keys]\nnumkeys=1\nkey1_code=70000\nkey1_code2=-70000\n"
                                  "key1_mapm=  30.5x\n");
    EXPECT_EQ(table[1].code, 32767);
    EXPECT_EQ(table[1].code2, -32768);
    EXPECT_EQ(table[1].mapm, 30);
}

TEST(KeysIniRead, FollowsTheProfileRules) {
    // Other sections, other case, blanks and tabs, comments, repeated keys (first wins),
    // single quotes, CR-only line ends.
    KeyTable table = parseKeysIni("; comment\r[Other]\rnumkeys=9\r[ Keys\t]\r"
                                  "  NumKeys \t=\t 1 \r; key1_name=comment\rKEY1_NAME =  First \r"
                                  "key1_name=Second\rkey1_webs='quoted'\rkey1_code = 65\r");
    ASSERT_EQ(table.numKeys(), 1);
    EXPECT_EQ(table[1].name, "First");
    EXPECT_EQ(table[1].webs, "quoted");
    EXPECT_EQ(table[1].code, 65);
}

TEST(KeysIniRead, OnlyTheFirstSectionOfTheNameCounts) {
    EXPECT_EQ(parseKeysIni("[ keys ]\nnumkeys=2\n[keys]\nnumkeys=1\n").numKeys(), 2);
    KeyTable table = parseKeysIni("[keys]\nnumkeys=1\n[x]\n[keys]\nkey1_name=late\nnumkeys=5\n");
    ASSERT_EQ(table.numKeys(), 1);
    EXPECT_EQ(table[1].name, "");
}

TEST(KeysIniRead, QuotesAreRemovedOnlyWhenTheyEncloseTheValue) {
    KeyTable table =
        parseKeysIni("[keys]\nnumkeys=4\nkey1_webs=\"a\" b\nkey2_webs=\"\nkey3_webs=\"'\n"
                     "key4_webs=\"\"\"\n");
    EXPECT_EQ(table[1].webs, "\"a\" b");
    EXPECT_EQ(table[2].webs, "\"");
    EXPECT_EQ(table[3].webs, "\"'");
    EXPECT_EQ(table[4].webs, "\"");
}

TEST(KeysIniRead, LongValuesAreCutTo1023Characters) {
    std::string longName(3000, 'n');
    KeyTable table = parseKeysIni("[keys]\nnumkeys=2\nkey1_name=" + longName + "\nkey2_webs=\"" +
                                  std::string(1023, 'w') + "\"\n");
    EXPECT_EQ(table[1].name, std::string(1023, 'n'));
    // The closing quote does not fit the buffer with 1023 characters before it; the
    // profile functions then drop the last character copied instead.
    EXPECT_EQ(table[2].webs, std::string(1022, 'w'));
}

TEST(KeysIniRead, ByteOrderMarksSelectTheEncoding) {
    EXPECT_EQ(parseKeysIni(decodeProfileBytes("\xEF\xBB\xBF[keys]\nnumkeys=3\n",
                                              [](auto) { return std::string(); }))
                  .numKeys(),
              3);
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
    EXPECT_NE(files.content[path].find("key1_name=Caf\xE9\r\n"), std::string::npos);
    KeyTable back;
    loadKeys(io(), path, back);
    EXPECT_EQ(back[1], table[1]);
    EXPECT_EQ(back[2].name, "Snow ?"); // the code page has no snowman
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(KeysIniFile, FailedSaveKeepsTheOldFileAndTellsTheUser) {
    KeyTable old;
    old.append(key("Old", 31, 65, 30, ""));
    ASSERT_TRUE(saveKeys(io(), path, old));
    const std::string before = files.content[path];

    KeyTable table = old;
    table.append(key("New", 32, 66, 48, ""));
    using Fail = fakes::FakeFiles::Fail;
    for (Fail mode : {Fail::AfterBytes, Fail::OnFlush, Fail::OnReplace}) {
        files.fail = mode;
        files.failAfterBytes = 20;
        messages.shown.clear();
        EXPECT_FALSE(saveKeys(io(), path, table));
        EXPECT_EQ(files.content[path], before);
        EXPECT_EQ(parseKeysIni(files.content[path]), old);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_NE(messages.shown[0].text.find(path), std::string::npos);
        EXPECT_NE(messages.shown[0].text.find(mode == Fail::OnReplace ? "Access is denied."
                                                                      : files.failureReason),
                  std::string::npos);
        EXPECT_EQ(table.numKeys(), 2);
    }
}

TEST_F(KeysIniFile, AWriteFailingAfterAnyNumberOfBytesLeavesTheOldFileReadable) {
    KeyTable old;
    old.append(key("Old", 31, 65, 30, "\"C:\\A B\\x.exe\" /q"));
    ASSERT_TRUE(saveKeys(io(), path, old));
    const std::string before = files.content[path];
    KeyTable table = old;
    for (int i = 0; i < 20; ++i)
        table.append(key("New " + std::to_string(i), 60, 66 + i, 48, "x"));
    const std::size_t size = formatKeysIni(table).size();

    files.fail = fakes::FakeFiles::Fail::AfterBytes;
    for (std::size_t k = 0; k < size; k += 7) {
        files.failAfterBytes = k;
        EXPECT_FALSE(saveKeys(io(), path, table)) << k;
        EXPECT_EQ(files.content[path], before) << k;
    }
    EXPECT_EQ(messages.shown.size(), (size + 6) / 7);
    EXPECT_EQ(table.numKeys(), 21); // nothing in memory is lost
    files.fail = fakes::FakeFiles::Fail::Never;
    ASSERT_TRUE(saveKeys(io(), path, table));
    KeyTable back;
    loadKeys(io(), path, back);
    EXPECT_EQ(back, table);
}

TEST(KeysIniPath, BackslashIsAlwaysAdded) {
    EXPECT_EQ(iniPathFor("C:\\Tools"), "C:\\Tools\\keys.ini");
    EXPECT_EQ(iniPathFor("C:\\"), "C:\\\\keys.ini");
}
