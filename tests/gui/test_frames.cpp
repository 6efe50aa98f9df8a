// The main and image windows: the two menu sets and their exact items, the
// keys and their enable rules, the toolbar, the status bar, the Stretch
// check, the title, and closing windows with the save question.
#include <QLabel>
#include <QPlainTextEdit>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QWindow>
#include <QtTest>

#include "CShellTestSupport.h"
#include "app/CChildFrame.h"
#include "app/CDorvaneDocTemplate.h"
#include "app/CDorvaneToolBar.h"
#include "app/CFrameMenus.h"
#include "app/CHeaderWnd.h"
#include "app/CImageDocument.h"
#include "app/CMainFrame.h"
#include "app/Resource.h"
#include "view/CStretchDlg.h"
#include "view/CDorvaneView.h"
#include "image/CAstroImage.h"
#include "image/CDorvaneDoc.h"

using namespace DorvaneIds;

namespace {

// One line per item: its text, "-" for a separator, "[Sub]" and the
// sub-menu's items indented for a sub-menu.
QStringList Items(const QMenu* pMenu, const QString& indent = QString()) {
    QStringList lines;
    for (QAction* pAction : pMenu->actions()) {
        if (!pAction->isVisible())
            continue;
        if (pAction->isSeparator())
            lines << indent + u'-';
        else if (pAction->menu())
            lines << indent + u'[' + pAction->text() + u']' << Items(pAction->menu(), indent + u' ');
        else
            lines << indent + pAction->text();
    }
    return lines;
}

QMenu* MenuNamed(CMainFrame* pFrame, const QString& title) {
    for (QAction* pAction : pFrame->menuBar()->actions())
        if (pAction->text() == title)
            return pAction->menu();
    return nullptr;
}

int TriggerCount(QAction* pAction, const std::function<void()>& what) {
    QSignalSpy spy(pAction, &QAction::triggered);
    what();
    return static_cast<int>(spy.count());
}

}  // namespace

class TestFrames : public QObject {
    Q_OBJECT

