#include "filter/BloomStages.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#include "support/CSharedState.h"

SFilterArea MakeFilterArea(uint32_t* plane, int32_t imageWidth, int32_t imageHeight, const CSharedState& state)
{
    SFilterArea area;
    area.plane = plane;
    area.imageWidth = std::max(imageWidth, 0);
    area.imageHeight = std::max(imageHeight, 0);
    CRegion r{0, 0, area.imageWidth, area.imageHeight};
    if (state.m_bRegionSet)
        r = state.m_rcRegionImage.ClippedTo(area.imageWidth, area.imageHeight);
    area.left = r.left;
    area.right = r.right;
    area.top = r.top;
    area.bottom = r.bottom;
    return area;
}

int32_t NextMarked(const uint8_t* mask, int32_t from, int32_t end)
{
    int32_t i = from;
    if constexpr (std::endian::native == std::endian::little) {
        for (; i + 8 <= end; i += 8) {
            uint64_t word;
            std::memcpy(&word, mask + i, 8);
            if (word != 0)
                return i + std::countr_zero(word) / 8;
        }
    }
    for (; i < end; ++i)
        if (mask[i] != 0)
            return i;
    return end;
}

void DetectCandidates(const SFilterArea& area, uint32_t intensity, std::vector<uint8_t>& mask,
                      std::vector<int32_t>& counts)
{
    const int32_t columns = area.Columns();
    mask.resize(area.Cells());
    counts.assign(static_cast<std::size_t>(columns), 0);
    // No signed 32-bit value reaches an Intensity above INT32_MAX.
    if (intensity > static_cast<uint32_t>(std::numeric_limits<int32_t>::max())) {
        std::fill(mask.begin(), mask.end(), uint8_t{0});
        return;
    }
    const int32_t threshold = static_cast<int32_t>(intensity);
    int32_t* count = counts.data();
    for (int32_t y = area.top; y < area.bottom; ++y) {
        const uint32_t* row = area.plane + static_cast<std::size_t>(y) * area.imageWidth + area.left;
        uint8_t* out = mask.data() + static_cast<std::size_t>(y - area.top) * columns;
        for (int32_t i = 0; i < columns; ++i) {
            const uint8_t bright = static_cast<int32_t>(row[i]) >= threshold ? 1 : 0;
            out[i] = bright;
            count[i] += bright;
        }
    }
}

namespace {

// The run of marked cells in column i that ends at row end (mask rows):
// unmarked when it is at most length cells long.
void CheckRunEndingAt(std::vector<uint8_t>& mask, int32_t columns, int32_t i, int32_t end, int32_t length,
                      std::vector<int32_t>& removed)
{
    int32_t run = 0;
    int32_t r = end;
    // Counting stops once the run is known to be long enough to stay.
    while (r >= 0 && run <= length && mask[static_cast<std::size_t>(r) * columns + i] != 0) {
        ++run;
        --r;
    }
    if (run > length)
        return;
    for (int32_t k = end - run + 1; k <= end; ++k)
        mask[static_cast<std::size_t>(k) * columns + i] = 0;
    removed[static_cast<std::size_t>(i)] += run;
}

}  // namespace

void RemoveShortRuns(const SFilterArea& area, int32_t length, std::vector<uint8_t>& mask,
                     std::vector<int32_t>& removed)
{
    const int32_t columns = area.Columns();
    const int32_t rows = area.Rows();
    removed.assign(static_cast<std::size_t>(columns), 0);
    if (length < 1 || columns == 0)
        return;
    // A run ends at row r where r is marked and r+1 is not (or r is the last
    // row); rows are compared eight columns at a time.
    for (int32_t r = 0; r < rows; ++r) {
        const uint8_t* cur = mask.data() + static_cast<std::size_t>(r) * columns;
        const bool last = r == rows - 1;
        const uint8_t* next = last ? nullptr : cur + columns;
        int32_t i = 0;
        if constexpr (std::endian::native == std::endian::little) {
            for (; i + 8 <= columns; i += 8) {
                uint64_t a;
                std::memcpy(&a, cur + i, 8);
                uint64_t b = 0;
                if (next)
                    std::memcpy(&b, next + i, 8);
                uint64_t ends = a & ~b;
                while (ends != 0) {
                    const int32_t k = std::countr_zero(ends) / 8;
                    CheckRunEndingAt(mask, columns, i + k, r, length, removed);
                    ends &= ~(uint64_t{0xFF} << (8 * k));
                }
            }
        }
        for (; i < columns; ++i) {
            if (cur[i] != 0 && (next == nullptr || next[i] == 0))
                CheckRunEndingAt(mask, columns, i, r, length, removed);
        }
    }
}

void FillRow(const SFilterArea& area, uint32_t intensity, const std::vector<uint8_t>& mask, int32_t y,
             std::vector<SFillWrite>* writes)
{
    const int32_t width = area.imageWidth;
    const int32_t columns = area.Columns();
    uint32_t* p = area.plane + static_cast<std::size_t>(y) * width;
    const uint8_t* marked = mask.data() + static_cast<std::size_t>(y - area.top) * columns;
    bool carry = false;
    int32_t i = 0;
    while (i < columns) {
        if (!carry) {
            // Nothing happens until the next marked cell.
            i = NextMarked(marked, i, columns);
            if (i == columns)
                break;
        }
        const int32_t x = area.left + i;
        if (carry && !IsBright(p[x], intensity) && x < width - 1) {
            if (writes) {
                writes->push_back({x + 1, p[x + 1]});
                writes->push_back({x, p[x]});
            }
            p[x + 1] = p[x + 2 < width ? x + 2 : width - 1];
            p[x] = p[x + 1];
        }
        if (IsBright(p[x], intensity) && x > 0 && marked[i] != 0) {
            if (writes)
                writes->push_back({x, p[x]});
            p[x] = p[x - 1];
            carry = true;
        } else {
            carry = false;
        }
        ++i;
    }
}

void GrowMask(const SFilterArea& area, std::vector<uint8_t>& mask)
{
    const int32_t columns = area.Columns();
    const int32_t rows = area.Rows();
    if (columns < 3 || rows < 3)
        return;
    // In place, row by row: the rows above and at the one being grown are
    // kept as they were before growing.
    std::vector<uint8_t> above(mask.begin(), mask.begin() + columns);
    std::vector<uint8_t> current(static_cast<std::size_t>(columns));
    for (int32_t r = 1; r < rows - 1; ++r) {
        uint8_t* row = mask.data() + static_cast<std::size_t>(r) * columns;
        const uint8_t* below = row + columns;
        std::copy(row, row + columns, current.begin());
        const uint8_t* c = current.data();
        const uint8_t* up = above.data();
        for (int32_t i = 1; i < columns - 1; ++i)
            row[i] = c[i] | up[i] | below[i] | c[i - 1] | c[i + 1];
        above.swap(current);
    }
}
