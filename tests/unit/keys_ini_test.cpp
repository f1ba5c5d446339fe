#include "keys/keys_ini.h"
#include "tests/fakes/fakes.h"

#include <gtest/gtest.h>

using namespace omnitap;

namespace {

KeyDef key(std::string name, int mapm, int code, int code2, std::string webs) {
    return KeyDef{static_cast<std::int16_t>(code), static_cast<std::int16_t>(code2),
                  std::move(name), static_cast<std::int16_t>(mapm), std::move(webs)};
}

// Saved through the files seam and loaded back; the file's bytes are left in `bytes`.
KeyTable saveAndLoad(const KeyTable& table, std::string& bytes) {
    fakes::FakeFileSystem files;
    AtomicFiles atomicFiles{files};
    fakes::FakeCodec codec; // Latin-1 stands in for the ANSI code page
    fakes::FakeMessageBoxes messages;
    KeyFileIo io{atomicFiles, codec, messages};
    EXPECT_TRUE(saveKeys(io, "keys.ini", table));
    KeyTable back;
    EXPECT_TRUE(loadKeys(io, "keys.ini", back).ok);
    bytes = files.files.at("keys.ini");
    return back;
}

} // namespace

TEST(KeysIniFile, ATableTheCodePageHoldsIsWrittenAsTheExactAnsiLinesElseAllAsUtf16) {
    KeyTable table;
    table.append(key("Caf\xC3\xA9", 30, 179, 34, ""));
    table.append(key("Notes", 60, 112, 59, "\"C:\\Program Files\\App\\app.exe\" /x"));
    std::string bytes;
    EXPECT_EQ(saveAndLoad(table, bytes), table);
    EXPECT_EQ(bytes, "[keys]\r\nnumkeys=2\r\n"
                     "key1_name=Caf\xE9\r\nkey1_mapm=30\r\nkey1_code=179\r\nkey1_code2=34\r\n"
                     "key1_webs=\"\"\r\n\r\n"
                     "key2_name=Notes\r\nkey2_mapm=60\r\nkey2_code=112\r\nkey2_code2=59\r\n"
                     "key2_webs=\"\"C:\\Program Files\\App\\app.exe\" /x\"\r\n\r\n");

    table.append(key("Lautst\xC3\xA4rke \xCE\xA9 \xD0\xB6", 60, 65, 30,
                     "\"C:\\\xCE\xA9mega\\tool.exe\" \xF0\x9F\x98\x80"));
    EXPECT_EQ(saveAndLoad(table, bytes), table);
    EXPECT_EQ(bytes.substr(0, 10), std::string("\xFF\xFE[\0k\0e\0y\0", 10));
    EXPECT_EQ(bytes.find('?'), std::string::npos);
}

TEST(KeysIniFormat, EveryValueComesBackAsItWasAndOnlyDelicateOnesAreQuoted) {
    KeyTable table;
    table.append(key("Same code", -1, -32768, 32767, "notepad.exe C:\\notes.txt"));
    for (const char* text : {"'Play'", "\"Night mode\"", " lead", "trail ", "\tTab", "a\"", "'",
                             "\"", "\"\"", "\"quoted\" /x", "'a' \"b\""})
        table.append(key(text, 60, 65, 30, text));
    const std::string file = formatKeysIni(table);
    EXPECT_EQ(parseKeysIni(file), table);
    for (const char* line :
         {"key1_name=Same code\r\n", "key2_name=\"'Play'\"\r\n", "key4_name=\" lead\"\r\n"})
        EXPECT_NE(file.find(line), std::string::npos) << line;
    KeyTable lines;
    lines.append(key("two\r\nlines", 60, 65, 30, "  a\nnumkeys=9  "));
    EXPECT_EQ(parseKeysIni(formatKeysIni(lines))[1], // a line break becomes a blank
              key("two  lines", 60, 65, 30, "  a numkeys=9  "));
}

TEST(KeysIniRead, FollowsTheProfileRulesFillsMissingEntriesAndClampsNumbers) {
    for (const char* text : {"[keys]\r\nnumkeys=0\r\nkey1_name=x\r\n", "[keys]\r\nkey1_name=x\r\n",
                             "", "[other]\r\nnumkeys=3\r\n", "[keys]\nnumkeys=-5\n"})
        EXPECT_EQ(parseKeysIni(text).numKeys(), 0) << text;
    EXPECT_EQ(parseKeysIni("[keys]\nnumkeys=2000000000\n").numKeys(), 32767);
    KeyTable t = parseKeysIni("[keys]\nnumkeys=2\nkey1_name=A\nkey1_mapm=  30.5x\n"
                              "key1_code=70000\nkey1_code2=-70000\nkey1_webs=\"x\"\n");
    ASSERT_EQ(t.numKeys(), 2);
    EXPECT_EQ(t[1], key("A", 30, 32767, -32768, "x"));
    EXPECT_EQ(t[2], KeyDef{});
    // Other sections, other case, blanks and tabs, comments, repeated keys (first wins),
    // single quotes, CR-only line ends, and only the first [keys] section counts.
    t = parseKeysIni("; comment\r[Other]\rnumkeys=9\r[ Keys\t]\r  NumKeys \t=\t 2 \r"
                     "; key1_name=comment\rKEY1_NAME =  First \rkey1_name=Second\r"
                     "key1_webs='quoted'\rkey1_code = 65\r[keys]\rkey2_name=late\rnumkeys=5\r");
    ASSERT_EQ(t.numKeys(), 2);
    EXPECT_EQ(t[1], key("First", 0, 65, 0, "quoted"));
    EXPECT_EQ(t[2].name, "");
}

TEST(KeysIniRead, QuotesGoOnlyWhenTheyEncloseAndValuesAreCutTo1023) {
    KeyTable t =
        parseKeysIni("[keys]\nnumkeys=5\nkey1_webs=\"a\" b\nkey2_webs=\"\n"
                     "key3_webs=\"'\nkey4_webs=\"\"\"\nkey1_name=" +
                     std::string(3000, 'n') + "\nkey5_webs=\"" + std::string(1023, 'w') + "\"\n");
    EXPECT_EQ(t[1].webs + "|" + t[2].webs + "|" + t[3].webs + "|" + t[4].webs, "\"a\" b|\"|\"'|\"");
    EXPECT_EQ(t[1].name, std::string(1023, 'n'));
    // The closing quote does not fit the buffer with 1023 characters before it; the
    // profile functions then drop the last character copied instead.
    EXPECT_EQ(t[5].webs, std::string(1022, 'w'));
    EXPECT_EQ(iniPathFor("C:\\"), "C:\\\\keys.ini"); // a backslash even after one
}
