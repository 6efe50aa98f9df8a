#pragma once
// The 61-megapixel frame of the FITS and view benchmarks: 9576 x 6388,
// 16 bits, 30,000 stars and 80 blooms of up to 1200 rows, as a FITS file.
#include <cstdio>
#include <string>
#include <vector>

#include "../tools/synthetic/CSyntheticSky.h"

constexpr int kLargeFrameWidth = 9576;
constexpr int kLargeFrameHeight = 6388;

inline bool WriteLargeBenchFrame(const std::string& path)
{
    CSyntheticSkyOptions options;
    options.width = kLargeFrameWidth;
    options.height = kLargeFrameHeight;
    options.stars = 30000;
    options.saturatedStars = 80;
    options.maxTrail = 600;
    const CSyntheticSky sky = MakeSyntheticSky(options);
    const std::vector<uint8_t> bytes = SyntheticFits16({&sky.values}, sky.width, sky.height);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}
