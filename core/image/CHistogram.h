#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Counts how often each raw value 0..maxValue occurs in a plane (values out of
// range count at the nearest end, see CRawValue.h).
class CHistogram {
public:
    static std::vector<uint32_t> Count(const uint32_t* values, std::size_t count, uint32_t maxValue);
};
