// Filter > Remove Blooming inside the running program: the action reaches
// the command on the active image window, process-all reaches the other
// windows, the Undo and Redo commands follow, the region is cleared, the
// settings are stored, and F1 in the dialog opens the help at its section.
#include <QCheckBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include "CShellTestSupport.h"
#include "app/CChildFrame.h"
#include "app/CDorvaneDocTemplate.h"
#include "app/CHelpWindow.h"
#include "app/CImageDocument.h"
#include "app/CMainFrame.h"
#include "app/Resource.h"
#include "filter/CColorParamsDlg.h"
#include "filter/CMonoParamsDlg.h"
#include "image/CAstroImage.h"
#include "image/CDorvaneDoc.h"
#include "image/CFitsImage.h"
#include "support/CSharedState.h"
#include "support/ISettings.h"
#include "view/CDorvaneView.h"

using namespace DorvaneIds;

namespace {

CAstroImage& ImageOf(CImageDocument* document)
{
    return *document->Core()->m_pImage;
}

CDorvaneView* ViewOf(CImageDocument* document)
{
    return CDorvaneApp::Instance()->DocTemplate()->FindFrame(document->Core())->View();
}

}  // namespace

class TestFilterApp : public QObject {
    Q_OBJECT

    CDorvaneApp& App() { return *CDorvaneApp::Instance(); }
    CImageDocument* OpenCopy(const char* sample, const QString& name)
    {
        return App().DocTemplate()->OpenDocumentFile(CopySample(m_dir, sample, name));
    }
    void Trigger(int id) { App().m_pMainFrame->CommandAction(id)->trigger(); }
    bool Enabled(int id) { return App().m_pMainFrame->CommandAction(id)->isEnabled(); }

    QTemporaryDir m_dir;

private slots:
    void init()
    {
        CShellTestHooks::Get().Reset();
        QVERIFY(App().InitInstance({QStringLiteral("--no-splash")}));
    }
    void cleanup() { App().ExitInstance(); }

    void removeBloomingOnEveryOpenImage();
    void colourImageGetsTheColourDialog();
    void helpKeyOpensTheSectionOfTheControl();
    void replacedPixelsFollowRunUndoRedoAndClose();
};

void TestFilterApp::removeBloomingOnEveryOpenImage()
{
    CImageDocument* first = OpenCopy("m42-synthetic.fit", QStringLiteral("first.fit"));
    CImageDocument* second = OpenCopy("m42-synthetic.st7", QStringLiteral("second.st7"));
    QVERIFY(first && second);
    App().m_pMainFrame->MdiArea()->setActiveSubWindow(App().DocTemplate()->FindFrame(first->Core()));
    QCOMPARE(App().m_pMainFrame->ActiveChild()->Document(), first);
    const std::vector<uint32_t> firstBefore = ImageOf(first).m_red;
    const std::vector<uint32_t> secondBefore = ImageOf(second).m_red;
    QVERIFY(!Enabled(ID_EDIT_UNDO));
    QVERIFY(!first->IsModified());

    App().m_shared.m_bRegionSet = true;
    App().m_shared.m_rcRegionImage = {0, 0, 100000, 100000};  // clipped to each image
    App().m_rcRegionView = {0, 0, 400, 300};
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<CMonoParamsDlg*>(QApplication::activeModalWidget());
        QVERIFY(dlg);
        dlg->m_pIntensityEdit->setText(QStringLiteral("40000"));
        QTest::mouseClick(dlg->m_pProcessAllBox, Qt::LeftButton);
        QTest::mouseClick(dlg->m_pOkButton, Qt::LeftButton);
    });
    Trigger(ID_REMOVE_BLOOMING);

    QVERIFY(ImageOf(first).m_red != firstBefore);
    QVERIFY(ImageOf(second).m_red != secondBefore);
    // The same pixels in both formats, filtered alike.
    QVERIFY(ImageOf(first).m_red == ImageOf(second).m_red);
    // Both windows are marked modified ("first.fit*").
    QCOMPARE(App().m_pMainFrame->windowHandle()->title(), QStringLiteral("Dorvane - first.fit*"));
    for (CImageDocument* document : {first, second}) {
        QVERIFY(App().DocTemplate()->FindFrame(document->Core())->isWindowModified());
        QVERIFY(document->IsModified());
        QVERIFY(ViewOf(document)->m_bCanUndo);
        QVERIFY(!ViewOf(document)->m_bCanRedo);
    }
    QVERIFY(!App().m_shared.m_bRegionSet);
    QVERIFY(Enabled(ID_EDIT_UNDO));
    QVERIFY(!Enabled(ID_EDIT_REDO));
    QCOMPARE(App().Settings().GetInt("Settings", "Mono Intensity", 0), 40000);
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QVERIFY(CShellTestHooks::Get().m_messages.m_messages.empty());

    Trigger(ID_EDIT_UNDO);
    QVERIFY(ImageOf(first).m_red == firstBefore);
    QVERIFY(!Enabled(ID_EDIT_UNDO));
    QVERIFY(Enabled(ID_EDIT_REDO));
    // Filtering again from the undone state: Redo is off again.
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<CMonoParamsDlg*>(QApplication::activeModalWidget());
        QVERIFY(dlg);
        QCOMPARE(dlg->m_pIntensityEdit->text(), QStringLiteral("40000"));
        QVERIFY(!dlg->m_pProcessAllBox->isChecked());
        QTest::mouseClick(dlg->m_pOkButton, Qt::LeftButton);
    });
    Trigger(ID_REMOVE_BLOOMING);
    QVERIFY(ImageOf(first).m_red != firstBefore);
    QVERIFY(Enabled(ID_EDIT_UNDO));
    QVERIFY(!Enabled(ID_EDIT_REDO));
}

