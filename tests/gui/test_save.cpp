// Save and Save As: the image's own format whatever name is chosen, the
// document's path, title, recent-file list and modified flag after a save,
// Cancel, a failed save, and a read-only file.
#include <QWindow>
#include <QtTest>

#include "CShellTestSupport.h"
#include "app/CChildFrame.h"
#include "app/CDorvaneDocTemplate.h"
#include "app/CImageDocument.h"
#include "app/CMainFrame.h"
#include "app/CRecentFileList.h"
#include "app/Resource.h"

using namespace DorvaneIds;

class TestSave : public QObject {
    Q_OBJECT

    CDorvaneApp& App() { return *CDorvaneApp::Instance(); }
    CScriptedDialogs& Dialogs() { return CShellTestHooks::Get().m_dialogs; }
    CImageDocument* OpenCopy(const char* sample, const QString& name) {
        return App().DocTemplate()->OpenDocumentFile(CopySample(m_dir, sample, name));
    }
    void Trigger(int id) { App().m_pMainFrame->CommandAction(id)->trigger(); }

    QTemporaryDir m_dir;

private slots:
    void init() {
        CShellTestHooks::Get().Reset();
        QVERIFY(App().InitInstance({QStringLiteral("--no-splash")}));
    }
    void cleanup() { App().ExitInstance(); }

    void saveAsWritesTheImagesOwnFormat_data() {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QByteArray>("start");
        QTest::newRow("FITS as .fits") << "m42-synthetic.fit" << "a.fit" << "b.fits" << "b.fits" << QByteArray("SIMPLE  =");
        QTest::newRow("FITS named .st7") << "m42-synthetic.fit" << "c.fit" << "d.st7" << "d.st7.fit" << QByteArray("SIMPLE  =");
        QTest::newRow("SBIG as .st8") << "m42-synthetic.st7" << "e.st7" << "f.st8" << "f.st8" << QByteArray("ST-7");
        QTest::newRow("SBIG without extension") << "m42-synthetic.st7" << "g.st7" << "h" << "h.st7" << QByteArray("ST-7");
    }
    void saveAsWritesTheImagesOwnFormat() {
        QFETCH(QString, sample);
        QFETCH(QString, source);
        QFETCH(QString, chosen);
        QFETCH(QString, written);
        QFETCH(QByteArray, start);
        CImageDocument* pDocument = OpenCopy(sample.toLatin1().constData(), source);
        QVERIFY(pDocument);
        pDocument->SetModifiedFlag();
        Dialogs().m_strSaveAnswer = m_dir.filePath(chosen);
        Trigger(ID_FILE_SAVE_AS);
        QCOMPARE(Dialogs().m_nSaveCalls, 1);
        QCOMPARE(Dialogs().m_strSaveInitial, m_dir.filePath(source));
        QCOMPARE(Dialogs().m_saveFilter.m_strLabel, start.startsWith("ST")
                                                        ? QStringLiteral("SBIG Type 3 Images (*.st*;*.237;*.255)")
                                                        : QStringLiteral("FITS Images (*.fit;*.fts;*.fits)"));
        const QString target = m_dir.filePath(written);
        QCOMPARE(FileStart(target, start.size()), start);
        QVERIFY(CShellTestHooks::Get().m_messages.m_messages.empty());
        // The document now is the new file.
        QVERIFY(!pDocument->IsModified());
        QCOMPARE(pDocument->GetPathName(), target);
        QCOMPARE(pDocument->GetTitle(), written);
        QCOMPARE(App().m_pMainFrame->ActiveChild()->windowTitle(), written + "[*]");
        QCOMPARE(App().m_pMainFrame->windowHandle()->title(), QStringLiteral("Dorvane - ") + written);
        QCOMPARE(App().RecentFiles()->Files().value(0), target);
        // The saved file opens again as the same kind of image.
        App().OnCloseAll();
        QVERIFY(App().DocTemplate()->OpenDocumentFile(target));
    }

    void saveRewritesTheFileInPlace() {
        CImageDocument* pDocument = OpenCopy("m42-synthetic.fit", "inplace.fit");
        QVERIFY(pDocument);
        const QString path = pDocument->GetPathName();
        QFile::resize(path, QFileInfo(path).size() + 2880);
        pDocument->SetModifiedFlag();
        Trigger(ID_FILE_SAVE);
        QCOMPARE(Dialogs().m_nSaveCalls, 0);
        QVERIFY(!pDocument->IsModified());
        QCOMPARE(QFileInfo(path).size(), QFileInfo(SamplePath("m42-synthetic.fit")).size());
    }

    void cancelledSaveAsChangesNothing() {
        CImageDocument* pDocument = OpenCopy("m42-synthetic.fit", "kept.fit");
        pDocument->SetModifiedFlag();
        Trigger(ID_FILE_SAVE_AS);
        QCOMPARE(Dialogs().m_nSaveCalls, 1);
        QVERIFY(pDocument->IsModified());
        QCOMPARE(pDocument->GetPathName(), m_dir.filePath("kept.fit"));
    }

    void failedSaveKeepsTheDocumentAsItWas() {
        CImageDocument* pDocument = OpenCopy("m42-synthetic.fit", "stays.fit");
        pDocument->SetModifiedFlag();
        Dialogs().m_strSaveAnswer = m_dir.filePath("no/such/folder/out.fit");
        Trigger(ID_FILE_SAVE_AS);
        QCOMPARE(CShellTestHooks::Get().m_messages.m_messages.size(), std::size_t(1));
        QVERIFY(pDocument->IsModified());
        QCOMPARE(pDocument->GetPathName(), m_dir.filePath("stays.fit"));
    }

    void readOnlyFileIsSavedUnderANewName() {
        CImageDocument* pDocument = OpenCopy("m42-synthetic.fit", "locked.fit");
        QFile::setPermissions(pDocument->GetPathName(), QFile::ReadOwner);
        if (QFileInfo(pDocument->GetPathName()).isWritable())
            QSKIP("running with rights that ignore file permissions");
        Dialogs().m_strSaveAnswer = m_dir.filePath("unlocked.fit");
        Trigger(ID_FILE_SAVE);
        QCOMPARE(Dialogs().m_nSaveCalls, 1);
        QCOMPARE(pDocument->GetPathName(), m_dir.filePath("unlocked.fit"));
    }

    void answeringYesSavesBeforeClosing() {
        CImageDocument* pDocument = OpenCopy("m42-synthetic.fit", "closing.fit");
        const QString path = pDocument->GetPathName();
        QFile::resize(path, QFileInfo(path).size() + 2880);
        pDocument->SetModifiedFlag();
        Dialogs().m_saveChangesAnswer = IUserDialogs::SaveAnswer::Yes;
        Trigger(ID_FILE_CLOSE);
        QCOMPARE(Dialogs().m_askedTitles, QStringList{"closing.fit"});
        QCOMPARE(QFileInfo(path).size(), QFileInfo(SamplePath("m42-synthetic.fit")).size());
        QTRY_COMPARE(App().DocTemplate()->Frames().size(), 0);
    }
};

DORVANE_SHELL_TEST_MAIN(TestSave)
#include "test_save.moc"
