#include "filter/CReplacementStage.h"

#include <algorithm>
#include <memory>
#include <thread>

#include "filter/CSlidingHistogram.h"
#include "filter/CSortSelector.h"
#include "filter/ParallelItems.h"
#include "filter/RankKeys.h"

namespace {

// Up to this half side a copy and a partial sort beat the histogram.
constexpr int32_t kSortMaxWidth = 2;

}  // namespace

CReplacementStage::CReplacementStage(const SFilterArea& area, int32_t width, int threads,
                                     CBloomFilter::ESelection selection)
    : m_area(area), m_nWidth(width), m_nThreads(threads), m_selection(selection)
{
}

bool CReplacementStage::Fits(const SCell& cell) const
{
    const int64_t w = m_nWidth;
    return w >= 0 && cell.x > w && cell.y > w && cell.x < m_area.imageWidth - w && cell.y < m_area.imageHeight - w;
}

int CReplacementStage::ThreadsFor(std::size_t pixels, bool sorting) const
{
    if (m_nThreads > 0)
        return m_nThreads;
    const unsigned cores = std::min(std::max(std::thread::hardware_concurrency(), 1u), 8u);
    // A second thread is worth starting only for a few milliseconds of work.
    const double side = 2.0 * m_nWidth + 1.0;
    const double nanoseconds = static_cast<double>(pixels) * (sorting ? side * side * 4.0 : side * 4.0 + 300.0);
    return nanoseconds > 2e6 ? static_cast<int>(cores) : 1;
}

void CReplacementStage::Compute(const std::vector<uint8_t>& visit,
                                const std::function<void(int32_t rowsDone)>& rowsDone)
{
    const int32_t columns = m_area.Columns();
    const int32_t rows = m_area.Rows();
    m_cells.clear();
    m_fitting.clear();
    // The rectangle's first column is never visited.
    for (int32_t r = 0; r < rows; ++r) {
        const uint8_t* row = visit.data() + static_cast<std::size_t>(r) * columns;
        for (int32_t i = NextMarked(row, 1, columns); i < columns; i = NextMarked(row, i + 1, columns))
            m_cells.push_back({m_area.left + i, m_area.top + r});
    }
    m_values.assign(m_cells.size(), 0);
    if (m_nWidth >= 1) {
        for (std::size_t k = 0; k < m_cells.size(); ++k)
            if (Fits(m_cells[k]))
                m_fitting.push_back(static_cast<uint32_t>(k));
    }
    // A window of one pixel has rank 0: its value is 0, as for no window.
    if (m_fitting.empty()) {
        rowsDone(rows);
    } else {
        const bool sorting = m_selection == CBloomFilter::ESelection::Sort ||
                             (m_selection == CBloomFilter::ESelection::Auto && m_nWidth <= kSortMaxWidth);
        if (sorting)
            ComputeSorted(rowsDone);
        else
            ComputeWithHistogram(rowsDone);
    }
    CarryOver();
}

void CReplacementStage::ComputeSorted(const std::function<void(int32_t)>& rowsDone)
{
    const int threads = ThreadsFor(m_fitting.size(), true);
    std::vector<std::unique_ptr<CSortSelector>> selectors;
    for (int t = 0; t < threads; ++t)
        selectors.push_back(std::make_unique<CSortSelector>(m_nWidth));
    const std::size_t total = m_fitting.size();
    const std::size_t chunk = std::clamp<std::size_t>(total / (static_cast<std::size_t>(threads) * 32), 16, 4096);
    const std::size_t items = (total + chunk - 1) / chunk;
    const uint32_t* plane = m_area.plane;
    const int32_t imageWidth = m_area.imageWidth;
    RunItems(
        items, threads,
        [&](std::size_t item, int worker) {
            CSortSelector& selector = *selectors[static_cast<std::size_t>(worker)];
            const std::size_t end = std::min(total, (item + 1) * chunk);
            for (std::size_t f = item * chunk; f < end; ++f) {
                const SCell& cell = m_cells[m_fitting[f]];
                m_values[m_fitting[f]] = selector.Select(plane, imageWidth, cell.x, cell.y);
            }
        },
        [&](std::size_t finished) {
            // Every row above the first cell still to do is complete.
            if (finished < items)
                rowsDone(m_cells[m_fitting[finished * chunk]].y - m_area.top);
            else
                rowsDone(m_area.Rows());
        });
}

