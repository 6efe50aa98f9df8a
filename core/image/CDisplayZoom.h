#pragma once
#include <cstddef>
#include <cstdint>

// The picture of a display buffer at a zoom percentage, made a rectangle at a
// time, so that a view only ever computes what it shows. Pixels come out as
// opaque 0xffRRGGBB words.
//
// Enlarging repeats pixels (nearest neighbour): at 800 % each display pixel is
// a sharp 8 x 8 square. 50 % and 25 % show the rounded mean of each 2 x 2 or
// 4 x 4 block per channel, so faint detail is not dropped; any other
// reduction shows the pixel at each block's top-left corner.
class CDisplayZoom {
public:
    // A display buffer of width x height pixels, rows packed with no padding,
    // at depth 16 (RGB555 words, low byte first), 24 (b, g, r) or 32
    // (b, g, r, 0). Not owned.
    struct SSource {
        const uint8_t* data = nullptr;
        std::size_t size = 0;
        int32_t width = 0;
        int32_t height = 0;
        int32_t depth = 32;
    };

    // True when source holds all of its pixels at one of the three depths.
    static bool IsComplete(const SSource& source);
    // zoom * length / 100, truncated; 0 for a zoom of 0 or less.
    static int32_t ZoomedLength(int32_t length, int32_t zoom);

    // Writes the pixels of the rectangle (x, y, w, h) of the zoomed picture,
    // which must lie inside the zoomed size, to out (rows outStride words
    // apart). Nothing is written when the source is incomplete. Large
    // rectangles are shared between two threads.
    static void Render(const SSource& source, int32_t zoom, int32_t x, int32_t y, int32_t w, int32_t h,
                       uint32_t* out, std::size_t outStride);
};
