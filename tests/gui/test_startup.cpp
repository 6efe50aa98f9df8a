// Start-up and exit of the desktop program: with and without a file on the
// command line, a file that does not open, the display depth, the remembered
// folder and the recent-file list across runs, and the splash switches.
#include <QMdiArea>
#include <QMenuBar>
#include <QSettings>
#include <QWindow>
#include <QtTest>

#include "CShellTestSupport.h"
#include "app/CChildFrame.h"
#include "app/CDorvaneDocTemplate.h"
#include "app/CFrameMenus.h"
#include "app/CImageDocument.h"
#include "app/CMainFrame.h"
#include "app/CRecentFileList.h"
#include "app/CSplashWnd.h"
#include "app/Resource.h"

namespace {

QStringList MenuTitles(CMainFrame* pFrame) {
    QStringList titles;
    for (QAction* pAction : pFrame->menuBar()->actions())
        titles << pAction->text();
    return titles;
}

QVariant StoredValue(const QString& key) {
    QSettings settings(QStringLiteral("Varrowin"), QStringLiteral("Dorvane"));
    return settings.value(key);
}

}  // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void init() { CShellTestHooks::Get().Reset(); }
    void cleanup() { CDorvaneApp::Instance()->ExitInstance(); }

    void withoutFileOpensNothingAndShowsEmptyMenus() {
        CDorvaneApp& app = *CDorvaneApp::Instance();
        QVERIFY(app.InitInstance({QStringLiteral("--no-splash")}));
        QVERIFY(app.m_pMainFrame);
        QVERIFY(app.m_pMainFrame->isVisible());
        QVERIFY(app.m_pMainFrame->isMaximized());
        QCOMPARE(app.m_pMainFrame->MdiArea()->subWindowList().size(), 0);
        QCOMPARE(MenuTitles(app.m_pMainFrame), (QStringList{"&File", "&View", "&Help"}));
        QCOMPARE(app.m_pMainFrame->windowTitle(), QStringLiteral("Dorvane"));
        QVERIFY(app.m_pToolBar);
        QCOMPARE(app.m_shared.m_nFullScale, 0u);
        QVERIFY(!app.m_bStretchDlgOpen);
        QVERIFY(app.m_shared.m_nDisplayBpp > 0);
        QVERIFY(CShellTestHooks::Get().m_messages.m_messages.empty());
    }

    void withFileOpensIt() {
        CDorvaneApp& app = *CDorvaneApp::Instance();
        const QString sample = SamplePath("m42-synthetic.fit");
        QVERIFY(app.InitInstance({QStringLiteral("--no-splash"), sample}));
        const QList<QMdiSubWindow*> windows = app.m_pMainFrame->MdiArea()->subWindowList();
        QCOMPARE(windows.size(), 1);
        auto* pChild = qobject_cast<CChildFrame*>(windows.first());
        QVERIFY(pChild);
        QCOMPARE(pChild->Document()->GetPathName(), QFileInfo(sample).absoluteFilePath());
        QCOMPARE(app.m_shared.m_nFullScale, 65535u);
        QCOMPARE(MenuTitles(app.m_pMainFrame),
                 (QStringList{"&File", "&Edit", "&View", "Fil&ter", "&Window", "&Help"}));
        QCOMPARE(app.m_pMainFrame->windowHandle()->title(), QStringLiteral("Dorvane - m42-synthetic.fit"));
        QCOMPARE(app.RecentFiles()->Files().value(0), QFileInfo(sample).absoluteFilePath());
        QVERIFY(CShellTestHooks::Get().m_messages.m_messages.empty());
        // The window has the size File > Open gives the same image.
        const QSize size = windows.first()->size();
        QTemporaryDir dir;
        QVERIFY(app.DocTemplate()->OpenDocumentFile(CopySample(dir, "m42-synthetic.fit", "copy.fit")));
        QCOMPARE(app.m_pMainFrame->MdiArea()->currentSubWindow()->size(), size);
    }

    // The display pixels are made for 16, 24 or 32 bits whatever colour depth
    // the screen reports; below 16 bits start-up warns.
    void displayDepth_data() {
        QTest::addColumn<int>("screenDepth");
        QTest::addColumn<int>("displayBpp");
        QTest::addColumn<bool>("warns");
        QTest::newRow("30") << 30 << 32 << false;
        QTest::newRow("25") << 25 << 32 << false;
        QTest::newRow("24") << 24 << 24 << false;
        QTest::newRow("18") << 18 << 24 << false;
        QTest::newRow("17") << 17 << 24 << false;
        QTest::newRow("16") << 16 << 16 << false;
        QTest::newRow("15") << 15 << 15 << true;
    }
    void displayDepth() {
        QFETCH(int, screenDepth);
        QFETCH(int, displayBpp);
        QFETCH(bool, warns);
        CDorvaneApp& app = *CDorvaneApp::Instance();
        app.m_nScreenDepthOverride = screenDepth;
        QVERIFY(app.InitInstance({QStringLiteral("--no-splash")}));
        app.m_nScreenDepthOverride = 0;
        QCOMPARE(app.m_shared.m_nDisplayBpp, displayBpp);
        QCOMPARE(CShellTestHooks::Get().m_messages.m_messages.size(), std::size_t(warns ? 1 : 0));
    }

    void fileThatDoesNotOpenEndsStartUp_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("documentSpeaks");
        QTest::newRow("unknown extension") << QStringLiteral("m42.jpg") << false;
        QTest::newRow("missing FITS file") << QStringLiteral("missing.fit") << true;
        QTest::newRow("not a FITS file") << QStringLiteral("text.fit") << true;
    }
    void fileThatDoesNotOpenEndsStartUp() {
        QFETCH(QString, name);
        QFETCH(bool, documentSpeaks);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        if (name != QLatin1String("missing.fit")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(3000, 'x'));
        }
        CDorvaneApp& app = *CDorvaneApp::Instance();
        QVERIFY(!app.InitInstance({QStringLiteral("--no-splash"), path}));
        // Only the document's own messages; no "Failed to open" box here.
        const auto& messages = CShellTestHooks::Get().m_messages.m_messages;
        QCOMPARE(messages.empty(), !documentSpeaks);
        for (const std::string& message : messages)
            QVERIFY(message.rfind("Failed to open", 0) != 0);
        QVERIFY(!app.m_pMainFrame || !app.m_pMainFrame->isVisible());
    }

    void lastDirectoryAndRecentFilesSurviveARun() {
        CDorvaneApp& app = *CDorvaneApp::Instance();
        QVERIFY(app.InitInstance({QStringLiteral("--no-splash")}));
        // A folder path far beyond 80 characters is kept whole.
        const QString folder = QStringLiteral("/data/observations/") + QString(120, u'n') + QStringLiteral("/m42");
        app.m_strLastDirectory = folder;
        app.RecentFiles()->Add(QStringLiteral("/data/a.fit"));
        app.RecentFiles()->Add(QStringLiteral("/data/b.st7"));
        app.ExitInstance();
        QCOMPARE(StoredValue("SavedState/LastDirectory").toString(), folder);
        QCOMPARE(StoredValue("Recent File List/File1").toString(), QStringLiteral("/data/b.st7"));
        QCOMPARE(StoredValue("Recent File List/File2").toString(), QStringLiteral("/data/a.fit"));

        app.m_strLastDirectory.clear();
        QVERIFY(app.InitInstance({QStringLiteral("--no-splash")}));
        QCOMPARE(app.m_strLastDirectory, folder);
        QCOMPARE(app.RecentFiles()->Files().mid(0, 2), (QStringList{"/data/b.st7", "/data/a.fit"}));
    }

    void exitDestroysAnOpenStretchDialog() {
        CDorvaneApp& app = *CDorvaneApp::Instance();
        QVERIFY(app.InitInstance({QStringLiteral("--no-splash"), SamplePath("m42-synthetic.fit")}));
        app.m_pMainFrame->CommandAction(DorvaneIds::ID_VIEW_STRETCH)->trigger();
        QVERIFY(app.m_pStretchDlg);
        QVERIFY(app.m_bStretchDlgOpen);
        QSettings(QStringLiteral("Varrowin"), QStringLiteral("Dorvane")).remove("Settings/Stretch Left");
        app.ExitInstance();
        QVERIFY(app.m_pStretchDlg == nullptr);
        QVERIFY(!app.m_bStretchDlgOpen);
        // Going away, the dialog stored where it was.
        QVERIFY(StoredValue("Settings/Stretch Left").isValid());
    }

    void failedStartUpStillWritesLastDirectory() {
        CDorvaneApp& app = *CDorvaneApp::Instance();
        QVERIFY(app.InitInstance({QStringLiteral("--no-splash")}));
        app.m_strLastDirectory = QStringLiteral("/kept/folder");
        app.ExitInstance();
        QVERIFY(!app.InitInstance({QStringLiteral("--no-splash"), QStringLiteral("/nowhere/m42.jpg")}));
        app.ExitInstance();
        QCOMPARE(StoredValue("SavedState/LastDirectory").toString(), QStringLiteral("/kept/folder"));
    }

    void splashFollowsTheCommandLine_data() {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<bool>("shows");
        QTest::newRow("plain start") << QString() << true;
        QTest::newRow("--no-splash") << QStringLiteral("--no-splash") << false;
        QTest::newRow("/Embedding") << QStringLiteral("/Embedding") << false;
        QTest::newRow("-Embedding") << QStringLiteral("-Embedding") << false;
        QTest::newRow("/Automation") << QStringLiteral("/Automation") << false;
        QTest::newRow("-automation") << QStringLiteral("-automation") << false;
    }
    void splashFollowsTheCommandLine() {
        QFETCH(QString, argument);
        QFETCH(bool, shows);
        CDorvaneApp& app = *CDorvaneApp::Instance();
        QVERIFY(app.InitInstance(argument.isEmpty() ? QStringList() : QStringList{argument}));
        QCOMPARE(CSplashWnd::Instance() != nullptr, shows);
        if (shows) {
            QVERIFY(CSplashWnd::Instance()->isVisible());
            QCOMPARE(CSplashWnd::Instance()->size(), QSize(625, 449));
        }
    }
};

DORVANE_SHELL_TEST_MAIN(TestStartup)
#include "test_startup.moc"
