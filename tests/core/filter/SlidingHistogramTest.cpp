// The window histogram against a sorted copy of the window, moved in every
// direction, far (rebuilt) and near (slid), small and very large windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include "filter/CSlidingHistogram.h"
#include "filter/CSortSelector.h"
#include "filter/RankKeys.h"

namespace {

uint32_t NthLargestByCopy(const std::vector<uint32_t>& plane, int32_t width, int32_t x, int32_t y, int32_t w,
                          std::size_t n)
{
    std::vector<uint32_t> window;
    for (int32_t dy = -w; dy <= w; ++dy)
        for (int32_t dx = -w; dx <= w; ++dx)
            window.push_back(plane[static_cast<std::size_t>(y + dy) * width + x + dx]);
    std::sort(window.begin(), window.end(), std::greater<uint32_t>());
    return window[n - 1];
}

void CheckWalk(int32_t side, int32_t w, uint32_t maxValue, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<uint32_t> plane(static_cast<std::size_t>(side) * side);
    for (uint32_t& v : plane)
        v = std::uniform_int_distribution<uint32_t>(0, maxValue)(rng);
    CSlidingHistogram<SClampedValueKeys> histogram(SClampedValueKeys{plane.data()}, side, w);
    std::uniform_int_distribution<int32_t> far(w, side - 1 - w);
    std::uniform_int_distribution<int32_t> step(-3, 3);
    std::uniform_int_distribution<std::size_t> rank(1, static_cast<std::size_t>(2 * w + 1) * (2 * w + 1));
    int32_t x = far(rng), y = far(rng);
    for (int move = 0; move < 60; ++move) {
        if (move % 10 == 0) {
            x = far(rng);
            y = far(rng);
        } else {
            x = std::clamp(x + step(rng), w, side - 1 - w);
            y = std::clamp(y + step(rng), w, side - 1 - w);
        }
        histogram.MoveTo(x, y);
        const std::size_t n = rank(rng);
        ASSERT_EQ(histogram.NthLargest(n), NthLargestByCopy(plane, side, x, y, w, n))
            << "w " << w << " at " << x << "," << y << " n " << n;
    }
}

}  // namespace

TEST(SlidingHistogram, MatchesSortedWindowWhereverItMoves)
{
    CheckWalk(40, 1, 65535, 1);
    CheckWalk(40, 5, 300, 2);     // many equal values
    CheckWalk(60, 12, 65535, 3);
    CheckWalk(300, 130, 65535, 4);  // a window larger than the histogram
}

TEST(SortSelector, CountsNegativeValuesAsZero)
{
    // 3x3 window: 9 8 7 / -1 -2 -3 / -4 -5 -6: the 4th largest is 0.
    std::vector<uint32_t> plane = {9, 8, 7, 0xFFFFFFFFu, 0xFFFFFFFEu, 0xFFFFFFFDu, 0xFFFFFFFCu, 0xFFFFFFFBu,
                                   0xFFFFFFFAu};
    CSortSelector selector(1);
    EXPECT_EQ(selector.Select(plane.data(), 3, 1, 1), 0u);
    plane[3] = 5;
    EXPECT_EQ(selector.Select(plane.data(), 3, 1, 1), 5u);
}

TEST(RankKeys, RanksDistinctValuesAndRefusesTooMany)
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
    EXPECT_EQ(values.size(), 65536u);
    EXPECT_EQ(keys.back(), 65535);
}
