// Writes the bundled sample images: a synthetic 16-bit monochrome frame with
// blooming stars, the same every time.
//
//     make_samples [folder]        (default: samples)
#include <cstdio>
#include <string>

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
    return 0;
}
