// The texts the player keys hand on: the title cut from the caption, the extra information,
// and which paths may go to Explorer.

#include "player/current_file.h"
#include "player/track_text.h"

#include <gtest/gtest.h>

#include <climits>

using namespace omnitap;

TEST(TitleFromCaption, DropsThePlayersNameAndAPlaylistNumberButNoOtherDot) {
    const std::pair<const char*, const char*> cases[] = {
        {"12. Some Artist - Some Song - Winamp", "Some Artist - Some Song"},
        {"3. A - B - C - Winamp [Paused]", "A - B - C"},
        {" 7 . Lonely Song ", "Lonely Song"},
        {"1. Mr. Big - Winamp", "Mr. Big"},
        {"12.x", ""},
        {"12. ", ""},
        {"R.E.M. - Losing My Religion - Winamp", "R.E.M. - Losing My Religion"},
        {"Mr. Big - Wild World - Winamp", "Mr. Big - Wild World"},
        {"1a. Song", "1a. Song"},
        {". Song", ". Song"},
        {"Song  - Winamp", "Song "}, // without a number the cut is not trimmed
        {"", ""}};
    for (auto [caption, title] : cases)
        EXPECT_EQ(titleFromCaption(caption), title) << caption;
}

TEST(ExtraInfoText, StatesWhatThePlayerSaidAndNothingImpossible) {
    constexpr auto none = std::nullopt;
    const std::pair<TrackDetails, const char*> cases[] = {
        {{44, 128, 2, 83000, 296}, " [44KHz/128kbps/stereo] [1:23 / 4:56]"},
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
