#include "CSplashWnd.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>

#include "Resource.h"

CSplashWnd* CSplashWnd::s_pInstance = nullptr;
bool CSplashWnd::s_bEnabled = false;
int CSplashWnd::s_nSwallowKey = 0;

CSplashWnd::CSplashWnd(QWidget* pParent)
    : QWidget(pParent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("SplashWnd"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CSplashWnd::~CSplashWnd()
{
    if (s_pInstance == this)
        s_pInstance = nullptr;
}

void CSplashWnd::SetSplashEnabled(bool bEnabled)
{
    s_bEnabled = bEnabled;
    s_nSwallowKey = 0;
}

void CSplashWnd::ShowSplash(QWidget* pParent)
{
    if (!s_bEnabled || s_pInstance)
        return;
    s_pInstance = new CSplashWnd(pParent);
    if (!s_pInstance->Create()) {
        delete s_pInstance;  // the destructor clears s_pInstance
        return;
    }
    s_pInstance->show();
    s_pInstance->repaint();
}

bool CSplashWnd::Create()
{
    // Drawn from the scalable artwork at the window's size, sharp on any
    // screen scale.
    QSvgRenderer renderer(QStringLiteral(DORVANE_SPLASH));
    if (!renderer.isValid())
        return false;
    const qreal ratio = qApp->devicePixelRatio();
    QImage picture(QSize(kWidth, kHeight) * ratio, QImage::Format_RGB32);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    renderer.render(&painter);
    painter.end();
    m_bitmap = QPixmap::fromImage(picture);
    m_bitmap.setDevicePixelRatio(ratio);
    setFixedSize(kWidth, kHeight);
    // The main window is still hidden, so centre on the screen's work area.
    if (QScreen* pScreen = QGuiApplication::primaryScreen()) {
        const QRect area = pScreen->availableGeometry();
        move(area.center() - QPoint(kWidth / 2, kHeight / 2));
    }
    m_timer.start(kTimerMilliseconds, this);
    return true;
}

void CSplashWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(rect(), m_bitmap);
}

void CSplashWnd::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_timer.timerId())
        CloseSplash();
}

void CSplashWnd::CloseSplash()
{
    m_timer.stop();
    if (s_pInstance == this)
        s_pInstance = nullptr;
    close();  // deleted once the event loop runs again
    if (QWidget* pParent = parentWidget(); pParent && pParent->isVisible()) {
        // The keyboard goes back to the main window.
        if (!QApplication::activeWindow() || QApplication::activeWindow() == this)
            pParent->activateWindow();
        pParent->update();
    }
}

bool CSplashWnd::HandleSplashInput(QObject*, QEvent* pEvent)
{
    const QEvent::Type type = pEvent->type();
    if (s_nSwallowKey != 0 && (type == QEvent::KeyPress || type == QEvent::KeyRelease)
        && static_cast<QKeyEvent*>(pEvent)->key() == s_nSwallowKey) {
        // The release of that key is delivered as usual.
        s_nSwallowKey = 0;
        return type == QEvent::KeyPress;
    }
    if (!s_pInstance)
        return false;
    switch (type) {
    case QEvent::ShortcutOverride:
        // A key press is first offered as a shortcut. Accepting the override
        // stops the shortcut; the press that follows is swallowed.
        pEvent->accept();
        s_nSwallowKey = static_cast<QKeyEvent*>(pEvent)->key();
        s_pInstance->CloseSplash();
        return true;
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick:
        s_pInstance->CloseSplash();
        return true;
    default:
        return false;
    }
}
