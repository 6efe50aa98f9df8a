#include <gtest/gtest.h>

#include "image/CFitsImage.h"
#include "image/CHistogram.h"
#include "support/CCollectingMessageSink.h"
#include "support/CSharedState.h"

namespace {

// An image set up in memory, as the open sequence leaves it.
class DisplayMappingTest : public ::testing::Test {
protected:
    void Make(int32_t width, int32_t height, bool color, int32_t depth, uint32_t maxValue = 65535)
    {
        shared.m_nDisplayBpp = depth;
        image.m_width = width;
        image.m_height = height;
        image.m_isColor = color;
        image.m_maxValue = maxValue;
        const std::size_t n = static_cast<std::size_t>(width) * height;
        image.m_red.assign(n, 0);
        if (color) {
            image.m_green.assign(n, 0);
            image.m_blue.assign(n, 0);
        }
        image.m_displayPixels.assign(n * (depth / 8), 0xAB);
    }

    void Show(int32_t low, int32_t high)
    {
        image.m_stretchLow = low;
        image.m_stretchHigh = high;
        image.UpdateDisplay();
    }

    std::vector<uint32_t> Lut(int32_t low, int32_t high)
    {
        Make(0, 0, false, 32);
        Show(low, high);
        return image.m_displayLut;
    }

