#include "view/CStretchScale.h"

#include <algorithm>

uint32_t g_nLineStep = 500;
uint32_t g_nPageStep = 6500;

uint32_t CStretchScale::Position(uint32_t v, uint32_t nFullScale) {
    if (nFullScale == 0)
        return 0;
    // 64 bits, so that a large typed value lands at the end of the slider
    // instead of wrapping round to a small position.
    const uint64_t p = uint64_t(v) * kSliderMax / nFullScale;
    return static_cast<uint32_t>(std::min<uint64_t>(p, kSliderMax));
}

uint32_t CStretchScale::Value(uint32_t p, uint32_t nFullScale) {
    return static_cast<uint32_t>(uint64_t(nFullScale) * p / kSliderMax);
}

uint32_t CStretchScale::StepUp(uint32_t v, uint32_t nStep, uint32_t nFullScale) {
    const uint64_t sum = uint64_t(v) + nStep;
    return sum > nFullScale ? nFullScale : static_cast<uint32_t>(sum);
}

uint32_t CStretchScale::StepDown(uint32_t v, uint32_t nStep) {
    return v > nStep ? v - nStep : 0;
}
