// The compressed SBIG row codec on its own. The first two bytes give the
// width; the rest is either a row to decode (first byte even) or pixel values
// to encode (odd). A decoded row must encode and decode to the same values;
// an encoded row must fit its bounds and decode to the values given. Every
// buffer has exactly its size, so a read or write past it is caught.
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
    if (n < CSbigRowCodec::MinRowBytes(width) || n > encoded.size() || (encoded[0] | (std::size_t(encoded[1]) << 8)) + 2 != n)
        std::abort();
    const std::vector<uint8_t> body(encoded.begin() + 2, encoded.begin() + static_cast<std::ptrdiff_t>(n));
    std::vector<uint32_t> decoded(values.size());
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
    const std::vector<uint8_t> rest(data + 3, data + size);
    std::vector<uint32_t> values(static_cast<std::size_t>(width));
    if (decode) {
        if (!CSbigRowCodec::DecodeRow(rest.data(), rest.size(), width, values.data()))
            return 0;
        for (uint32_t v : values)
            if (v > 0xFFFF)
                std::abort();
    } else {
        // Values repeat the input to make smooth runs and jumps alike.
        for (std::size_t x = 0; x < values.size() && rest.size() >= 2; ++x)
            values[x] = rest[2 * x % rest.size()] | rest[(2 * x + 1) % rest.size()] << 8;
    }
    CheckEncodes(values, width);
    return 0;
}
