// keys.ini: the file's text and bytes, and saving it when the disk fails at any point (the
// old file stays readable and unchanged, the table in memory stays, and the user is told).

#include "keys/key_file.h"
#include "keys/keys_ini.h"
#include "tests/fakes/fakes.h"

#include <gtest/gtest.h>

using namespace omnitap;
using fakes::key;

namespace {

struct KeysIni : ::testing::Test {
    fakes::FakeFileSystem fs;
    AtomicFiles files{fs};
    fakes::FakeCodec codec; // Latin-1 stands in for the ANSI code page
    fakes::FakeMessageBoxes messages;
    KeyFileIo io{files, codec, messages};
    const std::string path = "C:\\Omnitap\\keys.ini";
    bool save(const KeyTable& t) { return saveKeys(io, path, t, 0x5A); }
    // Saved and loaded back; the file's bytes are left in `bytes`.
    KeyTable saveAndLoad(const KeyTable& table, std::string& bytes) {
        EXPECT_TRUE(save(table));
        KeyTable back;
        EXPECT_TRUE(loadKeys(io, path, back).ok);
        bytes = fs.files.at(path);
        return back;
    }
};

} // namespace

TEST_F(KeysIni, ATableTheCodePageHoldsIsWrittenAsTheExactAnsiLinesElseAllAsUtf16) {
    KeyTable table;
    table.append(key("Caf\xC3\xA9", 179, 34, 30, ""));
    table.append(key("Notes", 112, 59, 60, "\"C:\\Program Files\\App\\app.exe\" /x"));
    std::string bytes;
    EXPECT_EQ(saveAndLoad(table, bytes), table);
    EXPECT_EQ(bytes, "[keys]\r\nnumkeys=2\r\n"
                     "key1_name=Caf\xE9\r\nkey1_mapm=30\r\nkey1_code=179\r\nkey1_code2=34\r\n"
                     "key1_webs=\"\"\r\n\r\n"
                     "key2_name=Notes\r\nkey2_mapm=60\r\nkey2_code=112\r\nkey2_code2=59\r\n"
                     "key2_webs=\"\"C:\\Program Files\\App\\app.exe\" /x\"\r\n\r\n");

    table.append(key("Lautst\xC3\xA4rke \xCE\xA9 \xD0\xB6", 65, 30, 60,
                     "\"C:\\\xCE\xA9mega\\tool.exe\" \xF0\x9F\x98\x80"));
    EXPECT_EQ(saveAndLoad(table, bytes), table);
    EXPECT_EQ(bytes.substr(0, 10), std::string("\xFF\xFE[\0k\0e\0y\0", 10));
    EXPECT_EQ(parseKeysIniBytes(bytes.substr(2), codec), table); // saved by a tool without a mark
}

TEST(KeysIniFormat, EveryValueComesBackAsItWasAndOnlyDelicateOnesAreQuoted) {
    KeyTable table =
        fakes::table({key("Same code", -32768, 32767, -1, "notepad.exe C:\\notes.txt")});
    for (const char* text : {"'Play'", "\"Night mode\"", " lead", "trail ", "\tTab", "a\"", "'",
                             "\"", "\"\"", "\"quoted\" /x", "'a' \"b\""})
        table.append(key(text, 65, 30, 60, text));
    table.append(key(std::string(100000, 'n'), 65, 30, 60, '"' + std::string(99998, 'w') + '"'));
    const std::string file = formatKeysIni(table);
    EXPECT_EQ(parseKeysIni(file), table);
    for (const char* line :
         {"key1_name=Same code\r\n", "key2_name=\"'Play'\"\r\n", "key4_name=\" lead\"\r\n"})
        EXPECT_NE(file.find(line), std::string::npos) << line;
    const KeyTable lines = fakes::table({key("two\r\nlines", 65, 30, 60, "  a\nnumkeys=9  ")});
    EXPECT_EQ(parseKeysIni(formatKeysIni(lines))[1], // a line break becomes a blank
              key("two  lines", 65, 30, 60, "  a numkeys=9  "));
    EXPECT_EQ(iniPathFor("C:\\"), "C:\\\\keys.ini"); // a backslash even after one
}

TEST_F(KeysIni, ASaveFailingAtAnyStepKeepsTheOldFileAndTellsTheUserOverTheWindowThatSaved) {
    KeyTable table = fakes::table({key("Old", 65, 30, 31, "\"C:\\A B\\x.exe\" /q")});
    ASSERT_TRUE(save(table));
    const std::string before = fs.files.at(path);
    // Big enough to be written in several pieces.
    for (int i = 0; i < 1500; ++i)
        table.append(KeyDef{static_cast<std::int16_t>(i % 250), 0, "Key " + std::to_string(i), 60,
                            "\"C:\\Program Files\\Tool\\tool.exe\" /n " + std::to_string(i)});
    const std::size_t size = formatKeysIni(table).size();
    ASSERT_GT(size, 2u * 64 * 1024);

    // A step that fails, or the bytes written before the disk is full; the reason told.
    std::vector<std::tuple<bool*, std::optional<std::size_t>, const char*>> failures{
        {&fs.failCreate, {}, "Access is denied."},
        {&fs.failFlush, {}, "device error"},
        {&fs.failReplace, {}, "Access is denied."}};
    for (std::size_t k : std::initializer_list<std::size_t>{0, 1, 65535, 65536, 65537, size - 1})
        failures.push_back({nullptr, k, "not enough space"});
    for (auto [mode, afterBytes, reason] : failures) {
        SCOPED_TRACE(reason + std::string(" ") + std::to_string(afterBytes.value_or(0)));
        if (mode) *mode = true;
        fs.failAfterBytes = afterBytes;
        messages.shown.clear();
        EXPECT_FALSE(save(table));
        EXPECT_EQ(fs.files, (std::map<std::string, std::string>{{path, before}}));
        EXPECT_TRUE(fs.openFiles.empty());
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].owner, 0x5Au);
        EXPECT_NE(messages.shown[0].text.find(path), std::string::npos);
        EXPECT_NE(messages.shown[0].text.find(reason), std::string::npos);
        if (mode) *mode = false;
    }
    // Once the disk works again the table is written, a short hold waited out (no failure was).
    fs.failAfterBytes.reset();
    fs.heldReplaces = 5;
    ASSERT_TRUE(save(table));
    EXPECT_EQ(fs.waited.count(), 500);
    EXPECT_EQ(fs.files.size(), 1u);
    EXPECT_EQ(parseKeysIni(codec.ansiToUtf8(fs.files.at(path))), table);
}

// Kept aside before the first save over it, once: a key block beyond the count, a repeat, a note.
TEST_F(KeysIni, AFileASaveWouldCutShortIsKeptAsideBeforeTheFirstSaveOverIt) {
    const std::string one = formatKeysIni(fakes::table({key("Play", 179, 34, 30)}));
    for (const std::string& file : {one, one + "key2_name=B", one + "KEY1_CODE=1", ";\r\n" + one}) {
        fs.files = {{path, file}};
        KeyTable table;
        KeyFile keys(io);
        keys.load(path, table);
        keys.saveKept(0, false);
        keys.saveKept(0, false);
        EXPECT_EQ(fs.files.size(), file == one ? 1u : 2u);
        EXPECT_EQ(fs.files[path + ".bak"], file == one ? "" : file);
    }
}
