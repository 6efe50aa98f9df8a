#include "CDialogUnits.h"

#include <QFontMetrics>
#include <QWidget>

CDialogUnits::CDialogUnits(const QWidget& dialog)
{
    const QFontMetrics metrics(dialog.font());
    // The average over both alphabets, rounded, as dialog templates measure it.
    const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int width = metrics.horizontalAdvance(alphabet);
    m_baseX = width > 0 ? (width / 26 + 1) / 2 : 6;
    m_baseY = metrics.height() > 0 ? metrics.height() : 13;
}

void CDialogUnits::Place(QWidget& control, int x, int y, int w, int h) const
{
    control.setGeometry(Rect(x, y, w, h));
}
