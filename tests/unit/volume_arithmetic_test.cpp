// The percentage arithmetic of the volume, on its own.

#include "volume/volume_arithmetic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace omnitap;
using ports::VolumeRange;

namespace {
constexpr VolumeRange kLevel{0.0, 1.0, false}; // the endpoint's level
}

TEST(VolumeArithmetic, EveryPercentageSurvivesTheTripThroughTheRawValue) {
    for (VolumeRange range : {VolumeRange{0, 65535}, kLevel}) {
        for (std::int32_t p = 0; p <= 100; ++p) {
            auto raw = volumeRaw(p, range);
            ASSERT_TRUE(raw);
            EXPECT_EQ(volumePercentage(*raw, range), p);
            // The endpoint stores a float: reading it back must not lose a percent either.
            EXPECT_EQ(volumePercentage(static_cast<float>(*raw), range), p);
        }
    }
    EXPECT_EQ(volumeRaw(52, VolumeRange{0, 65535}), 34078);
}

TEST(VolumeArithmetic, RangeWithAnOffsetCountsFromItsMinimumAndHoldsValuesToIt) {
    constexpr VolumeRange range{100, 1100};
    EXPECT_EQ(volumeRaw(50, range), 600);
    EXPECT_EQ(volumeRaw(0, range), 100);
    EXPECT_EQ(volumePercentage(600, range), 50);
    EXPECT_EQ(volumePercentage(50, range), 0);     // a driver answering below its minimum
    EXPECT_EQ(volumePercentage(5000, range), 100); // or above its maximum
    EXPECT_EQ(volumeRaw(150, range), 1100);
    EXPECT_EQ(volumeRaw(-5, range), 100);
}

TEST(VolumeArithmetic, HalvesGoToTheEvenNeighbour) {
    constexpr VolumeRange two{0, 2};
    EXPECT_EQ(volumeRaw(25, two), 0); // 0.5
    EXPECT_EQ(volumeRaw(75, two), 2); // 1.5
    constexpr VolumeRange twoHundred{0, 200};
    EXPECT_EQ(volumePercentage(1, twoHundred), 0);  // 0.5 %
    EXPECT_EQ(volumePercentage(3, twoHundred), 2);  // 1.5 %
    EXPECT_EQ(volumePercentage(5, twoHundred), 2);  // 2.5 %
    EXPECT_EQ(volumePercentage(0.125, kLevel), 12); // 12.5
    EXPECT_EQ(volumePercentage(0.375, kLevel), 38); // 37.5
    EXPECT_EQ(volumeRaw(37, kLevel), 0.37);         // levels are not rounded to whole numbers
}

TEST(VolumeArithmetic, EmptyOrUpsideDownRangeGivesNoAnswer) {
    for (VolumeRange range : {VolumeRange{0, 0}, VolumeRange{500, 500}, VolumeRange{10, 0}}) {
        EXPECT_EQ(volumePercentage(10, range), std::nullopt);
        EXPECT_EQ(volumeRaw(50, range), std::nullopt);
    }
}

TEST(VolumeArithmetic, SteppingAndLevelsStopAtTheEnds) {
    EXPECT_EQ(steppedVolume(98, 5), 100);
    EXPECT_EQ(steppedVolume(3, -5), 0);
    EXPECT_EQ(steppedVolume(50, -5), 45);
    EXPECT_EQ(steppedVolume(100, std::numeric_limits<std::int32_t>::max()), 100);
    EXPECT_EQ(steppedVolume(0, std::numeric_limits<std::int32_t>::min()), 0);
    EXPECT_EQ(volumePercentage(1.5, kLevel), 100);
    EXPECT_EQ(volumePercentage(-0.25, kLevel), 0);
    EXPECT_EQ(volumePercentage(std::nan(""), kLevel), std::nullopt);
}
