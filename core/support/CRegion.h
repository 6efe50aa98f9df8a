#pragma once
#include <cstdint>

// A rectangle in integer coordinates; right and bottom are the first column
// and row outside it.
struct CRegion {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    bool operator==(const CRegion&) const = default;
};
