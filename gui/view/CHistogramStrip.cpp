#include "view/CHistogramStrip.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "image/CAstroImage.h"
#include "image/CHistogram.h"

CHistogramStrip::CHistogramStrip(std::function<const CAstroImage*()> source, QWidget* parent)
    : QWidget(parent), m_source(std::move(source)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CHistogramStrip::MarkStale() {
    m_bCountsStale = true;
    update();
}

void CHistogramStrip::SetMarks(uint32_t nMin, uint32_t nMax, uint32_t nFullScale) {
    if (nFullScale != m_nFullScale)
        m_bBarsStale = true;
    m_nMin = nMin;
    m_nMax = nMax;
    m_nFullScale = nFullScale;
    update();
}

void CHistogramStrip::resizeEvent(QResizeEvent* event) {
    m_bBarsStale = true;
    QWidget::resizeEvent(event);
}

const std::vector<uint32_t>& CHistogramStrip::Bars() {
    if (m_bCountsStale) {
        m_bCountsStale = false;
        m_bBarsStale = true;
        const CAstroImage* pImage = m_source ? m_source() : nullptr;
        const std::size_t nPixels = pImage && pImage->m_width > 0 && pImage->m_height > 0
                                        ? std::size_t(pImage->m_width) * std::size_t(pImage->m_height)
                                        : 0;
        if (pImage != nullptr && pImage->m_red.size() >= nPixels)
            m_counts = CHistogram::Count(pImage->m_red.data(), nPixels, pImage->m_maxValue);
        else
            m_counts.clear();
    }
    if (m_bBarsStale) {
        m_bBarsStale = false;
        m_bars = CHistogram::Bins(m_counts, m_nFullScale, static_cast<std::size_t>(std::max(0, width())));
    }
    return m_bars;
}

int CHistogramStrip::MarkColumn(uint32_t nValue) const {
    const uint64_t nColumn = uint64_t(nValue) * uint64_t(std::max(0, width())) / (uint64_t(m_nFullScale) + 1);
    return static_cast<int>(std::min<uint64_t>(nColumn, std::max(0, width() - 1)));
}

void CHistogramStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(24, 24, 24));
    const std::vector<uint32_t>& bars = Bars();
    const uint32_t nPeak = bars.empty() ? 0 : *std::max_element(bars.begin(), bars.end());
    if (nPeak > 0) {
        // Logarithmic, so that the sky's peak leaves the faint tail visible.
        const double scale = (height() - 1) / std::log1p(double(nPeak));
        painter.setPen(QColor(190, 190, 190));
        for (std::size_t x = 0; x < bars.size(); ++x) {
            const int h = static_cast<int>(std::lround(std::log1p(double(bars[x])) * scale));
            if (h > 0)
                painter.drawLine(int(x), height() - 1, int(x), height() - h);
        }
    }
    painter.setPen(QColor(90, 160, 255));
    painter.drawLine(MarkColumn(m_nMin), 0, MarkColumn(m_nMin), height() - 1);
    painter.setPen(QColor(255, 200, 60));
    painter.drawLine(MarkColumn(m_nMax), 0, MarkColumn(m_nMax), height() - 1);
}
