#include "filter/CChangeRecorder.h"

#include <algorithm>

#include "filter/CChangeMask.h"

CChangeRecorder::CChangeRecorder(const SFilterArea& area, CChangeMask& mask, std::size_t blooms)
    : m_area(area), m_mask(mask)
{
    m_mask.Reset(area.imageWidth, area.imageHeight);
    // Room for the fill's pixels and their neighbours at once, so that the
    // list is not copied as it grows.
    m_known.reserve(blooms + blooms / 2 + 64);
    m_rowStart.reserve(static_cast<std::size_t>(std::max(area.Rows(), 0)));
}

void CChangeRecorder::EndFillRow(int32_t y)
{
    // The fill writes at most one column ahead of where it stands, so the
    // log is sorted but for neighbours; the first entry of a pixel holds
    // the value from before the run.
    for (std::size_t i = 1; i < m_log.size(); ++i)
        for (std::size_t k = i; k > 0 && m_log[k - 1].x > m_log[k].x; --k)
            std::swap(m_log[k - 1], m_log[k]);
    // The row's written stretches are in the cache now: their values after
    // the fill are taken, and those of the pixel on either side, which the
    // write-back often writes too (the marked area grows by one pixel).
    const uint32_t* row = m_area.plane + static_cast<std::size_t>(y) * static_cast<std::size_t>(m_area.imageWidth);
    const std::size_t rowStart = m_known.size();
    m_rowStart.push_back(rowStart);
    auto keepUnwritten = [&](int32_t x) {
        if (x >= 0 && x < m_area.imageWidth && (m_known.size() == rowStart || m_known.back().x < x))
            m_known.push_back({x, row[x], row[x]});
    };
    for (std::size_t i = 0; i < m_log.size(); ++i) {
        const int32_t x = m_log[i].x;
        if (i > 0 && x == m_log[i - 1].x)
            continue;
        if (i == 0 || x > m_log[i - 1].x + 1) {
            if (i > 0)
                keepUnwritten(m_log[i - 1].x + 1);
            keepUnwritten(x - 1);
        }
        m_known.push_back({x, m_log[i].before, row[x]});
    }
    if (!m_log.empty())
        keepUnwritten(m_log.back().x + 1);
    m_log.clear();
}

void CChangeRecorder::BeforeWriteBack(int32_t y, const CReplacementStage::SCell* cells, const uint32_t* values,
                                      std::size_t count)
{
    const uint32_t* row = m_area.plane + static_cast<std::size_t>(y) * static_cast<std::size_t>(m_area.imageWidth);
    const std::size_t r = static_cast<std::size_t>(y - m_area.top);
    const std::size_t begin = m_rowStart[r];
    const std::size_t end = r + 1 < m_rowStart.size() ? m_rowStart[r + 1] : m_known.size();
    // The cells and the known pixels of the row, merged in column order;
    // changed pixels side by side go to the mask as one run.
    int32_t runStart = 0;
    int32_t runEnd = -1;
    std::size_t i = 0;
    std::size_t k = begin;
    while (i < count || k < end) {
        const int32_t cellX = i < count ? cells[i].x : m_area.imageWidth;
        const int32_t knownX = k < end ? m_known[k].x : m_area.imageWidth;
        const int32_t x = std::min(cellX, knownX);
        const bool written = cellX == x && values[i] != 0;
        bool changed;
        if (knownX == x)
            changed = (written ? values[i] : m_known[k].afterFill) != m_known[k].before;
        else  // the fill did not write it: the plane still holds the old value
            changed = written && values[i] != row[x];
        if (changed) {
            if (x != runEnd) {
                if (runEnd > runStart)
                    m_mask.Add(y, runStart, runEnd);
                runStart = x;
            }
            runEnd = x + 1;
        }
        i += cellX == x ? 1 : 0;
        k += knownX == x ? 1 : 0;
    }
    if (runEnd > runStart)
        m_mask.Add(y, runStart, runEnd);
}
