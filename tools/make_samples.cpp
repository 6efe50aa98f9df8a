// Writes the bundled sample images: a synthetic 16-bit monochrome frame with
// blooming stars, the same every time, as FITS and as SBIG Type 3 (raw and
// compressed), and a smaller three-plane colour FITS frame.
//
//     make_samples [folder]        (default: samples)
#include <cstdio>
#include <string>

#include "synthetic/CSyntheticSbig.h"
#include "synthetic/CSyntheticSky.h"

namespace {

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string folder = argc > 1 ? argv[1] : "samples";
    CSyntheticSkyOptions options;
    const CSyntheticSky sky = MakeSyntheticSky(options);
    const std::vector<uint8_t> fits = SyntheticFits16(
        {&sky.values}, sky.width, sky.height,
        {"OBJECT  = 'M42 (synthetic)'    / made by make_samples, not a real exposure",
         "COMMENT Sky background with noise, Gaussian stars, and saturated stars",
         "COMMENT whose bloom trails run at full scale along the columns."});
    const std::string path = folder + "/m42-synthetic.fit";
    if (!WriteFile(path, fits)) {
        std::fprintf(stderr, "Cannot write %s\n", path.c_str());
        return 1;
    }
    std::printf("%s: %dx%d, %zu bloom trails\n", path.c_str(), sky.width, sky.height, sky.trails.size());

    for (const bool compressed : {false, true}) {
        const std::string sbigPath = folder + (compressed ? "/m42-synthetic-compressed.st7" : "/m42-synthetic.st7");
        if (!WriteFile(sbigPath, SyntheticSbig(sky.values, sky.width, sky.height, compressed))) {
            std::fprintf(stderr, "Cannot write %s\n", sbigPath.c_str());
            return 1;
        }
        std::printf("%s: %dx%d%s\n", sbigPath.c_str(), sky.width, sky.height, compressed ? ", compressed" : "");
    }

    // Colour: one smaller frame seen through three filters, so the stars and
    // the blooms lie at the same places in every plane.
    CSyntheticSkyOptions colourOptions;
    colourOptions.width = 400;
    colourOptions.height = 300;
    colourOptions.stars = 120;
    colourOptions.saturatedStars = 3;
    colourOptions.maxTrail = 120;
    const CSyntheticSky colourSky = MakeSyntheticSky(colourOptions);
    std::vector<uint16_t> planes[3];
    const uint32_t percent[3] = {100, 80, 60};
    for (int p = 0; p < 3; ++p) {
        planes[p] = colourSky.values;
        for (uint16_t& v : planes[p])
            v = v == 65535 ? v : static_cast<uint16_t>(v * percent[p] / 100);
    }
    const std::string colourPath = folder + "/m42-colour.fit";
    if (!WriteFile(colourPath, SyntheticFits16({&planes[0], &planes[1], &planes[2]}, colourSky.width,
                                               colourSky.height,
                                               {"OBJECT  = 'M42 (synthetic colour)' / made by make_samples, not a real exposure"}))) {
        std::fprintf(stderr, "Cannot write %s\n", colourPath.c_str());
        return 1;
    }
    std::printf("%s: %dx%d, 3 planes, %zu bloom trails\n", colourPath.c_str(), colourSky.width,
                colourSky.height, colourSky.trails.size());
    return 0;
}
