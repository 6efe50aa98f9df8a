// The production engine against the literal one, on many planes.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "BloomFilterTestSupport.h"
#include "filter/CBloomFilter.h"
#include "reference/CLiteralBloomFilter.h"
#include "support/CSharedState.h"

namespace {

struct SCase {
    SPlane plane;
    uint32_t intensity = 1000;
    int32_t length = 2;
    int32_t width = 1;
    CSharedState state;
};

std::string Describe(const SCase& c)
{
    return std::to_string(c.plane.width) + "x" + std::to_string(c.plane.height) + " I=" +
           std::to_string(c.intensity) + " L=" + std::to_string(c.length) + " W=" + std::to_string(c.width) +
           (c.state.m_bRegionSet ? " region " + std::to_string(c.state.m_rcRegionImage.left) + "," +
                                       std::to_string(c.state.m_rcRegionImage.top) + "," +
                                       std::to_string(c.state.m_rcRegionImage.right) + "," +
                                       std::to_string(c.state.m_rcRegionImage.bottom)
                                 : "");
}

// Runs both engines on copies of the case's plane and compares the results
// and counts; every selection method and one or two threads.
void ExpectSameAsLiteral(const SCase& c)
{
    const std::string label = Describe(c);
    SPlane expected = c.plane;
    CLiteralBloomFilter literal(expected.values.data(), expected.width, expected.height, c.intensity, c.length,
                                c.width);
    literal.Run("", c.state, nullptr);
    for (auto selection : {CBloomFilter::ESelection::Auto, CBloomFilter::ESelection::Sort,
                           CBloomFilter::ESelection::Histogram}) {
        for (int threads : {1, 2}) {
            SPlane actual = c.plane;
            CBloomFilter engine(actual.values.data(), actual.width, actual.height, c.intensity, c.length, c.width);
            engine.SetSelection(selection);
            engine.SetThreadCount(threads);
            // One run of each case also records its changes: same result.
            CChangeMask changes;
            const bool recording = selection == CBloomFilter::ESelection::Auto && threads == 2;
            if (recording)
                engine.RecordChanges(&changes);
            engine.Run("", c.state, nullptr);
            ASSERT_EQ(actual.values, expected.values)
                << label << " selection " << static_cast<int>(selection) << " threads " << threads;
            if (recording)
                ExpectMaskIsDifference(c.plane.values, actual.values, actual.width, actual.height, changes, label);
            ASSERT_EQ(engine.DetectedCount(), literal.m_nDetected) << label;
            ASSERT_EQ(engine.LengthCheckedCount(), literal.m_nLengthChecked) << label;
        }
    }
}

}  // namespace

TEST(BloomFilterDifferential, RandomSmallPlanesWithStreaks)
{
    std::mt19937 rng(12345);
    for (int trial = 0; trial < 400; ++trial) {
        SCase c;
        const int32_t w = std::uniform_int_distribution<int32_t>(1, 30)(rng);
        const int32_t h = std::uniform_int_distribution<int32_t>(1, 30)(rng);
        c.plane = MakeStreakPlane(rng, w, h, std::uniform_int_distribution<int>(0, 6)(rng), h);
        c.intensity = std::uniform_int_distribution<uint32_t>(995, 1005)(rng);
        c.length = std::uniform_int_distribution<int32_t>(1, 6)(rng);
        c.width = std::uniform_int_distribution<int32_t>(1, 6)(rng);
        ExpectSameAsLiteral(c);
    }
}

TEST(BloomFilterDifferential, RegionsInsideAcrossAndOutside)
{
    std::mt19937 rng(777);
    std::uniform_int_distribution<int32_t> coordinate(-8, 40);
    for (int trial = 0; trial < 300; ++trial) {
        SCase c;
        const int32_t w = std::uniform_int_distribution<int32_t>(1, 32)(rng);
        const int32_t h = std::uniform_int_distribution<int32_t>(1, 32)(rng);
        c.plane = MakeStreakPlane(rng, w, h, std::uniform_int_distribution<int>(1, 8)(rng), h);
        c.length = std::uniform_int_distribution<int32_t>(1, 4)(rng);
        c.width = std::uniform_int_distribution<int32_t>(1, 4)(rng);
        c.state.m_bRegionSet = true;
        // Mostly proper rectangles, some inverted or empty ones.
        c.state.m_rcRegionImage = {coordinate(rng), coordinate(rng), coordinate(rng), coordinate(rng)};
        if (trial % 4 != 0) {
            auto& r = c.state.m_rcRegionImage;
            if (r.left > r.right)
                std::swap(r.left, r.right);
            if (r.top > r.bottom)
                std::swap(r.top, r.bottom);
        }
        ExpectSameAsLiteral(c);
    }
}

