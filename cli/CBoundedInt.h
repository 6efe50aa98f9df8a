#pragma once
#include <cstdint>
#include <string>

// Reads a decimal integer that must lie within bounds, the way the parameter
// dialogs check their edits. The refusal names the bounds.
class CBoundedInt {
public:
    // True with value set when text is an integer in min..max. Otherwise
    // false with message set: for bounds from 0 up, text that is not a whole
    // number gets "Please enter a positive integer."; a number outside the
    // bounds gets the text that names them.
    static bool Parse(const std::string& text, int64_t min, int64_t max, int64_t& value,
                      std::string& message);
    // "Please enter an integer between MIN and MAX."
    static std::string BoundsMessage(int64_t min, int64_t max);
};
