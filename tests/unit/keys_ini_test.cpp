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
    EXPECT_EQ(iniPathFor("C:\\"), "C:\\\\keys.ini"); // a backslash even after one
}
