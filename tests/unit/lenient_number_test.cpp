#include "keys/lenient_number.h"

#include <gtest/gtest.h>

using namespace omnitap;

TEST(LenientNumber, ReadsTheLeadingNumberRoundingHalvesToEven) {
    const std::pair<const char*, int> cases[] = {
        {"  65abc", 65}, {"-12x", -12}, {"+7", 7},     {"1 7\t9", 179}, // blanks skipped anywhere
        {"- 5", -5},     {"1.2.3", 1},  {"", 0},       {"abc", 0},      {"--5", 0},   {"\"17\"", 0},
        {"30.5", 30},    {"31.5", 32},  {"30.51", 31}, {".5", 0},       {"-2.5", -2}, {"-3.5", -4}};
    for (auto [text, value] : cases)
        EXPECT_EQ(readInt16(text), value) << text;
}

TEST(LenientNumber, ClampsInsteadOfOverflowing) {
    EXPECT_EQ(readInt16("40000"), 32767);
    EXPECT_EQ(readInt16("-40000"), -32768);
    EXPECT_EQ(readInt16(std::string(400, '9')), 32767);
    EXPECT_EQ(readKeyCount("32767.4"), 32767);
    EXPECT_EQ(readKeyCount("   "), 0);
    EXPECT_EQ(readInt32("99999999999"), 2147483647);
    EXPECT_EQ(readInt32("-99999999999"), -2147483647 - 1);
}
