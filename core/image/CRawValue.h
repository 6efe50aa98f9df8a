#pragma once
#include <cstdint>

// Raw values are held as unsigned 32-bit numbers, but FITS scaling can make
// them negative (signed data with BZERO 0) or larger than full scale. Where a
// raw value indexes the histogram or the display table it is read as a signed
// number and clamped to 0..maxValue; the plane itself keeps the value as read,
// so that unchanged pixels are written back byte for byte.
inline uint32_t ClampRawIndex(uint32_t value, uint32_t maxValue)
{
    int32_t s = static_cast<int32_t>(value);
    if (s < 0)
        return 0;
    uint32_t u = static_cast<uint32_t>(s);
    return u > maxValue ? maxValue : u;
}
