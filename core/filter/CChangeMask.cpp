#include "filter/CChangeMask.h"

#include <algorithm>
#include <cstring>

void CChangeMask::Reset(int32_t imageWidth, int32_t imageHeight)
{
    m_nImageWidth = std::max(imageWidth, 0);
    m_nImageHeight = std::max(imageHeight, 0);
    m_nCount = 0;
    m_runs.clear();
}

void CChangeMask::Add(int32_t y, int32_t left, int32_t right)
{
    left = std::max(left, 0);
    right = std::min(right, m_nImageWidth);
    if (left >= right || y < 0 || y >= m_nImageHeight)
        return;
    m_nCount += right - left;
    if (!m_runs.empty() && m_runs.back().y == y && m_runs.back().right == left) {
        m_runs.back().right = right;
        return;
    }
    m_runs.push_back({y, left, right});
}

CRegion CChangeMask::Area() const
{
    if (m_runs.empty())
        return {};
    CRegion area{m_nImageWidth, m_runs.front().y, 0, m_runs.back().y + 1};
    for (const SRun& run : m_runs) {
        area.left = std::min(area.left, run.left);
        area.right = std::max(area.right, run.right);
    }
    return area;
}

std::vector<CChangeMask::SRun>::const_iterator CChangeMask::RowStart(int32_t y) const
{
    return std::lower_bound(m_runs.begin(), m_runs.end(), y, [](const SRun& run, int32_t row) { return run.y < row; });
}

bool CChangeMask::At(int32_t x, int32_t y) const
{
    for (auto it = RowStart(y); it != m_runs.end() && it->y == y && it->left <= x; ++it)
        if (x < it->right)
            return true;
    return false;
}

void CChangeMask::CopyImageRow(int32_t y, uint8_t* out) const
{
    std::memset(out, 0, static_cast<std::size_t>(m_nImageWidth));
    for (auto it = RowStart(y); it != m_runs.end() && it->y == y; ++it)
        std::memset(out + it->left, 1, static_cast<std::size_t>(it->right - it->left));
}

std::vector<uint8_t> CChangeMask::Bytes() const
{
    const std::size_t width = static_cast<std::size_t>(m_nImageWidth);
    std::vector<uint8_t> bytes(width * static_cast<std::size_t>(m_nImageHeight), 0);
    for (const SRun& run : m_runs)
        std::memset(bytes.data() + static_cast<std::size_t>(run.y) * width + static_cast<std::size_t>(run.left), 1,
                    static_cast<std::size_t>(run.right - run.left));
    return bytes;
}

void CChangeMask::Mirror()
{
    for (SRun& run : m_runs)
        run = {run.y, m_nImageWidth - run.right, m_nImageWidth - run.left};
    // Each row's runs now go right to left: turn them round.
    for (auto first = m_runs.begin(); first != m_runs.end();) {
        auto last = std::find_if(first, m_runs.end(), [y = first->y](const SRun& run) { return run.y != y; });
        std::reverse(first, last);
        first = last;
    }
}
