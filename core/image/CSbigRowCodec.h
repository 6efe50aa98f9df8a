#pragma once
#include <cstddef>
#include <cstdint>

// The row coding of compressed SBIG Type 3 files. A row is a little-endian
// 16-bit byte count L followed by L bytes. When L is twice the width the row
// holds raw little-endian 16-bit values; otherwise the first pixel is a
// little-endian 16-bit value and every following pixel is one byte b: 0x80
// announces two more bytes with the absolute value, any other b is a signed
// 8-bit delta added to the previous pixel modulo 65536.
class CSbigRowCodec {
public:
    // Largest encoded row, count included: the raw form.
    static std::size_t MaxRowBytes(int32_t width) { return 2 + 2 * static_cast<std::size_t>(width); }
    // Smallest encoded row, count included.
    static std::size_t MinRowBytes(int32_t width);

    // Decodes the L bytes of one row (count excluded) into width values.
    // False when the row is malformed: a length out of range, an escape cut
    // off by the end of the row, or bytes that do not make exactly width
    // pixels. Never reads outside row[0..length).
    static bool DecodeRow(const uint8_t* row, std::size_t length, int32_t width, uint32_t* out);

    // Encodes width values (bits 0..15 of each) as one row, count included,
    // into out, which has room for MaxRowBytes(width). Deltas within
    // -127..127 take one byte, any other step the escape; a row that would
    // not come out shorter than the raw form is written raw. Returns the
    // number of bytes written, or 0 for a row that no 16-bit count can hold
    // (wider than 32767 pixels and too many escapes).
    static std::size_t EncodeRow(const uint32_t* values, int32_t width, uint8_t* out);
};
