// From raw values to display pixels: the display table, the pixel formats of
// each depth (the AVX2 path and both threads included), the histogram's bins
// and the automatic stretch.
#include <algorithm>

#include "CoreTestSupport.h"
#include "image/CDisplayConverter.h"
#include "image/CFitsImage.h"
#include "image/CHistogram.h"

namespace {

// An image set up in memory, as the open sequence leaves it.
class DisplayMappingTest : public ::testing::Test {
protected:
    void Make(int32_t width, int32_t height, bool color, int32_t depth, uint32_t maxValue = 65535)
    {
        shared.m_nDisplayBpp = depth;
        std::tie(image.m_width, image.m_height, image.m_isColor, image.m_maxValue) = std::tie(width, height, color, maxValue);
        const std::size_t n = static_cast<std::size_t>(width) * height;
        image.m_red.assign(n, 0);
        image.m_green.assign(color ? n : 0, 0);
        image.m_blue.assign(color ? n : 0, 0);
        image.m_displayPixels.assign(n * (depth / 8), 0xAB);
        image.m_displayChanged = false;
    }
    void Show(int32_t low, int32_t high)
    {
        image.m_stretchLow = low;
        image.m_stretchHigh = high;
        image.UpdateDisplay();
    }

    CSharedState shared;
    CCollectingMessageSink messages;
    CFitsImage image{shared, messages};
};

}  // namespace

TEST_F(DisplayMappingTest, LutEntriesForEachKindOfLimits)
{
    const struct {
        int32_t low, high;
        std::vector<std::pair<std::size_t, uint32_t>> entries;  // index, value
    } cases[] = {
        // A ramp, truncated and not rounded: 7/2000*255 = 0.89, 8/2000*255 = 1.02.
        {1000, 3000, {{0, 0}, {999, 0}, {1000, 0}, {1007, 0}, {1008, 1}, {2000, 127}, {2999, 254}, {3000, 255}, {65535, 255}}},
        {3000, 1000, {{999, 255}, {1000, 255}, {2000, 127}, {3000, 0}, {3001, 0}}},  // inverted
        {500, 500, {{499, 0}, {500, 0}, {501, 255}}},  // equal limits show their own value black
        {-255, 255, {{0, 127}, {255, 255}}},           // limits outside the raw range
        {0, 1000000, {{65535, 16}}},
    };
    for (const auto& c : cases) {
        Make(0, 0, false, 32);
        Show(c.low, c.high);
        ASSERT_EQ(image.m_displayLut.size(), 65536u);
        for (auto [index, value] : c.entries)
            EXPECT_EQ(image.m_displayLut[index], value) << c.low << ".." << c.high << " at " << index;
    }
}

TEST_F(DisplayMappingTest, PixelBytesAtEachDepth)
{
    const struct {
        const char* name;
        bool color;
        int32_t depth, maxValue, high;  // the stretch runs from 0 to high
        std::vector<uint32_t> red, green, blue;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"32-bit mono", false, 32, 65535, 65535, {0, 65535}, {}, {}, {0, 0, 0, 0, 255, 255, 255, 0}},
        {"32-bit mono 200", false, 32, 255, 255, {200}, {}, {}, {200, 200, 200, 0}},
        {"32-bit colour", true, 32, 65535, 255, {200}, {100}, {50}, {50, 100, 200, 0}},
        // One group of four and a tail of three, no padding.
        {"24-bit mono", false, 24, 255, 255, {0, 10, 20, 30, 40, 50, 60}, {}, {},
         {0, 0, 0, 10, 10, 10, 20, 20, 20, 30, 30, 30, 40, 40, 40, 50, 50, 50, 60, 60, 60}},
        {"24-bit colour", true, 24, 255, 255, {1, 4}, {2, 5}, {3, 6}, {3, 2, 1, 6, 5, 4}},
        {"16-bit colour", true, 16, 255, 255, {255}, {128}, {7}, {0x00, 0x7E}},  // little-endian 5-5-5
        {"16-bit mono", false, 16, 255, 255, {255, 8}, {}, {}, {0xFF, 0x7F, 0x21, 0x04}},
        {"8-bit: nothing converted", false, 8, 255, 255, {255, 8}, {}, {}, {0xAB, 0xAB}},
    };
    for (const auto& c : cases) {
        Make(static_cast<int32_t>(c.red.size()), 1, c.color, c.depth, static_cast<uint32_t>(c.maxValue));
        image.m_red = c.red;
        image.m_green = c.green;
        image.m_blue = c.blue;
        Show(0, c.high);
        EXPECT_EQ(image.m_displayPixels, c.bytes) << c.name;
        EXPECT_TRUE(image.m_displayChanged) << c.name;
    }
}

