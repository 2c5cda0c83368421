#include "runtime/random_source.h"
#include "runtime/rt_string.h"

#include <gtest/gtest.h>

namespace {

TEST(RandomSource, SequenceFromSeedOne) {
    runtimeInit();
    EXPECT_EQ(RandomSource::seed, 1u) << "the runtime starts the generator at 1";
    EXPECT_EQ(RandomSource::next(), 16838);
    EXPECT_EQ(RandomSource::seed, 1103527590u);
    EXPECT_EQ(RandomSource::next(), 5758);
    EXPECT_EQ(RandomSource::seed, 2524885223u);
    EXPECT_EQ(RandomSource::next(), 10113);
    EXPECT_EQ(RandomSource::seed, 662824084u);
}

TEST(RandomSource, StaysWithinFifteenBitsForAnySeed) {
    for (std::int32_t seed : {0, -1, 0x7FFFFFFF, static_cast<std::int32_t>(0x80000000u), 12345}) {
        RandomSource::setSeed(seed);
        for (int i = 0; i < 10000; ++i) {
            const std::int32_t value = RandomSource::next();
            ASSERT_GE(value, 0);
            ASSERT_LE(value, 32767);
        }
    }
}

} // namespace