    CSharedState shared;
    CCollectingMessageSink messages;
    CFitsImage image{shared, messages};
};

TEST_F(DisplayMappingTest, LutEntriesForEachKindOfLimits)
{
    struct SLutCase {
        int32_t low, high;
        std::vector<std::pair<std::size_t, uint32_t>> entries;  // index, value
    };
    const SLutCase cases[] = {
        // A normal ramp, truncated and not rounded: 7/2000*255 = 0.89, 8/2000*255 = 1.02.
        {1000, 3000, {{0, 0}, {999, 0}, {1000, 0}, {1007, 0}, {1008, 1}, {2000, 127}, {2999, 254},
                      {3000, 255}, {3001, 255}, {65535, 255}}},
        {3000, 1000, {{999, 255}, {1000, 255}, {2000, 127}, {3000, 0}, {3001, 0}}},  // inverted
        {500, 500, {{499, 0}, {500, 0}, {501, 255}}},  // equal limits show their own value black
        {-255, 255, {{0, 127}, {255, 255}}},           // limits outside the raw range
        {0, 1000000, {{65535, 16}}},
    };
    for (const SLutCase& c : cases) {
        const std::vector<uint32_t> lut = Lut(c.low, c.high);
        ASSERT_EQ(lut.size(), 65536u);
        for (auto [index, value] : c.entries)
            EXPECT_EQ(lut[index], value) << c.low << ".." << c.high << " at " << index;
    }
}

TEST_F(DisplayMappingTest, PixelBytesAtEachDepth)
{
    struct SPixelCase {
        const char* name;
        int32_t width;
        bool color;
        int32_t depth;
        uint32_t maxValue;
        int32_t high;  // the stretch runs from 0 to here
        std::vector<uint32_t> red, green, blue;
        std::vector<uint8_t> bytes;
    };
    const SPixelCase cases[] = {
        {"32-bit mono", 2, false, 32, 65535, 65535, {0, 65535}, {}, {}, {0, 0, 0, 0, 255, 255, 255, 0}},
        {"32-bit mono 200: three equal bytes and zero", 1, false, 32, 255, 255, {200}, {}, {}, {200, 200, 200, 0}},
        {"32-bit colour", 1, true, 32, 65535, 255, {200}, {100}, {50}, {50, 100, 200, 0}},
        // Seven pixels: one group of four and a tail of three, no padding.
        {"24-bit mono", 7, false, 24, 255, 255, {0, 10, 20, 30, 40, 50, 60}, {}, {},
         {0, 0, 0, 10, 10, 10, 20, 20, 20, 30, 30, 30, 40, 40, 40, 50, 50, 50, 60, 60, 60}},
        {"24-bit colour", 2, true, 24, 255, 255, {1, 4}, {2, 5}, {3, 6}, {3, 2, 1, 6, 5, 4}},
        // Little-endian 5-5-5 words.
        {"16-bit colour", 1, true, 16, 255, 255, {255}, {128}, {7}, {0x00, 0x7E}},
        {"16-bit mono", 2, false, 16, 255, 255, {255, 8}, {}, {}, {0xFF, 0x7F, 0x21, 0x04}},
    };
    for (const SPixelCase& c : cases) {
        Make(c.width, 1, c.color, c.depth, c.maxValue);
        image.m_red = c.red;
        if (c.color) {
            image.m_green = c.green;
            image.m_blue = c.blue;
        }
        image.m_displayChanged = false;
        Show(0, c.high);
        EXPECT_EQ(image.m_displayPixels, c.bytes) << c.name;
        EXPECT_TRUE(image.m_displayChanged) << c.name;
    }
}

TEST_F(DisplayMappingTest, OtherDepthsConvertNothingButStillFlagTheDisplay)
{
    Make(2, 2, false, 8);
    image.m_displayPixels.assign(3, 0xAB);
    image.m_displayChanged = false;
    Show(0, 10);
    EXPECT_TRUE(image.m_displayChanged);
    EXPECT_EQ(image.m_displayPixels, (std::vector<uint8_t>{0xAB, 0xAB, 0xAB}));
    EXPECT_EQ(image.m_displayLut.size(), 65536u);
}

TEST_F(DisplayMappingTest, LargeImagesConvertEveryPixelAcrossTheSplit)
{
    // Large enough to be split over two threads; a pattern that differs at
    // every pixel around the middle.
    Make(1031, 613, false, 24, 255);
    for (std::size_t p = 0; p < image.m_red.size(); ++p)
        image.m_red[p] = static_cast<uint32_t>((p * 7) % 256);
    Show(0, 255);
    for (std::size_t p = 0; p < image.m_red.size(); ++p)
        ASSERT_EQ(image.m_displayPixels[3 * p + 1], (p * 7) % 256) << p;

    Make(1031, 613, true, 32, 255);
    for (std::size_t p = 0; p < image.m_red.size(); ++p) {
        image.m_red[p] = p % 256;
        image.m_green[p] = (p / 256) % 256;
        image.m_blue[p] = (p * 3) % 256;
    }
    Show(0, 255);
    for (std::size_t p = 0; p < image.m_red.size(); ++p) {
        ASSERT_EQ(image.m_displayPixels[4 * p], (p * 3) % 256) << p;
        ASSERT_EQ(image.m_displayPixels[4 * p + 1], (p / 256) % 256) << p;
        ASSERT_EQ(image.m_displayPixels[4 * p + 2], p % 256) << p;
        ASSERT_EQ(image.m_displayPixels[4 * p + 3], 0) << p;
    }
}

TEST_F(DisplayMappingTest, OutOfRangeRawValuesShowAsTheNearestEndOfTheRamp)
{
    // Long enough for the eight-at-a-time paths and both threads, with an odd
    // tail; values below 0 and above full scale in every position.
    for (int32_t depth : {32, 24}) {
        Make(1037, 601, false, depth);
        const uint32_t specials[] = {0xFFFFFFFBu, 70000u, 0x80000000u, 0x7FFFFFFFu, 65535u, 0u, 256u};
        for (std::size_t p = 0; p < image.m_red.size(); ++p)
            image.m_red[p] = p % 3 == 0 ? specials[(p / 3) % 7] : static_cast<uint32_t>(p % 65536);
        Show(0, 65535);
        const std::size_t bytes = static_cast<std::size_t>(depth / 8);
        for (std::size_t p = 0; p < image.m_red.size(); ++p) {
            const int64_t s = static_cast<int32_t>(image.m_red[p]);
            const int64_t clamped = s < 0 ? 0 : s > 65535 ? 65535 : s;
            const uint8_t v = static_cast<uint8_t>(image.m_displayLut[clamped]);
            for (std::size_t k = 0; k < 3; ++k) {
                ASSERT_EQ(image.m_displayPixels[bytes * p + k], v) << depth << " " << p;
            }
            if (depth == 32) {
                ASSERT_EQ(image.m_displayPixels[bytes * p + 3], 0) << p;
            }
        }
        EXPECT_EQ(image.m_displayLut[65535], 255u);
    }
}

// The picture of the image before the last filter run is the one the
// current planes gave before the run: same table, same depth, every format.
TEST_F(DisplayMappingTest, UndoPlanesMapAsTheImageDidBeforeTheRun)
{
    for (bool color : {false, true}) {
        for (int32_t depth : {16, 24, 32}) {
            SCOPED_TRACE(testing::Message() << "colour " << color << ", depth " << depth);
            Make(5, 3, color, depth);
            for (std::vector<uint32_t>* plane : {&image.m_red, &image.m_green, &image.m_blue})
                for (std::size_t p = 0; p < plane->size(); ++p)
                    (*plane)[p] = static_cast<uint32_t>(p * 4000 + (plane == &image.m_green ? 900 : 0));
            Show(1000, 50000);
            const std::vector<uint8_t> before = image.m_displayPixels;
            std::vector<uint8_t> original;
            EXPECT_FALSE(image.MapUndoPlanes(original));
            image.SaveUndo();
            image.m_red.assign(image.m_red.size(), 60000);
            image.UpdateDisplay();
            const std::vector<uint8_t> after = image.m_displayPixels;
            ASSERT_TRUE(image.MapUndoPlanes(original));
            EXPECT_EQ(original, before);
            EXPECT_EQ(image.m_displayPixels, after);
            // Undone, there is nothing to compare with.
            image.Undo();
            EXPECT_FALSE(image.MapUndoPlanes(original));
        }
    }
}

// The stretch dialog's histogram: equal slices of 0..full scale, values
// above it in the last slice.
TEST(HistogramBins, EqualSlicesOfTheFullScale)
{
    const std::vector<uint32_t> eightBit(256, 1u), sixteenBit(65536, 1u);
    std::vector<uint32_t> ends(65536, 0u);
    ends[0] = 5;
    ends[65535] = 7;
    std::vector<uint32_t> endBins(200, 0u);
    endBins[0] = 5;
    endBins[199] = 7;
    const struct {
        const std::vector<uint32_t>& counts;
        uint32_t fullScale;
        std::size_t bins;
        std::vector<uint32_t> expected;
    } cases[] = {
        {eightBit, 255, 4, {64, 64, 64, 64}},
        {eightBit, 255, 3, {86, 85, 85}},
        {sixteenBit, 255, 2, {128, 65408}},
        {ends, 65535, 200, endBins},
        {eightBit, 255, 0, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CHistogram::Bins(c.counts, c.fullScale, c.bins), c.expected)
            << c.fullScale << " in " << c.bins;
}

class AutoStretchTest : public DisplayMappingTest {
protected:
    std::pair<int32_t, int32_t> Stretch()
    {
        int32_t low = -1, high = -1;
        image.AutoStretch(low, high);
        return {low, high};
    }
};

TEST_F(AutoStretchTest, PeakBelowFifteenPercentAndFirstValueAbove9822Percent)
{
    Make(10, 10, false, 32);
    std::size_t p = 0;
    for (int i = 0; i < 4; ++i)
        image.m_red[p++] = 10;
    for (int i = 0; i < 8; ++i)
        image.m_red[p++] = 20;
    while (p < 100)
        image.m_red[p++] = 50;
    EXPECT_EQ(Stretch(), std::make_pair(20, 50));
}

TEST_F(AutoStretchTest, AFlatImageHasNoPeak)
{
    Make(5, 3, false, 32);
    image.m_red.assign(15, 777);
    EXPECT_EQ(Stretch(), std::make_pair(0, 777));
}

TEST_F(AutoStretchTest, AnImageWithoutPixels)
{
    Make(0, 0, false, 32, 255);
    EXPECT_EQ(Stretch(), std::make_pair(0, 65535));
}

TEST_F(AutoStretchTest, OnlyTheRedPlaneCountsAndTiesGoToTheFirstValue)
{
    Make(20, 5, true, 32);
    // 5 of 3 and 5 of 7 (both 5%), the rest 100.
    for (int i = 0; i < 5; ++i) {
        image.m_red[i] = 3;
        image.m_red[10 + i] = 7;
    }
    for (int i = 20; i < 100; ++i)
        image.m_red[i] = 100;
    image.m_green.assign(100, 60000);
    image.m_blue.assign(100, 60000);
    for (int i = 5; i < 10; ++i)
        image.m_red[i] = 100;
    for (int i = 15; i < 20; ++i)
        image.m_red[i] = 100;
    EXPECT_EQ(Stretch(), std::make_pair(3, 100));
}

TEST_F(AutoStretchTest, LargeImagesCountEveryPixelOnBothThreads)
{
    // 600000 pixels: 50000 of 100 and 30000 of 200 spread over the whole
    // plane (both below 15%), one pixel at 40000 in the last 1.78%.
    Make(1000, 600, false, 32);
    for (std::size_t p = 0; p < image.m_red.size(); ++p)
        image.m_red[p] = p % 12 == 0 ? 100 : p % 20 == 1 ? 200 : 1000;
    image.m_red[599999] = 40000;
    // Counts: 100 -> 50000 (8.3%), 200 -> 30000 minus overlaps, then 1000.
    EXPECT_EQ(Stretch(), std::make_pair(100, 1000));
    // Move 1.8% of the pixels to 40000: the 98.22% point moves there.
    for (std::size_t p = 0; p < 10800; ++p)
        image.m_red[p * 55 + 3] = 40000;
    EXPECT_EQ(Stretch().second, 40000);
}

}  // namespace
