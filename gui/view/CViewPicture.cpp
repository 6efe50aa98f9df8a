#include "view/CViewPicture.h"

#include <QPainter>
#include <algorithm>
#include <thread>

namespace {

// Runs work(firstRow, endRow) over [0, nRows), split in two halves on two
// threads when the picture is big enough to be worth it.
template <typename Work>
void ForRows(int nRows, Work work) {
    if (nRows < 512) {
        work(0, nRows);
        return;
    }
    const int nMiddle = nRows / 2;
    std::thread other([&] { work(nMiddle, nRows); });
    work(0, nMiddle);
    other.join();
}

// Averages 2 x 2 blocks of src into dst (dst is half the size, truncated).
void HalveInto(const QImage& src, QImage& dst) {
    const int nWidth = dst.width();
    const uchar* pSrc = src.constBits();
    uchar* pDst = dst.bits();
    const qsizetype nSrcLine = src.bytesPerLine();
    const qsizetype nDstLine = dst.bytesPerLine();
    ForRows(dst.height(), [=](int nFirst, int nEnd) {
        for (int y = nFirst; y < nEnd; ++y) {
            const auto* pTop = reinterpret_cast<const uint32_t*>(pSrc + nSrcLine * (2 * y));
            const auto* pBottom = reinterpret_cast<const uint32_t*>(pSrc + nSrcLine * (2 * y + 1));
            auto* pOut = reinterpret_cast<uint32_t*>(pDst + nDstLine * y);
            for (int x = 0; x < nWidth; ++x) {
                const uint32_t a = pTop[2 * x], b = pTop[2 * x + 1];
                const uint32_t c = pBottom[2 * x], d = pBottom[2 * x + 1];
                // Two channels per 32-bit sum, each in its own 16-bit lane.
                const uint32_t rb = (a & 0x00ff00ffu) + (b & 0x00ff00ffu) + (c & 0x00ff00ffu) +
                                    (d & 0x00ff00ffu) + 0x00020002u;
                const uint32_t g = ((a >> 8) & 0x00ff00ffu) + ((b >> 8) & 0x00ff00ffu) +
                                   ((c >> 8) & 0x00ff00ffu) + ((d >> 8) & 0x00ff00ffu) + 0x00020002u;
                pOut[x] = 0xff000000u | ((rb >> 2) & 0x00ff00ffu) | (((g >> 2) & 0x000000ffu) << 8);
            }
        }
    });
}

// One row of display pixels to opaque 0xffRRGGBB.
void ConvertRow(const uint8_t* pIn, uint32_t* pOut, int32_t nWidth, int32_t nDepth) {
    switch (nDepth) {
        case 16:
            // RGB555, low byte first; 5 bits widen to 8 as (v << 3) | (v >> 2).
            for (int32_t x = 0; x < nWidth; ++x, pIn += 2) {
                const uint32_t w = uint32_t(pIn[0]) | uint32_t(pIn[1]) << 8;
                const uint32_t r = (w >> 10) & 31, g = (w >> 5) & 31, b = w & 31;
                pOut[x] = 0xff000000u | ((r << 3) | (r >> 2)) << 16 | ((g << 3) | (g >> 2)) << 8 |
                          ((b << 3) | (b >> 2));
            }
            break;
        case 24:
            for (int32_t x = 0; x < nWidth; ++x, pIn += 3)
                pOut[x] = 0xff000000u | uint32_t(pIn[2]) << 16 | uint32_t(pIn[1]) << 8 | pIn[0];
            break;
        default:
            // b, g, r, 0: the fourth byte is 0 and the picture needs it opaque.
            for (int32_t x = 0; x < nWidth; ++x, pIn += 4)
                pOut[x] = 0xff000000u | uint32_t(pIn[2]) << 16 | uint32_t(pIn[1]) << 8 | pIn[0];
            break;
    }
}

// (Re)uses image when it already has the size, so that a stretch change
// does not allocate and fault in a new picture every time.
bool Reserve(QImage& image, QSize size) {
    if (image.size() != size || image.format() != QImage::Format_RGB32)
        image = QImage(size, QImage::Format_RGB32);
    return !image.isNull();
}

}  // namespace

int32_t CViewPicture::PictureDepth(int32_t nDisplayBpp) {
    if (nDisplayBpp == 16 || nDisplayBpp == 24)
        return nDisplayBpp;
    return 32;
}

