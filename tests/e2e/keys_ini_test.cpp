// keys.ini against the system's own profile functions, and the atomic replace of the files
// seam against a real file system.

#include "keys/atomic_files.h"
#include "keys/keys_ini.h"
#include "keys/profile_text.h"
#include "tests/e2e/support/e2e.h"
#include "tests/e2e/support/profile_reference.h"
#include "win32/files.h"
#include "win32/system_seams.h"

#include <gtest/gtest.h>

using namespace omnitap;
using namespace e2e;

namespace {

win32::Win32TextCodec codec;

std::string systemRead(const std::wstring& file, const std::string& key) {
    return profileRead(narrow(file), key, codec);
}

KeyTable systemLoad(const std::wstring& file, int maxKeys = 32767) {
    return profileLoad(narrow(file), codec, maxKeys);
}

std::string ourText(const std::string& bytes) {
    return decodeProfileBytes(bytes, [](std::string_view a) { return codec.ansiToUtf8(a); });
}

struct Case {
    const char* name;
    std::string bytes;
};

std::vector<Case> trickyFiles() {
    std::string longValue(1500, 'v');
    std::string exact1023(1023, 'x');
    return {
        {"written by the program",
         "[keys]\r\nnumkeys=2\r\nkey1_name=Play\r\nkey1_mapm=30\r\nkey1_code=179\r\n"
         "key1_code2=34\r\nkey1_webs=\"\"\r\n\r\nkey2_name=Launch\r\nkey2_mapm=60\r\n"
         "key2_code=112\r\nkey2_code2=59\r\nkey2_webs=\"\"C:\\My Files\\a.exe\" /s\"\r\n\r\n"},
        {"quotes of both kinds",
         "[keys]\nnumkeys=6\nkey1_webs='single'\nkey2_webs=\"double\"\nkey3_webs=\"mixed'\n"
         "key4_webs=\"\nkey5_webs=''\nkey6_name=\"in\"side\"\n"},
        {"blanks and tabs",
         "  [keys]  \n\t numkeys \t=\t 3 \t\nkey1_name =   spaced out   \n key2_name\t=\tTab\t\n"
         "key3_webs= \" kept \" \n"},
        {"other sections and case",
         "[Other]\nnumkeys=9\nkey1_name=wrong\n[KEYS]\nNUMKEYS=2\nKey1_Name=Right\n"
         "kEy2_CODE=66\n[more]\nkey2_name=wrong\n"},
        {"repeated sections and keys",
         "[keys]\nnumkeys=2\nkey1_name=first\nkey1_name=second\n[keys]\nkey2_name=later\n"
         "numkeys=5\n"},
        {"comments", "; a comment\n[keys]\n;numkeys=4\nnumkeys=1\n# key1_name=hash\n"
                     "key1_name=named ; not a comment\n"},
        {"missing keys section", "numkeys=3\nkey1_name=loose\n"},
        {"section name with blanks", "[ keys ]\nnumkeys=2\n[keys] \nnumkeys=1\n"},
        {"CR-only line ends", "[keys]\rnumkeys=2\rkey1_name=cr\rkey2_code=50\r"},
        {"mixed line ends and blank lines", "\r\n\r\n[keys]\n\r\rnumkeys=1\n\n\nkey1_name=x\r\n"},
        {"very long values", "[keys]\nnumkeys=4\nkey1_name=" + longValue + "\nkey2_webs=\"" +
                                 longValue + "\"\nkey3_webs=\"" + exact1023 + "\"\nkey4_webs=\"" +
                                 exact1023.substr(1) + "\"\n"},
        {"utf-8 bytes without a mark", "[keys]\nnumkeys=1\nkey1_name=Caf\xC3\xA9 \xE2\x98\x83\n"},
        {"ANSI accents", "[keys]\nnumkeys=1\nkey1_name=Caf\xE9 na\xEFve\n"},
        {"utf-8 with a byte-order mark", "\xEF\xBB\xBF[keys]\nnumkeys=1\nkey1_name=Caf\xC3\xA9\n"},
        {"no equals sign", "[keys]\nnumkeys\nkey1_name\nnumkeys=1\n"},
        {"equals in values", "[keys]\nnumkeys=1\nkey1_webs=a=b=c\nkey1_name==x\n"},
        {"odd section lines", "[keys\nnumkeys=2\n[keys]x]\nnumkeys=3\n[keys]\nnumkeys=1\n"},
        {"lenient numbers", "[keys]\nnumkeys= 2.5 \nkey1_code=  65abc\nkey1_mapm=30.5\n"
                            "key2_mapm=31.5\nkey2_code=-40000\nkey2_code2=99999\n"},
        {"huge count", "[keys]\nnumkeys=2000000000\n"},
        {"no-break space and ctrl-z", "[keys]\nnumkeys=1\nkey1_name=\xA0padded\xA0\x1A\n"},
        {"empty file", ""},
    };
}

} // namespace

