#include "CHistogram.h"

#include <algorithm>

#include "CRawValue.h"
#include "support/CParallel.h"

namespace {

// Two count arrays per thread, so that runs of equal values (a flat sky) do
// not wait on the previous increment of the same counter.
void CountPart(const uint32_t* values, std::size_t begin, std::size_t end, uint32_t maxValue,
               std::vector<uint32_t>& counts)
{
    const std::size_t bins = static_cast<std::size_t>(maxValue) + 1;
    counts.assign(2 * bins, 0u);
    uint32_t* c0 = counts.data();
    uint32_t* c1 = counts.data() + bins;
    std::size_t i = begin;
    for (; i + 2 <= end; i += 2) {
        ++c0[ClampRawIndex(values[i], maxValue)];
        ++c1[ClampRawIndex(values[i + 1], maxValue)];
    }
    if (i < end)
        ++c0[ClampRawIndex(values[i], maxValue)];
    for (std::size_t b = 0; b < bins; ++b)
        c0[b] += c1[b];
    counts.resize(bins);
}

}  // namespace

std::vector<uint32_t> CHistogram::Count(const uint32_t* values, std::size_t count, uint32_t maxValue)
{
    std::vector<uint32_t> parts[2];
    bool split = false;
    CParallel::ForRange(count, [&](std::size_t begin, std::size_t end, unsigned part) {
        if (part == 1)
            split = true;
        CountPart(values, begin, end, maxValue, parts[part]);
    });
    if (split) {
        for (std::size_t b = 0; b < parts[0].size(); ++b)
            parts[0][b] += parts[1][b];
    }
    if (parts[0].empty())
        parts[0].assign(static_cast<std::size_t>(maxValue) + 1, 0u);
    return std::move(parts[0]);
}

std::vector<uint32_t> CHistogram::Bins(const std::vector<uint32_t>& counts, uint32_t fullScale,
                                       std::size_t bins)
{
    std::vector<uint32_t> out(bins, 0u);
    if (bins == 0)
        return out;
    const uint64_t slices = static_cast<uint64_t>(fullScale) + 1;
    for (std::size_t v = 0; v < counts.size(); ++v) {
        const uint64_t bin = std::min<uint64_t>(v * uint64_t(bins) / slices, bins - 1);
        out[static_cast<std::size_t>(bin)] += counts[v];
    }
    return out;
}
