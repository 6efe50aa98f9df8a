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
    ForRows(dst.height(), [&](int nFirst, int nEnd) {
        for (int y = nFirst; y < nEnd; ++y) {
            const auto* pTop = reinterpret_cast<const uint32_t*>(src.constScanLine(2 * y));
            const auto* pBottom = reinterpret_cast<const uint32_t*>(src.constScanLine(2 * y + 1));
            auto* pOut = reinterpret_cast<uint32_t*>(dst.scanLine(y));
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
    m_image = QImage();
    m_half = QImage();
    m_quarter = QImage();
    if (pData == nullptr || nWidth <= 0 || nHeight <= 0)
        return;
    const int32_t nDepth = PictureDepth(nDisplayBpp);
    const std::size_t nRowBytes = static_cast<std::size_t>(nWidth) * (nDepth / 8);
    if (nSize / nRowBytes < static_cast<std::size_t>(nHeight))
        return;

    if (nDepth == 32) {
        // The buffer's fourth byte is 0; the picture needs it opaque.
        QImage image(nWidth, nHeight, QImage::Format_RGB32);
        if (image.isNull())
            return;
        ForRows(nHeight, [&](int nFirst, int nEnd) {
            for (int y = nFirst; y < nEnd; ++y) {
                const uint8_t* pIn = pData + nRowBytes * y;
                auto* pOut = reinterpret_cast<uint32_t*>(image.scanLine(y));
                for (int32_t x = 0; x < nWidth; ++x, pIn += 4)
                    pOut[x] = 0xff000000u | uint32_t(pIn[2]) << 16 | uint32_t(pIn[1]) << 8 | pIn[0];
            }
        });
        m_image = std::move(image);
        return;
    }
    // The buffer is wrapped with its own row length, so rows of an odd
    // width at 24 bits are read exactly as packed.
    const QImage::Format format = nDepth == 16 ? QImage::Format_RGB555 : QImage::Format_BGR888;
    const QImage wrapped(pData, nWidth, nHeight, static_cast<qsizetype>(nRowBytes), format);
    m_image = wrapped.convertToFormat(QImage::Format_RGB32);
}

const QImage& CViewPicture::Reduced(int nLevel) {
    if (m_half.isNull() && m_image.width() >= 2 && m_image.height() >= 2) {
        m_half = QImage(m_image.width() / 2, m_image.height() / 2, QImage::Format_RGB32);
        if (!m_half.isNull())
            HalveInto(m_image, m_half);
    }
    if (nLevel == 1 || m_half.isNull())
        return m_half;
    if (m_quarter.isNull() && m_half.width() >= 2 && m_half.height() >= 2) {
        m_quarter = QImage(m_half.width() / 2, m_half.height() / 2, QImage::Format_RGB32);
        if (!m_quarter.isNull())
            HalveInto(m_half, m_quarter);
    }
    return m_quarter;
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