TEST(ProfileDifferential, EveryValueTheProgramReadsAgreesWithTheSystem) {
    TempFolder folder;
    for (const Case& c : trickyFiles()) {
        SCOPED_TRACE(c.name);
        folder.write(L"keys.ini", c.bytes);
        const std::wstring file = folder.file(L"keys.ini");
        ProfileSection ours(ourText(c.bytes), "keys");
        std::vector<std::string> names = {"numkeys"};
        for (int n = 1; n <= 6; ++n)
            for (const char* suffix : {"_name", "_mapm", "_code", "_code2", "_webs"})
                names.push_back("key" + std::to_string(n) + suffix);
        for (const std::string& key : names)
            EXPECT_EQ(ours.read(key), systemRead(file, key)) << key;

        KeyTable expected = systemLoad(file, 10);
        if (expected.numKeys() <= 10)
            EXPECT_EQ(parseKeysIni(ourText(c.bytes)), expected);
        else
            EXPECT_EQ(parseKeysIni(ourText(c.bytes)).numKeys(), expected.numKeys());
    }
}

TEST(ProfileDifferential, ATableSavedByTheProgramReadsBackTheSameThroughTheSystem) {
    TempFolder folder;
    KeyTable table;
    for (int i = 1; i <= 50; ++i) {
        KeyDef key;
        key.name = "Key " + std::to_string(i) + (i % 3 ? " caf\xC3\xA9" : "");
        key.code = static_cast<std::int16_t>(i * 7);
        key.code2 = static_cast<std::int16_t>(-i);
        key.mapm = static_cast<std::int16_t>(i % 2 ? 60 : 33);
        key.webs = i % 2 ? "\"C:\\Program Files\\x " + std::to_string(i) + ".exe\" /a /b" : "17";
        table.append(key);
    }
    win32::Win32FileSystem fileSystem;
    AtomicFiles files{fileSystem};
    win32::Win32MessageBoxes messages;
    std::string path = narrow(folder.file(L"keys.ini"));
    ASSERT_TRUE(saveKeys(KeyFileIo{files, codec, messages}, path, table));
    EXPECT_EQ(systemLoad(folder.file(L"keys.ini")), table);
    KeyTable ours;
    loadKeys(KeyFileIo{files, codec, messages}, path, ours);
    EXPECT_EQ(ours, table);
}

TEST(AtomicReplace, ReplacesWithoutLeavingTemporaryFilesAndALockedTargetKeepsItsContent) {
    TempFolder folder;
    win32::Win32FileSystem fileSystem;
    AtomicFiles files{fileSystem};
    std::string path = narrow(folder.file(L"keys.ini"));
    EXPECT_FALSE(files.exists(path));
    ASSERT_TRUE(files.replaceAtomically(path, "first").ok);
    ASSERT_TRUE(files.replaceAtomically(path, "old content").ok);
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder.path() + L"\\*").c_str(), &data);
    int count = 0;
    do {
        if (data.cFileName[0] != L'.') ++count;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    EXPECT_EQ(count, 1);

    HANDLE lock = CreateFileW(folder.file(L"keys.ini").c_str(), GENERIC_READ, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    ports::FileResult result = files.replaceAtomically(path, "new content");
    CloseHandle(lock);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.empty());
    EXPECT_EQ(files.readAll(path).value_or(""), "old content");
}
