#pragma once
#include <QPoint>
#include <QSize>
#include <cstdint>

// Zoom steps of the image view beyond the seven menu choices: the next level
// up or down, the level that shows the whole image, and the scroll offset
// that keeps one point of the image in place across a zoom change.
class CViewZoom {
public:
    // nZoom moved by nSteps of the seven levels (positive: larger), held at
    // 25 and 1600. A zoom that is not one of the levels counts as 100.
    static int32_t Step(int32_t nZoom, int nSteps);
    // The largest level at which the whole image fits the viewport of an
    // image window sized for that level (CDorvaneView::FrameSize in area,
    // less the window's borders); 25 when none does.
    static int32_t FitLevel(QSize image, QSize area, QSize borders);
    // The scroll offset that brings the picture point ptLogical (at nOld
    // percent) under the viewport point ptViewport at nNew percent.
    static QPoint AnchoredScroll(QPoint ptLogical, int32_t nOld, int32_t nNew, QPoint ptViewport);
};
