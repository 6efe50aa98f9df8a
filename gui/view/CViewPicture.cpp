#include "view/CViewPicture.h"

#include <QImage>
#include <QPainter>

int32_t CViewPicture::PictureDepth(int32_t nDisplayBpp) {
    if (nDisplayBpp == 16 || nDisplayBpp == 24)
        return nDisplayBpp;
    return 32;
}

QSize CViewPicture::ZoomedSize(QSize size, int32_t nZoom) {
    return QSize(CDisplayZoom::ZoomedLength(size.width(), nZoom),
                 CDisplayZoom::ZoomedLength(size.height(), nZoom));
}

void CViewPicture::SetSource(const uint8_t* pData, std::size_t nSize, int32_t nWidth, int32_t nHeight,
                             int32_t nDisplayBpp) {
    m_source = CDisplayZoom::SSource{pData, nSize, nWidth, nHeight, PictureDepth(nDisplayBpp)};
    m_bComplete = CDisplayZoom::IsComplete(m_source);
}

void CViewPicture::Draw(QPainter& painter, int32_t nZoom, QPoint ptScroll, const QRect& rcExposed) {
    if (!m_bComplete || nZoom <= 0)
        return;
    const QRect rcPicture(-ptScroll, ZoomedSize(QSize(m_source.width, m_source.height), nZoom));
    const QRect rcVisible = rcPicture.intersected(rcExposed);
    if (rcVisible.isEmpty())
        return;
    const std::size_t nPixels = static_cast<std::size_t>(rcVisible.width()) * rcVisible.height();
    if (m_tile.size() < nPixels)
        m_tile.resize(nPixels);
    const QRect rcLogical = rcVisible.translated(ptScroll);
    CDisplayZoom::Render(m_source, nZoom, rcLogical.x(), rcLogical.y(), rcLogical.width(),
                         rcLogical.height(), m_tile.data(), static_cast<std::size_t>(rcVisible.width()));
    const QImage tile(reinterpret_cast<const uchar*>(m_tile.data()), rcVisible.width(), rcVisible.height(),
                      static_cast<qsizetype>(rcVisible.width()) * 4, QImage::Format_RGB32);
    painter.drawImage(rcVisible.topLeft(), tile);
}
