#include "view/CViewZoom.h"

#include <algorithm>
#include <iterator>

#include "view/CDorvaneView.h"
#include "view/CViewPicture.h"

namespace {
constexpr int32_t kLevels[] = {25, 50, 100, 200, 400, 800, 1600};
constexpr int kLevelCount = static_cast<int>(std::size(kLevels));
}  // namespace

int32_t CViewZoom::Step(int32_t nZoom, int nSteps) {
    const auto* pFound = std::find(std::begin(kLevels), std::end(kLevels), nZoom);
    const int nAt = pFound != std::end(kLevels) ? static_cast<int>(pFound - kLevels) : 2;
    return kLevels[std::clamp(nAt + nSteps, 0, kLevelCount - 1)];
}

int32_t CViewZoom::FitLevel(QSize image, QSize area, QSize borders) {
    for (int i = kLevelCount - 1; i >= 0; --i) {
        const QSize viewport = CDorvaneView::FrameSize(kLevels[i], image, area) - borders;
        const QSize picture = CViewPicture::ZoomedSize(image, kLevels[i]);
        if (picture.width() <= viewport.width() && picture.height() <= viewport.height())
            return kLevels[i];
    }
    return kLevels[0];
}

QPoint CViewZoom::AnchoredScroll(QPoint ptLogical, int32_t nOld, int32_t nNew, QPoint ptViewport) {
    if (nOld <= 0)
        return -ptViewport;
    const auto scaled = [&](int c) { return static_cast<int>(int64_t(c) * nNew / nOld); };
    return QPoint(scaled(ptLogical.x()), scaled(ptLogical.y())) - ptViewport;
}
