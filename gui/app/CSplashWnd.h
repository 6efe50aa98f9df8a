#pragma once
#include <QBasicTimer>
#include <QPixmap>
#include <QWidget>

class QEvent;
class QObject;

// The picture shown while the program starts: a borderless window centred on
// the screen that closes after one second, or at once at the first key or
// mouse-button press anywhere in the program (that press is swallowed).
class CSplashWnd : public QWidget {
    Q_OBJECT

public:
    static constexpr int kTimerMilliseconds = 1000;
    static constexpr int kWidth = 625;
    static constexpr int kHeight = 449;

    ~CSplashWnd() override;

    static void SetSplashEnabled(bool bEnabled);
    static bool IsSplashEnabled() { return s_bEnabled; }
    // Creates and shows the splash, unless it is disabled or already showing.
    static void ShowSplash(QWidget* pParent);
    // Offered every event of the program first. True when the event closed the
    // splash and must not be delivered.
    static bool HandleSplashInput(QObject* pWatched, QEvent* pEvent);
    static CSplashWnd* Instance() { return s_pInstance; }

    void CloseSplash();
    const QPixmap& Picture() const { return m_bitmap; }
    int TimerInterval() const { return kTimerMilliseconds; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    explicit CSplashWnd(QWidget* pParent);
    bool Create();

    QPixmap m_bitmap;
    QBasicTimer m_timer;
    static CSplashWnd* s_pInstance;
    static bool s_bEnabled;
    // A key whose press began as a shortcut check: its press is swallowed too.
    static int s_nSwallowKey;
};
