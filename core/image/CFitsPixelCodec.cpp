#include "CFitsPixelCodec.h"

#include <cstring>

namespace {

// Unsigned arithmetic gives the two's complement wrap of signed 32-bit
// arithmetic without its undefined overflow.
inline uint32_t Scale(int32_t stored, uint32_t bscale, uint32_t bzero)
{
    return static_cast<uint32_t>(stored) * bscale + bzero;
}

inline int32_t Unscale(uint32_t raw, int32_t bscale, uint32_t bzero)
{
    const int32_t diff = static_cast<int32_t>(raw - bzero);
    if (bscale == -1)
        return static_cast<int32_t>(0u - static_cast<uint32_t>(diff));
    return diff / bscale;
}

inline int32_t Load16(const uint8_t* p)
{
    uint16_t be;
    std::memcpy(&be, p, 2);
    return static_cast<int16_t>(__builtin_bswap16(be));
}

inline void Store16(uint8_t* p, int32_t q)
{
    uint16_t be = __builtin_bswap16(static_cast<uint16_t>(static_cast<uint32_t>(q)));
    std::memcpy(p, &be, 2);
}

}  // namespace

void CFitsPixelCodec::Decode(const uint8_t* in, std::size_t count, uint32_t* out) const
{
    const uint32_t bscale = static_cast<uint32_t>(m_bscale);
    const uint32_t bzero = static_cast<uint32_t>(m_bzero);
    if (m_bitsPerPixel == 8) {
        for (std::size_t i = 0; i < count; ++i)
            out[i] = Scale(in[i], bscale, bzero);
        return;
    }
    // The common camera file (BSCALE 1) gets a loop without the multiply,
    // which the compiler turns into byte shuffles.
    if (bscale == 1) {
        for (std::size_t i = 0; i < count; ++i)
            out[i] = static_cast<uint32_t>(Load16(in + 2 * i)) + bzero;
        return;
    }
    for (std::size_t i = 0; i < count; ++i)
        out[i] = Scale(Load16(in + 2 * i), bscale, bzero);
}

void CFitsPixelCodec::Encode(const uint32_t* in, std::size_t count, uint8_t* out) const
{
    const uint32_t bzero = static_cast<uint32_t>(m_bzero);
    if (m_bitsPerPixel == 8) {
        for (std::size_t i = 0; i < count; ++i)
            out[i] = static_cast<uint8_t>(static_cast<uint32_t>(Unscale(in[i], m_bscale, bzero)));
        return;
    }
    if (m_bscale == 1) {
        for (std::size_t i = 0; i < count; ++i)
            Store16(out + 2 * i, static_cast<int32_t>(in[i] - bzero));
        return;
    }
    for (std::size_t i = 0; i < count; ++i)
        Store16(out + 2 * i, Unscale(in[i], m_bscale, bzero));
}
