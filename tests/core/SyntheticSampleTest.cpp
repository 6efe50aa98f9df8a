// The bundled sample is what the generator makes: a change to the generator
// that alters it must come with a new sample (make_samples samples).
#include <gtest/gtest.h>

#include "../../tools/synthetic/CSyntheticSky.h"
#include "CoreTestSupport.h"

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
