#include "filter/CBloomFilter.h"

#include <algorithm>
#include <optional>

#include "filter/BloomStages.h"
#include "filter/CChangeRecorder.h"
#include "filter/CFilterProgress.h"
#include "filter/CReplacementStage.h"
#include "image/CAstroImage.h"
#include "support/CSharedState.h"

namespace {

// Stage positions on the 0..100 bar: start + step * span / steps, with the
// product taken in 64 bits so that large images cannot overflow it.
int StagePosition(int start, int64_t step, int span, int64_t steps)
{
    return start + static_cast<int>(step * span / steps);
}

bool PlaneMatches(const CAstroImage& image, const std::vector<uint32_t>& plane)
{
    return image.m_width > 0 && image.m_height > 0 &&
           plane.size() == static_cast<std::size_t>(image.m_width) * static_cast<std::size_t>(image.m_height);
}

}  // namespace

CBloomFilter::CBloomFilter(uint32_t* plane, int32_t imageWidth, int32_t imageHeight, uint32_t intensity,
                           int32_t length, int32_t width)
    : m_pPlane(plane), m_nImageWidth(plane ? imageWidth : 0), m_nImageHeight(plane ? imageHeight : 0),
      m_nIntensity(intensity), m_nLength(length), m_nWidth(width)
{
}

CBloomFilter::CBloomFilter(const CAstroImage& image, std::vector<uint32_t>& plane, uint32_t intensity,
                           int32_t length, int32_t width)
    : CBloomFilter(plane.data(), PlaneMatches(image, plane) ? image.m_width : 0,
                   PlaneMatches(image, plane) ? image.m_height : 0, intensity, length, width)
{
}

void CBloomFilter::Run(const std::string& suffix, const CSharedState& state, IFilterStatus* status)
{
    const SFilterArea area = MakeFilterArea(m_pPlane, m_nImageWidth, m_nImageHeight, state);
    const int32_t columns = area.Columns();
    const int32_t rows = area.Rows();
    const int32_t imageHeight = area.imageHeight;
    CFilterProgress progress(status);
    progress.Open(suffix);

    // Detection.
    std::vector<uint8_t> candidates;
    std::vector<int32_t> perColumn;
    DetectCandidates(area, m_nIntensity, candidates, perColumn);
    int count = 0;
    for (int32_t i = 0; i < columns; ++i) {
        progress.DetectionColumn(StagePosition(0, i, 14, columns), count);
        count += perColumn[static_cast<std::size_t>(i)];
    }
    if (columns > 0)
        progress.DetectionEnd(count - perColumn.back());
    m_nDetected = count;
    progress.Reveal(IFilterStatus::ELine::LengthCheck);

    // Length check.
    RemoveShortRuns(area, m_nLength, candidates, perColumn);
    for (int32_t i = 0; i < columns; ++i) {
        progress.LengthColumn(StagePosition(14, i, 14, columns), count);
        count -= perColumn[static_cast<std::size_t>(i)];
    }
    if (columns > 0)
        progress.LengthEnd(count + perColumn.back());
    m_nLengthChecked = count;
    m_nShownDetected = progress.ShownDetectedCount();
    m_nShownLengthChecked = progress.ShownLengthCheckCount();

    // Horizontal fill.
    std::optional<CChangeRecorder> recorder;
    if (m_pChanges)
        recorder.emplace(area, *m_pChanges, static_cast<std::size_t>(std::max(m_nLengthChecked, 0)));
    for (int32_t r = 0; r < rows; ++r) {
        progress.Position(StagePosition(28, r, 14, rows));
        FillRow(area, m_nIntensity, candidates, area.top + r, recorder ? recorder->FillLog() : nullptr);
        if (recorder)
            recorder->EndFillRow(area.top + r);
    }

    // Neighbour marking and merge, done together.
    std::vector<uint8_t>& visit = candidates;
    GrowMask(area, visit);
    for (int32_t x = area.left + 1; x <= area.right - 2; ++x)
        progress.Position(StagePosition(42, x - area.left, 14, columns));
    for (int32_t x = area.left + 1; x <= area.right - 2; ++x)
        progress.Position(StagePosition(56, x - area.left, 14, columns));
    progress.Reveal(IFilterStatus::ELine::Removing);

    // Replacement values.
    CReplacementStage replacement(area, m_nWidth, m_nThreads, m_selection);
    int32_t rowsReported = 0;
    replacement.Compute(visit, [&](int32_t rowsDone) {
        for (; rowsReported < rowsDone; ++rowsReported)
            progress.Position(StagePosition(70, area.top + rowsReported, 16, imageHeight));
    });
    std::vector<uint8_t>().swap(visit);
    progress.Reveal(IFilterStatus::ELine::Blending);

    // Write-back.
    const std::vector<CReplacementStage::SCell>& cells = replacement.Cells();
    const std::vector<uint32_t>& values = replacement.Values();
    std::size_t k = 0;
    for (int32_t y = area.top; y < area.bottom; ++y) {
        progress.Position(StagePosition(86, y, 14, imageHeight));
        uint32_t* row = area.plane + static_cast<std::size_t>(y) * area.imageWidth;
        const std::size_t first = k;
        while (k < cells.size() && cells[k].y == y)
            ++k;
        if (recorder)
            recorder->BeforeWriteBack(y, cells.data() + first, values.data() + first, k - first);
        for (std::size_t i = first; i < k; ++i) {
            if (values[i] != 0)
                row[cells[i].x] = values[i];
        }
    }
    progress.Position(100);
    progress.Reveal(IFilterStatus::ELine::Complete);
    progress.Close();
}
