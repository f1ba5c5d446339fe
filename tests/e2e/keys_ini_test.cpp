// keys.ini against the system's own profile functions: what the program reads of any file,
// and what it saves, through the real file system.

#include "keys/atomic_files.h"
#include "keys/keys_ini.h"
#include "keys/profile_text.h"
#include "tests/e2e/support/e2e.h"
#include "tests/e2e/support/profile_reference.h"
#include "win32/files.h"
#include "win32/system_seams.h"

using namespace omnitap;
using namespace e2e;

namespace {

win32::Win32TextCodec codec;

const std::pair<const char*, std::string> trickyFiles[] = {
    {"quotes", "[keys]\nnumkeys=6\nkey1_webs='single'\nkey2_webs=\"mixed'\nkey3_webs=\"\n"
               "key4_webs=''\nkey5_name=\"in\"side\"\nkey6_webs= \" kept \" \n"},
    {"sections, case, blanks, repeats and comments",
     "; c\n[Other]\nnumkeys=9\n  [KEYS]  \n\t NUMKEYS \t=\t 2.5 \nKey1_Name =  Right ; no "
     "comment \nkey1_name=second\n;key2_name=c\nkEy2_CODE=  65abc\n[keys]\nkey2_name=x\n"},
    {"odd lines and line ends", "numkeys=3\r\n[ keys ]\rnumkeys=2\n[keys\n[keys]x]\r"
                                "numkeys=1\r\nkey1_name\nkey1_mapm=-40000\r"},
    {"long values", "[keys]\nnumkeys=3\nkey1_name=" + std::string(1500, 'v') + "\nkey2_webs=\"" +
                        std::string(1023, 'x') + "\"\nkey3_webs=\"" + std::string(1022, 'x') +
                        "\"\n"},
    {"code page and marks", "[keys]\nnumkeys=1\nkey1_name=Caf\xE9 \xC3\xA9\xA0\x1A\n"},
    {"utf-8 with a mark", "\xEF\xBB\xBF[keys]\nnumkeys=1\nkey1_name=Caf\xC3\xA9\n"},
};

} // namespace

TEST(ProfileDifferential, EveryValueTheProgramReadsAgreesWithTheSystem) {
    TempFolder folder;
    for (const auto& [name, bytes] : trickyFiles) {
        SCOPED_TRACE(name);
        folder.write(L"keys.ini", bytes);
        const std::string file = narrow(folder.file(L"keys.ini"));
        ProfileSection ours(
            decodeProfileBytes(bytes, [](std::string_view a) { return codec.ansiToUtf8(a); }),
            "keys");
        std::vector<std::string> names = {"numkeys"};
        for (int n = 1; n <= 6; ++n)
            for (const char* suffix : {"_name", "_mapm", "_code", "_code2", "_webs"})
                names.push_back("key" + std::to_string(n) + suffix);
        for (const std::string& key : names)
            EXPECT_EQ(ours.read(key), profileRead(file, key, codec)) << key;
        EXPECT_EQ(parseKeysIniBytes(bytes, codec), profileLoad(file, codec));
    }
}

// ANSI while the code page holds every value, else UTF-16: the system reads both back whole.
// The file is replaced atomically: no temporary file is left beside keys.ini.
TEST(ProfileDifferential, ATableSavedByTheProgramReadsBackTheSameThroughTheSystem) {
    TempFolder folder;
    win32::Win32FileSystem fileSystem;
    AtomicFiles files{fileSystem};
    win32::Win32MessageBoxes messages;
    const KeyFileIo io{files, codec, messages};
    const std::wstring path = folder.file(L"keys.ini");
    for (const char* extra : {"caf\xC3\xA9", "\xCE\xA9mega \xD0\xB6"}) {
        SCOPED_TRACE(extra);
        KeyTable table;
        for (int i = 1; i <= 20; ++i)
            table.append(KeyDef{
                static_cast<std::int16_t>(i * 7), static_cast<std::int16_t>(-i),
                "Key " + std::to_string(i) + (i % 3 ? " " : "") + extra,
                static_cast<std::int16_t>(i % 2 ? 60 : 33),
                i % 2 ? "\"C:\\Program Files\\" + std::string(extra) + "\\x.exe\" /a" : "17"});
        ASSERT_TRUE(saveKeys(io, narrow(path), table));
        EXPECT_EQ(folder.read(L"keys.ini").substr(0, 2) == "\xFF\xFE", !codec.fitsAnsi(extra));
        for (int i = 1; i <= 20; ++i)
            for (auto [suffix, expected] :
                 {std::pair{"_name", table[i].name}, {"_webs", table[i].webs}}) {
                wchar_t value[1024];
                DWORD n = GetPrivateProfileStringW(
                    L"keys", widen("key" + std::to_string(i) + suffix).c_str(), L"", value, 1024,
                    path.c_str());
                EXPECT_EQ(narrow({value, n}), expected);
            }
        KeyTable ours;
        ASSERT_TRUE(loadKeys(io, narrow(path), ours).ok);
        EXPECT_EQ(ours, table);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), {}), 1);
}