void TestFilterApp::colourImageGetsTheColourDialog()
{
    CImageDocument* colour = OpenCopy("m42-colour.fit", QStringLiteral("colour.fit"));
    QVERIFY(colour);
    QVERIFY(ImageOf(colour).m_isColor);
    const std::vector<uint32_t> green = ImageOf(colour).m_green;
    bool sawColourDialog = false;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<CColorParamsDlg*>(QApplication::activeModalWidget());
        sawColourDialog = dlg != nullptr;
        QVERIFY(dlg);
        for (int plane = 0; plane < 3; ++plane)
            dlg->m_pEdits[plane][0]->setText(QStringLiteral("30000"));
        QTest::mouseClick(dlg->m_pOkButton, Qt::LeftButton);
    });
    Trigger(ID_REMOVE_BLOOMING);
    QVERIFY(sawColourDialog);
    QVERIFY(ImageOf(colour).m_green != green);
    QVERIFY(colour->IsModified());
    QCOMPARE(App().Settings().GetInt("Settings", "Blue Intensity", 0), 30000);
}

void TestFilterApp::helpKeyOpensTheSectionOfTheControl()
{
    CImageDocument* document = OpenCopy("m42-synthetic.fit", QStringLiteral("help.fit"));
    QVERIFY(document);
    const std::vector<uint32_t> before = ImageOf(document).m_red;
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<CMonoParamsDlg*>(QApplication::activeModalWidget());
        QVERIFY(dlg);
        dlg->m_pWidthEdit->setFocus();
        QTest::keyClick(dlg->m_pWidthEdit, Qt::Key_F1);
        dlg->reject();
    });
    Trigger(ID_REMOVE_BLOOMING);
    QVERIFY(App().HelpWindow());
    QVERIFY(App().HelpWindow()->isVisible());
    QCOMPARE(App().HelpWindow()->Browser()->source().fragment(), CHelpWindow::AnchorForContext(HIDC_WIDTH));
    QVERIFY(ImageOf(document).m_red == before);
    QVERIFY(!document->IsModified());
}

