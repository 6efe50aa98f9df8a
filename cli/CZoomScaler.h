#pragma once
#include <cstdint>
#include <vector>

// Scales an 8-bit picture (1 or 3 channels, rows top first) by a percentage.
// The new size is width*percent/100 by height*percent/100, truncated, at
// least 1. Enlarging repeats pixels (nearest neighbour); reducing averages
// each output pixel's block of source pixels (area average, rounded), so a
// reduced picture keeps faint detail instead of dropping rows and columns.
class CZoomScaler {
public:
    struct Picture {
        int32_t width = 0;
        int32_t height = 0;
        int channels = 1;
        std::vector<uint8_t> pixels;
    };

    static int32_t ScaledSize(int32_t size, int32_t percent);
    static Picture Scale(const Picture& source, int32_t percent);
};
