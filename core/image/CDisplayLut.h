#pragma once
#include <cstdint>
#include <vector>

// The table from raw value to display intensity 0..255: a linear ramp from low
// (black) to high (white), inverted when high is below low.
class CDisplayLut {
public:
    // Gives lut maxValue+1 entries and fills them.
    static void Build(int32_t low, int32_t high, uint32_t maxValue, std::vector<uint32_t>& lut);
};
