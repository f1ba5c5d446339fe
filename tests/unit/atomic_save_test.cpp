// Saving keys.ini when the disk fails at any point: the old file stays readable and
// unchanged, the table in memory stays, and the user is told.

#include "keys/atomic_files.h"
#include "keys/keys_ini.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_system.h"

#include <gtest/gtest.h>

using namespace omnitap;

namespace {

class AtomicSave : public ::testing::Test {
  protected:
    fakes::FakeFileSystem fs;
    AtomicFiles files{fs};
    fakes::FakeCodec codec;
    fakes::FakeMessageBoxes messages;
    const std::string path = "C:\\Omnitap\\keys.ini";
    KeyTable old, table;
    std::string before;

    void SetUp() override {
        old.append(KeyDef{65, 30, "Old", 31, "\"C:\\A B\\x.exe\" /q"});
        ASSERT_TRUE(save(old));
        before = fs.files.at(path);
        table = old;
        // Big enough to be written in several pieces.
        for (int i = 0; i < 1500; ++i)
            table.append(KeyDef{static_cast<std::int16_t>(i % 250), 0, "Key " + std::to_string(i),
                                60,
                                "\"C:\\Program Files\\Tool\\tool.exe\" /n " + std::to_string(i)});
    }
    bool save(const KeyTable& t) { return saveKeys(KeyFileIo{files, codec, messages}, path, t); }
    // The old file is there, unchanged and readable, nothing else is left, the user was told.
    void expectOldFileKept(const std::string& reason) {
        EXPECT_EQ(fs.files.size(), 1u) << "a temporary file was left behind";
        EXPECT_EQ(fs.files.at(path), before);
        EXPECT_EQ(parseKeysIni(codec.ansiToUtf8(fs.files.at(path))), old);
        EXPECT_TRUE(fs.openHandles.empty());
        ASSERT_FALSE(messages.shown.empty());
        EXPECT_NE(messages.shown.back().text.find(path), std::string::npos);
        EXPECT_NE(messages.shown.back().text.find(reason), std::string::npos);
        EXPECT_EQ(table.numKeys(), 1501);
    }
};

} // namespace

TEST_F(AtomicSave, AWriteFailingAfterAnyNumberOfBytesKeepsTheOldFile) {
    const std::size_t size = formatKeysIni(table).size();
    ASSERT_GT(size, 2u * 64 * 1024);
    for (std::size_t k : {std::size_t{0}, std::size_t{1}, std::size_t{4095}, std::size_t{65535},
                          std::size_t{65536}, std::size_t{65537}, size / 2, size - 1}) {
        SCOPED_TRACE(k);
        fs.failAfterBytes = k;
        messages.shown.clear();
        EXPECT_FALSE(save(table));
        expectOldFileKept("not enough space");
    }
}

TEST_F(AtomicSave, FailingCreateFlushOrReplaceKeepsTheOldFile) {
    bool* modes[] = {&fs.failCreate, &fs.failFlush, &fs.failReplace};
    for (bool* mode : modes) {
        *mode = true;
        EXPECT_FALSE(save(table));
        expectOldFileKept(mode == &fs.failFlush ? "device error" : "Access is denied.");
        *mode = false;
    }
    // Once the disk works again the whole table is written.
    ASSERT_TRUE(save(table));
    EXPECT_EQ(fs.files.size(), 1u);
    EXPECT_EQ(parseKeysIni(codec.ansiToUtf8(fs.files.at(path))), table);
}
