// The running desktop program: start-up, the display depth, the menus and
// their keys under each enable rule, closing with the save question,
// Open/drop/Save As, Show Original, the header window, Remove Blooming on
// every open image with Undo/Redo, and the replaced-pixel commands.
#include <QCheckBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextBrowser>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include "GuiTestSupport.h"
#include "app/CChildFrame.h"
#include "app/CDorvaneDocTemplate.h"
#include "app/CHeaderWnd.h"
#include "app/CHelpWindow.h"
#include "app/CImageDocument.h"
#include "app/CMainFrame.h"
#include "app/CRecentFileList.h"
#include "app/Resource.h"
#include "app/CSplashWnd.h"
#include "filter/CMonoParamsDlg.h"
#include "support/ISettings.h"
#include "view/CDorvaneView.h"

using namespace DorvaneIds;

class TestShell : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    CDorvaneApp& App() { return *CDorvaneApp::Instance(); }
    CMainFrame* Frame() { return App().m_pMainFrame; }
    void Reset() {
        g_messages.Clear();
        g_dialogs = CScriptedDialogs();
    }
    const std::vector<std::string>& Messages() { return g_messages.m_messages; }
    int WindowCount() { return static_cast<int>(App().DocTemplate()->Frames().size()); }
    CImageDocument* Open(const char* sample, const QString& name = QString()) {
        return App().DocTemplate()->OpenDocumentFile(
            CopySample(m_dir, sample, name.isEmpty() ? QString::fromLatin1(sample) : name));
    }
    void Trigger(int id) { Frame()->CommandAction(id)->trigger(); }
    bool Enabled(int id) { return Frame()->CommandAction(id)->isEnabled(); }
    CDorvaneView* ViewOf(CImageDocument* pDocument) {
        return App().DocTemplate()->FindFrame(pDocument->Core())->View();
    }
    void Activate(CImageDocument* pDocument) {
        Frame()->MdiArea()->setActiveSubWindow(App().DocTemplate()->FindFrame(pDocument->Core()));
    }
    bool Start(const QStringList& arguments = {QStringLiteral("--no-splash")}) {
        if (!App().InitInstance(arguments))
            return false;
        Frame()->activateWindow();
        return QTest::qWaitForWindowActive(Frame());
    }

