// The compressed SBIG row codec on its own. The first two bytes give the
// width; the rest is either a row to decode (first byte even) or pixel values
// to encode (odd). A decoded row must encode and decode to the same values;
// an encoded row must fit its bounds and decode to the values given. Every
// buffer has exactly its size, so a read or write past it is caught.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "image/CSbigRowCodec.h"

namespace {

void CheckEncodes(const std::vector<uint32_t>& values, int32_t width)
{
    std::vector<uint8_t> encoded(CSbigRowCodec::MaxRowBytes(width));
    const std::size_t n = CSbigRowCodec::EncodeRow(values.data(), width, encoded.data());
    if (n == 0)
        return;  // a very wide row that no 16-bit count can hold
    if (n < CSbigRowCodec::MinRowBytes(width) || n > encoded.size())
        std::abort();
    if ((encoded[0] | (static_cast<std::size_t>(encoded[1]) << 8)) + 2 != n)
        std::abort();
    std::vector<uint8_t> body(encoded.begin() + 2, encoded.begin() + static_cast<std::ptrdiff_t>(n));
    std::vector<uint32_t> decoded(static_cast<std::size_t>(width));
    if (!CSbigRowCodec::DecodeRow(body.data(), body.size(), width, decoded.data()))
        std::abort();
    for (std::size_t x = 0; x < decoded.size(); ++x)
        if (decoded[x] != (values[x] & 0xFFFF))
            std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    const int32_t width = static_cast<int32_t>((data[0] | (data[1] << 8)) % 4097);
    const bool decode = (data[2] & 1) == 0;
    data += 3;
    size -= 3;

    if (decode) {
        std::vector<uint8_t> row(data, data + size);
        std::vector<uint32_t> out(static_cast<std::size_t>(width));
        if (CSbigRowCodec::DecodeRow(row.data(), row.size(), width, out.data())) {
            if (std::any_of(out.begin(), out.end(), [](uint32_t v) { return v > 0xFFFF; }))
                std::abort();
            CheckEncodes(out, width);
        }
        return 0;
    }
    std::vector<uint32_t> values(static_cast<std::size_t>(width));
    for (std::size_t x = 0; x < values.size(); ++x) {
        // Values repeat the input to make smooth runs and jumps alike.
        const std::size_t at = size == 0 ? 0 : (2 * x) % size;
        values[x] = size < 2 ? 0 : static_cast<uint32_t>(data[at] | (data[(at + 1) % size] << 8));
    }
    CheckEncodes(values, width);
    return 0;
}
