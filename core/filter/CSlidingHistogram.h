#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

// Keys of a plane's pixels for the histogram: the raw values themselves when
// they all lie in 0..65535 (negative values counting as 0)...
struct SClampedValueKeys {
    const uint32_t* values;
    uint32_t operator[](std::size_t index) const
    {
        const int32_t v = static_cast<int32_t>(values[index]);
        return v < 0 ? 0u : static_cast<uint32_t>(v);
    }
};

// ...or the ranks of the values among the plane's distinct values.
struct SRankKeys {
    const uint16_t* keys;
    uint32_t operator[](std::size_t index) const { return keys[index]; }
};

// The histogram of the keys of a square window of the plane (side 2*width+1),
// kept in three levels (256 groups of 16 groups of 16 keys) so that the n-th
// largest key is found in at most 288 steps, usually far fewer. Moving the window slides it row by row or
// column by column, or rebuilds it when that is cheaper.
template <class Keys>
class CSlidingHistogram {
public:
    CSlidingHistogram(Keys keys, int32_t imageWidth, int32_t width)
        : m_keys(keys), m_nImageWidth(imageWidth), m_nWidth(width), m_nSide(2 * width + 1),
          m_fine(65536, 0), m_middle(4096, 0), m_top(256, 0)
    {
    }

    // Centres the window on (x, y); the window must lie inside the plane.
    void MoveTo(int32_t x, int32_t y)
    {
        if (m_bFilled) {
            const int64_t steps = std::llabs(int64_t(x) - m_nX) + std::llabs(int64_t(y) - m_nY);
            if (steps * 2 < m_nSide) {
                while (m_nX < x) {
                    Column(m_nX - m_nWidth, m_nY, -1);
                    Column(m_nX + m_nWidth + 1, m_nY, +1);
                    ++m_nX;
                }
                while (m_nX > x) {
                    Column(m_nX + m_nWidth, m_nY, -1);
                    Column(m_nX - m_nWidth - 1, m_nY, +1);
                    --m_nX;
                }
                while (m_nY < y) {
                    Row(m_nX, m_nY - m_nWidth, -1);
                    Row(m_nX, m_nY + m_nWidth + 1, +1);
                    ++m_nY;
                }
                while (m_nY > y) {
                    Row(m_nX, m_nY + m_nWidth, -1);
                    Row(m_nX, m_nY - m_nWidth - 1, +1);
                    --m_nY;
                }
                return;
            }
            Clear();
        }
        m_nX = x;
        m_nY = y;
        for (int32_t dy = -m_nWidth; dy <= m_nWidth; ++dy)
            Row(x, y + dy, +1);
        m_bFilled = true;
    }

    // The n-th largest key of the window (n >= 1, equal keys counted
    // separately, n at most the window's size). Counted from the low end, as
    // the dark sky background holds most of a window's values.
    uint32_t NthLargest(std::size_t n) const
    {
        const std::size_t cells = static_cast<std::size_t>(m_nSide) * static_cast<std::size_t>(m_nSide);
        const std::size_t k = cells - n + 1;  // the same key as the k-th smallest
        std::size_t below = 0;
        std::size_t top = 0;
        while (below + m_top[top] < k)
            below += m_top[top++];
        std::size_t middle = top * 16;
        while (below + m_middle[middle] < k)
            below += m_middle[middle++];
        std::size_t key = middle * 16;
        while (below + m_fine[key] < k)
            below += m_fine[key++];
        return static_cast<uint32_t>(key);
    }

private:
    void Clear()
    {
        if (static_cast<int64_t>(m_nSide) * m_nSide > 65536) {
            std::memset(m_fine.data(), 0, m_fine.size() * sizeof(uint32_t));
            std::memset(m_middle.data(), 0, m_middle.size() * sizeof(uint32_t));
            std::memset(m_top.data(), 0, m_top.size() * sizeof(uint32_t));
        } else {
            for (int32_t dy = -m_nWidth; dy <= m_nWidth; ++dy)
                Row(m_nX, m_nY + dy, -1);
        }
        m_bFilled = false;
    }

    void Count(uint32_t key, int32_t sign)
    {
        m_fine[key] += static_cast<uint32_t>(sign);
        m_middle[key >> 4] += static_cast<uint32_t>(sign);
        m_top[key >> 8] += static_cast<uint32_t>(sign);
    }

    // Adds (+1) or removes (-1) the side cells of row y centred on column x.
    void Row(int32_t x, int32_t y, int32_t sign)
    {
        const std::size_t start = static_cast<std::size_t>(y) * m_nImageWidth + (x - m_nWidth);
        for (int32_t i = 0; i < m_nSide; ++i) {
            const uint32_t key = m_keys[start + i];
            Count(key, sign);
        }
    }

    // The same for the side cells of column x centred on row y.
    void Column(int32_t x, int32_t y, int32_t sign)
    {
        std::size_t index = static_cast<std::size_t>(y - m_nWidth) * m_nImageWidth + x;
        for (int32_t i = 0; i < m_nSide; ++i, index += m_nImageWidth) {
            const uint32_t key = m_keys[index];
            Count(key, sign);
        }
    }

    Keys m_keys;
    std::size_t m_nImageWidth;
    int32_t m_nWidth;
    int32_t m_nSide;
    std::vector<uint32_t> m_fine;
    std::vector<uint32_t> m_middle;
    std::vector<uint32_t> m_top;
    bool m_bFilled = false;
    int32_t m_nX = 0;
    int32_t m_nY = 0;
};
