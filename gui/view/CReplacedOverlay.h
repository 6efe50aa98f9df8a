#pragma once
#include <QPoint>
#include <QRect>
#include <QSize>
#include <cstdint>

class CReplacedPixelRuns;
class QPainter;

// Tints the pixels the last run replaced over the picture of a view. Only
// the exposed part is drawn: the runs of the level that suits the zoom that
// fall into it become a small transparent image, blended over the picture
// in one go, so the cost follows the exposed area and the runs in it, not
// the size of the image.
class CReplacedOverlay {
public:
    // The same arguments as CViewPicture::Draw, and the zoomed picture's size.
    static void Draw(QPainter& painter, const CReplacedPixelRuns& runs, int32_t nZoom, QPoint ptScroll,
                     const QRect& rcExposed, QSize zoomedSize);
};
