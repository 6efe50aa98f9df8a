#include <gtest/gtest.h>

#include "../../tools/synthetic/CSyntheticSky.h"
#include "CoreTestSupport.h"
#include "image/CFitsImage.h"
#include "support/CCollectingMessageSink.h"
#include "support/CSharedState.h"

namespace {

// The bundled sample is what the generator makes; a change to the generator
// that alters it must come with a new sample (make_samples samples).
TEST(SyntheticSample, TheBundledSampleIsWhatTheGeneratorMakes)
{
    const CSyntheticSky sky = MakeSyntheticSky(CSyntheticSkyOptions{});
    const std::vector<uint8_t> bytes = SyntheticFits16(
        {&sky.values}, sky.width, sky.height,
        {"OBJECT  = 'M42 (synthetic)'    / made by make_samples, not a real exposure",
         "COMMENT Sky background with noise, Gaussian stars, and saturated stars",
         "COMMENT whose bloom trails run at full scale along the columns."});
    EXPECT_TRUE(bytes == coretest::ReadBytes(std::string(DORVANE_SAMPLES_DIR) + "/m42-synthetic.fit"));
}

TEST(SyntheticSample, OpensWithFullScaleTrailsOverANoisySky)
{
    CSharedState shared;
    shared.m_nDisplayBpp = 32;
    CCollectingMessageSink messages;
    CFitsImage image(shared, messages);
    ASSERT_TRUE(image.Open(std::string(DORVANE_SAMPLES_DIR) + "/m42-synthetic.fit"));
    EXPECT_EQ(image.m_width, 1024);
    EXPECT_EQ(image.m_height, 768);
    EXPECT_EQ(image.m_bzero, 32768);
    const CSyntheticSky sky = MakeSyntheticSky(CSyntheticSkyOptions{});
    ASSERT_FALSE(sky.trails.empty());
    for (const CSyntheticTrail& t : sky.trails) {
        EXPECT_GE(t.y1 - t.y0, 30);
        for (int y = t.y0; y <= t.y1; ++y)
            ASSERT_EQ(image.m_red[static_cast<std::size_t>(y) * 1024 + t.x0], 65535u);
    }
    // The stretch sits on the sky, well below the stars.
    EXPECT_GT(image.m_stretchLow, 900);
    EXPECT_LT(image.m_stretchHigh, 20000);
    EXPECT_LT(image.m_stretchLow, image.m_stretchHigh);
}

}  // namespace
