#include "CMainFrameShown.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QWidget>
#include <QWindow>

void CMainFrameShown::Wait(QWidget& window)
{
    // The window manager answers within a few milliseconds; the limit only
    // keeps a window system that never shows the window from stalling
    // start-up.
    constexpr qint64 kLimitMs = 2000;
    QElapsedTimer timer;
    timer.start();
    QSize last;
    while (timer.elapsed() < kLimitMs) {
        QCoreApplication::processEvents();
        const bool bExposed = window.windowHandle() && window.windowHandle()->isExposed();
        // Once exposed, one more round of events without a resize.
        if (bExposed && window.size() == last)
            return;
        last = bExposed ? window.size() : QSize();
        QThread::msleep(5);
    }
}
