#include "CDisplayLut.h"

namespace {

// The ramp's range is held in single precision and the ratio taken in double
// precision; display intensities depend on exactly this arithmetic.
uint32_t Truncate(double value)
{
    if (!(value > 0.0))
        return 0;
    return value >= 255.0 ? 255u : static_cast<uint32_t>(value);
}

}  // namespace

void CDisplayLut::Build(int32_t low, int32_t high, uint32_t maxValue, std::vector<uint32_t>& lut)
{
    lut.assign(static_cast<std::size_t>(maxValue) + 1, 0u);
    const int64_t lo = low;
    const int64_t hi = high;
    if (hi >= lo) {
        const float range = static_cast<float>(hi - lo);
        for (uint32_t i = 0; i <= maxValue; ++i) {
            const int64_t v = i;
            if (v < lo)
                lut[i] = 0;
            else if (v > hi)
                lut[i] = 255;
            else if (range == 0.0f)
                lut[i] = 0;  // low equals high: that one value is black
            else
                lut[i] = Truncate(static_cast<double>(v - lo) / static_cast<double>(range) * 255.0);
            if (i == UINT32_MAX)
                break;
        }
    } else {
        const float range = static_cast<float>(lo - hi);
        for (uint32_t i = 0; i <= maxValue; ++i) {
            const int64_t v = i;
            if (v < hi)
                lut[i] = 255;
            else if (v > lo)
                lut[i] = 0;
            else
                lut[i] = Truncate(255.0 - static_cast<double>(v - hi) / static_cast<double>(range) * 255.0);
            if (i == UINT32_MAX)
                break;
        }
    }
}