void TestFilterApp::replacedPixelsFollowRunUndoRedoAndClose()
{
    CImageDocument* filtered = OpenCopy("m42-synthetic.fit", QStringLiteral("shown.fit"));
    CImageDocument* other = OpenCopy("m42-synthetic.st7", QStringLiteral("other.st7"));
    QVERIFY(filtered && other);
    auto activate = [this](CImageDocument* document) {
        App().m_pMainFrame->MdiArea()->setActiveSubWindow(App().DocTemplate()->FindFrame(document->Core()));
    };
    // Show enabled, Show checked, Save Mask enabled.
    auto states = [this] {
        return QString::number(Enabled(ID_VIEW_REPLACED_PIXELS)) +
               QString::number(App().m_pMainFrame->CommandAction(ID_VIEW_REPLACED_PIXELS)->isChecked()) +
               QString::number(Enabled(ID_FILE_SAVE_MASK));
    };
    // The view's colour at the first pixel the run changed (zoom 100, not
    // scrolled: image and view pixels coincide).
    CAstroImage& image = ImageOf(filtered);
    QPoint changed(-1, -1);
    auto colourThere = [&] { return ViewOf(filtered)->viewport()->grab().toImage().pixel(changed); };
    activate(filtered);
    QCOMPARE(states(), QStringLiteral("000"));

    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<CMonoParamsDlg*>(QApplication::activeModalWidget());
        QVERIFY(dlg);
        QTest::mouseClick(dlg->m_pOkButton, Qt::LeftButton);
    });
    Trigger(ID_REMOVE_BLOOMING);
    QCOMPARE(states(), QStringLiteral("101"));
    for (int32_t i = 0; i < image.m_width * image.m_height && changed.x() < 0; ++i)
        if (image.m_red[static_cast<std::size_t>(i)] != image.m_undoRed[static_cast<std::size_t>(i)] &&
            i % image.m_width < ViewOf(filtered)->viewport()->width() &&
            i / image.m_width < ViewOf(filtered)->viewport()->height())
            changed = QPoint(i % image.m_width, i / image.m_width);
    QVERIFY(changed.x() >= 0);
    const QRgb plain = colourThere();
    Trigger(ID_VIEW_REPLACED_PIXELS);
    QCOMPARE(states(), QStringLiteral("111"));
    QVERIFY(colourThere() != plain);

    // Undone, the picture shows the old values: nothing is tinted, until Redo.
    Trigger(ID_EDIT_UNDO);
    QCOMPARE(states(), QStringLiteral("001"));
    const QRgb undone = colourThere();
    App().m_pMainFrame->m_bShowReplacedPixels = false;
    QCOMPARE(colourThere(), undone);
    App().m_pMainFrame->m_bShowReplacedPixels = true;
    Trigger(ID_EDIT_REDO);
    QCOMPARE(states(), QStringLiteral("111"));
    QVERIFY(colourThere() != plain);
    activate(other);
    QCOMPARE(states(), QStringLiteral("000"));
    activate(filtered);
    QCOMPARE(states(), QStringLiteral("111"));

    // The mask file: 1 where the run changed a pixel. Failures are told, and
    // the image's own file is never replaced.
    CScriptedDialogs& dialogs = CShellTestHooks::Get().m_dialogs;
    dialogs.m_strSaveAnswer = m_dir.filePath(QStringLiteral("saved-mask"));
    Trigger(ID_FILE_SAVE_MASK);
    QCOMPARE(dialogs.m_strSaveInitial, filtered->GetPathName() + QStringLiteral(".mask.fits"));
    CSharedState shared;
    CCollectingMessageSink sink;
    CFitsImage mask(shared, sink);
    QVERIFY(mask.Open(m_dir.filePath(QStringLiteral("saved-mask.fit")).toStdString()));
    for (std::size_t i = 0; i < image.m_red.size(); ++i)
        QCOMPARE(mask.m_red[i], image.m_red[i] != image.m_undoRed[i] ? 1u : 0u);
    const QByteArray imageBytes = FileStart(filtered->GetPathName(), 1 << 30);
    const std::pair<QString, std::string> refused[] = {
        {m_dir.filePath(QStringLiteral("no-such-folder/mask.fit")), "Failed to create file."},
        {filtered->GetPathName(), "Choose another file: the mask would replace the image."}};
    for (const auto& [answer, message] : refused) {
        CShellTestHooks::Get().m_messages.Clear();
        dialogs.m_strSaveAnswer = answer;
        Trigger(ID_FILE_SAVE_MASK);
        QCOMPARE(CShellTestHooks::Get().m_messages.m_messages, std::vector<std::string>{message});
    }
    QCOMPARE(FileStart(filtered->GetPathName(), 1 << 30), imageBytes);

    // Closed, its run goes with it.
    CShellTestHooks::Get().m_dialogs.m_saveChangesAnswer = IUserDialogs::SaveAnswer::No;
    App().DocTemplate()->FindFrame(filtered->Core())->close();
    QTRY_COMPARE(App().DocTemplate()->Frames().size(), 1);
    activate(other);
    QCOMPARE(states(), QStringLiteral("000"));
}

DORVANE_SHELL_TEST_MAIN(TestFilterApp)
#include "test_filter_app.moc"
