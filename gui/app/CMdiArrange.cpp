#include "CMdiArrange.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace {

QList<QMdiSubWindow*> Tileable(QMdiArea* pArea)
{
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* pWindow : pArea->subWindowList(QMdiArea::StackingOrder))
        if (pWindow->isVisible() && !pWindow->isMinimized())
            windows << pWindow;
    return windows;
}

void Tile(QMdiArea* pArea, bool bStacked)
{
    const QList<QMdiSubWindow*> windows = Tileable(pArea);
    if (windows.isEmpty())
        return;
    const QRect area = pArea->viewport()->rect();
    const int n = static_cast<int>(windows.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow* pWindow = windows[i];
        if (pWindow->isMaximized())
            pWindow->showNormal();
        // Integer splits; the last window takes what is left over.
        if (bStacked) {
            const int top = area.height() * i / n;
            const int bottom = area.height() * (i + 1) / n;
            pWindow->setGeometry(0, top, area.width(), bottom - top);
        } else {
            const int left = area.width() * i / n;
            const int right = area.width() * (i + 1) / n;
            pWindow->setGeometry(left, 0, right - left, area.height());
        }
    }
}

}  // namespace

namespace CMdiArrange {

void TileHorizontal(QMdiArea* pArea)
{
    Tile(pArea, true);
}

void TileVertical(QMdiArea* pArea)
{
    Tile(pArea, false);
}

void ArrangeIcons(QMdiArea* pArea)
{
    const QRect area = pArea->viewport()->rect();
    int x = 0;
    for (QMdiSubWindow* pWindow : pArea->subWindowList(QMdiArea::CreationOrder)) {
        if (!pWindow->isMinimized())
            continue;
        const QSize size = pWindow->size();
        pWindow->move(x, area.height() - size.height());
        x += size.width();
    }
}

}  // namespace CMdiArrange
