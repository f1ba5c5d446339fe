// The rules for text that comes from outside: numbers in keys.ini, launch targets and why
// one did not start, the title cut from the player's caption, the extra information, which
// paths may go to Explorer; and the Key Editor's lines.

#include "actions/actions.h"
#include "actions/launch_failure.h"
#include "forms/key_editor_window.h"
#include "keys/lenient_number.h"
#include "player/current_file.h"
#include "player/track_text.h"
#include "tests/fakes/desktop_fakes.h"
#include "text/utf8.h"

#include <gtest/gtest.h>

#include <climits>

using namespace omnitap;
using fakes::key;

TEST(LenientNumber, ReadsTheLeadingNumberRoundingHalvesToEvenAndClampsInsteadOfOverflowing) {
    const std::pair<std::string, int> cases[] = {
        {"  65abc", 65},  {"-12x", -12},      {"+7", 7},
        {"1 7\t9", 179}, // blanks skipped anywhere
        {"- 5", -5},      {"1.2.3", 1},       {"", 0},
        {"abc", 0},       {"--5", 0},         {"\"17\"", 0},
        {"30.5", 30},     {"31.5", 32},       {"30.51", 31},
        {".5", 0},        {"-2.5", -2},       {"-3.5", -4},
        {"40000", 32767}, {"-40000", -32768}, {std::string(400, '9'), 32767}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(readInt16(text), value) << text;
    EXPECT_EQ(readKeyCount("32767.4"), 32767);
    EXPECT_EQ(readKeyCount("   "), 0);
    EXPECT_EQ(readInt32("99999999999"), 2147483647);
    EXPECT_EQ(readInt32("-99999999999"), -2147483647 - 1);
}

// As a command line splits; unquoted, the longest existing path with blanks it names; a name
// without a folder, the program the Run box finds, never one in the current folder or beside
// this program; whatever exists starts in its own folder.
TEST(LaunchTarget, SplitsTheWayACommandLineIsUnlessItNamesAnExistingPathWithBlanks) {
    fakes::FakeFileSystem disk;
    fakes::ShellRecorder shell;
    for (const char* file :
         {"C:\\Me\\My Docs\\notes.txt", "C:\\Program Files\\Tool\\tool.exe", "C:\\Program",
          "C:\\Windows\\System32\\calc.exe", "C:\\Windows\\notepad.exe", "C:\\Bin\\tool.cmd",
          "C:\\Apps\\word.exe", "C:\\a.exe", "C:\\Windows\\winword.exe", "C:\\Windows\\my tool.exe",
          "C:\\Omnitap\\calc.exe", "calc.exe", "tool.exe", "C:\\Omnitap\\mine.exe", "mine.exe",
          "bin\\mine.exe"})
        disk.files[file] = "";
    disk.folders = {"C:\\Me\\My Docs"};
    shell.folders.path = "C:\\Omnitap\\;.;;bin; \"C:\\Bin\" ";
    shell.folders.pathExt = ".exe;.cmd";
    shell.registered["winword.exe"] = " \"C:\\Apps\\word.exe\"";
    const std::string own = "c:/omnitap"; // as PATH has it, spelled otherwise
    const std::pair<const char*, std::optional<LaunchTarget>> cases[] = {
        {"\"C:\\Program Files\\App\\app.exe\" /switch",
         LaunchTarget{"C:\\Program Files\\App\\app.exe", "/switch"}},
        {"  \"C:\\My Files\\a.exe\"   two  \"words\"  ",
         LaunchTarget{"C:\\My Files\\a.exe", "two  \"words\""}},
        {"\"C:\\a.exe\"/s", LaunchTarget{"C:\\a.exe", "/s", "C:\\"}},
        {"\"C:\\My Files\\a.exe", LaunchTarget{"C:\\My Files\\a.exe", ""}}, // never closed
        {"C:\\run me\"now please", LaunchTarget{"C:\\run", "me\"now please"}},
        {"\"\"", LaunchTarget{"", ""}},
        {" C:\\Me\\My Docs\\notes.txt ",
         LaunchTarget{"C:\\Me\\My Docs\\notes.txt", "", "C:\\Me\\My Docs"}},
        {"C:\\Me\\My Docs", LaunchTarget{"C:\\Me\\My Docs", ""}},
        // The longest part that is a file, not the first.
        {"C:\\Program Files\\Tool\\tool.exe  --fast  -v",
         LaunchTarget{"C:\\Program Files\\Tool\\tool.exe", "--fast  -v",
                      "C:\\Program Files\\Tool"}},
        // A folder is no program; nothing found: the first blank, as before.
        {"C:\\Me\\My Docs x.txt", LaunchTarget{"C:\\Me\\My", "Docs x.txt"}},
        {" notepad.exe   C:\\notes.txt  ",
         LaunchTarget{"C:\\Windows\\notepad.exe", "C:\\notes.txt", "C:\\Windows"}},
        {"calc.exe", LaunchTarget{"C:\\Windows\\System32\\calc.exe", "", "C:\\Windows\\System32"}},
        {"winword.exe /n", LaunchTarget{"C:\\Apps\\word.exe", "/n", "C:\\Apps"}}, // App Paths first
        {"tool -x", LaunchTarget{"C:\\Bin\\tool.cmd", "-x", "C:\\Bin"}},          // PATHEXT, PATH
        {"my tool.exe -x", LaunchTarget{"C:\\Windows\\my tool.exe", "-x", "C:\\Windows"}},
        {"mine.exe", std::nullopt}}; // only here, beside this program and in a relative entry
    for (const auto& [target, resolved] : cases)
        EXPECT_EQ(resolveLaunchTarget(target, {disk, shell, own}), resolved) << target;
}

TEST(LaunchFailure, SaysWhyInWordsAUserCanActOnAndShortensTheTargetInItsMiddleToFit) {
    const std::pair<std::uint32_t, const char*> reasons[] = {
        {2, "There is no such file: it may"}, {3, "There is no such folder"},
        {5, "Windows does not allow it"},     {193, "It is not a program"},
        {1155, "No program is set to open"},  {1223, "Starting it was cancelled."},
        {1392, "The system's words."},        {77, "Windows gave error 77."}};
    for (const auto& [code, reason] : reasons)
        EXPECT_TRUE(launchFailureReason({false, code == 1392 ? "The system's words." : "", code})
                        .starts_with(reason))
            << code;
    // The whole text fits a balloon: the target gives way in its middle, the reason from 215.
    const std::string target = "  C:\\" + std::string(300, 'x') + "\\\u03a9.exe ";
    for (const std::string& reason : {std::string("Gone."), std::string(400, 'r')}) {
        const Notice n = launchFailureNotice(target, {false, reason, 1392});
        EXPECT_LE(utf16leBytes(n.text).size(), 2 * 255u); // UTF-16 units, as the balloon
        EXPECT_LE(utf16leBytes(n.title).size(), 2 * 63u); // holds them
        EXPECT_TRUE(n.text.starts_with("C:\\xxx") && n.text.find("x...x") != std::string::npos);
        EXPECT_NE(n.text.find("\\\u03a9.exe\n" + reason.substr(0, 100)), std::string::npos);
    }
}

TEST(TitleFromCaption, DropsThePlayersNameAndAPlaylistNumberButNoOtherDot) {
    const std::pair<const char*, const char*> cases[] = {
        {"3. A - B - C - Winamp [Paused]", "A - B - C"},
        {" 7 . Lonely Song ", "Lonely Song"},
        {"1. Mr. Big - Winamp", "Mr. Big"},
        {"12.x", ""},
        {"12. ", ""}};
    for (auto [caption, title] : cases)
        EXPECT_EQ(titleFromCaption(caption), title) << caption;
}

TEST(ExtraInfoText, StatesWhatThePlayerSaidAndNothingImpossible) {
    constexpr auto none = std::nullopt;
    const std::pair<TrackDetails, const char*> cases[] = {
        {{22, 64, 1, 59600, 0}, " [22KHz/64kbps/mono] [1:00 / 0:00]"},
        {{48, 320, 6, 1500, -1}, " [48KHz/320kbps/6ch] [0:02]"}, // a stream: length unknown
        {{48, 0, 0, 2500, 3725}, " [48KHz/0kbps] [0:02 / 62:05]"},
        {{44, none, none, 2501, none}, " [44KHz] [0:03]"},
        {{none, none, -2, -1000, 61}, " [/ 1:01]"},
        {{none, none, none, INT_MAX, INT_MAX}, " [35791:24 / 35791394:07]"},
        {{}, ""}};
    for (const auto& [details, text] : cases)
        EXPECT_EQ(extraInfoText(details), text);
}

TEST(IsFilePath, NoQuoteNoForbiddenCharacterNoControlCharacter) {
    for (const char* path : {"C:\\My Music\\01 - a, b & c ^ 100% (live) [x] {y} ~z.mp3",
                             "\\\\server\\share\\Ωmega\\Дом 東京.flac", "relative\\song.mp3"})
        EXPECT_TRUE(isFilePath(path)) << path;
    for (const char* path :
         {"C:\\a\" \"C:\\windows\\system32\\notepad.exe", "\\\\srv\\a\" \\\\srv\\b.exe", "C:\\a<b",
          "C:\\a>b", "C:\\a|b", "C:\\a?.mp3", "C:\\*.mp3", "C:\\a\tb", "C:\\a\x1F", "C:\\a\x7F",
          "C:\\a\xC2\x85" /* U+0085 */, "C:\\a:stream", "1:\\a", "http://radio.example/x", ""})
        EXPECT_FALSE(isFilePath(path)) << path;
}

TEST(KeyListLine, CodesStandUnderTheHeadersTitlesAndNamesAreCutTo29CharactersForDisplay) {
    const std::string header = kKeyListHeader, line = keyListLine(key("Play", 179, 34));
    EXPECT_EQ(line, "Play" + std::string(25, ' ') + "  179      34");
    EXPECT_EQ(header.find('|'), 29u);
    EXPECT_EQ(header.find("Code 1"), line.find("179"));
    EXPECT_EQ(header.find("Code 2"), line.find("34"));
    EXPECT_EQ(keyListLine(key("Odd", -32768, -1)).substr(29), "  -32768   -1");
    const std::string e30 = fakes::FakeCodec().ansiToUtf8(std::string(30, '\xE9')); // 2 bytes each
    EXPECT_EQ(keyListLine(key(e30, 65, 30)), e30.substr(2) + "  65       30");
}
