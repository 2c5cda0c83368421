#include "runtime/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

std::string text(double value) {
    RtString s = numberToText(value);
    std::string result(s, static_cast<std::size_t>(stringLength(s)));
    stringRelease(s);
    return result;
}

TEST(NumberText, PlainAndScientificForms) {
    runtimeInit();
    const struct {
        double value;
        const char* expected;
    } rows[] = {
        {0, "0"},
        {-0.0, "0"},
        {1, "1"},
        {-1, "-1"},
        {10, "10"},
        {250, "250"},
        {1e14, "100000000000000"},
        {0.5, "0.5"},
        {-0.5, "-0.5"},
        {0.001, "0.001"},
        {0.0001, "0.0001"},
        {123.456, "123.456"},
        {12345.678, "12345.678"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {123456789012345, "123456789012345"},
        {9.99999999999999, "10"},
        {999999999999999, "1.00000000000000e+015"},
        {1e15, "1.00000000000000e+015"},
        {1234567890123456, "1.23456789012346e+015"},
        {1e20, "1.00000000000000e+020"},
        {1e100, "1.00000000000000e+100"},
        {0.00001, "1.00000000000000e-05"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(text(row.value), row.expected) << "value " << row.value;
    }
    EXPECT_EQ(stringCount(), 0);
}

TEST(NumberText, StepByStepDoubleArithmeticDecidesTheLastDigit) {
    // An exact decimal conversion would give the plain integers here.
    EXPECT_EQ(text(91437924427588), "91437924427588.1");
    EXPECT_EQ(text(90468597244981), "90468597244980.9");
    EXPECT_EQ(text(883397359450956), "883397359450955");
}

TEST(NumberText, EveryScoreAndStageIsPlainDigits) {
    for (int i = 0; i <= 1000000; ++i) {
        const std::string got = text(i);
        if (got != std::to_string(i)) {
            FAIL() << i << " gave " << got;
        }
    }
}

TEST(NumberText, NonFiniteValuesStillTerminate) {
    EXPECT_EQ(text(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(text(-std::numeric_limits<double>::infinity()), "-inf");
    EXPECT_EQ(text(std::nan("")), "nan");
}

TEST(FloorToInt, RoundsDownAndSaturatesOutsideTheRange) {
    EXPECT_EQ(floorToInt(2.7), 2);
    EXPECT_EQ(floorToInt(-2.5), -3);
    EXPECT_EQ(floorToInt(-3), -3);
    EXPECT_EQ(floorToInt(0.999), 0);
    EXPECT_EQ(floorToInt(-0.25), -1);
    EXPECT_EQ(floorToInt(1e12), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(floorToInt(-1e12), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(floorToInt(std::numeric_limits<double>::infinity()), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(floorToInt(std::nan("")), 0);
}

TEST(DecimalDigits, NormalisesAndRoundsHalfUp) {
    int exponent = 0;
    bool negative = false;
    EXPECT_STREQ(decimalDigits(-250, 15, exponent, negative), "250000000000000");
    EXPECT_EQ(exponent, 3);
    EXPECT_TRUE(negative);
    EXPECT_STREQ(decimalDigits(0.015, 1, exponent, negative), "2");
    EXPECT_EQ(exponent, -1);
    EXPECT_FALSE(negative);
    EXPECT_STREQ(decimalDigits(0, 3, exponent, negative), "000");
    EXPECT_EQ(exponent, 0);
}

} // namespace
