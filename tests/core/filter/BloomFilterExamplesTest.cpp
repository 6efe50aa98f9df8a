// Worked examples of the filter, checked on both the literal and the
// production engine so that a misreading shared by the two shows here; what a
// run does to a plane of the wrong size or without memory; the rank keys.
#include <algorithm>
#include <new>

#include "BloomFilterTestSupport.h"
#include "filter/CBloomFilter.h"
#include "filter/RankKeys.h"
#include "reference/CLiteralBloomFilter.h"
#include "support/CCollectingMessageSink.h"
#include "support/CSharedState.h"

namespace {

// height rows of row.
SPlane Rows(int32_t height, const std::vector<uint32_t>& row)
{
    SPlane plane{static_cast<int32_t>(row.size()), height, {}};
    for (int32_t y = 0; y < height; ++y)
        plane.values.insert(plane.values.end(), row.begin(), row.end());
    return plane;
}

SPlane Filtered(SPlane plane, uint32_t intensity, int32_t length, int32_t width)
{
    SPlane literal = plane;
    CLiteralBloomFilter(literal.values.data(), literal.width, literal.height, intensity, length, width)
        .Run("", CSharedState{}, nullptr);
    CBloomFilter(plane.values.data(), plane.width, plane.height, intensity, length, width).Run("", CSharedState{}, nullptr);
    EXPECT_EQ(plane.values, literal.values);
    return plane;
}

}  // namespace

TEST(BloomFilterExamples, FillRunLengthAndTheReplacementRank)
{
    // Width 1000 fits no window: what is left is the fill. Bloom pixels take
    // their left neighbour's value; the first dim pixel after them takes, with
    // its right neighbour, the value two to the right (the row's last value at
    // the last-but-one column); the carry ends with the row.
    const struct {
        int32_t height, length;
        std::vector<uint32_t> row, filled;
    } cases[] = {
        {4, 2, {10, 2000, 2000, 5, 7, 9}, {10, 10, 10, 9, 9, 9}}, {4, 2, {10, 2000, 5, 7}, {10, 10, 7, 7}},
        {4, 2, {5, 6, 7, 2000}, {5, 6, 7, 7}},
        {3, 3, {10, 2000, 5, 7}, {10, 2000, 5, 7}},  // a run of exactly Length is no bloom
    };
    for (const auto& c : cases)
        EXPECT_EQ(Filtered(Rows(c.height, c.row), 1000, c.length, 1000).values, Rows(c.height, c.filled).values);
    // The grown pixel (3,2) above the bloom in column 3 reads rows 1..3 of
    // columns 2..4 after the fill: 1 2 3 / 4 5 6 / 7 7 9; Width 1 takes the
    // fourth largest of nine.
    SPlane plane = Rows(7, std::vector<uint32_t>(7, 0));
    const uint32_t rows[3][5] = {{1, 2, 3, 0, 0}, {4, 5, 6, 0, 0}, {7, 200, 50, 60, 9}};
    for (int32_t i = 0; i < 15; ++i)
        plane.At(2 + i % 5, 1 + i / 5) = rows[i / 5][i % 5];
    plane.At(3, 4) = plane.At(3, 5) = 200;
    EXPECT_EQ(Filtered(plane, 100, 2, 1).At(3, 2), 6u);
}

TEST(BloomFilterExamples, ImagePlaneOfTheWrongSizeIsLeftAlone)
{
    CSharedState shared;
    CCollectingMessageSink messages;
    CPlainImage image(shared, messages);
    std::mt19937 rng(5);
    const SPlane plane = MakeStreakPlane(rng, 20, 16, 4, 16);
    std::tie(image.m_width, image.m_height, image.m_red) = std::tie(plane.width, plane.height, plane.values);
    CRecordingStatus status;
    CBloomFilter(image, image.m_green, 1000, 2, 2).Run(" in Green plane", shared, &status);
    EXPECT_TRUE(image.m_green.empty());
    EXPECT_EQ(status.m_calls.back(), "close");
}

#if !defined(__SANITIZE_ADDRESS__)
TEST(BloomFilterStatus, FailedAllocationClosesTheDisplayAndPropagates)
{
    // The masks of a plane this size cannot be allocated (the plane itself is
    // never read): the display is closed and the failure passed on.
    uint32_t plane[1] = {7};
    CRecordingStatus status;
    CBloomFilter huge(plane, 1 << 30, 1 << 30, 1000, 2, 2);
    EXPECT_THROW(huge.Run("", CSharedState{}, &status), std::bad_alloc);
    EXPECT_EQ(status.m_calls, (std::vector<std::string>{"open:", "close"}));
}
#endif

TEST(RankKeys, DistinctValuesRankedAtMost65536OfThem)
{
    // (The window selectors themselves are checked against the literal
    // engine, which scans each window for its maximum.)
    std::vector<uint32_t> plane = {70000, 5, 0xFFFFFFFFu, 70000, 1u << 30, 0};
    std::vector<uint16_t> keys;
    std::vector<uint32_t> values;
    ASSERT_TRUE(BuildRankKeys(plane.data(), plane.size(), keys, values));
    EXPECT_EQ(values, (std::vector<uint32_t>{0, 5, 70000, 1u << 30}));
    EXPECT_EQ(keys, (std::vector<uint16_t>{2, 1, 0, 2, 3, 0}));
    for (uint32_t v = 0; v < 65537; ++v)
        plane.push_back(3 * v);
    EXPECT_FALSE(BuildRankKeys(plane.data() + 6, 65537, keys, values));
    EXPECT_TRUE(BuildRankKeys(plane.data() + 6, 65536, keys, values));
    EXPECT_EQ(keys.back(), 65535);
}
