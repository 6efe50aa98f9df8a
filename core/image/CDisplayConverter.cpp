#include "CDisplayConverter.h"

#include <atomic>
#include <bit>
#include <cstring>

#include "CRawValue.h"
#include "support/CParallel.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define DORVANE_HAS_AVX2_PATH 1
#endif

static_assert(std::endian::native == std::endian::little,
              "display pixels are composed as little-endian words");

namespace {

std::atomic<bool> g_simdAllowed{true};

uint32_t Word16(uint32_t r, uint32_t g, uint32_t b)
{
    return ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
}

#ifdef DORVANE_HAS_AVX2_PATH
// 32-bit monochrome pixels eight at a time: clamp as signed numbers, then one
// gather from the pixel table. Same results as the plain loop.
__attribute__((target("avx2"))) void Mono32Avx2(const uint32_t* table, uint32_t maxValue,
                                                const uint32_t* red, std::size_t begin,
                                                std::size_t end, uint8_t* out)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i top = _mm256_set1_epi32(static_cast<int32_t>(maxValue));
    std::size_t p = begin;
    for (; p + 8 <= end; p += 8) {
        __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(red + p));
        v = _mm256_min_epi32(_mm256_max_epi32(v, zero), top);
        const __m256i px = _mm256_i32gather_epi32(reinterpret_cast<const int*>(table), v, 4);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 4 * p), px);
    }
    for (; p < end; ++p) {
        uint32_t px = table[ClampRawIndex(red[p], maxValue)];
        std::memcpy(out + 4 * p, &px, 4);
    }
}

// 24-bit monochrome pixels eight at a time: the same gather, then the three
// colour bytes of each pixel packed together, 24 bytes at a time.
__attribute__((target("avx2"))) void Mono24Avx2(const uint32_t* table, uint32_t maxValue,
                                                const uint32_t* red, std::size_t begin,
                                                std::size_t end, uint8_t* out)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i top = _mm256_set1_epi32(static_cast<int32_t>(maxValue));
    // In each 128-bit half: b, g, r of its four pixels to the front.
    const __m256i pack = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1,
                                          0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    // The two halves' 12 bytes next to each other.
    const __m256i join = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 3, 7);
    std::size_t p = begin;
    for (; p + 8 <= end; p += 8) {
        __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(red + p));
        v = _mm256_min_epi32(_mm256_max_epi32(v, zero), top);
        __m256i px = _mm256_i32gather_epi32(reinterpret_cast<const int*>(table), v, 4);
        px = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(px, pack), join);
        if (p + 11 <= end) {
            // One 32-byte store; its last 8 bytes belong to the next three
            // pixels of this range, which are written after it.
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 3 * p), px);
        } else {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 3 * p), _mm256_castsi256_si128(px));
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 3 * p + 16), _mm256_extracti128_si256(px, 1));
        }
    }
    for (; p < end; ++p) {
        uint32_t px = table[ClampRawIndex(red[p], maxValue)];
        std::memcpy(out + 3 * p, &px, 3);
    }
}

bool HasAvx2()
{
    static const bool has = __builtin_cpu_supports("avx2");
    return has && g_simdAllowed.load(std::memory_order_relaxed);
}
#endif

