#include "engine/Random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

std::vector<int32_t> Draw(int count) {
    std::vector<int32_t> values;
    for (int i = 0; i < count; ++i) {
        values.push_back(Random());
    }
    return values;
}

TEST(Random, TheSameSeedGivesTheSameSequence) {
    SeedRandom(20240611);
    const std::vector<int32_t> first = Draw(100);
    SeedRandom(20240611);
    EXPECT_EQ(Draw(100), first);
    SeedRandom(20240612);
    EXPECT_NE(Draw(100), first);
}

TEST(Random, RunsAsTheClassicFifteenBitGeneratorSeededWithOne) {
    SeedRandom(1);
    EXPECT_EQ(Draw(5), (std::vector<int32_t>{16838, 5758, 10113, 17515, 31051}));
}

TEST(Random, CoversTheWholeFifteenBitRange) {
    SeedRandom(7);
    const std::vector<int32_t> values = Draw(200000);
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    EXPECT_EQ(*low, 0);
    EXPECT_EQ(*high, kRandomMax);
    // Each eighth of the range gets its share.
    int counts[8] = {};
    for (const int32_t value : values) {
        ++counts[value / 4096];
    }
    for (const int count : counts) {
        EXPECT_NEAR(count, 25000, 750);
    }
}

} // namespace
