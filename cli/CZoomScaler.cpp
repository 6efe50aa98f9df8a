#include "CZoomScaler.h"

#include <algorithm>

int32_t CZoomScaler::ScaledSize(int32_t size, int32_t percent)
{
    int64_t scaled = static_cast<int64_t>(size) * percent / 100;
    return static_cast<int32_t>(std::max<int64_t>(1, scaled));
}

CZoomScaler::Picture CZoomScaler::Scale(const Picture& source, int32_t percent)
{
    if (percent == 100 || source.width < 1 || source.height < 1)
        return source;
    Picture out;
    out.channels = source.channels;
    out.width = ScaledSize(source.width, percent);
    out.height = ScaledSize(source.height, percent);
    const std::size_t channels = static_cast<std::size_t>(source.channels);
    out.pixels.resize(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height) * channels);

    // Source span [first, last) of output index i along an axis; never empty.
    auto span = [](int32_t i, int32_t outSize, int32_t inSize, int32_t& first, int32_t& last) {
        first = static_cast<int32_t>(static_cast<int64_t>(i) * inSize / outSize);
        last = static_cast<int32_t>(static_cast<int64_t>(i + 1) * inSize / outSize);
        last = std::max(last, first + 1);
    };
    const bool enlarge = out.width >= source.width && out.height >= source.height;
    std::size_t o = 0;
    for (int32_t oy = 0; oy < out.height; ++oy) {
        int32_t y0, y1;
        span(oy, out.height, source.height, y0, y1);
        if (enlarge)
            y1 = y0 + 1;
        for (int32_t ox = 0; ox < out.width; ++ox) {
            int32_t x0, x1;
            span(ox, out.width, source.width, x0, x1);
            if (enlarge)
                x1 = x0 + 1;
            const uint64_t count = static_cast<uint64_t>(y1 - y0) * static_cast<uint64_t>(x1 - x0);
            for (std::size_t c = 0; c < channels; ++c) {
                uint64_t sum = 0;
                for (int32_t y = y0; y < y1; ++y) {
                    std::size_t row = static_cast<std::size_t>(y) * static_cast<std::size_t>(source.width);
                    for (int32_t x = x0; x < x1; ++x)
                        sum += source.pixels[(row + static_cast<std::size_t>(x)) * channels + c];
                }
                out.pixels[o++] = static_cast<uint8_t>((sum + count / 2) / count);
            }
        }
    }
    return out;
}