QSize CViewPicture::ZoomedSize(QSize size, int32_t nZoom) {
    return QSize(nZoom * size.width() / 100, nZoom * size.height() / 100);
}

void CViewPicture::Rebuild(const uint8_t* pData, std::size_t nSize, int32_t nWidth,
                           int32_t nHeight, int32_t nDisplayBpp) {
    m_bReducedValid = false;
    const int32_t nDepth = PictureDepth(nDisplayBpp);
    const std::size_t nRowBytes = nWidth > 0 ? static_cast<std::size_t>(nWidth) * (nDepth / 8) : 0;
    if (pData == nullptr || nRowBytes == 0 || nHeight <= 0 ||
        nSize / nRowBytes < static_cast<std::size_t>(nHeight) ||
        !Reserve(m_image, QSize(nWidth, nHeight))) {
        m_image = QImage();
        m_half = QImage();
        m_quarter = QImage();
        return;
    }
    // Rows are read with the buffer's own length (no padding), so an odd
    // width at 24 bits is read exactly as packed.
    uchar* pBits = m_image.bits();
    const qsizetype nLine = m_image.bytesPerLine();
    ForRows(nHeight, [=](int nFirst, int nEnd) {
        for (int y = nFirst; y < nEnd; ++y)
            ConvertRow(pData + nRowBytes * y, reinterpret_cast<uint32_t*>(pBits + nLine * y), nWidth,
                       nDepth);
    });
}

const QImage& CViewPicture::Reduced(int nLevel) {
    if (!m_bReducedValid) {
        m_bReducedValid = true;
        // Integer halves (QSize / 2 would round 4.5 up).
        const QSize half(m_image.width() / 2, m_image.height() / 2);
        if (!half.isEmpty() && Reserve(m_half, half))
            HalveInto(m_image, m_half);
        else
            m_half = QImage();
        const QSize quarter(half.width() / 2, half.height() / 2);
        if (!m_half.isNull() && !quarter.isEmpty() && Reserve(m_quarter, quarter))
            HalveInto(m_half, m_quarter);
        else
            m_quarter = QImage();
    }
    return nLevel == 1 ? m_half : m_quarter;
}

void CViewPicture::Draw(QPainter& painter, int32_t nZoom, QPoint ptScroll,
                        const QRect& rcExposed) {
    if (m_image.isNull() || nZoom <= 0)
        return;
    const QSize zoomed = ZoomedSize(m_image.size(), nZoom);
    const QRect rcPicture(-ptScroll, zoomed);
    const QRect rcVisible = rcPicture.intersected(rcExposed);
    if (rcVisible.isEmpty())
        return;

    // The reduced copies have exactly the zoomed size at 50 % and 25 %.
    const QImage* pSource = &m_image;
    if (nZoom == 50 || nZoom == 25) {
        const QImage& reduced = Reduced(nZoom == 50 ? 1 : 2);
        if (!reduced.isNull() && reduced.size() == zoomed)
            pSource = &reduced;
    }
    if (pSource->size() == zoomed) {
        painter.drawImage(rcVisible.topLeft(), *pSource, rcVisible.translated(ptScroll));
        return;
    }

    painter.save();
    painter.setClipRect(rcVisible);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    if (nZoom % 100 == 0) {
        // Whole-number enlargement: draw only the source pixels under the
        // exposed part, plus one on each side so that the smoothing at the
        // edges samples the same neighbours as a full paint would.
        const int s = nZoom / 100;
        const QRect rcLogical = rcVisible.translated(ptScroll);
        const int x0 = std::max(0, rcLogical.left() / s - 1);
        const int y0 = std::max(0, rcLogical.top() / s - 1);
        const int x1 = std::min(m_image.width(), rcLogical.right() / s + 2);
        const int y1 = std::min(m_image.height(), rcLogical.bottom() / s + 2);
        const QRect rcSource(x0, y0, x1 - x0, y1 - y0);
        const QRect rcTarget(QPoint(x0 * s, y0 * s) - ptScroll, rcSource.size() * s);
        painter.drawImage(rcTarget, m_image, rcSource);
    } else {
        painter.drawImage(rcPicture, m_image);
    }
    painter.restore();
}
