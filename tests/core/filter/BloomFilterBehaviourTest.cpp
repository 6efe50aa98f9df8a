// Worked examples of the filter's arithmetic, checked on both the literal and
// the production engine, so that a misreading shared by the two shows here.
#include <gtest/gtest.h>

#include <array>
#include <random>

#include "BloomFilterTestSupport.h"
#include "filter/CBloomFilter.h"
#include "reference/CLiteralBloomFilter.h"
#include "support/CCollectingMessageSink.h"
#include "support/CSharedState.h"

namespace {

SPlane Filtered(const SPlane& input, uint32_t intensity, int32_t length, int32_t width,
                const CSharedState& state = CSharedState{})
{
    SPlane literal = input, engine = input;
    CLiteralBloomFilter(literal.values.data(), literal.width, literal.height, intensity, length, width).Run("", state, nullptr);
    CBloomFilter(engine.values.data(), engine.width, engine.height, intensity, length, width).Run("", state, nullptr);
    EXPECT_EQ(engine.values, literal.values);
    return engine;
}

SPlane RowsOf(int32_t height, const std::vector<uint32_t>& row)
{
    SPlane plane{static_cast<int32_t>(row.size()), height, {}};
    for (int32_t y = 0; y < height; ++y)
        plane.values.insert(plane.values.end(), row.begin(), row.end());
    return plane;
}

}  // namespace

