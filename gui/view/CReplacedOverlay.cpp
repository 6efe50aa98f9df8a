#include "view/CReplacedOverlay.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <algorithm>

#include "filter/CReplacedPixelRuns.h"

namespace {

// A strong cyan at half strength: it stands out on the grey of a sky and
// the white of a star, and the picture still shows through.
const QRgb kTint = qPremultiply(qRgba(0, 220, 255, 140));

}  // namespace

void CReplacedOverlay::Draw(QPainter& painter, const CReplacedPixelRuns& runs, int32_t nZoom, QPoint ptScroll,
                            const QRect& rcExposed, QSize zoomedSize)
{
    const int level = CReplacedPixelRuns::LevelForZoom(nZoom);
    const CChangeMask& mask = runs.Level(level);
    // A pixel of the level spans `span` / 100 view pixels: 1 at 25 % and
    // 50 %, the zoom's factor from 100 % up.
    const int64_t span = int64_t(nZoom) << level;
    const QRect area = rcExposed.translated(ptScroll).intersected(QRect(QPoint(0, 0), zoomedSize));
    if (area.isEmpty() || span <= 0)
        return;
    const auto toView = [span](int64_t c) { return c * span / 100; };
    const int32_t firstRow = static_cast<int32_t>(int64_t(area.top()) * 100 / span);
    const int32_t lastRow = static_cast<int32_t>(int64_t(area.bottom()) * 100 / span);
    const auto begin = mask.RowStart(firstRow);
    const auto end = mask.RowStart(lastRow + 1);

    // The part of the area the runs cover, then the runs drawn into it.
    QRect covered;
    for (auto it = begin; it != end; ++it) {
        const QRect rc(QPoint(static_cast<int>(toView(it->left)), static_cast<int>(toView(it->y))),
                       QPoint(static_cast<int>(toView(it->right)) - 1, static_cast<int>(toView(it->y + 1)) - 1));
        covered |= rc.intersected(area);
    }
    if (covered.isEmpty())
        return;
    QImage tint(covered.size(), QImage::Format_ARGB32_Premultiplied);
    tint.fill(Qt::transparent);
    for (auto it = begin; it != end; ++it) {
        const int top = std::max<int>(static_cast<int>(toView(it->y)), covered.top());
        const int bottom = std::min<int>(static_cast<int>(toView(it->y + 1)), covered.bottom() + 1);
        const int left = std::max<int>(static_cast<int>(toView(it->left)), covered.left());
        const int right = std::min<int>(static_cast<int>(toView(it->right)), covered.right() + 1);
        for (int y = top; y < bottom && left < right; ++y) {
            auto* line = reinterpret_cast<QRgb*>(tint.scanLine(y - covered.top()));
            std::fill(line + (left - covered.left()), line + (right - covered.left()), kTint);
        }
    }
    painter.drawImage(covered.topLeft() - ptScroll, tint);
}