TEST_F(DisplayMappingTest, LargeImagesConvertEveryPixelOnBothThreadsAndTheAvx2PathAsThePlainLoop)
{
    // Monochrome goes eight at a time where the processor can (32 and 24
    // bits), with an odd tail, on two threads; values below 0 and above full
    // scale in every position show as the plain loop shows them: the nearest
    // end of the ramp. The plain loops, which other processors run, too.
    for (const auto& [bytes, simd] : {std::pair<std::size_t, bool>{4, true}, {3, true}, {4, false}, {3, false}}) {
        CDisplayConverter::AllowSimd(simd);
        Make(1037, 601, false, static_cast<int32_t>(8 * bytes));
        const uint32_t specials[] = {0xFFFFFFFBu, 70000u, 0x80000000u, 0x7FFFFFFFu, 65535u, 0u, 256u};
        for (std::size_t p = 0; p < image.m_red.size(); ++p)
            image.m_red[p] = p % 3 == 0 ? specials[(p / 3) % 7] : static_cast<uint32_t>(p % 65536);
        Show(0, 65535);
        ASSERT_EQ(image.m_displayPixels.size(), bytes * image.m_red.size());
        for (std::size_t p = 0; p < image.m_red.size(); ++p) {
            const int64_t clamped = std::clamp<int64_t>(static_cast<int32_t>(image.m_red[p]), 0, 65535);
            const uint8_t v = static_cast<uint8_t>(image.m_displayLut[static_cast<std::size_t>(clamped)]);
            const std::vector<uint8_t> expected{v, v, v, 0};
            ASSERT_EQ(std::vector(&image.m_displayPixels[bytes * p], &image.m_displayPixels[bytes * p + bytes]),
                      std::vector(expected.begin(), expected.begin() + static_cast<std::ptrdiff_t>(bytes)))
                << bytes << " bytes, pixel " << p << (simd ? "" : ", plain loop");
        }
    }
    CDisplayConverter::AllowSimd(true);
}

TEST(HistogramBins, EqualSlicesOfTheFullScaleValuesAboveItInTheLast)
{
    const std::vector<uint32_t> eightBit(256, 1u), sixteenBit(65536, 1u);
    std::vector<uint32_t> ends(65536, 0u), endBins(200, 0u);
    ends[0] = endBins[0] = 5;
    ends[65535] = endBins[199] = 7;
    const struct {
        const std::vector<uint32_t>& counts;
        uint32_t fullScale;
        std::size_t bins;
        std::vector<uint32_t> expected;
    } cases[] = {
        {eightBit, 255, 4, {64, 64, 64, 64}}, {eightBit, 255, 3, {86, 85, 85}}, {sixteenBit, 255, 2, {128, 65408}},
        {ends, 65535, 200, endBins},          {eightBit, 255, 0, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CHistogram::Bins(c.counts, c.fullScale, c.bins), c.expected) << c.fullScale << " in " << c.bins;
}

TEST_F(DisplayMappingTest, AutoStretchTable)
{
    // Low: the peak of the histogram (the first of equal ones) while fewer
    // than 15% of the pixels lie at or below it; high: the first value above
    // which fewer than 1.78% lie. Only the red plane counts.
    const struct {
        const char* name;
        std::vector<std::pair<std::size_t, uint32_t>> runs;  // count, value
        bool color;
        std::pair<int32_t, int32_t> stretch;
    } cases[] = {
        {"peak below 15%", {{4, 10}, {8, 20}, {88, 50}}, false, {20, 50}},
        {"exactly 15% is no peak", {{3, 10}, {17, 50}}, false, {0, 50}},
        {"exactly 98.22% is not above it", {{4911, 100}, {89, 200}}, false, {0, 200}},
        {"flat, an odd count", {{15, 777}}, false, {0, 777}},
        {"no pixels", {}, false, {0, 65535}},
        {"ties go to the first value; green and blue do not count", {{5, 3}, {5, 7}, {90, 100}}, true, {3, 100}},
        // Counted on both threads: the second half decides the 98.22% point.
        {"large", {{50000, 100}, {529200, 1000}, {10800, 40000}}, false, {100, 40000}},
    };
    for (const auto& c : cases) {
        std::vector<uint32_t> red;
        for (auto [count, value] : c.runs)
            red.insert(red.end(), count, value);
        Make(static_cast<int32_t>(red.size()), red.empty() ? 0 : 1, c.color, 32);
        image.m_red = red;
        image.m_green.assign(image.m_green.size(), 60000);
        image.m_blue.assign(image.m_blue.size(), 60000);
        int32_t low = -1, high = -1;
        image.AutoStretch(low, high);
        EXPECT_EQ(std::pair(low, high), c.stretch) << c.name;
    }
}