TEST(BloomFilterBehaviour, HorizontalFillAndRunLength)
{
    // Width 1000 fits no window: what is left is the fill. Bloom pixels take
    // their left neighbour's value; the first dim pixel after them takes, with
    // its right neighbour, the value two to the right (the row's last value at
    // the last-but-one column); the carry ends with the row.
    const struct {
        int32_t height, length;
        std::vector<uint32_t> row, filled;
    } cases[] = {
        {4, 2, {10, 2000, 2000, 5, 7, 9}, {10, 10, 10, 9, 9, 9}},
        {4, 2, {10, 2000, 5, 7}, {10, 10, 7, 7}},
        {4, 2, {5, 6, 7, 2000}, {5, 6, 7, 7}},
        {3, 3, {10, 2000, 5, 7}, {10, 2000, 5, 7}},  // a run of exactly Length is no bloom
        {4, 3, {10, 2000, 5, 7}, {10, 10, 7, 7}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Filtered(RowsOf(c.height, c.row), 1000, c.length, 1000).values, RowsOf(c.height, c.filled).values);
    // A wide row of bright pixels one pixel high is never a bloom.
    SPlane row = RowsOf(5, {100, 120, 140, 160, 180});
    for (int32_t x = 0; x < 5; ++x)
        row.At(x, 2) = 5000;
    EXPECT_EQ(Filtered(row, 1000, 1, 1).values, row.values);
}

TEST(BloomFilterBehaviour, ReplacementIsTheNthLargestOfTheWindowOrTheLeftNeighbours)
{
    // The grown pixel (3,2) above the bloom in column 3 reads rows 1..3 of
    // columns 2..4 after the fill: 1 2 3 / 4 5 6 / 7 7 9; Width 1 takes the
    // fourth largest of nine.
    SPlane plane{7, 7, std::vector<uint32_t>(49, 0)};
    const uint32_t rows[3][3] = {{1, 2, 3}, {4, 5, 6}, {7, 200, 50}};
    for (int32_t r = 0; r < 3; ++r)
        for (int32_t c = 0; c < 3; ++c)
            plane.At(2 + c, 1 + r) = rows[r][c];
    plane.At(5, 3) = 60;
    plane.At(6, 3) = 9;
    for (int32_t y = 3; y <= 5; ++y)
        plane.At(3, y) = 200;
    EXPECT_EQ(Filtered(plane, 100, 2, 1).At(3, 2), 6u);

    // Pixels whose window does not fit keep their fill (what Width 1000
    // leaves) or take the new value of their left neighbour. Blocks of one
    // value (inclusive corners) over noise: 6000 is bright, 4000 a star's glow.
    using Pixels = std::vector<std::pair<int32_t, int32_t>>;
    const struct {
        int32_t w, h, width;
        std::vector<std::array<int32_t, 5>> blocks;  // x0, y0, x1, y1, value
        Pixels keepFill, takeLeft;
    } cases[] = {
        {12, 10, 1, {{5, 0, 11, 8, 4000}, {8, 1, 8, 8, 6000}, {1, 5, 2, 9, 6000}}, {{1, 0}, {1, 5}, {1, 7}, {1, 9}, {2, 9}}, {}},
        {16, 10, 2, {{3, 5, 3, 9, 6000}, {10, 3, 14, 9, 4000}, {12, 4, 12, 9, 6000}}, {{3, 8}, {3, 9}, {12, 8}, {12, 9}, {13, 8}}, {}},
        {10, 12, 1, {{8, 2, 9, 9, 6000}}, {}, {{9, 3}, {9, 5}, {9, 8}}},  // against the right border
    };
    std::mt19937 rng(3);
    for (const auto& c : cases) {
        SPlane plane = MakeStreakPlane(rng, c.w, c.h, 0, 1);
        for (const auto& [x0, y0, x1, y1, value] : c.blocks)
            for (int32_t y = y0; y <= y1; ++y)
                for (int32_t x = x0; x <= x1; ++x)
                    plane.At(x, y) = static_cast<uint32_t>(value);
        const SPlane out = Filtered(plane, 5000, 2, c.width), fill = Filtered(plane, 5000, 2, 1000);
        for (auto [x, y] : c.keepFill)
            EXPECT_EQ(out.At(x, y), fill.At(x, y)) << x << "," << y;
        for (auto [x, y] : c.takeLeft) {
            EXPECT_EQ(out.At(x, y), out.At(x - 1, y)) << x << "," << y;
            EXPECT_NE(out.At(x, y), fill.At(x, y)) << x << "," << y;
        }
    }

    // Raw values held below 0 are never bright and never chosen: the plane
    // keeps its fill.
    SPlane negative{7, 7, std::vector<uint32_t>(49, 0xFFFF0000u)};
    for (int32_t y = 1; y <= 5; ++y)
        negative.At(3, y) = 70000;
    EXPECT_EQ(Filtered(negative, 60000, 2, 1).values, std::vector<uint32_t>(49, 0xFFFF0000u));
}

TEST(BloomFilterBehaviour, ColumnZeroAndEverythingOutsideTheRegionStay)
{
    std::mt19937 rng(11);
    SPlane plane = MakeStreakPlane(rng, 40, 40, 12, 35);
    for (int32_t y = 0; y < 40; ++y)
        plane.At(0, y) = plane.At(1, y) = 1050;
    const SPlane whole = Filtered(plane, 1000, 3, 2);
    CSharedState state;
    state.m_bRegionSet = true;
    state.m_rcRegionImage = {10, 10, 25, 30};
    const SPlane region = Filtered(plane, 1000, 3, 2, state);
    int changedInside = 0;
    for (int32_t y = 0; y < 40; ++y) {
        EXPECT_EQ(whole.At(0, y), plane.At(0, y));
        for (int32_t x = 0; x < 40; ++x) {
            const bool inside = x >= 10 && x < 25 && y >= 10 && y < 30;
            changedInside += inside && region.At(x, y) != plane.At(x, y);
            if (!inside && !(x == 25 && y >= 10 && y < 30)) {  // the fill may write one column right
                EXPECT_EQ(region.At(x, y), plane.At(x, y)) << x << "," << y;
            }
        }
    }
    EXPECT_GT(changedInside, 0);
}

TEST(BloomFilterBehaviour, ImagePlaneOfTheWrongSizeIsLeftAlone)
{
    CSharedState shared;
    CCollectingMessageSink messages;
    CPlainImage image(shared, messages);
    std::mt19937 rng(5);
    const SPlane plane = MakeStreakPlane(rng, 20, 16, 4, 16);
    image.m_width = 20;
    image.m_height = 16;
    image.m_red = plane.values;
    CRecordingStatus status;
    CBloomFilter(image, image.m_green, 1000, 2, 2).Run(" in Green plane", shared, &status);
    EXPECT_TRUE(image.m_green.empty());
    EXPECT_EQ(status.m_calls.back(), "close");
    CBloomFilter(image, image.m_red, 1000, 2, 2).Run("", shared, nullptr);
    EXPECT_EQ(image.m_red, Filtered(plane, 1000, 2, 2).values);
}