private slots:
    void init() { Reset(); }
    void cleanup() { App().ExitInstance(); }

    // Without a file: three menus, nothing open; with one: it opens in a
    // window with six menus until it closes. The folder is kept across runs;
    // the splash shows on a plain start only.
    void startUpWithAndWithoutAFile() {
        QVERIFY(Start());
        QVERIFY(Frame()->isMaximized() && WindowCount() == 0);
        QVERIFY(!Enabled(ID_FILE_SAVE) && !Enabled(ID_REMOVE_BLOOMING));
        QCOMPARE(Frame()->menuBar()->actions().size(), 3);
        App().m_strLastDirectory = QDir::tempPath();  // kept for the next run
        App().ExitInstance();

        const QString sample = CopySample(m_dir, "m42-synthetic.fit", "start.fit");
        QVERIFY(Start({QStringLiteral("--no-splash"), sample}));
        QCOMPARE(App().m_strLastDirectory, QDir::tempPath());
        QCOMPARE(WindowCount(), 1);
        QCOMPARE(Frame()->menuBar()->actions().size(), 6);
        QCOMPARE(App().RecentFiles()->Files().value(0), sample);
        App().OnCloseAll();
        QTRY_COMPARE(Frame()->menuBar()->actions().size(), 3);
        QVERIFY(Messages().empty());
        App().ExitInstance();
        for (auto [argument, bSplash] : {std::pair{"", true}, {"/Automation", false}, {"-Embedding", false}}) {
            QVERIFY(App().InitInstance(*argument ? QStringList{argument} : QStringList()));
            QCOMPARE(CSplashWnd::Instance() != nullptr, bSplash);
            QLineEdit edit;  // a key closes the splash and goes no further
            edit.show();
            QVERIFY(QTest::qWaitForWindowActive(&edit));
            QTest::keyClick(&edit, Qt::Key_A);
            QVERIFY(!CSplashWnd::Instance() && edit.text().isEmpty() == bSplash);
            App().ExitInstance();
        }
    }

    // The display pixels are made for 16, 24 or 32 bits whatever depth the
    // screen reports; below 16 bits start-up warns.
    void displayDepth() {
        const struct { int screen, bpp; bool warns; } depths[] = {
            {30, 32, false}, {25, 32, false}, {24, 24, false}, {17, 24, false}, {16, 16, false}, {15, 15, true}};
        for (const auto& d : depths) {
            Reset();
            App().m_nScreenDepthOverride = d.screen;
            QVERIFY(Start());
            App().m_nScreenDepthOverride = 0;
            QCOMPARE(App().m_shared.m_nDisplayBpp, d.bpp);
            QCOMPARE(Messages().size(), std::size_t(d.warns ? 1 : 0));
            App().ExitInstance();
        }
    }

    // The View menu in order; every key a menu item shows runs its command,
    // and a disabled command's key does nothing.
    void menusAndTheirKeys() {
        QVERIFY(Start());
        CImageDocument* pDocument = Open("m42-synthetic.fit", "keys.fit");
        QMenuBar* pBar = Frame()->menuBar();
        QStringList items;  // the View menu, the Zoom items indented
        for (QAction* pItem : pBar->actions().at(2)->menu()->actions())
            for (QAction* pAction : pItem->menu() ? pItem->menu()->actions() : QList<QAction*>{pItem})
                items << (pAction == pItem ? QString() : QStringLiteral(" ")) + pAction->text();
        QCOMPARE(items,
                 (QStringList{" 25%", " 50%", " 100%", " 200%", " 400%", " 800%", " 1600%", " ", " &Fit to Window\tCtrl+0",
                              " Zoom &In\tCtrl++", " Zoom &Out\tCtrl+-", "Stretch", "&Toolbar", "&Status Bar", "",
                              "Show Re&placed Pixels", "", "&Header...", "Show &Original\t\\"}));

        const auto triggersOnKey = [&](QAction* pAction, const QKeySequence& key) {
            QTimer::singleShot(0, [] {  // the filter's dialog goes away unanswered
                if (QWidget* pDialog = QApplication::activeModalWidget())
                    pDialog->close();
            });
            QSignalSpy spy(pAction, &QAction::triggered);
            QTest::keySequence(QApplication::focusWidget() ? QApplication::focusWidget() : Frame(), key);
            return static_cast<int>(spy.count());
        };
        // (collected first: a save rebuilds the recent-file items)
        std::vector<std::pair<QAction*, QString>> keyed;
        for (QAction* pMenu : pBar->actions())
            for (QAction* pItem : pMenu->menu()->actions())
                for (QAction* pAction : pItem->menu() ? pItem->menu()->actions() : QList<QAction*>{pItem})
                    if (pAction->text().contains(u'\t'))
                        keyed.emplace_back(pAction, pAction->text().section(u'\t', 1));
        ViewOf(pDocument)->SetUndoState(true, true);
        QCOMPARE(triggersOnKey(Frame()->CommandAction(ID_EDIT_UNDO), QKeySequence(Qt::ALT | Qt::Key_Backspace)), 1);
        for (const auto& [pAction, key] : keyed) {
            ViewOf(pDocument)->SetUndoState(true, true);
            QVERIFY2(triggersOnKey(pAction, QKeySequence(key)) == 1, qPrintable(key));
        }
        QCOMPARE(keyed.size(), std::size_t(9));
        ViewOf(pDocument)->SetUndoState(false, false);
        for (auto [id, key] : {std::pair{ID_EDIT_UNDO, "Ctrl+Z"}, {ID_EDIT_REDO, "Ctrl+Y"}, {ID_VIEW_SHOW_ORIGINAL, "\\"}})
            QCOMPARE(triggersOnKey(Frame()->CommandAction(id), QKeySequence(QString::fromLatin1(key))), 0);
        App().OnCloseAll();
        QTRY_COMPARE(WindowCount(), 0);
        QCOMPARE(triggersOnKey(Frame()->CommandAction(ID_REMOVE_BLOOMING), QKeySequence("Ctrl+R")), 0);
    }

    // Close All and Exit ask about each modified image (Yes saves first),
    // an unmodified one not at all; Cancel keeps every window.
    void closingAsksAboutModifiedImages() {
        const struct { IUserDialogs::SaveAnswer answer; QStringList asked; int left; bool saved; } cases[] = {
            {IUserDialogs::SaveAnswer::Yes, {"a.fit", "b.st7"}, 0, true},
            {IUserDialogs::SaveAnswer::No, {"a.fit", "b.st7"}, 0, false},
            {IUserDialogs::SaveAnswer::Cancel, {"a.fit"}, 3, false},
        };
        for (const auto& c : cases) {
            QVERIFY(Start());
            QStringList paths;
            for (auto [sample, name] : {std::pair{"m42-synthetic.fit", "a.fit"}, std::pair{"m42-synthetic.st7", "b.st7"}}) {
                Open(sample, name)->SetModifiedFlag();
                paths << m_dir.filePath(name);
                QFile::remove(paths.last());  // only a save brings the file back
            }
            QVERIFY(Open("m42-synthetic.fit", "c.fit"));
            g_dialogs.m_saveChangesAnswer = c.answer;
            Trigger(ID_WINDOW_CLOSE_ALL);
            QCOMPARE(g_dialogs.m_askedTitles, c.asked);
            QCOMPARE(QFile::exists(paths[0]) && QFile::exists(paths[1]), c.saved);
            QTRY_COMPARE(Frame()->MdiArea()->subWindowList().size(), c.left);
            if (c.left == 0)
                QTRY_VERIFY(App().m_pCurrentDoc == nullptr);
            App().OnCloseAll();
            Reset();
            App().ExitInstance();
        }
        QVERIFY(Start());
        Open("m42-synthetic.st7", "d.st7")->SetModifiedFlag();
        g_dialogs.m_saveChangesAnswer = IUserDialogs::SaveAnswer::Cancel;
        Trigger(ID_FILE_CLOSE);
        QVERIFY(!Frame()->close());
        QCOMPARE(g_dialogs.m_askedTitles, (QStringList{"d.st7", "d.st7"}));
        g_dialogs.m_saveChangesAnswer = IUserDialogs::SaveAnswer::No;
        QVERIFY(Frame()->close());
        QTRY_COMPARE(Frame()->MdiArea()->subWindowList().size(), 0);
    }

    // The labels follow the favourite type; several files open at once with
    // one box per failure after the document's own messages; an open file
    // comes to the front; dropped files open in their order.
    void openingFiles() {
        QVERIFY(Start());
        for (auto [favourite, first] : {std::pair{"SBIG3", "FITS Images"}, {"SbIg", "SBIG Type 3"}}) {
            App().Settings().WriteString("Settings", "Favorite File Type", favourite);
            Trigger(ID_FILE_OPEN);
            QVERIFY(g_dialogs.m_openFilters.value(0).m_strLabel.startsWith(QLatin1String(first)));
        }
        for (const char* name : {"m42.ST7", "m42.st8", "dark.237", "flat.255"})  // what the SBIG type lists
            QVERIFY2(QDir::match(g_dialogs.m_openFilters.value(0).m_patterns, QString::fromLatin1(name)), name);
        const QString first = CopySample(m_dir, "m42-synthetic.fit", "first.fit");
        const QString unknown = m_dir.filePath("second.jpg"), broken = m_dir.filePath("third.fit");
        QVERIFY(QFile(unknown).open(QIODevice::WriteOnly) && QFile(broken).open(QIODevice::WriteOnly));
        const QString last = CopySample(m_dir, "m42-synthetic.st7", "fourth.st7");
        g_dialogs.m_openAnswer = {first, unknown, broken, last};
        Trigger(ID_FILE_OPEN);
        QCOMPARE(WindowCount(), 2);
        QCOMPARE(Frame()->ActiveChild()->Document()->GetPathName(), last);
        QCOMPARE(QString::fromStdString(Messages().front()), "Failed to open: " + unknown);
        QCOMPARE(QString::fromStdString(Messages().back()), "Failed to open: " + broken);
        QCOMPARE(std::count_if(Messages().begin(), Messages().end(),
                               [](const std::string& m) { return m.rfind("Failed to open: ", 0) == 0; }), 2);
        QCOMPARE(App().m_strLastDirectory, QFileInfo(m_dir.path()).absoluteFilePath());
        Reset();
        g_dialogs.m_openAnswer = {m_dir.path() + QStringLiteral("/./first.fit")};
        Trigger(ID_FILE_OPEN);
        QCOMPARE(WindowCount(), 2);
        QCOMPARE(Frame()->ActiveChild()->Document()->GetPathName(), first);
        QVERIFY(Messages().empty());
        App().OnCloseAll();

        QMimeData files, text;
        files.setUrls({QUrl::fromLocalFile(last), QUrl::fromLocalFile(broken), QUrl::fromLocalFile(first)});
        text.setText(QStringLiteral("m42"));
        for (QMimeData* pData : {&text, &files}) {
            QDragEnterEvent enter(QPoint(60, 60), Qt::CopyAction, pData, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(Frame(), &enter);
            QCOMPARE(enter.isAccepted(), pData == &files);
        }
        QDropEvent drop(QPointF(60, 60), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Frame(), &drop);
        QTRY_COMPARE(WindowCount(), 2);
        QCOMPARE(QString::fromStdString(Messages().back()), "Failed to open: " + broken);
        QCOMPARE(Frame()->ActiveChild()->Document()->GetPathName(), first);
    }

    // Save As writes the image's own format whatever name is chosen, and
    // the document becomes the new file; Save rewrites in place; a failed
    // save changes nothing.
    void saving() {
        QVERIFY(Start());
        const struct { const char *sample, *source, *chosen, *written, *start; } cases[] = {
            {"m42-synthetic.fit", "a.fit", "b.fits", "b.fits", "SIMPLE  ="},
            {"m42-synthetic.fit", "c.fit", "d.st7", "d.st7.fit", "SIMPLE  ="},
            {"m42-synthetic.st7", "e.st7", "f.st8", "f.st8", "ST-7"},
            {"m42-synthetic.st7", "g.st7", "h", "h.st7", "ST-7"},
        };
        for (const auto& c : cases) {
            CImageDocument* pDocument = Open(c.sample, c.source);
            pDocument->SetModifiedFlag();
            g_dialogs.m_strSaveAnswer = m_dir.filePath(c.chosen);
            Trigger(ID_FILE_SAVE_AS);
            QCOMPARE(g_dialogs.m_strSaveInitial, m_dir.filePath(c.source));
            const QString target = m_dir.filePath(c.written);
            QVERIFY(FileBytes(target).startsWith(c.start));
            QVERIFY(Messages().empty() && !pDocument->IsModified());
            QCOMPARE(pDocument->GetPathName(), target);
            QCOMPARE(App().RecentFiles()->Files().value(0), target);
            App().OnCloseAll();
            QVERIFY(App().DocTemplate()->OpenDocumentFile(target));
            App().OnCloseAll();
        }
        CImageDocument* pDocument = Open("m42-synthetic.fit", "inplace.fit");
        const QString path = pDocument->GetPathName();
        QFile::resize(path, QFileInfo(path).size() + 2880);
        pDocument->SetModifiedFlag();
        g_dialogs.m_nSaveCalls = 0;
        Trigger(ID_FILE_SAVE);
        QCOMPARE(g_dialogs.m_nSaveCalls, 0);
        QVERIFY(!pDocument->IsModified());
        QCOMPARE(QFileInfo(path).size(), QFileInfo(SamplePath("m42-synthetic.fit")).size());
        pDocument->SetModifiedFlag();
        g_dialogs.m_strSaveAnswer = m_dir.filePath("no/such/folder/out.fit");
        Trigger(ID_FILE_SAVE_AS);
        QVERIFY(pDocument->IsModified() && Messages().size() == 1);
        QCOMPARE(pDocument->GetPathName(), path);
    }

    // The header as the file holds it, for whichever image is active.
    void headerWindowFollowsTheActiveImage() {
        QVERIFY(Start());
        QVERIFY(Open("m42-synthetic.fit"));
        Trigger(ID_VIEW_HEADER);
        CHeaderWnd* pHeader = Frame()->HeaderWindow();
        QVERIFY(pHeader && pHeader->isVisible());
        const auto lines = [&] { return pHeader->Text()->toPlainText().split(u'\n'); };
        QCOMPARE(lines().size(), 11);
        QVERIFY(lines().first().startsWith("SIMPLE  =                    T") && lines().first().size() == 80);
        QVERIFY(Open("m42-synthetic.st7"));
        QCOMPARE(pHeader->windowTitle(), QStringLiteral("Header - m42-synthetic.st7"));
        QCOMPARE(lines().first(), QStringLiteral("ST-7 Image"));
        Frame()->MdiArea()->activatePreviousSubWindow();
        QCOMPARE(lines().size(), 11);
        App().OnCloseAll();
        QTRY_COMPARE(WindowCount(), 0);
        QCOMPARE(pHeader->Text()->toPlainText(), QString());
    }

    // Filter > Remove Blooming with "Process all open images" filters and
    // marks every window, with Undo on and Redo off, the region cleared and
    // the settings stored. Show Original draws the planes from before the
    // run (under the stretch in force) and changes nothing else; Show
    // Replaced Pixels tints what the run changed; Undo and Redo set both
    // commands; the mask is saved, but never over the image's own file.
    void removeBloomingThenUndoShowOriginalAndReplacedPixels() {
        QVERIFY(Start());
        CImageDocument* first = Open("m42-synthetic.fit", "first.fit");
        CImageDocument* second = Open("m42-synthetic.st7", "second.st7");
        Activate(first);
        CAstroImage& image = *first->Core()->m_pImage;
        const std::vector<uint32_t> before = image.m_red;
        const QImage shotBefore = ViewOf(first)->viewport()->grab().toImage();
        // Show Original enabled and checked, Show Replaced Pixels enabled and checked, Save Mask enabled.
        const auto states = [this] {
            QString flags;
            for (int id : {ID_VIEW_SHOW_ORIGINAL, ID_VIEW_REPLACED_PIXELS})
                flags += QString::number(Enabled(id)) + QString::number(Frame()->CommandAction(id)->isChecked());
            return flags + QString::number(Enabled(ID_FILE_SAVE_MASK));
        };
        QCOMPARE(states(), QStringLiteral("00000"));
        QVERIFY(!Enabled(ID_EDIT_UNDO) && !Enabled(ID_EDIT_REDO));  // nothing to undo yet
        App().m_shared.m_bRegionSet = true;
        App().m_shared.m_rcRegionImage = {0, 0, 100000, 100000};  // clipped to each image
        WhenDialogShows<CMonoParamsDlg>([this](CMonoParamsDlg& dlg) {
            for (auto [pEdit, section] : {std::pair{dlg.m_pIntensityEdit, "intensity"}, {dlg.m_pLengthEdit, "length"},
                                          {dlg.m_pWidthEdit, "width"}}) {
                pEdit->setFocus();
                QTest::keyClick(pEdit, Qt::Key_F1);  // help at the control's own section
                QCOMPARE(App().HelpWindow()->Browser()->source().fragment(), QString::fromLatin1(section));
            }
            dlg.m_pIntensityEdit->setText(QStringLiteral("40000"));
            QTest::mouseClick(dlg.m_pProcessAllBox, Qt::LeftButton);
            QTest::mouseClick(dlg.m_pOkButton, Qt::LeftButton);
        });
        Trigger(ID_REMOVE_BLOOMING);
        const std::vector<uint32_t> after = image.m_red;
        QVERIFY(after != before && after == second->Core()->m_pImage->m_red);  // same pixels, filtered alike
        QCOMPARE(Frame()->windowHandle()->title(), QStringLiteral("Dorvane - first.fit*"));
        for (CImageDocument* pDocument : {first, second})
            QVERIFY(pDocument->IsModified() && ViewOf(pDocument)->m_bCanUndo && !ViewOf(pDocument)->m_bCanRedo);
        QVERIFY(!App().m_shared.m_bRegionSet && Enabled(ID_EDIT_UNDO) && !Enabled(ID_EDIT_REDO));
        QVERIFY(QApplication::overrideCursor() == nullptr && Messages().empty());
        QCOMPARE(states(), QStringLiteral("10101"));

        // A pixel the run changed, in sight (zoom 100, not scrolled).
        const QSize port = ViewOf(first)->viewport()->size();
        QPoint changed(-1, -1);
        for (int32_t i = 0; i < image.m_width * image.m_height && changed.x() < 0; ++i)
            if (after[std::size_t(i)] != before[std::size_t(i)] && i % image.m_width < port.width() &&
                i / image.m_width < port.height())
                changed = QPoint(i % image.m_width, i / image.m_width);
        QVERIFY(changed.x() >= 0);
        const auto shown = [&] { return ViewOf(first)->viewport()->grab().toImage().pixel(changed); };
        const QRgb plain = shown();
        QVERIFY(plain != shotBefore.pixel(changed));
        Trigger(ID_VIEW_SHOW_ORIGINAL);
        QCOMPARE(states(), QStringLiteral("11101"));
        QCOMPARE(shown(), shotBefore.pixel(changed));
        QVERIFY(image.m_red == after && image.m_undoRed == before && first->IsModified());
        const int32_t low = image.m_stretchLow, high = image.m_stretchHigh;
        for (auto [newLow, newHigh, bSame] : {std::tuple(high, low, false), std::tuple(low, high, true)}) {
            image.m_stretchLow = newLow;  // inverted, then back
            image.m_stretchHigh = newHigh;
            image.UpdateDisplay();
            CDorvaneView::UpdateAllViews(first->Core());
            QCOMPARE(shown() == shotBefore.pixel(changed), bSame);
        }
        Trigger(ID_VIEW_SHOW_ORIGINAL);
        QCOMPARE(shown(), plain);
        Trigger(ID_VIEW_REPLACED_PIXELS);
        QCOMPARE(states(), QStringLiteral("10111"));
        QVERIFY(shown() != plain);

        Trigger(ID_VIEW_SHOW_ORIGINAL);
        Trigger(ID_EDIT_UNDO);  // the old values show: nothing to tint
        QVERIFY(image.m_red == before && !Enabled(ID_EDIT_UNDO) && Enabled(ID_EDIT_REDO));
        QCOMPARE(states(), QStringLiteral("00001"));
        QCOMPARE(shown(), shotBefore.pixel(changed));
        Trigger(ID_EDIT_REDO);
        QCOMPARE(states(), QStringLiteral("10111"));
        QVERIFY(shown() != plain);

        g_dialogs.m_strSaveAnswer = m_dir.filePath(QStringLiteral("saved-mask"));
        Trigger(ID_FILE_SAVE_MASK);
        QCOMPARE(g_dialogs.m_strSaveInitial, first->GetPathName() + QStringLiteral(".mask.fits"));
        QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("saved-mask.fit"))));
        const QByteArray imageBytes = FileBytes(first->GetPathName());
        g_dialogs.m_strSaveAnswer = first->GetPathName();
        Trigger(ID_FILE_SAVE_MASK);
        QCOMPARE(Messages(), std::vector<std::string>{"Choose another file: the mask would replace the image."});
        QCOMPARE(FileBytes(first->GetPathName()), imageBytes);
    }
};

DORVANE_GUI_TEST_MAIN(TestShell)
#include "test_shell.moc"
