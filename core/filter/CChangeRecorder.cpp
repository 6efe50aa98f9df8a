#include "filter/CChangeRecorder.h"

#include <algorithm>
#include <cstdint>

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
    const SKnown* known = m_known.data() + m_rowStart[r];
    const SKnown* knownEnd = m_known.data() + (r + 1 < m_rowStart.size() ? m_rowStart[r + 1] : m_known.size());
    const CReplacementStage::SCell* cellEnd = cells + count;
    // Changed pixels side by side go to the mask as one run.
    int32_t runStart = 0;
    int32_t runEnd = -1;
    auto note = [&](int32_t x, bool changed) {
        if (!changed)
            return;
        if (x != runEnd) {
            if (runEnd > runStart)
                m_mask.Add(y, runStart, runEnd);
            runStart = x;
        }
        runEnd = x + 1;
    };
    // The cells and the known pixels of the row, merged in column order. A
    // cell the fill did not come near still holds its old value in the plane;
    // a cell of value 0 is not written.
    while (cells != cellEnd || known != knownEnd) {
        const int32_t cellX = cells != cellEnd ? cells->x : INT32_MAX;
        const int32_t knownX = known != knownEnd ? known->x : INT32_MAX;
        if (cellX == knownX) {
            note(cellX, (*values != 0 ? *values : known->afterFill) != known->before);
            ++cells, ++values, ++known;
        } else if (cellX < knownX) {
            note(cellX, *values != 0 && *values != row[cellX]);
            ++cells, ++values;
        } else {
            note(knownX, known->afterFill != known->before);
            ++known;
        }
    }
    if (runEnd > runStart)
        m_mask.Add(y, runStart, runEnd);
}
