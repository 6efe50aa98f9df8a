#include "CDisplayZoom.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "support/CParallel.h"

namespace {

using SSource = CDisplayZoom::SSource;

std::size_t RowBytes(const SSource& s)
{
    return static_cast<std::size_t>(s.width) * static_cast<std::size_t>(s.depth / 8);
}

const uint8_t* Row(const SSource& s, int32_t y)
{
    return s.data + RowBytes(s) * static_cast<std::size_t>(y);
}

// Pixels [x0, x0 + n) of one display row as 0xffRRGGBB.
void ConvertRun(const uint8_t* row, int32_t depth, int32_t x0, int32_t n, uint32_t* out)
{
    if (depth == 32) {
        const uint8_t* p = row + static_cast<std::size_t>(x0) * 4;
        for (int32_t i = 0; i < n; ++i) {
            uint32_t w;
            std::memcpy(&w, p + 4 * static_cast<std::size_t>(i), 4);
            // b, g, r, 0: the fourth byte is 0 and the picture needs it opaque.
            out[i] = 0xff000000u | (w & 0x00ffffffu);
        }
    } else if (depth == 24) {
        const uint8_t* p = row + static_cast<std::size_t>(x0) * 3;
        for (int32_t i = 0; i < n; ++i, p += 3)
            out[i] = 0xff000000u | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    } else {
        // RGB555, low byte first; 5 bits widen to 8 as (v << 3) | (v >> 2).
        const uint8_t* p = row + static_cast<std::size_t>(x0) * 2;
        for (int32_t i = 0; i < n; ++i, p += 2) {
            const uint32_t w = uint32_t(p[0]) | uint32_t(p[1]) << 8;
            const uint32_t r = (w >> 10) & 31, g = (w >> 5) & 31, b = w & 31;
            out[i] = 0xff000000u | ((r << 3) | (r >> 2)) << 16 | ((g << 3) | (g >> 2)) << 8 |
                     ((b << 3) | (b >> 2));
        }
    }
}

// Output rows [first, end) of the rectangle, each pixel the source pixel at
// c * 100 / zoom (nearest neighbour when enlarging). Rows that show the same
// source row are copies of the one before.
void SampleRows(const SSource& s, int32_t zoom, int32_t x, int32_t w, int32_t y, int32_t first,
                int32_t end, uint32_t* out, std::size_t stride)
{
    std::vector<int32_t> column(static_cast<std::size_t>(w));
    for (int32_t i = 0; i < w; ++i)
        column[static_cast<std::size_t>(i)] = static_cast<int32_t>(int64_t(x + i) * 100 / zoom);
    const int32_t x0 = column.front();
    const int32_t n = column.back() - x0 + 1;
    std::vector<uint32_t> run(static_cast<std::size_t>(n));
    int32_t shown = -1;
    for (int32_t j = first; j < end; ++j) {
        uint32_t* line = out + stride * static_cast<std::size_t>(j);
        const int32_t sy = static_cast<int32_t>(int64_t(y + j) * 100 / zoom);
        if (sy == shown) {
            std::memcpy(line, line - stride, static_cast<std::size_t>(w) * 4);
            continue;
        }
        shown = sy;
        if (zoom == 100) {
            ConvertRun(Row(s, sy), s.depth, x, w, line);
            continue;
        }
        ConvertRun(Row(s, sy), s.depth, x0, n, run.data());
        for (int32_t i = 0; i < w; ++i)
            line[i] = run[static_cast<std::size_t>(column[static_cast<std::size_t>(i)] - x0)];
    }
}

// Output rows [first, end) at 100 / F percent: the rounded mean of each F x F
// block, per channel. A few dozen output pixels at a time, the F rows of
// their blocks are summed column by column into 16-bit lanes (at most
// 16 x 255), all in one pass; then each pixel's lanes are read as one 64-bit
// word, so F neighbours add in F - 1 additions.
template <int F>
void ReduceRows(const SSource& s, int32_t x, int32_t w, int32_t y, int32_t first, int32_t end,
                uint32_t* out, std::size_t stride)
{
    constexpr int kShift = F == 2 ? 2 : 4;
    constexpr uint64_t kHalf = uint64_t(F * F / 2) * 0x0001000100010001ull;
    constexpr int32_t kChunk = 64;  // output pixels summed at a time
    // 16-bit pictures are widened to 32 bits a row at a time first.
    const bool wide = s.depth == 16;
    const std::size_t bpp = wide ? 4 : static_cast<std::size_t>(s.depth / 8);
    // One spare word: the last 24-bit pixel's 64-bit read reaches past.
    uint16_t sum[kChunk * F * 4 + 4] = {};
    std::vector<uint32_t> widened(wide ? static_cast<std::size_t>(w) * F * F : 0);
    for (int32_t j = first; j < end; ++j) {
        const uint8_t* rows[F];
        for (int r = 0; r < F; ++r) {
            const uint8_t* row = Row(s, (y + j) * F + r);
            if (wide) {
                uint32_t* line = widened.data() + static_cast<std::size_t>(r) * w * F;
                ConvertRun(row, 16, x * F, w * F, line);
                rows[r] = reinterpret_cast<const uint8_t*>(line);
            } else {
                rows[r] = row + static_cast<std::size_t>(x) * F * bpp;
            }
        }
        uint32_t* line = out + stride * static_cast<std::size_t>(j);
        for (int32_t c0 = 0; c0 < w; c0 += kChunk) {
            const int32_t n = std::min(kChunk, w - c0);
            const std::size_t offset = static_cast<std::size_t>(c0) * F * bpp;
            const std::size_t bytes = static_cast<std::size_t>(n) * F * bpp;
            for (std::size_t k = 0; k < bytes; ++k) {
                unsigned total = 0;
                for (int r = 0; r < F; ++r)
                    total += rows[r][offset + k];
                sum[k] = static_cast<uint16_t>(total);
            }
            for (int32_t i = 0; i < n; ++i) {
                uint64_t total = kHalf;
                for (int k = 0; k < F; ++k) {
                    uint64_t lanes;
                    std::memcpy(&lanes, sum + (static_cast<std::size_t>(i) * F + k) * bpp, 8);
                    total += lanes;
                }
                // Lanes b, g, r (and a fourth that is dropped), each below
                // 2^12: shifting the whole word only moves bits above each
                // lane's low 8.
                total >>= kShift;
                line[c0 + i] = 0xff000000u | static_cast<uint32_t>(total & 0xff) |
                               static_cast<uint32_t>((total >> 16) & 0xff) << 8 |
                               static_cast<uint32_t>((total >> 32) & 0xff) << 16;
            }
        }
    }
}

}  // namespace

