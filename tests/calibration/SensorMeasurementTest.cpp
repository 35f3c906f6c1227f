#include "calibration/SensorMeasurement.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

SensorLevels Levels(std::initializer_list<int32_t> readings) {
    SensorLevels levels{};
    for (int32_t value : readings)
        levels.readings[levels.count++] = value;
    return levels;
}

TEST(SensorMeasurement, CapturesChooseTheLargestDifference) {
    const auto proposal =
        ProposeFromCaptures(Levels({100, 100, 100, 100}), Levels({100, 100, 300, 150}));
    ASSERT_TRUE(proposal);
    EXPECT_EQ(proposal->intensity, 2);
    EXPECT_EQ(proposal->threshold, 200);
    EXPECT_EQ(proposal->labelReading, 300);
    EXPECT_EQ(proposal->gapReading, 100);

    // Ties go to the lower level; a difference downwards counts as much as one upwards.
    const auto tie = ProposeFromCaptures(Levels({500, 100, 500}), Levels({300, 300, 700}));
    ASSERT_TRUE(tie);
    EXPECT_EQ(tie->intensity, 0);
    EXPECT_EQ(tie->threshold, 400);
}

TEST(SensorMeasurement, NinetySixTellsTheMediaApartNinetyFiveDoesNot) {
    EXPECT_TRUE(ProposeFromCaptures(Levels({10, 10}), Levels({10, 106})));
    EXPECT_FALSE(ProposeFromCaptures(Levels({10, 10}), Levels({10, 105})));
    // Threshold truncated toward zero.
    EXPECT_EQ(ProposeFromCaptures(Levels({-101}), Levels({0}))->threshold, -50);
}

TEST(SensorMeasurement, OnlyLevelsOfBothCapturesAreCompared) {
    // The second capture has two levels: level 2 of the first is never compared.
    SensorLevels first = Levels({100, 100, 900});
    const SensorLevels second = Levels({100, 150});
    EXPECT_FALSE(ProposeFromCaptures(first, second));
    EXPECT_FALSE(ProposeFromCaptures(SensorLevels{}, SensorLevels{}));
    first.count = 1000; // a count beyond the record is held to it
    EXPECT_FALSE(ProposeFromCaptures(first, second));
}

TEST(SensorMeasurement, ContinuousMediaSearchesFromTheLastLevel) {
    const auto falling = ProposeForContinuous(Levels({900, 800, 700, 600, 500}));
    ASSERT_TRUE(falling);
    EXPECT_EQ(falling->intensity, 2);
    EXPECT_EQ(falling->threshold, 634);
    EXPECT_EQ(falling->labelReading, 500);

    // Rising readings stop at the first level from the end below 768.
    const auto rising = ProposeForContinuous(Levels({100, 200, 700, 900, 1000}));
    ASSERT_TRUE(rising);
    EXPECT_EQ(rising->intensity, 1);
    EXPECT_EQ(rising->threshold, (700 + 256) / 2);

    // Flat readings run down to level 1.
    EXPECT_EQ(ProposeForContinuous(Levels({5, 5, 5}))->intensity, 1);
    // Fewer than two readings give nothing to compare.
    EXPECT_FALSE(ProposeForContinuous(Levels({900})));
    EXPECT_FALSE(ProposeForContinuous(SensorLevels{}));
}

TEST(SensorMeasurement, SizesAndUnits) {
    EXPECT_EQ(DotsPerUnit(200.0f), 200);
    EXPECT_EQ(DotsPerUnit(11.8f), 11);
    EXPECT_EQ(DotsPerUnit(1e12), INT32_MAX);
    EXPECT_EQ(LengthInDots(1.5, 203), 304);
    EXPECT_EQ(LengthInDots(-1.5, 203), -304);
    EXPECT_EQ(LengthInDots(1e300, 203), INT32_MAX);
    EXPECT_TRUE(IsMillimetreUnit(8));
    EXPECT_TRUE(IsMillimetreUnit(100));
    EXPECT_FALSE(IsMillimetreUnit(101));
    EXPECT_FALSE(IsMillimetreUnit(203));
}

} // namespace
