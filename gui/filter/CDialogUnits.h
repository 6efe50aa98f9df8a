#pragma once
#include <QRect>

class QWidget;

// Converts dialog-template units to pixels from the dialog's own font, so the
// parameter and status windows keep their proportions whatever font and screen
// density the desktop uses: a horizontal unit is a quarter of the font's
// average character width, a vertical unit an eighth of its height.
class CDialogUnits {
public:
    explicit CDialogUnits(const QWidget& dialog);

    int X(int units) const { return units * m_baseX / 4; }
    int Y(int units) const { return units * m_baseY / 8; }
    QRect Rect(int x, int y, int w, int h) const { return QRect(X(x), Y(y), X(w), Y(h)); }

    // Places a control at a rectangle given in dialog units.
    void Place(QWidget& control, int x, int y, int w, int h) const;

private:
    int m_baseX = 6;
    int m_baseY = 13;
};
