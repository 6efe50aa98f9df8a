#include "filter/CSortSelector.h"

#include <algorithm>
#include <functional>

std::size_t ReplacementRank(int32_t width)
{
    const std::size_t side = 2 * static_cast<std::size_t>(width) + 1;
    return side * side / 2;
}

CSortSelector::CSortSelector(int32_t width)
    : m_nWidth(width), m_nRank(ReplacementRank(width)),
      m_window((2 * static_cast<std::size_t>(width) + 1) * (2 * static_cast<std::size_t>(width) + 1))
{
}

uint32_t CSortSelector::Select(const uint32_t* plane, int32_t imageWidth, int32_t x, int32_t y)
{
    const int32_t side = 2 * m_nWidth + 1;
    uint32_t* out = m_window.data();
    for (int32_t dy = -m_nWidth; dy <= m_nWidth; ++dy) {
        const uint32_t* row = plane + static_cast<std::size_t>(y + dy) * imageWidth + (x - m_nWidth);
        for (int32_t i = 0; i < side; ++i) {
            const int32_t v = static_cast<int32_t>(row[i]);
            *out++ = v < 0 ? 0u : static_cast<uint32_t>(v);
        }
    }
    std::nth_element(m_window.begin(), m_window.begin() + static_cast<std::ptrdiff_t>(m_nRank - 1), m_window.end(),
                     std::greater<uint32_t>());
    return m_window[m_nRank - 1];
}
