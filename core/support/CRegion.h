#pragma once
#include <algorithm>
#include <cstdint>

// A rectangle in integer coordinates; right and bottom are the first column
// and row outside it.
struct CRegion {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    bool operator==(const CRegion&) const = default;

    // The rectangle limited to a width x height image. An empty result keeps
    // left <= right and top <= bottom, so it is simply empty.
    CRegion ClippedTo(int32_t width, int32_t height) const
    {
        CRegion clipped;
        clipped.left = std::clamp(left, 0, width);
        clipped.right = std::clamp(right, clipped.left, width);
        clipped.top = std::clamp(top, 0, height);
        clipped.bottom = std::clamp(bottom, clipped.top, height);
        return clipped;
    }

    // Where the rectangle lies once every row of a width-wide image has been
    // reversed.
    CRegion MirroredIn(int32_t width) const { return {width - right, top, width - left, bottom}; }
};
