#pragma once
#include <cstddef>
#include <cstdint>

// FITS integer pixels and raw values. 16-bit values are big-endian two's
// complement, 8-bit values unsigned bytes. raw = stored*bscale + bzero and
// stored = (raw - bzero)/bscale (quotient truncated toward zero), both in
// signed 32-bit arithmetic that wraps as two's complement.
class CFitsPixelCodec {
public:
    CFitsPixelCodec(int32_t bitsPerPixel, int32_t bscale, int32_t bzero)
        : m_bitsPerPixel(bitsPerPixel), m_bscale(bscale), m_bzero(bzero)
    {
    }

    std::size_t BytesPerValue() const { return m_bitsPerPixel == 8 ? 1 : 2; }
    void Decode(const uint8_t* in, std::size_t count, uint32_t* out) const;
    // bscale must not be 0.
    void Encode(const uint32_t* in, std::size_t count, uint8_t* out) const;

private:
    int32_t m_bitsPerPixel;
    int32_t m_bscale;
    int32_t m_bzero;
};
