// The bundled sample is what the generator makes (a change to the generator
// that alters it must come with a new sample: make_samples samples), and it
// opens with full-scale trails over a noisy sky, the stretch on the sky.
#include <gtest/gtest.h>

#include "../../tools/synthetic/CSyntheticSky.h"
#include "CoreTestSupport.h"
#include "image/CFitsImage.h"
#include "support/CCollectingMessageSink.h"
#include "support/CSharedState.h"

TEST(SyntheticSample, TheBundledSampleIsWhatTheGeneratorMakes)
{
    const std::string path = std::string(DORVANE_SAMPLES_DIR) + "/m42-synthetic.fit";
    const CSyntheticSky sky = MakeSyntheticSky(CSyntheticSkyOptions{});
    const std::vector<uint8_t> bytes = SyntheticFits16(
        {&sky.values}, sky.width, sky.height,
        {"OBJECT  = 'M42 (synthetic)'    / made by make_samples, not a real exposure",
         "COMMENT Sky background with noise, Gaussian stars, and saturated stars",
         "COMMENT whose bloom trails run at full scale along the columns."});
    EXPECT_TRUE(bytes == coretest::ReadBytes(path));

    CSharedState shared;
    shared.m_nDisplayBpp = 32;
    CCollectingMessageSink messages;
    CFitsImage image(shared, messages);
    ASSERT_TRUE(image.Open(path));
    EXPECT_EQ(std::tie(image.m_width, image.m_height, image.m_bzero), std::tuple(1024, 768, 32768));
    ASSERT_FALSE(sky.trails.empty());
    for (const CSyntheticTrail& t : sky.trails) {
        EXPECT_GE(t.y1 - t.y0, 30);
        for (int y = t.y0; y <= t.y1; ++y)
            ASSERT_EQ(image.m_red[static_cast<std::size_t>(y) * 1024 + t.x0], 65535u);
    }
    EXPECT_GT(image.m_stretchLow, 900);
    EXPECT_LT(image.m_stretchHigh, 20000);
    EXPECT_LT(image.m_stretchLow, image.m_stretchHigh);
}
