#pragma once
#include <QImage>
#include <QPoint>
#include <QRect>
#include <cstddef>
#include <cstdint>

class QPainter;

// The picture an image view draws: an owned 32-bit copy of the image's
// display buffer, plus half- and quarter-size copies made on demand so that
// the 50 % and 25 % zooms are plain copies of already averaged pixels.
// Painting only touches the part of the picture that is exposed.
class CViewPicture {
public:
    // Builds the picture (opaque 0xffRRGGBB) from a display buffer of width x height pixels at
    // the given display depth (16: RGB555 words, 24: b,g,r, 32: b,g,r,0),
    // rows packed with no padding. A buffer too short for that size gives an
    // empty picture; nothing past its end is read.
    void Rebuild(const uint8_t* pData, std::size_t nSize, int32_t nWidth, int32_t nHeight,
                 int32_t nDisplayBpp);

    // Draws the picture zoomed by nZoom percent with its top-left corner at
    // -ptScroll, limited to rcExposed (viewport coordinates).
    void Draw(QPainter& painter, int32_t nZoom, QPoint ptScroll, const QRect& rcExposed);

    // The zoomed size: nZoom x size / 100, truncated.
    static QSize ZoomedSize(QSize size, int32_t nZoom);
    // The bitmap depth used for a display depth: 16, 24, or 32 for any other.
    static int32_t PictureDepth(int32_t nDisplayBpp);

    const QImage& Image() const { return m_image; }
    bool IsEmpty() const { return m_image.isNull(); }

private:
    const QImage& Reduced(int nLevel);

    QImage m_image;     // full size, Format_RGB32
    QImage m_half;      // made on demand
    QImage m_quarter;   // made on demand
    bool m_bReducedValid = false;
};