    CDorvaneApp& App() { return *CDorvaneApp::Instance(); }
    CMainFrame* Frame() { return App().m_pMainFrame; }
    CImageDocument* Open(const char* sample) {
        return App().DocTemplate()->OpenDocumentFile(SamplePath(sample));
    }

private slots:
    void init() {
        CShellTestHooks::Get().Reset();
        QVERIFY(App().InitInstance({QStringLiteral("--no-splash")}));
        Frame()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Frame()));
    }
    void cleanup() { App().ExitInstance(); }

    void menusWithoutImageWindows() {
        QCOMPARE(Items(MenuNamed(Frame(), "&File")),
                 (QStringList{"&Open...\tCtrl+O", "-", "Recent File", "-", "E&xit"}));
        QCOMPARE(Items(MenuNamed(Frame(), "&View")), (QStringList{"&Toolbar", "&Status Bar"}));
        QCOMPARE(Items(MenuNamed(Frame(), "&Help")), (QStringList{"&Help Topics", "&About Dorvane..."}));
        QVERIFY(!Frame()->CommandAction(ID_FILE_SAVE)->isEnabled());
        QVERIFY(!Frame()->CommandAction(ID_VIEW_STRETCH)->isEnabled());
    }

    void menusWithImageWindowAndBackAfterClose() {
        QVERIFY(Open("m42-synthetic.fit"));
        QCOMPARE(Items(MenuNamed(Frame(), "&File")),
                 (QStringList{"&Open...\tCtrl+O", "&Close", "-", "&Save\tCtrl+S", "Save &As", "-",
                              "Save Replaced-Pixel &Mask...", "-",
                              "&1 " + QDir::toNativeSeparators(SamplePath("m42-synthetic.fit")), "-", "E&xit",
                              "-"}));
        QCOMPARE(Items(MenuNamed(Frame(), "&Edit")), (QStringList{"&Undo \tCtrl+Z", "Redo \tCtrl+Y"}));
        QCOMPARE(Items(MenuNamed(Frame(), "&View")),
                 (QStringList{"[&Zoom]", " 25%", " 50%", " 100%", " 200%", " 400%", " 800%", " 1600%", " -",
                              " &Fit to Window\tCtrl+0", " Zoom &In\tCtrl++", " Zoom &Out\tCtrl+-", "Stretch",
                              "&Toolbar", "&Status Bar", "-", "Show Re&placed Pixels", "-", "&Header...",
                              "Show &Original\t\\"}));
        QCOMPARE(Items(MenuNamed(Frame(), "Fil&ter")), (QStringList{"&Remove Blooming \tCtrl+R"}));
        QMenu* pWindow = MenuNamed(Frame(), "&Window");
        QCOMPARE(Items(pWindow).mid(0, 6), (QStringList{"&Cascade", "Tile &Horizontal", "Tile &Vertical",
                                                         "&Arrange Icons", "-", "Close All"}));
        // A newly opened image has nothing to undo or redo.
        QVERIFY(!Frame()->CommandAction(ID_EDIT_UNDO)->isEnabled());
        QVERIFY(!Frame()->CommandAction(ID_EDIT_REDO)->isEnabled());
        QVERIFY(Frame()->CommandAction(ID_FILE_SAVE)->isEnabled());

        Frame()->CommandAction(ID_FILE_CLOSE)->trigger();
        QTRY_COMPARE(Frame()->MdiArea()->subWindowList().size(), 0);
        QCOMPARE(Frame()->menuBar()->actions().size(), 3);
        QCOMPARE(Frame()->windowTitle(), QStringLiteral("Dorvane"));
        QCOMPARE(Frame()->PixelIndicatorText(), QStringLiteral("i : "));
    }

    // However far it is zoomed, the whole image window stays in the MDI area;
    // the zoom in force is the one ticked.
    void imageWindowInsideTheMdiArea() {
        QVERIFY(Open("m42-synthetic.fit"));
        for (int id : {ID_ZOOM_25, ID_ZOOM_1600}) {
            Frame()->CommandAction(id)->trigger();
            QVERIFY(Frame()->MdiArea()->viewport()->rect().contains(Frame()->ActiveChild()->geometry()));
            for (int other : {ID_ZOOM_25, ID_ZOOM_100, ID_ZOOM_1600})
                QCOMPARE(Frame()->CommandAction(other)->isChecked(), other == id);
        }
    }

    // Every key a menu label shows runs its command, under the command's
    // enable rule.
    void keysRunTheirCommands_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<bool>("withImage");
        QTest::addColumn<bool>("canUndoRedo");
        QTest::addColumn<int>("triggers");
        const QKeySequence ctrlR(Qt::CTRL | Qt::Key_R), ctrlY(Qt::CTRL | Qt::Key_Y);
        QTest::newRow("Ctrl+O") << ID_FILE_OPEN << QKeySequence(Qt::CTRL | Qt::Key_O) << false << false << 1;
        QTest::newRow("Ctrl+R") << ID_REMOVE_BLOOMING << ctrlR << true << false << 1;
        QTest::newRow("Ctrl+R, no image") << ID_REMOVE_BLOOMING << ctrlR << false << false << 0;
        QTest::newRow("Ctrl+Y") << ID_EDIT_REDO << ctrlY << true << true << 1;
        QTest::newRow("Ctrl+Y, nothing to redo") << ID_EDIT_REDO << ctrlY << true << false << 0;
        QTest::newRow("Ctrl+Z") << ID_EDIT_UNDO << QKeySequence(Qt::CTRL | Qt::Key_Z) << true << true << 1;
        QTest::newRow("Alt+Backspace") << ID_EDIT_UNDO << QKeySequence(Qt::ALT | Qt::Key_Backspace) << true << true
                                       << 1;
        QTest::newRow("Ctrl+0") << ID_ZOOM_FIT << QKeySequence(Qt::CTRL | Qt::Key_0) << true << false << 1;
        QTest::newRow("Ctrl++") << ID_ZOOM_IN << QKeySequence(Qt::CTRL | Qt::Key_Plus) << true << false << 1;
        QTest::newRow("Ctrl+-") << ID_ZOOM_OUT << QKeySequence(Qt::CTRL | Qt::Key_Minus) << true << false << 1;
        const QKeySequence backslash(Qt::Key_Backslash);
        QTest::newRow("\\") << ID_VIEW_SHOW_ORIGINAL << backslash << true << true << 1;
        QTest::newRow("\\, nothing to undo") << ID_VIEW_SHOW_ORIGINAL << backslash << true << false << 0;
    }
    void keysRunTheirCommands() {
        QFETCH(int, command);
        QFETCH(QKeySequence, key);
        QFETCH(bool, withImage);
        QFETCH(bool, canUndoRedo);
        QFETCH(int, triggers);
        if (withImage) {
            QVERIFY(Open("m42-synthetic.fit"));
            Frame()->ActiveView()->SetUndoState(canUndoRedo, canUndoRedo);
        }
        // The filter's dialog goes away unanswered.
        QTimer::singleShot(0, [] {
            if (QWidget* pDialog = QApplication::activeModalWidget())
                pDialog->close();
        });
        QWidget* pFocus = QApplication::focusWidget() ? QApplication::focusWidget() : Frame();
        QCOMPARE(TriggerCount(Frame()->CommandAction(command), [&] { QTest::keySequence(pFocus, key); }), triggers);
    }

    void toolbarOrderTipsAndPrompts() {
        CDorvaneToolBar* pBar = Frame()->ToolBar();
        QVERIFY(pBar->isMovable());
        QVERIFY(pBar->isFloatable());
        QStringList layout;
        for (QAction* pAction : pBar->actions())
            layout << (pAction->isSeparator() ? QStringLiteral("|") : pAction->toolTip());
        QCOMPARE(layout, (QStringList{"Open", "Save", "Close", "|", "Undo", "Redo", "|", "Set Min/Max", "|",
                                      "Remove Blooming"}));
        QCOMPARE(Frame()->CommandAction(ID_FILE_OPEN)->statusTip(), QStringLiteral("Open an existing document"));
        QCOMPARE(Frame()->CommandAction(ID_VIEW_STRETCH)->statusTip(),
                 QStringLiteral("Adjust the Min/Max display settings"));
        for (QAction* pAction : pBar->actions())
            QVERIFY(pAction->isSeparator() || !pAction->icon().isNull());
        QVERIFY(Frame()->CommandAction(ID_VIEW_STRETCH)->isCheckable());
    }

    void statusBarPanes() {
        QCOMPARE(Frame()->PixelIndicatorText(), QStringLiteral("i : 0"));
        Frame()->SetPixelValue(1234);
        QCOMPARE(Frame()->PixelIndicatorText(), QStringLiteral("i : 1234"));
        Frame()->SetPixelValue(-7);
        QCOMPARE(Frame()->PixelIndicatorText(), QStringLiteral("i : -7"));
        Frame()->ClearPixelIndicator();
        QCOMPARE(Frame()->PixelIndicatorText(), QStringLiteral("i : "));
        const QList<QLabel*> labels = Frame()->statusBar()->findChildren<QLabel*>();
        bool bIdlePrompt = false;
        for (QLabel* pLabel : labels)
            bIdlePrompt = bIdlePrompt || pLabel->text() == QLatin1String("For Help, press F1");
        QVERIFY(bIdlePrompt);
        // The readout pane is wide enough for its widest value.
        for (QLabel* pLabel : labels)
            if (pLabel->text().startsWith(QLatin1String("i : ")))
                QVERIFY(pLabel->width() >= pLabel->fontMetrics().horizontalAdvance("i : 65535"));
    }

    void stretchCheckFollowsTheDialogFlag() {
        QVERIFY(Open("m42-synthetic.fit"));
        QAction* pStretch = Frame()->CommandAction(ID_VIEW_STRETCH);
        QMenu* pView = MenuNamed(Frame(), "&View");
        App().m_bStretchDlgOpen = true;
        emit pView->aboutToShow();
        QVERIFY(pStretch->isChecked());
        App().m_bStretchDlgOpen = false;
        emit pView->aboutToShow();
        QVERIFY(!pStretch->isChecked());
        // The command opens the dialog, presses the button, and closes it
        // again. Never placed before, it opens over the main window's middle.
        QSettings(QStringLiteral("Varrowin"), QStringLiteral("Dorvane")).remove("Settings");
        pStretch->trigger();
        QVERIFY(App().m_bStretchDlgOpen);
        const QPoint offCentre = App().m_pStretchDlg->frameGeometry().center() - Frame()->frameGeometry().center();
        // (within the window frame, which is known only once it shows)
        QVERIFY(qAbs(offCentre.x()) <= 4 && qAbs(offCentre.y()) <= 4);
        QVERIFY(Frame()->ToolBar()->IsButtonChecked(ID_VIEW_STRETCH));
        pStretch->trigger();
        QVERIFY(!App().m_bStretchDlgOpen);
        QVERIFY(!Frame()->ToolBar()->IsButtonChecked(ID_VIEW_STRETCH));
    }

    void closingOneWindowAsks() {
        CImageDocument* pDocument = Open("m42-synthetic.st7");
        QVERIFY(pDocument);
        pDocument->SetModifiedFlag();
        CScriptedDialogs& dialogs = CShellTestHooks::Get().m_dialogs;
        dialogs.m_saveChangesAnswer = IUserDialogs::SaveAnswer::Cancel;
        Frame()->CommandAction(ID_FILE_CLOSE)->trigger();
        QCOMPARE(dialogs.m_askedTitles, QStringList{"m42-synthetic.st7"});
        QCOMPARE(App().DocTemplate()->Frames().size(), 1);
    }

    // Close All asks about each modified image as Exit does; Cancel keeps
    // every window, and an unmodified image is not asked about.
    void closeAllAsksAboutEachModifiedImage_data() {
        QTest::addColumn<IUserDialogs::SaveAnswer>("answer");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<int>("windowsLeft");
        QTest::addColumn<bool>("saved");
        QTest::newRow("Yes") << IUserDialogs::SaveAnswer::Yes << QStringList{"a.fit", "b.st7"} << 0 << true;
        QTest::newRow("No") << IUserDialogs::SaveAnswer::No << QStringList{"a.fit", "b.st7"} << 0 << false;
        QTest::newRow("Cancel") << IUserDialogs::SaveAnswer::Cancel << QStringList{"a.fit"} << 3 << false;
    }
    void closeAllAsksAboutEachModifiedImage() {
        QFETCH(IUserDialogs::SaveAnswer, answer);
        QFETCH(QStringList, asked);
        QFETCH(int, windowsLeft);
        QFETCH(bool, saved);
        QTemporaryDir dir;
        QStringList paths;
        for (auto [sample, name] :
             {std::pair{"m42-synthetic.fit", "a.fit"}, std::pair{"m42-synthetic.st7", "b.st7"}}) {
            paths << CopySample(dir, sample, name);
            App().DocTemplate()->OpenDocumentFile(paths.last())->SetModifiedFlag();
            // Only a save brings the file back.
            QFile::remove(paths.last());
        }
        QVERIFY(Open("m42-synthetic.fit"));
        CScriptedDialogs& dialogs = CShellTestHooks::Get().m_dialogs;
        dialogs.m_saveChangesAnswer = answer;
        Frame()->CommandAction(ID_WINDOW_CLOSE_ALL)->trigger();
        QCOMPARE(dialogs.m_askedTitles, asked);
        QCOMPARE(QFile::exists(paths[0]) && QFile::exists(paths[1]), saved);
        QTRY_COMPARE(Frame()->MdiArea()->subWindowList().size(), windowsLeft);
        if (windowsLeft == 0) {
            QCOMPARE(Frame()->menuBar()->actions().size(), 3);
            QTRY_VERIFY(App().m_pCurrentDoc == nullptr);
        }
    }

    void exitAsksAboutModifiedImagesAndCanBeCancelled() {
        CImageDocument* pDocument = Open("m42-synthetic.fit");
        QVERIFY(pDocument);
        pDocument->SetModifiedFlag();
        CScriptedDialogs& dialogs = CShellTestHooks::Get().m_dialogs;
        dialogs.m_saveChangesAnswer = IUserDialogs::SaveAnswer::Cancel;
        QVERIFY(!Frame()->close());
        QCOMPARE(dialogs.m_askedTitles, QStringList{"m42-synthetic.fit"});
        QCOMPARE(App().DocTemplate()->Frames().size(), 1);
        dialogs.m_saveChangesAnswer = IUserDialogs::SaveAnswer::No;
        QVERIFY(Frame()->close());
        QTRY_COMPARE(Frame()->MdiArea()->subWindowList().size(), 0);
    }

    // Show Original draws the planes from before the last filter run and
    // changes nothing else; toggling it, Undo and closing come back.
    void showOriginalLeavesTheDocumentAlone() {
        CImageDocument* pDocument = Open("m42-synthetic.fit");
        QVERIFY(pDocument);
        CDorvaneView* pView = Frame()->ActiveView();
        QAction* pShow = Frame()->CommandAction(ID_VIEW_SHOW_ORIGINAL);
        QVERIFY(!pShow->isEnabled());
        // What the filter command does: the undo copy, new planes (the top
        // rows turn from white to black), the remap, Undo on.
        CAstroImage& image = *pDocument->Core()->m_pImage;
        std::fill(image.m_red.begin(), image.m_red.begin() + 1024 * 20, 65535u);
        image.SaveUndo();
        std::fill(image.m_red.begin(), image.m_red.begin() + 1024 * 20, 0u);
        image.UpdateDisplay();
        pView->SetUndoState(true, false);
        pDocument->SetModifiedFlag();
        const std::vector<uint32_t> red = image.m_red, undo = image.m_undoRed;
        const std::vector<uint8_t> display = image.m_displayPixels;
        const QRgb shownBefore = qRgb(255, 255, 255);
        const auto shownAt55 = [&] { return pView->viewport()->grab().toImage().pixel(5, 5); };
        QCOMPARE(shownAt55(), qRgb(0, 0, 0));

        for (int round = 0; round < 2; ++round) {
            pShow->trigger();
            QVERIFY(pView->IsShowingOriginal() && pShow->isChecked());
            QCOMPARE(Frame()->ActiveChild()->windowTitle(), QStringLiteral("m42-synthetic.fit[*] (original)"));
            QCOMPARE(Frame()->windowHandle()->title(), QStringLiteral("Dorvane - m42-synthetic.fit* (original)"));
            QCOMPARE(shownAt55(), shownBefore);
            QVERIFY(image.m_red == red && image.m_undoRed == undo && image.m_displayPixels == display);
            QVERIFY(image.CanUndo() && pView->m_bCanUndo && !pView->m_bCanRedo && pDocument->IsModified());
            if (round == 0) {
                pShow->trigger();
                QVERIFY(!pView->IsShowingOriginal());
                QCOMPARE(shownAt55(), qRgb(0, 0, 0));
            }
        }
        // A new stretch shows on the original too: inverted, white is black.
        const int32_t low = image.m_stretchLow, high = image.m_stretchHigh;
        for (auto [newLow, newHigh, shown] :
             {std::tuple(65535, 0, qRgb(0, 0, 0)), std::tuple(low, high, shownBefore)}) {
            image.m_stretchLow = newLow;
            image.m_stretchHigh = newHigh;
            image.UpdateDisplay();
            CDorvaneView::UpdateAllViews(pDocument->Core());
            QCOMPARE(shownAt55(), shown);
        }
        Frame()->CommandAction(ID_EDIT_UNDO)->trigger();
        QVERIFY(!pView->IsShowingOriginal() && !pShow->isEnabled() && !pShow->isChecked());
        QCOMPARE(Frame()->ActiveChild()->windowTitle(), QStringLiteral("m42-synthetic.fit[*]"));
        QCOMPARE(shownAt55(), shownBefore);
        // Redo, then a second run from there: its original has black rows.
        Frame()->CommandAction(ID_EDIT_REDO)->trigger();
        pShow->trigger();
        image.SaveUndo();
        std::fill(image.m_red.begin(), image.m_red.begin() + 1024 * 20, 65535u);
        image.UpdateDisplay();
        pView->SetUndoState(true, false);
        QVERIFY(!pView->IsShowingOriginal());
        pShow->trigger();
        QCOMPARE(shownAt55(), qRgb(0, 0, 0));
        Frame()->ActiveChild()->CloseWithoutPrompt();
        QTRY_COMPARE(Frame()->MdiArea()->subWindowList().size(), 0);
        QVERIFY(!pShow->isChecked() && !pShow->isEnabled());
    }

    // The header as the file holds it, for whichever image is active.
    void headerWindowFollowsTheActiveImage() {
        QVERIFY(Open("m42-synthetic.fit"));
        Frame()->CommandAction(ID_VIEW_HEADER)->trigger();
        CHeaderWnd* pHeader = Frame()->HeaderWindow();
        QVERIFY(pHeader && pHeader->isVisible() && pHeader->Text()->isReadOnly());
        QVERIFY(QFontInfo(pHeader->Text()->font()).fixedPitch());
        const auto lines = [&] { return pHeader->Text()->toPlainText().split(u'\n'); };
        QCOMPARE(lines().size(), 11);
        QCOMPARE(lines().first().size(), 80);
        QVERIFY(lines().first().startsWith("SIMPLE  =                    T"));
        pHeader->FindBox()->setText(QStringLiteral("naxis"));
        QCOMPARE(pHeader->MatchCount(), 3);
        QCOMPARE(pHeader->Text()->extraSelections().size(), 3);

        QVERIFY(Open("m42-synthetic.st7"));
        QCOMPARE(pHeader->windowTitle(), QStringLiteral("Header - m42-synthetic.st7"));
        QCOMPARE(lines().first(), QStringLiteral("ST-7 Image"));
        QCOMPARE(lines().last(), QStringLiteral("End"));
        QCOMPARE(pHeader->MatchCount(), 0);
        App().OnCloseAll();
        QTRY_COMPARE(Frame()->MdiArea()->subWindowList().size(), 0);
        QCOMPARE(pHeader->Text()->toPlainText(), QString());
    }

    void titleFollowsTheActiveWindow() {
        QVERIFY(Open("m42-synthetic.fit"));
        QVERIFY(Open("m42-synthetic.st7"));
        QCOMPARE(Frame()->windowHandle()->title(), QStringLiteral("Dorvane - m42-synthetic.st7"));
        Frame()->MdiArea()->activatePreviousSubWindow();
        QCOMPARE(Frame()->windowHandle()->title(), QStringLiteral("Dorvane - m42-synthetic.fit"));
        QCOMPARE(App().m_pCurrentDoc, Frame()->ActiveChild()->Document()->Core());
    }
};

DORVANE_SHELL_TEST_MAIN(TestFrames)
#include "test_frames.moc"