bool CDisplayZoom::IsComplete(const SSource& source)
{
    if (source.data == nullptr || source.width <= 0 || source.height <= 0)
        return false;
    if (source.depth != 16 && source.depth != 24 && source.depth != 32)
        return false;
    return source.size / RowBytes(source) >= static_cast<std::size_t>(source.height);
}

int32_t CDisplayZoom::ZoomedLength(int32_t length, int32_t zoom)
{
    if (zoom <= 0 || length <= 0)
        return 0;
    const int64_t zoomed = int64_t(zoom) * length / 100;
    return static_cast<int32_t>(std::min<int64_t>(zoomed, INT32_MAX));
}

void CDisplayZoom::Render(const SSource& source, int32_t zoom, int32_t x, int32_t y, int32_t w, int32_t h,
                          uint32_t* out, std::size_t outStride)
{
    if (!IsComplete(source) || out == nullptr || w <= 0 || h <= 0 || x < 0 || y < 0 ||
        x > ZoomedLength(source.width, zoom) - w || y > ZoomedLength(source.height, zoom) - h)
        return;
    const int64_t perPixel = zoom == 25 ? 16 : zoom == 50 ? 4 : 1;
    const bool worthTwo = int64_t(w) * h * perPixel >= (int64_t(1) << 18);
    CParallel::ForRange(
        static_cast<std::size_t>(h),
        [&](std::size_t first, std::size_t end, unsigned) {
            const auto j0 = static_cast<int32_t>(first), j1 = static_cast<int32_t>(end);
            if (zoom == 50)
                ReduceRows<2>(source, x, w, y, j0, j1, out, outStride);
            else if (zoom == 25)
                ReduceRows<4>(source, x, w, y, j0, j1, out, outStride);
            else
                SampleRows(source, zoom, x, w, y, j0, j1, out, outStride);
        },
        worthTwo ? 2 : static_cast<std::size_t>(h) + 1);
}
