#include "CSbigRowCodec.h"

namespace {
constexpr uint8_t kEscape = 0x80;
constexpr std::size_t kMaxCount = 0xFFFF;

inline uint32_t Le16(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8);
}

inline void PutLe16(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v & 0xFF);
    p[1] = static_cast<uint8_t>((v >> 8) & 0xFF);
}

std::size_t WriteRaw(const uint32_t* values, std::size_t width, uint8_t* out)
{
    PutLe16(out, static_cast<uint32_t>(2 * width));
    uint8_t* p = out + 2;
    for (std::size_t x = 0; x < width; ++x)
        PutLe16(p + 2 * x, values[x]);
    return 2 + 2 * width;
}
}  // namespace

std::size_t CSbigRowCodec::MinRowBytes(int32_t width)
{
    const std::size_t w = width < 0 ? 0 : static_cast<std::size_t>(width);
    // A raw row of width 0 or 1 is shorter than or as long as a coded one.
    const std::size_t coded = w + 1;
    const std::size_t raw = 2 * w;
    return 2 + (raw < coded ? raw : coded);
}

bool CSbigRowCodec::DecodeRow(const uint8_t* row, std::size_t length, int32_t width, uint32_t* out)
{
    if (width < 0)
        return false;
    const std::size_t w = static_cast<std::size_t>(width);
    if (length == 2 * w) {
        for (std::size_t x = 0; x < w; ++x)
            out[x] = Le16(row + 2 * x);
        return true;
    }
    if (length < w + 1 || length > 2 * w)
        return false;

    uint32_t value = Le16(row);
    out[0] = value;
    std::size_t i = 2;
    std::size_t x = 1;
    while (x < w) {
        // Run of plain deltas: as long as both the row and the output have
        // room for one byte per pixel, no bounds check is needed inside.
        std::size_t run = w - x;
        if (length - i < run)
            run = length - i;
        const std::size_t end = x + run;
        while (x < end) {
            const uint8_t b = row[i];
            if (b == kEscape)
                break;
            value = (value + static_cast<uint32_t>(static_cast<int8_t>(b))) & 0xFFFF;
            out[x++] = value;
            ++i;
        }
        if (x == w)
            break;
        if (i >= length)
            return false;  // the bytes ran out before the pixels
        // row[i] is the escape here.
        if (length - i < 3)
            return false;
        value = Le16(row + i + 1);
        out[x++] = value;
        i += 3;
    }
    return i == length;
}

std::size_t CSbigRowCodec::EncodeRow(const uint32_t* values, int32_t width, uint8_t* out)
{
    const std::size_t w = width < 0 ? 0 : static_cast<std::size_t>(width);
    const std::size_t rawBytes = 2 * w;
    if (w < 2)
        return WriteRaw(values, w, out);
    // The count is 16 bits: beyond 32767 pixels a row can only be coded, and
    // only while its coded bytes stay below 65536.
    const bool rawFits = rawBytes <= kMaxCount;
    const std::size_t limit = rawFits ? rawBytes : kMaxCount + 1;

    uint8_t* const body = out + 2;
    uint32_t previous = values[0] & 0xFFFF;
    PutLe16(body, previous);
    std::size_t n = 2;
    for (std::size_t x = 1; x < w; ++x) {
        const uint32_t value = values[x] & 0xFFFF;
        const int32_t delta = static_cast<int32_t>(value) - static_cast<int32_t>(previous);
        const bool small = delta >= -127 && delta <= 127;
        if (n + (small ? 1 : 3) >= limit)
            return rawFits ? WriteRaw(values, w, out) : 0;
        if (small) {
            body[n++] = static_cast<uint8_t>(static_cast<int8_t>(delta));
        } else {
            body[n] = kEscape;
            PutLe16(body + n + 1, value);
            n += 3;
        }
        previous = value;
    }
    PutLe16(out, static_cast<uint32_t>(n));
    return 2 + n;
}
