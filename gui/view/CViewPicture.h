#pragma once
#include <QPoint>
#include <QRect>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/CDisplayZoom.h"

class QPainter;

// The picture an image view draws, made at paint time from the image's
// display buffer: only the exposed part, already zoomed (sharp squares when
// enlarged, block means at 50 % and 25 %), so that no copy of the whole image
// is kept or rebuilt when the display changes. Whatever a view draws over
// the picture (the region outline) comes after Draw.
class CViewPicture {
public:
    // Points the picture at a display buffer of width x height pixels at the
    // given display depth (16: RGB555 words, 24: b,g,r, 32 or any other:
    // b,g,r,0), rows packed with no padding. The buffer is not copied and must
    // stay as it is until the next call; the view calls this at every paint. A
    // buffer too short for that size gives an empty picture; nothing past its
    // end is read.
    void SetSource(const uint8_t* pData, std::size_t nSize, int32_t nWidth, int32_t nHeight,
                   int32_t nDisplayBpp);

    // Draws the picture zoomed by nZoom percent with its top-left corner at
    // -ptScroll, limited to rcExposed (viewport coordinates).
    void Draw(QPainter& painter, int32_t nZoom, QPoint ptScroll, const QRect& rcExposed);

    // The zoomed size: nZoom x size / 100, truncated.
    static QSize ZoomedSize(QSize size, int32_t nZoom);
    // The bitmap depth used for a display depth: 16, 24, or 32 for any other.
    static int32_t PictureDepth(int32_t nDisplayBpp);

    bool IsEmpty() const { return !m_bComplete; }

private:
    CDisplayZoom::SSource m_source;
    bool m_bComplete = false;
    // Pixels of the part being drawn, kept between paints so that painting
    // does not allocate.
    std::vector<uint32_t> m_tile;
};
