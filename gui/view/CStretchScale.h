#pragma once
#include <cstdint>

// The arithmetic of the stretch dialog's sliders: both run from 0 to 1000
// over 0..full scale, and the arrow and page steps move a value by the
// program-wide line and page steps.
class CStretchScale {
public:
    static constexpr uint32_t kSliderMax = 1000;

    // Slider position of value v: v x 1000 / full scale, limited to the
    // slider's range (0 when there is no full scale yet).
    static uint32_t Position(uint32_t v, uint32_t nFullScale);
    // Value of slider position p: full scale x p / 1000.
    static uint32_t Value(uint32_t p, uint32_t nFullScale);
    // v plus step, at most full scale.
    static uint32_t StepUp(uint32_t v, uint32_t nStep, uint32_t nFullScale);
    // v minus step, at least 0.
    static uint32_t StepDown(uint32_t v, uint32_t nStep);
};

// Steps of the arrow keys and of a page, shared by every stretch dialog and
// recomputed from the full scale whenever Max is applied from its slider.
extern uint32_t g_nLineStep;
extern uint32_t g_nPageStep;