void CReplacementStage::ComputeWithHistogram(const std::function<void(int32_t)>& rowsDone)
{
    // The windows to compute read this box of the plane.
    int32_t x0 = m_area.imageWidth, x1 = 0, y0 = m_area.imageHeight, y1 = 0;
    for (uint32_t k : m_fitting) {
        x0 = std::min(x0, m_cells[k].x);
        x1 = std::max(x1, m_cells[k].x);
        y0 = std::min(y0, m_cells[k].y);
        y1 = std::max(y1, m_cells[k].y);
    }
    int32_t highest = 0;
    for (int32_t y = y0 - m_nWidth; y <= y1 + m_nWidth; ++y) {
        const uint32_t* row = m_area.plane + static_cast<std::size_t>(y) * m_area.imageWidth;
        for (int32_t x = x0 - m_nWidth; x <= x1 + m_nWidth; ++x)
            highest = std::max(highest, static_cast<int32_t>(row[x]));
    }
    if (highest <= 65535) {
        ComputeWithHistogram(SClampedValueKeys{m_area.plane}, nullptr, rowsDone);
        return;
    }
    std::vector<uint16_t> keys;
    std::vector<uint32_t> keyValues;
    const std::size_t count = static_cast<std::size_t>(m_area.imageWidth) * m_area.imageHeight;
    if (BuildRankKeys(m_area.plane, count, keys, keyValues))
        ComputeWithHistogram(SRankKeys{keys.data()}, &keyValues, rowsDone);
    else
        ComputeSorted(rowsDone);
}

template <class Keys>
void CReplacementStage::ComputeWithHistogram(Keys keys, const std::vector<uint32_t>* keyValues,
                                             const std::function<void(int32_t)>& rowsDone)
{
    // The fitting cells column by column; within a column top to bottom.
    const int32_t columns = m_area.Columns();
    std::vector<std::size_t> columnStart(static_cast<std::size_t>(columns) + 1, 0);
    for (uint32_t k : m_fitting)
        ++columnStart[static_cast<std::size_t>(m_cells[k].x - m_area.left) + 1];
    for (int32_t i = 0; i < columns; ++i)
        columnStart[static_cast<std::size_t>(i) + 1] += columnStart[static_cast<std::size_t>(i)];
    std::vector<uint32_t> byColumn(m_fitting.size());
    {
        std::vector<std::size_t> fill(columnStart.begin(), columnStart.end() - 1);
        for (uint32_t k : m_fitting)
            byColumn[fill[static_cast<std::size_t>(m_cells[k].x - m_area.left)]++] = k;
    }

    // Items: runs of whole columns with about the same number of cells.
    const std::size_t total = m_fitting.size();
    const int threads = ThreadsFor(total, false);
    const std::size_t target = std::max<std::size_t>(1, total / (static_cast<std::size_t>(threads) * 8));
    std::vector<int32_t> itemColumns{0};  // first column of each item, then the end
    for (int32_t i = 0; i < columns; ++i) {
        if (columnStart[static_cast<std::size_t>(i) + 1] - columnStart[static_cast<std::size_t>(itemColumns.back())] >=
            target)
            itemColumns.push_back(i + 1);
    }
    if (itemColumns.back() != columns)
        itemColumns.push_back(columns);
    const std::size_t items = itemColumns.size() - 1;

    std::vector<std::unique_ptr<CSlidingHistogram<Keys>>> histograms;
    for (int t = 0; t < threads; ++t)
        histograms.push_back(std::make_unique<CSlidingHistogram<Keys>>(keys, m_area.imageWidth, m_nWidth));
    const std::size_t rank = ReplacementRank(m_nWidth);

    RunItems(
        items, threads,
        [&](std::size_t item, int worker) {
            CSlidingHistogram<Keys>& histogram = *histograms[static_cast<std::size_t>(worker)];
            bool down = true;
            for (int32_t i = itemColumns[item]; i < itemColumns[item + 1]; ++i) {
                const std::size_t begin = columnStart[static_cast<std::size_t>(i)];
                const std::size_t end = columnStart[static_cast<std::size_t>(i) + 1];
                if (begin == end)
                    continue;
                // Down one column and up the next keeps every move short.
                for (std::size_t j = 0; j < end - begin; ++j) {
                    const uint32_t k = byColumn[down ? begin + j : end - 1 - j];
                    histogram.MoveTo(m_cells[k].x, m_cells[k].y);
                    const uint32_t key = histogram.NthLargest(rank);
                    m_values[k] = keyValues ? (*keyValues)[key] : key;
                }
                down = !down;
            }
        },
        [&](std::size_t finished) {
            const std::size_t done = columnStart[static_cast<std::size_t>(itemColumns[finished])];
            rowsDone(static_cast<int32_t>(static_cast<int64_t>(m_area.Rows()) * static_cast<int64_t>(done) /
                                          static_cast<int64_t>(total)));
        });
}

void CReplacementStage::CarryOver()
{
    std::size_t next = 0;  // next index in m_fitting
    for (std::size_t k = 0; k < m_cells.size(); ++k) {
        if (next < m_fitting.size() && m_fitting[next] == k) {
            ++next;
            continue;
        }
        // Only a direct left neighbour passes its value on: one from another
        // row or another trail would paint a streak of a far-away brightness.
        const bool leftNeighbour =
            k > 0 && m_cells[k - 1].y == m_cells[k].y && m_cells[k - 1].x + 1 == m_cells[k].x;
        m_values[k] = leftNeighbour ? m_values[k - 1] : 0;
    }
}
