#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "filter/BloomStages.h"
#include "filter/CBloomFilter.h"

// The replacement values of a run: for every visited cell (marked in the
// visit mask, in the rectangle's columns after the first), the n-th largest
// value of the square window around it, read from the plane as the
// horizontal fill left it. A cell whose window does not fit inside the image
// (it would touch column 0 or row 0, or reach beyond the last column or row)
// takes the value of its left-hand neighbour when that cell was visited too,
// otherwise 0, which leaves the pixel as the horizontal fill made it. Nothing
// is written to the plane.
class CReplacementStage {
public:
    struct SCell {
        int32_t x;
        int32_t y;
    };

    CReplacementStage(const SFilterArea& area, int32_t width, int threads, CBloomFilter::ESelection selection);

    // rowsDone(k) is called, on the calling thread and with k rising, when
    // the first k rows of the rectangle have their values.
    void Compute(const std::vector<uint8_t>& visit, const std::function<void(int32_t rowsDone)>& rowsDone);

    // The visited cells in row-major order, and their values.
    const std::vector<SCell>& Cells() const { return m_cells; }
    const std::vector<uint32_t>& Values() const { return m_values; }

private:
    bool Fits(const SCell& cell) const;
    int ThreadsFor(std::size_t pixels, bool sorting) const;
    void ComputeSorted(const std::function<void(int32_t)>& rowsDone);
    template <class Keys>
    void ComputeWithHistogram(Keys keys, const std::vector<uint32_t>* keyValues,
                              const std::function<void(int32_t)>& rowsDone);
    void ComputeWithHistogram(const std::function<void(int32_t)>& rowsDone);
    void CarryOver();

    SFilterArea m_area;
    int32_t m_nWidth;
    int m_nThreads;
    CBloomFilter::ESelection m_selection;
    std::vector<SCell> m_cells;
    std::vector<uint32_t> m_values;
    std::vector<uint32_t> m_fitting;  // indices into m_cells of the cells whose window fits
};