TEST(BloomFilterDifferential, TinyImagesAndThinStrips)
{
    std::mt19937 rng(4242);
    const std::pair<int32_t, int32_t> sizes[] = {{1, 1}, {1, 2}, {2, 1}, {2, 2}, {1, 17}, {17, 1},
                                                 {2, 9}, {9, 2},  {2, 30}, {30, 2}, {3, 3}, {3, 12}};
    for (auto [w, h] : sizes) {
        for (int trial = 0; trial < 30; ++trial) {
            SCase c;
            c.plane = MakeStreakPlane(rng, w, h, std::uniform_int_distribution<int>(0, 3)(rng), h);
            c.length = std::uniform_int_distribution<int32_t>(1, 3)(rng);
            c.width = std::uniform_int_distribution<int32_t>(1, 2)(rng);
            ExpectSameAsLiteral(c);
        }
    }
}

TEST(BloomFilterDifferential, BloomsTouchingEveryBorder)
{
    std::mt19937 rng(99);
    for (int trial = 0; trial < 120; ++trial) {
        SCase c;
        const int32_t w = std::uniform_int_distribution<int32_t>(6, 24)(rng);
        const int32_t h = std::uniform_int_distribution<int32_t>(6, 24)(rng);
        c.plane = MakeStreakPlane(rng, w, h, 0, 1);
        std::uniform_int_distribution<uint32_t> bright(1000, 1200);
        // Full-height columns at both edges and inside, and runs from the
        // first and to the last row.
        for (int32_t y = 0; y < h; ++y) {
            c.plane.At(0, y) = bright(rng);
            c.plane.At(w - 1, y) = bright(rng);
            c.plane.At(w - 2, y) = bright(rng);
        }
        for (int32_t y = 0; y < h / 2; ++y)
            c.plane.At(w / 2, y) = bright(rng);
        for (int32_t y = h / 3; y < h; ++y)
            c.plane.At(w / 3, y) = bright(rng);
        // A full row of bright values, too short vertically to be a bloom
        // except where it crosses the columns.
        for (int32_t x = 0; x < w; ++x)
            c.plane.At(x, h - 1) = bright(rng);
        c.length = std::uniform_int_distribution<int32_t>(1, 5)(rng);
        c.width = std::uniform_int_distribution<int32_t>(1, 3)(rng);
        ExpectSameAsLiteral(c);
    }
}

TEST(BloomFilterDifferential, IntensitiesAtAndAroundTheValues)
{
    // Few distinct values: many ties in the windows and every value on both
    // sides of the Intensity.
    std::mt19937 rng(5);
    for (int trial = 0; trial < 300; ++trial) {
        SCase c;
        const int32_t w = std::uniform_int_distribution<int32_t>(3, 20)(rng);
        const int32_t h = std::uniform_int_distribution<int32_t>(3, 20)(rng);
        c.plane = SPlane{w, h, std::vector<uint32_t>(static_cast<std::size_t>(w) * h)};
        std::uniform_int_distribution<uint32_t> value(0, 5);
        for (uint32_t& v : c.plane.values)
            v = value(rng);
        c.intensity = std::uniform_int_distribution<uint32_t>(1, 6)(rng);
        c.length = std::uniform_int_distribution<int32_t>(1, 3)(rng);
        c.width = std::uniform_int_distribution<int32_t>(1, 3)(rng);
        ExpectSameAsLiteral(c);
    }
}

