#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Counts how often each raw value 0..maxValue occurs in a plane (values out of
// range count at the nearest end, see CRawValue.h).
class CHistogram {
public:
    static std::vector<uint32_t> Count(const uint32_t* values, std::size_t count, uint32_t maxValue);

    // Gathers the counts of Count into bins equal slices of 0..fullScale:
    // value v falls into bin v * bins / (fullScale + 1). Values above
    // fullScale count in the last bin, as the display shows them white.
    static std::vector<uint32_t> Bins(const std::vector<uint32_t>& counts, uint32_t fullScale,
                                      std::size_t bins);
};
