#include "view/CViewReadout.h"

#include "image/CAstroImage.h"

QString CViewReadout::PositionText(const CAstroImage& image, int32_t nIndex) {
    const int32_t nWidth = image.m_width > 0 ? image.m_width : 1;
    QString text = QStringLiteral("x %1  y %2").arg(nIndex % nWidth).arg(nIndex / nWidth);
    const auto at = static_cast<std::size_t>(nIndex);
    if (image.m_isColor && at < image.m_green.size() && at < image.m_blue.size())
        text += QStringLiteral("  R %1  G %2  B %3").arg(image.m_red[at]).arg(image.m_green[at]).arg(image.m_blue[at]);
    return text;
}

QString CViewReadout::RegionText(const CRegion& rc) {
    return QStringLiteral("%1,%2 - %3,%4 (%5 x %6)")
        .arg(rc.left)
        .arg(rc.top)
        .arg(rc.right)
        .arg(rc.bottom)
        .arg(rc.right - rc.left)
        .arg(rc.bottom - rc.top);
}
