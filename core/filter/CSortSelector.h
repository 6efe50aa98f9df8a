#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The replacement value of one pixel found by copying its window and
// partially sorting the copy: quick for small windows, and exact for any
// values. Negative values (held out of range) count as 0; the replacement
// value is never below 0, so this does not change it.
class CSortSelector {
public:
    // width >= 1: half the side of the window.
    explicit CSortSelector(int32_t width);
    // The n-th largest of the window centred on (x, y), which must lie
    // wholly inside the plane.
    uint32_t Select(const uint32_t* plane, int32_t imageWidth, int32_t x, int32_t y);

private:
    int32_t m_nWidth;
    std::size_t m_nRank;  // n: the window's half, rounded down
    std::vector<uint32_t> m_window;
};

// The rank of the replacement value in a window of the given half side: the
// number of cells times one half, truncated.
std::size_t ReplacementRank(int32_t width);
