#include "filter/CReplacedPixelRuns.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "filter/CFilterRunRecord.h"

CReplacedPixelRuns::CReplacedPixelRuns(const CFilterRunRecord& record)
{
    // Every level at once, row by row of the image: the runs of all planes
    // on an image row, reduced to a level's columns, join that level's row.
    std::vector<std::size_t> next(record.planes.size(), 0);
    std::vector<std::pair<int32_t, int32_t>> spans;
    std::array<std::vector<std::pair<int32_t, int32_t>>, kLevels> pending;
    for (int level = 0; level < kLevels; ++level) {
        const int32_t scale = 1 << level;
        m_levels[static_cast<std::size_t>(level)].Reset((record.imageWidth + scale - 1) / scale,
                                                        (record.imageHeight + scale - 1) / scale);
    }
    auto flush = [&](int level, int32_t row) {
        std::vector<std::pair<int32_t, int32_t>>& rowSpans = pending[static_cast<std::size_t>(level)];
        std::sort(rowSpans.begin(), rowSpans.end());
        CChangeMask& mask = m_levels[static_cast<std::size_t>(level)];
        for (std::size_t i = 0; i < rowSpans.size();) {
            int32_t left = rowSpans[i].first;
            int32_t right = rowSpans[i].second;
            for (++i; i < rowSpans.size() && rowSpans[i].first <= right; ++i)
                right = std::max(right, rowSpans[i].second);
            mask.Add(row, left, right);
        }
        rowSpans.clear();
    };
    for (int32_t y = 0; y < record.imageHeight; ++y) {
        spans.clear();
        for (std::size_t p = 0; p < record.planes.size(); ++p) {
            const std::vector<CChangeMask::SRun>& runs = record.planes[p].changes.Runs();
            // Masks of another size (a plane that was never filtered) are left out.
            if (record.planes[p].changes.ImageWidth() != record.imageWidth)
                continue;
            for (; next[p] < runs.size() && runs[next[p]].y == y; ++next[p])
                spans.emplace_back(runs[next[p]].left, runs[next[p]].right);
        }
        for (int level = 0; level < kLevels; ++level) {
            for (const auto& [left, right] : spans)
                pending[static_cast<std::size_t>(level)].emplace_back(left >> level, ((right - 1) >> level) + 1);
            const int32_t scale = 1 << level;
            if ((y + 1) % scale == 0 || y + 1 == record.imageHeight)
                flush(level, y >> level);
        }
    }
}

int CReplacedPixelRuns::LevelForZoom(int zoomPercent)
{
    return zoomPercent <= 25 ? 2 : zoomPercent <= 50 ? 1 : 0;
}
