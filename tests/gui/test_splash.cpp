// The splash window: its picture and place, the one-second timer, closing at
// the first key or mouse-button press anywhere (which is swallowed), what
// passes through while it shows, and the switches that keep it away.
#include <QLineEdit>
#include <QScreen>
#include <QtTest>

#include "CShellTestSupport.h"
#include "app/CMainFrame.h"
#include "app/CSplashWnd.h"
#include "app/Resource.h"

class TestSplash : public QObject {
    Q_OBJECT

    CDorvaneApp& App() { return *CDorvaneApp::Instance(); }

private slots:
    void init() {
        CShellTestHooks::Get().Reset();
        QVERIFY(App().InitInstance({}));
        QVERIFY(CSplashWnd::Instance());
        App().m_pMainFrame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(App().m_pMainFrame));
    }
    void cleanup() { App().ExitInstance(); }

    void showsThePictureCentredOnTheScreen() {
        CSplashWnd* pSplash = CSplashWnd::Instance();
        QVERIFY(pSplash->isVisible());
        QCOMPARE(pSplash->size(), QSize(625, 449));
        QCOMPARE(pSplash->Picture().deviceIndependentSize().toSize(), QSize(625, 449));
        QVERIFY(pSplash->windowFlags() & Qt::FramelessWindowHint);
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(qAbs(pSplash->geometry().center().x() - area.center().x()) <= 1);
        QVERIFY(qAbs(pSplash->geometry().center().y() - area.center().y()) <= 1);
        // A second request while it shows changes nothing.
        CSplashWnd::ShowSplash(App().m_pMainFrame);
        QCOMPARE(CSplashWnd::Instance(), pSplash);
    }

    void staysUntilItsOneSecondTimerEnds() {
        QCOMPARE(CSplashWnd::Instance()->TimerInterval(), 1000);
        // Events other than presses leave it up.
        QTest::mouseMove(App().m_pMainFrame, QPoint(50, 50));
        QCoreApplication::processEvents();
        QVERIFY(CSplashWnd::Instance());
        QTRY_VERIFY_WITH_TIMEOUT(CSplashWnd::Instance() == nullptr, 10000);
    }

    void shortcutKeyClosesItAndIsSwallowed() {
        CScriptedDialogs& dialogs = CShellTestHooks::Get().m_dialogs;
        QTest::keyClick(App().m_pMainFrame, Qt::Key_O, Qt::ControlModifier);
        QVERIFY(CSplashWnd::Instance() == nullptr);
        QCOMPARE(dialogs.m_nOpenCalls, 0);
        // The keyboard returns to the main window, and the next press works
        // as usual.
        QTRY_VERIFY(App().m_pMainFrame->isActiveWindow());
        QTest::keyClick(App().m_pMainFrame, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(dialogs.m_nOpenCalls, 1);
    }

    void typedKeyClosesItAndIsSwallowed() {
        QLineEdit edit;
        edit.show();
        edit.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&edit));
        QTest::keyClick(&edit, Qt::Key_A);
        QVERIFY(CSplashWnd::Instance() == nullptr);
        QCOMPARE(edit.text(), QString());
        QTest::keyClick(&edit, Qt::Key_B);
        QCOMPARE(edit.text(), QStringLiteral("b"));
    }

    void anyMouseButtonClosesIt_data() {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::newRow("left") << Qt::LeftButton;
        QTest::newRow("right") << Qt::RightButton;
        QTest::newRow("middle") << Qt::MiddleButton;
    }
    void anyMouseButtonClosesIt() {
        QFETCH(Qt::MouseButton, button);
        QTest::mousePress(App().m_pMainFrame, button, Qt::NoModifier, QPoint(40, 40));
        QVERIFY(CSplashWnd::Instance() == nullptr);
        QTest::mouseRelease(App().m_pMainFrame, button, Qt::NoModifier, QPoint(40, 40));
    }

    void afterClosingNothingIsSwallowed() {
        CSplashWnd::Instance()->CloseSplash();
        QVERIFY(CSplashWnd::Instance() == nullptr);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QMouseEvent click(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QVERIFY(!CSplashWnd::HandleSplashInput(App().m_pMainFrame, &press));
        QVERIFY(!CSplashWnd::HandleSplashInput(App().m_pMainFrame, &click));
    }

    void disabledSplashNeverShows() {
        CSplashWnd::Instance()->CloseSplash();
        CSplashWnd::SetSplashEnabled(false);
        CSplashWnd::ShowSplash(App().m_pMainFrame);
        QVERIFY(CSplashWnd::Instance() == nullptr);
    }
};

DORVANE_SHELL_TEST_MAIN(TestSplash)
#include "test_splash.moc"
