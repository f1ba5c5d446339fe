// The track text: title cut from the caption, times, details, and the typing escapes with
// the key-string parser that has to undo them.

#include "player/current_file.h"
#include "player/key_string.h"
#include "player/track_text.h"

#include <gtest/gtest.h>

#include <climits>

using namespace omnitap;

TEST(TitleFromCaption, CutsPlayerNameAndPlaylistNumber) {
    EXPECT_EQ(titleFromCaption("12. Some Artist - Some Song - Winamp"), "Some Artist - Some Song");
    EXPECT_EQ(titleFromCaption("3. A - B - C - Winamp [Paused]"), "A - B - C");
}

TEST(TitleFromCaption, WithoutDashKeepsTheWholeTextBeforeTheDotStep) {
    EXPECT_EQ(titleFromCaption("7. Lonely Song"), "Lonely Song");
    EXPECT_EQ(titleFromCaption("Live at St. Mary's"), "Mary's");
}

TEST(TitleFromCaption, WithoutDotIsUsedUnchanged) {
    EXPECT_EQ(titleFromCaption("Artist - Song - Winamp"), "Artist - Song");
    // The cut keeps what precedes " - " untrimmed when no dot follows.
    EXPECT_EQ(titleFromCaption("Song  - Winamp"), "Song ");
}

TEST(TitleFromCaption, FirstDotAnywhereCutsEvenWithoutNumber) {
    EXPECT_EQ(titleFromCaption("Dr. Hook - Sylvia's Mother - Winamp"), "Hook - Sylvia's Mother");
    EXPECT_EQ(titleFromCaption("1. Mr. Big - Winamp"), "Mr. Big");
}

TEST(TitleFromCaption, DotAtTheEndOrJustBeforeItLeavesNothing) {
    EXPECT_EQ(titleFromCaption("12."), "");
    EXPECT_EQ(titleFromCaption("Ends with dot. - Winamp"), "");
    EXPECT_EQ(titleFromCaption("12.x"), "");
    EXPECT_EQ(titleFromCaption("12. "), "");
    EXPECT_EQ(titleFromCaption(""), "");
}

TEST(TrimSpaces, OnlySpacesGo) {
    EXPECT_EQ(trimSpaces("  a b  "), "a b");
    EXPECT_EQ(trimSpaces("\ta\t "), "\ta\t");
    EXPECT_EQ(trimSpaces("   "), "");
}

TEST(FormatTime, MinutesAndPaddedSeconds) {
    EXPECT_EQ(formatTime(0), "0:00");
    EXPECT_EQ(formatTime(83), "1:23");
    EXPECT_EQ(formatTime(296), "4:56");
    EXPECT_EQ(formatTime(60), "1:00");
    EXPECT_EQ(formatTime(3725), "62:05");
}

TEST(FormatTime, NegativeValuesCarryTheSignOnBothFields) {
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
    EXPECT_EQ(roundToWholeSeconds(499), 0);
    EXPECT_EQ(roundToWholeSeconds(59600), 60);
    EXPECT_EQ(roundToWholeSeconds(-1500), -2);
    EXPECT_EQ(roundToWholeSeconds(-2500), -2);
    EXPECT_EQ(roundToWholeSeconds(-2600), -3);
    EXPECT_EQ(roundToWholeSeconds(INT_MAX), 2147484);
    EXPECT_EQ(roundToWholeSeconds(INT_MIN), -2147484);
}

TEST(ExtraInfoText, ReadsAsTheUserSeesIt) {
    EXPECT_EQ(quotedTitle("Some Artist - Some Song") + extraInfoText({44, 128, 2, 83000, 296}),
              "\"Some Artist - Some Song\" [44KHz/128kbps/stereo] [1:23 / 4:56]");
    EXPECT_EQ(extraInfoText({}), " [0KHz/0kbps/mono] [0:00 / 0:00]");
    EXPECT_EQ(extraInfoText({22, 64, 1, 59600, 0}), " [22KHz/64kbps/mono] [1:00 / 0:00]");
    EXPECT_EQ(extraInfoText({-1, -2, 3, -1000, -61}), " [-1KHz/-2kbps/mono] [0:-01 / -1:-01]");
}

TEST(EscapeForTyping, PutsEverySpecialCharacterInBraces) {
    EXPECT_EQ(escapeForTyping("a{b}c"), "a{{}b{}}c");
    EXPECT_EQ(escapeForTyping("+^%~()"), "{+}{^}{%}{~}{(}{)}");
    EXPECT_EQ(escapeForTyping("{}"), "{{}{}}");
    EXPECT_EQ(escapeForTyping("\"Song\" [44KHz/128kbps/stereo]"),
              "\"Song\" [44KHz/128kbps/stereo]");
}

TEST(EscapeForTyping, MarksThatStandInTheTitleComeOutRight) {
    EXPECT_EQ(escapeForTyping("[{]"), "[{{}]");
    EXPECT_EQ(escapeForTyping("[}]x[{]"), "[{}}]x[{{}]");
}

TEST(ParseKeyString, BracedCharactersStandForThemselves) {
    EXPECT_EQ(parseKeyString("a{+}b{{}{}}{a}"), "a+b{}a");
    EXPECT_EQ(parseKeyString("{é}ü"), "éü");
    EXPECT_EQ(parseKeyString(""), "");
}

TEST(ParseKeyString, RejectsNotationItDoesNotType) {
    for (const char* keys :
         {"+a", "^c", "%f", "~", "(ab)", "}", "{", "{}", "{ab}", "{ENTER}", "{TAB 3}", "x{+"})
        EXPECT_EQ(parseKeyString(keys), std::nullopt) << keys;
}

TEST(ParseKeyString, UndoesTheTypingEscapes) {
    for (const char* text : {"\"Some Artist - Some Song\" [44KHz/128kbps/stereo] [1:23 / 4:56]",
                             "{a} }{ [{] [}] {{}} +^%~() (C) 100% ~x~ a+b^2",
                             "Mötley Crüe – Дом \xF0\x9F\x8E\xB5", "\xFF{\xC3}\x80"})
        EXPECT_EQ(parseKeyString(escapeForTyping(text)), text) << text;
}

TEST(PathFromPlayerMemory, NeedsANulInsideTheBlock) {
    std::string block(kPathBufferSize, ' ');
    EXPECT_EQ(pathFromPlayerMemory(block), "");
    block.replace(0, 9, std::string("C:\\a.mp3\0", 9));
    EXPECT_EQ(pathFromPlayerMemory(block), "C:\\a.mp3");
    block[0] = '\0';
    EXPECT_EQ(pathFromPlayerMemory(block), "");
}

TEST(ExplorerSelectParameters, QuotesThePathWithoutBlankAfterComma) {
    EXPECT_EQ(explorerSelectParameters("C:\\My Music\\a b.mp3"),
              "/select,\"C:\\My Music\\a b.mp3\"");
}
