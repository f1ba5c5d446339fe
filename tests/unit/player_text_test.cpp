// The track text: title cut from the caption, times, details, and the typing escapes with
// the key-string parser that has to undo them.

#include "player/current_file.h"
#include "player/track_text.h"
#include "text/trim.h"

#include <gtest/gtest.h>

#include <climits>

using namespace omnitap;

TEST(TitleFromCaption, CutsPlayerNameAndEverythingUpToTheFirstDot) {
    const std::pair<const char*, const char*> cases[] = {
        {"12. Some Artist - Some Song - Winamp", "Some Artist - Some Song"},
        {"3. A - B - C - Winamp [Paused]", "A - B - C"},
        {"7. Lonely Song", "Lonely Song"},
        {"Live at St. Mary's", "Mary's"},
        {"Artist - Song - Winamp", "Artist - Song"},
        {"Song  - Winamp", "Song "}, // without a dot the cut is not trimmed
        {"Dr. Hook - Sylvia's Mother - Winamp", "Hook - Sylvia's Mother"},
        {"1. Mr. Big - Winamp", "Mr. Big"},
        {"12.", ""},
        {"Ends with dot. - Winamp", ""},
        {"12.x", ""},
        {"12. ", ""},
        {"", ""}};
    for (auto [caption, title] : cases)
        EXPECT_EQ(titleFromCaption(caption), title) << caption;
}

TEST(TrimSpaces, OnlySpacesGo) {
    EXPECT_EQ(trimSpaces("  a b  "), "a b");
    EXPECT_EQ(trimSpaces("\ta\t "), "\ta\t");
    EXPECT_EQ(trimSpaces("   "), "");
}

TEST(FormatTime, MinutesAndPaddedSecondsWithTheSignOnBothFields) {
    EXPECT_EQ(formatTime(0), "0:00");
    EXPECT_EQ(formatTime(83), "1:23");
    EXPECT_EQ(formatTime(3725), "62:05");
    EXPECT_EQ(formatTime(-1), "0:-01");
    EXPECT_EQ(formatTime(-61), "-1:-01");
    EXPECT_EQ(formatTime(-600), "-10:00");
    EXPECT_EQ(formatTime(INT_MIN), "-35791394:-08");
    EXPECT_EQ(formatTime(INT_MAX), "35791394:07");
}

TEST(RoundToWholeSeconds, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(roundToWholeSeconds(1500), 2);
    EXPECT_EQ(roundToWholeSeconds(2500), 2);
    EXPECT_EQ(roundToWholeSeconds(2501), 3);
    EXPECT_EQ(roundToWholeSeconds(-2500), -2);
    EXPECT_EQ(roundToWholeSeconds(-2600), -3);
    EXPECT_EQ(roundToWholeSeconds(INT_MAX), 2147484);
    EXPECT_EQ(roundToWholeSeconds(INT_MIN), -2147484);
}

TEST(ExtraInfoText, ReadsAsTheUserSeesIt) {
    EXPECT_EQ(quotedTitle("Some Artist - Some Song") + extraInfoText({44, 128, 2, 83000, 296}),
              "\"Some Artist - Some Song\" [44KHz/128kbps/stereo] [1:23 / 4:56]");
    EXPECT_EQ(extraInfoText({22, 64, 1, 59600, 0}), " [22KHz/64kbps/mono] [1:00 / 0:00]");
    EXPECT_EQ(extraInfoText({-1, -2, 3, -1000, -61}), " [-1KHz/-2kbps/mono] [0:-01 / -1:-01]");
}

TEST(PathFromPlayerMemory, NeedsANulInsideTheBlock) {
    std::string block(kPathBufferSize, ' ');
    EXPECT_EQ(pathFromPlayerMemory(block), "");
    block.replace(0, 9, std::string("C:\\a.mp3\0", 9));
    EXPECT_EQ(pathFromPlayerMemory(block), "C:\\a.mp3");
    block[0] = '\0';
    EXPECT_EQ(pathFromPlayerMemory(block), "");
}