// Monochrome: one table from raw value straight to the finished pixel.
void MonoPart(const std::vector<uint32_t>& pixelOf, uint32_t maxValue, const uint32_t* red,
              std::size_t begin, std::size_t end, int32_t bpp, uint8_t* out)
{
    const uint32_t* table = pixelOf.data();
#ifdef DORVANE_HAS_AVX2_PATH
    // The signed clamp below needs maxValue to be a positive int32.
    if (bpp == 32 && maxValue <= 0x7FFFFFFFu && HasAvx2()) {
        Mono32Avx2(table, maxValue, red, begin, end, out);
        return;
    }
    if (bpp == 24 && maxValue <= 0x7FFFFFFFu && HasAvx2()) {
        Mono24Avx2(table, maxValue, red, begin, end, out);
        return;
    }
#endif
    if (bpp == 32) {
        for (std::size_t p = begin; p < end; ++p) {
            uint32_t px = table[ClampRawIndex(red[p], maxValue)];
            std::memcpy(out + 4 * p, &px, 4);
        }
    } else if (bpp == 24) {
        std::size_t p = begin;
        // Four pixels make three whole words.
        for (; p + 4 <= end; p += 4) {
            uint32_t a = table[ClampRawIndex(red[p], maxValue)];
            uint32_t b = table[ClampRawIndex(red[p + 1], maxValue)];
            uint32_t c = table[ClampRawIndex(red[p + 2], maxValue)];
            uint32_t d = table[ClampRawIndex(red[p + 3], maxValue)];
            uint32_t w[3] = {a | (b << 24), (b >> 8) | (c << 16), (c >> 16) | (d << 8)};
            std::memcpy(out + 3 * p, w, 12);
        }
        for (; p < end; ++p) {
            uint32_t px = table[ClampRawIndex(red[p], maxValue)];
            std::memcpy(out + 3 * p, &px, 3);
        }
    } else {
        for (std::size_t p = begin; p < end; ++p) {
            uint16_t px = static_cast<uint16_t>(table[ClampRawIndex(red[p], maxValue)]);
            std::memcpy(out + 2 * p, &px, 2);
        }
    }
}

void ColorPart(const uint32_t* lut, uint32_t maxValue, const uint32_t* red, const uint32_t* green,
               const uint32_t* blue, std::size_t begin, std::size_t end, int32_t bpp, uint8_t* out)
{
    for (std::size_t p = begin; p < end; ++p) {
        uint32_t r = lut[ClampRawIndex(red[p], maxValue)];
        uint32_t g = lut[ClampRawIndex(green[p], maxValue)];
        uint32_t b = lut[ClampRawIndex(blue[p], maxValue)];
        if (bpp == 32) {
            uint32_t px = b | (g << 8) | (r << 16);
            std::memcpy(out + 4 * p, &px, 4);
        } else if (bpp == 24) {
            uint8_t* o = out + 3 * p;
            o[0] = static_cast<uint8_t>(b);
            o[1] = static_cast<uint8_t>(g);
            o[2] = static_cast<uint8_t>(r);
        } else {
            uint16_t px = static_cast<uint16_t>(Word16(r, g, b));
            std::memcpy(out + 2 * p, &px, 2);
        }
    }
}

}  // namespace

void CDisplayConverter::AllowSimd(bool allow)
{
    g_simdAllowed.store(allow, std::memory_order_relaxed);
}

void CDisplayConverter::Convert(const std::vector<uint32_t>& lut, uint32_t maxValue,
                                const uint32_t* red, const uint32_t* green, const uint32_t* blue,
                                std::size_t count, int32_t bitsPerPixel, uint8_t* out)
{
    if (!IsSupportedDepth(bitsPerPixel) || count == 0 || lut.size() < std::size_t(maxValue) + 1)
        return;
    if (green == nullptr || blue == nullptr) {
        std::vector<uint32_t> pixelOf(std::size_t(maxValue) + 1);
        for (std::size_t i = 0; i < pixelOf.size(); ++i) {
            uint32_t v = lut[i] & 0xFFu;
            pixelOf[i] = bitsPerPixel == 16 ? Word16(v, v, v) : v | (v << 8) | (v << 16);
        }
        CParallel::ForRange(count, [&](std::size_t begin, std::size_t end, unsigned) {
            MonoPart(pixelOf, maxValue, red, begin, end, bitsPerPixel, out);
        });
        return;
    }
    CParallel::ForRange(count, [&](std::size_t begin, std::size_t end, unsigned) {
        ColorPart(lut.data(), maxValue, red, green, blue, begin, end, bitsPerPixel, out);
    });
}
