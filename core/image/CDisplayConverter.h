#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Turns raw planes into display pixels through the display table, in the
// screen's format: 32 bits b,g,r,0; 24 bits b,g,r; 16 bits one little-endian
// word 0rrrrrgggggbbbbb. A monochrome image passes its one plane as red and
// null for green and blue.
class CDisplayConverter {
public:
    // True for the depths that have a pixel format.
    static bool IsSupportedDepth(int32_t bitsPerPixel)
    {
        return bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32;
    }

    // Whether the processor's vector instructions may be used where present
    // (the default); off, the plain loops run, as on other processors.
    static void AllowSimd(bool allow);

    // out holds count*bitsPerPixel/8 bytes.
    static void Convert(const std::vector<uint32_t>& lut, uint32_t maxValue, const uint32_t* red,
                        const uint32_t* green, const uint32_t* blue, std::size_t count,
                        int32_t bitsPerPixel, uint8_t* out);
};
