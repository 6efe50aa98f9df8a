// The help window (contents from Help Topics and F1, one section per context
// id of the parameter dialog) and the About box.
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QtTest>

#include "CShellTestSupport.h"
#include "app/CAboutDlg.h"
#include "app/CHelpWindow.h"
#include "app/CMainFrame.h"
#include "app/Resource.h"

using namespace DorvaneIds;

class TestHelpAbout : public QObject {
    Q_OBJECT

    CDorvaneApp& App() { return *CDorvaneApp::Instance(); }

private slots:
    void init() {
        CShellTestHooks::Get().Reset();
        QVERIFY(App().InitInstance({QStringLiteral("--no-splash")}));
    }
    void cleanup() { App().ExitInstance(); }

    void helpTopicsAndF1OpenTheContents() {
        App().m_pMainFrame->CommandAction(ID_HELP_FINDER)->trigger();
        CHelpWindow* pHelp = App().HelpWindow();
        QVERIFY(pHelp && pHelp->isVisible());
        QCOMPARE(pHelp->Browser()->source().fragment(), QStringLiteral("contents"));
        QVERIFY(pHelp->Browser()->toPlainText().contains("What blooming is"));
        pHelp->hide();
        App().m_pMainFrame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(App().m_pMainFrame));
        QTest::keyClick(App().m_pMainFrame, Qt::Key_F1);
        QVERIFY(pHelp->isVisible());
    }

    void eachDialogContextOpensItsOwnSection_data() {
        QTest::addColumn<uint>("context");
        QTest::addColumn<QString>("heading");
        QTest::newRow("dialog") << HIDD_MONO_PARAMS << "Removing blooming";
        QTest::newRow("intensity") << HIDC_INTENSITY << "Intensity";
        QTest::newRow("length") << HIDC_LENGTH << "Length";
        QTest::newRow("width") << HIDC_WIDTH << "Width";
        QTest::newRow("mirror") << HIDC_MIRROR << "Mirror Image before processing";
        QTest::newRow("process all") << HIDC_PROCESS_ALL << "Process all open images";
    }
    void eachDialogContextOpensItsOwnSection() {
        QFETCH(uint, context);
        QFETCH(QString, heading);
        App().WinHelp(context, HELP_CONTEXT);
        CHelpWindow* pHelp = App().HelpWindow();
        QVERIFY(pHelp->isVisible());
        QTextBrowser* pBrowser = pHelp->Browser();
        const QString anchor = CHelpWindow::AnchorForContext(context);
        QCOMPARE(pBrowser->source().fragment(), anchor);
        QVERIFY(anchor != CHelpWindow::AnchorForContext(0));
        // The section's heading is at the top of the window.
        const QTextCursor found = pBrowser->document()->find(heading, 0, QTextDocument::FindWholeWords |
                                                                            QTextDocument::FindCaseSensitively);
        QVERIFY(!found.isNull());
        QTextBlock block = pBrowser->document()->begin();
        bool bAnchorInDocument = false;
        for (; block.isValid() && !bAnchorInDocument; block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it)
                bAnchorInDocument = bAnchorInDocument || it.fragment().charFormat().anchorNames().contains(anchor);
        QVERIFY(bAnchorInDocument);
        QVERIFY(pBrowser->verticalScrollBar()->value() > 0);
    }

    void contextIdsAreDistinctSections() {
        QStringList anchors;
        for (uint context : {HIDD_MONO_PARAMS, HIDC_INTENSITY, HIDC_LENGTH, HIDC_WIDTH, HIDC_MIRROR, HIDC_PROCESS_ALL})
            anchors << CHelpWindow::AnchorForContext(context);
        anchors.removeDuplicates();
        QCOMPARE(anchors.size(), 6);
    }

    void aboutBoxTexts() {
        CAboutDlg dialog(App().m_pMainFrame);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("About Dorvane"));
        bool bVersion = false;
        bool bIcon = false;
        for (QLabel* pLabel : dialog.findChildren<QLabel*>()) {
            bVersion = bVersion || pLabel->text() == QLatin1String("Dorvane Version 1.8");
            bIcon = bIcon || !pLabel->pixmap().isNull();
        }
        QVERIFY(bVersion);
        QVERIFY(bIcon);
        const QList<QPushButton*> buttons = dialog.findChildren<QPushButton*>();
        QCOMPARE(buttons.size(), 1);
        QCOMPARE(buttons.first()->text(), QStringLiteral("OK"));
        QVERIFY(buttons.first()->isDefault());
        dialog.show();
        QTest::keyClick(&dialog, Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
};

DORVANE_SHELL_TEST_MAIN(TestHelpAbout)
#include "test_help_about.moc"
