// Saving keys.ini when the disk fails at any point: the old file stays readable and
// unchanged, the table in memory stays, and the user is told.

#include "keys/keys_ini.h"
#include "tests/fakes/fakes.h"

#include <gtest/gtest.h>

using namespace omnitap;

TEST(AtomicSave, AFailureAtAnyStepKeepsTheOldFileAndTellsTheUserOverTheWindowThatSaved) {
    fakes::FakeFileSystem fs;
    AtomicFiles files{fs};
    fakes::FakeCodec codec;
    fakes::FakeMessageBoxes messages;
    const std::string path = "C:\\Omnitap\\keys.ini";
    auto save = [&](const KeyTable& t) {
        return saveKeys(KeyFileIo{files, codec, messages}, path, t, 0x5A);
    };
    KeyTable old, table;
    old.append(KeyDef{65, 30, "Old", 31, "\"C:\\A B\\x.exe\" /q"});
    ASSERT_TRUE(save(old));
    const std::string before = fs.files.at(path);
    // Big enough to be written in several pieces.
    table = old;
    for (int i = 0; i < 1500; ++i)
        table.append(KeyDef{static_cast<std::int16_t>(i % 250), 0, "Key " + std::to_string(i), 60,
                            "\"C:\\Program Files\\Tool\\tool.exe\" /n " + std::to_string(i)});
    const std::size_t size = formatKeysIni(table).size();
    ASSERT_GT(size, 2u * 64 * 1024);

    struct Failure {
        bool* mode;
        std::optional<std::size_t> afterBytes;
        const char* reason;
    };
    std::vector<Failure> failures{{&fs.failCreate, {}, "Access is denied."},
                                  {&fs.failFlush, {}, "device error"},
                                  {&fs.failReplace, {}, "Access is denied."}};
    for (std::size_t k : {std::size_t{0}, std::size_t{1}, std::size_t{65535}, std::size_t{65536},
                          std::size_t{65537}, size - 1})
        failures.push_back({nullptr, k, "not enough space"});
    for (const Failure& f : failures) {
        SCOPED_TRACE(f.reason + std::string(" ") + std::to_string(f.afterBytes.value_or(0)));
        if (f.mode) *f.mode = true;
        fs.failAfterBytes = f.afterBytes;
        messages.shown.clear();
        EXPECT_FALSE(save(table));
        EXPECT_EQ(fs.files, (std::map<std::string, std::string>{{path, before}}));
        EXPECT_TRUE(fs.openHandles.empty());
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].owner, 0x5Au);
        EXPECT_NE(messages.shown[0].text.find(path), std::string::npos);
        EXPECT_NE(messages.shown[0].text.find(f.reason), std::string::npos);
        if (f.mode) *f.mode = false;
    }
    // Once the disk works again the whole table is written.
    fs.failAfterBytes.reset();
    ASSERT_TRUE(save(table));
    EXPECT_EQ(fs.files.size(), 1u);
    EXPECT_EQ(parseKeysIni(codec.ansiToUtf8(fs.files.at(path))), table);
}
