// The rank selectors against a sorted copy of the window.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include "filter/CSlidingHistogram.h"
#include "filter/CSortSelector.h"
#include "filter/RankKeys.h"

TEST(SlidingHistogram, MatchesSortedWindowWhereverItMoves)
{
    // Moved far (rebuilt) and near (slid) in every direction; small windows,
    // many equal values, and a window larger than the histogram.
    const struct {
        int32_t side, w;
        uint32_t maxValue;
    } walks[] = {{40, 1, 65535}, {40, 5, 300}, {60, 12, 65535}, {300, 130, 65535}};
    std::mt19937 rng(1);
    for (const auto& c : walks) {
        std::vector<uint32_t> plane(static_cast<std::size_t>(c.side) * c.side);
        for (uint32_t& v : plane)
            v = std::uniform_int_distribution<uint32_t>(0, c.maxValue)(rng);
        CSlidingHistogram<SClampedValueKeys> histogram(SClampedValueKeys{plane.data()}, c.side, c.w);
        auto near = [&](int32_t v) { return std::clamp(v + static_cast<int32_t>(rng() % 7) - 3, c.w, c.side - 1 - c.w); };
        int32_t x = c.w, y = c.w;
        for (int move = 0; move < 60; ++move) {
            x = move % 10 == 0 ? near(static_cast<int32_t>(rng() % c.side)) : near(x);
            y = move % 10 == 0 ? near(static_cast<int32_t>(rng() % c.side)) : near(y);
            histogram.MoveTo(x, y);
            std::vector<uint32_t> window;
            for (int32_t dy = -c.w; dy <= c.w; ++dy)
                for (int32_t dx = -c.w; dx <= c.w; ++dx)
                    window.push_back(plane[static_cast<std::size_t>(y + dy) * c.side + x + dx]);
            std::sort(window.begin(), window.end(), std::greater<uint32_t>());
            const std::size_t n = 1 + rng() % window.size();
            ASSERT_EQ(histogram.NthLargest(n), window[n - 1]) << "w " << c.w << " at " << x << "," << y << " n " << n;
        }
    }
}

TEST(SortSelector, CountsNegativeValuesAsZero)
{
    // 3x3 window: 9 8 7 / -1 -2 -3 / -4 -5 -6: the 4th largest is 0.
    std::vector<uint32_t> plane = {9, 8, 7, 0xFFFFFFFFu, 0xFFFFFFFEu, 0xFFFFFFFDu, 0xFFFFFFFCu, 0xFFFFFFFBu, 0xFFFFFFFAu};
    CSortSelector selector(1);
    EXPECT_EQ(selector.Select(plane.data(), 3, 1, 1), 0u);
    plane[3] = 5;
    EXPECT_EQ(selector.Select(plane.data(), 3, 1, 1), 5u);
}

TEST(RankKeys, RanksDistinctValuesAndRefusesMoreThanSixteenBitsHold)
{
    std::vector<uint32_t> plane = {70000, 5, 0xFFFFFFFFu, 70000, 1u << 30, 0};
    std::vector<uint16_t> keys;
    std::vector<uint32_t> values;
    ASSERT_TRUE(BuildRankKeys(plane.data(), plane.size(), keys, values));
    EXPECT_EQ(values, (std::vector<uint32_t>{0, 5, 70000, 1u << 30}));
    EXPECT_EQ(keys, (std::vector<uint16_t>{2, 1, 0, 2, 3, 0}));
    std::vector<uint32_t> many(65537);
    for (std::size_t i = 0; i < many.size(); ++i)
        many[i] = static_cast<uint32_t>(i * 3);
    EXPECT_FALSE(BuildRankKeys(many.data(), many.size(), keys, values));
    many.pop_back();
    EXPECT_TRUE(BuildRankKeys(many.data(), many.size(), keys, values));
    EXPECT_EQ(keys.back(), 65535);
}
