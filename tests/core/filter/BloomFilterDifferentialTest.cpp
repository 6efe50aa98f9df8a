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

// Runs both engines on copies of the case's plane and compares the results
// and counts; every selection method and one or two threads.
void ExpectSameAsLiteral(const SCase& c, const std::string& label)
{
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
            engine.Run("", c.state, nullptr);
            ASSERT_EQ(actual.values, expected.values)
                << label << " selection " << static_cast<int>(selection) << " threads " << threads;
            ASSERT_EQ(engine.DetectedCount(), literal.m_nDetected) << label;
            ASSERT_EQ(engine.LengthCheckedCount(), literal.m_nLengthChecked) << label;
        }
    }
}

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
        ExpectSameAsLiteral(c, Describe(c));
    }
}