TEST(BloomFilterDifferential, ValuesHeldOutOfRange)
{
    // Raw values above 65535, negative ones (held as large unsigned values)
    // and the extremes; some planes with more distinct values than a 16-bit
    // histogram can rank.
    std::mt19937 rng(31337);
    const uint32_t specials[] = {0u, 1u, 65535u, 65536u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, 0xFFFF8000u};
    for (int trial = 0; trial < 200; ++trial) {
        SCase c;
        const int32_t w = std::uniform_int_distribution<int32_t>(4, 26)(rng);
        const int32_t h = std::uniform_int_distribution<int32_t>(4, 26)(rng);
        c.plane = MakeStreakPlane(rng, w, h, 4, h);
        const int kind = trial % 4;
        for (uint32_t& v : c.plane.values) {
            if (kind == 0)
                v = specials[std::uniform_int_distribution<int>(0, 7)(rng)];
            else if (kind == 1)
                v = v >= 990 ? v * 100 : v * 70;  // scaled data: everything above 65535 in the blooms
            else if (kind == 2 && std::uniform_int_distribution<int>(0, 4)(rng) == 0)
                v = static_cast<uint32_t>(-std::uniform_int_distribution<int32_t>(1, 40000)(rng));
            else if (kind == 3)
                v = rng();  // all over the 32-bit range
        }
        c.intensity = kind == 0 ? specials[std::uniform_int_distribution<int>(1, 4)(rng)]
                                : (kind == 1 ? 99000u : 1000u);
        if (kind == 3)
            c.intensity = std::uniform_int_distribution<uint32_t>(0, 0x7FFFFFFFu)(rng);
        c.length = std::uniform_int_distribution<int32_t>(1, 3)(rng);
        c.width = std::uniform_int_distribution<int32_t>(1, 5)(rng);
        ExpectSameAsLiteral(c);
    }
    // Intensities that no signed 32-bit value reaches.
    for (uint32_t intensity : {0x80000000u, 0xFFFFFFFFu}) {
        SCase c;
        c.plane = MakeStreakPlane(rng, 12, 12, 3, 12);
        c.plane.At(3, 3) = 0xFFFFFFFFu;
        c.intensity = intensity;
        ExpectSameAsLiteral(c);
    }
}

TEST(BloomFilterDifferential, ManyDistinctValuesBeyondSixteenBits)
{
    // More than 65536 distinct values: the histogram cannot rank them and
    // the engine falls back to sorting.
    std::mt19937 rng(8);
    SCase c;
    c.plane = MakeStreakPlane(rng, 400, 300, 20, 120);
    for (uint32_t& v : c.plane.values)
        v = v * 1000 + std::uniform_int_distribution<uint32_t>(0, 999)(rng);
    c.intensity = 990000;
    c.length = 5;
    c.width = 4;
    ExpectSameAsLiteral(c);
}

TEST(BloomFilterDifferential, LargerPlanesAndWidths)
{
    std::mt19937 rng(2024);
    for (int trial = 0; trial < 12; ++trial) {
        SCase c;
        const int32_t w = std::uniform_int_distribution<int32_t>(40, 160)(rng);
        const int32_t h = std::uniform_int_distribution<int32_t>(40, 160)(rng);
        c.plane = MakeStreakPlane(rng, w, h, std::uniform_int_distribution<int>(2, 10)(rng), 80);
        c.length = std::uniform_int_distribution<int32_t>(2, 10)(rng);
        c.width = std::uniform_int_distribution<int32_t>(1, 12)(rng);
        if (trial % 3 == 0) {
            c.state.m_bRegionSet = true;
            c.state.m_rcRegionImage = {w / 5, h / 6, w - w / 4, h - 3};
        }
        ExpectSameAsLiteral(c);
    }
}

TEST(BloomFilterDifferential, WidthsUpToTheLargestAndOutsideTheDialogBounds)
{
    std::mt19937 rng(61);
    // Width 40 fits a few windows of a 100 x 90 plane; 1000 fits none, so
    // every bloom pixel keeps its horizontal fill. Width 0 and a negative
    // width never give a replacement value; Length 0 and below keep every run.
    const std::pair<int32_t, int32_t> widthAndLength[] = {{40, 3}, {499, 3}, {1000, 3}, {0, 3},
                                                          {-2, 3}, {2, 0},   {2, -5}};
    for (auto [width, length] : widthAndLength) {
        SCase c;
        c.plane = MakeStreakPlane(rng, 100, 90, 3, 12);
        c.width = width;
        c.length = length;
        ExpectSameAsLiteral(c);
    }
}
