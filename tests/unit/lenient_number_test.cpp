#include "keyboard/lenient_number.h"

#include <gtest/gtest.h>

using namespace omnitap;

TEST(LenientNumber, ReadsTheLeadingNumberAndIgnoresTheRest) {
    EXPECT_EQ(readInt16("  65abc"), 65);
    EXPECT_EQ(readInt16("179"), 179);
    EXPECT_EQ(readInt16("-12x"), -12);
    EXPECT_EQ(readInt16("+7"), 7);
    EXPECT_EQ(readInt16("1 7\t9"), 179); // blanks and tabs are skipped anywhere
    EXPECT_EQ(readInt16("- 5"), -5);
    EXPECT_EQ(readInt16("1.2.3"), 1);
}

TEST(LenientNumber, TextWithoutANumberIsZero) {
    EXPECT_EQ(readInt16(""), 0);
    EXPECT_EQ(readInt16("abc"), 0);
    EXPECT_EQ(readInt16("--5"), 0);
    EXPECT_EQ(readInt16("\"17\""), 0);
    EXPECT_EQ(readKeyCount("   "), 0);
}

TEST(LenientNumber, RoundsHalvesToEven) {
    EXPECT_EQ(readInt16("30.5"), 30);
    EXPECT_EQ(readInt16("31.5"), 32);
    EXPECT_EQ(readInt16("30.51"), 31);
    EXPECT_EQ(readInt16(".5"), 0);
    EXPECT_EQ(readInt16("-2.5"), -2);
    EXPECT_EQ(readInt16("-3.5"), -4);
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(1.5), 2);
}

TEST(LenientNumber, ClampsInsteadOfOverflowing) {
    EXPECT_EQ(readInt16("40000"), 32767);
    EXPECT_EQ(readInt16("-40000"), -32768);
    EXPECT_EQ(readInt16(std::string(400, '9')), 32767);
    EXPECT_EQ(readKeyCount("2000000000"), 32767);
    EXPECT_EQ(readKeyCount("-5"), 0);
    EXPECT_EQ(readKeyCount("32767.4"), 32767);
    EXPECT_EQ(readInt32("99999999999"), 2147483647);
    EXPECT_EQ(readInt32("-99999999999"), -2147483647 - 1);
    EXPECT_EQ(readInt32("17"), 17);
}
