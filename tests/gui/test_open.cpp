// File > Open: the type list follows the favourite type, its labels read as
// written while its patterns match the files, names typed in quotes all
// count, several files open at once with one box per failure after the
// document's own messages, an open file comes to the front, and the folder
// is remembered whatever its length.
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMdiArea>
#include <QMimeData>
#include <QtTest>

#include "CShellTestSupport.h"
#include "app/CChildFrame.h"
#include "app/CDorvaneDocTemplate.h"
#include "app/CFileFilters.h"
#include "app/CImageDocument.h"
#include "app/COpenFileDialog.h"
#include "app/CMainFrame.h"
#include "app/CQtUserDialogs.h"
#include "app/CRecentFileList.h"
#include "app/Resource.h"
#include "support/ISettings.h"

namespace {

const QString kFitsLabel = QStringLiteral("FITS Images (*.fit;*.fts;*.fits)");
const QString kSbigLabel = QStringLiteral("SBIG Type 3 Images (*.st*;*.237;*.255)");
const QString kAllLabel = QStringLiteral("All Files (*.*)");

QStringList Labels(const QList<CFileFilter>& filters) {
    QStringList labels;
    for (const CFileFilter& filter : filters)
        labels << filter.m_strLabel;
    return labels;
}

void Touch(const QString& path) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("x");
}

}  // namespace

class TestOpen : public QObject {
    Q_OBJECT

    CDorvaneApp& App() { return *CDorvaneApp::Instance(); }
    CScriptedDialogs& Dialogs() { return CShellTestHooks::Get().m_dialogs; }
    const std::vector<std::string>& Messages() { return CShellTestHooks::Get().m_messages.m_messages; }
    int WindowCount() { return static_cast<int>(App().DocTemplate()->Frames().size()); }
    void RunOpen() { App().m_pMainFrame->CommandAction(DorvaneIds::ID_FILE_OPEN)->trigger(); }

private slots:
    void init() {
        CShellTestHooks::Get().Reset();
        QVERIFY(App().InitInstance({QStringLiteral("--no-splash")}));
    }
    void cleanup() { App().ExitInstance(); }

    void filterOrderFollowsTheFavouriteType_data() {
        QTest::addColumn<QString>("favourite");
        QTest::addColumn<QStringList>("labels");
        const QStringList sbigFirst{kSbigLabel, kFitsLabel, kAllLabel};
        const QStringList fitsFirst{kFitsLabel, kSbigLabel, kAllLabel};
        QTest::newRow("SBIG") << QStringLiteral("SBIG") << sbigFirst;
        QTest::newRow("sbig") << QStringLiteral("sbig") << sbigFirst;
        QTest::newRow("SbIg") << QStringLiteral("SbIg") << sbigFirst;
        QTest::newRow("FITS") << QStringLiteral("FITS") << fitsFirst;
        QTest::newRow("empty") << QString() << fitsFirst;
        QTest::newRow("other") << QStringLiteral("SBIG3") << fitsFirst;
    }
    void filterOrderFollowsTheFavouriteType() {
        QFETCH(QString, favourite);
        QFETCH(QStringList, labels);
        App().Settings().WriteString("Settings", "Favorite File Type", favourite.toStdString());
        RunOpen();
        QCOMPARE(Dialogs().m_nOpenCalls, 1);
        QCOMPARE(Labels(Dialogs().m_openFilters), labels);
    }

    void missingFavouriteMeansFitsFirst() {
        QSettings(QStringLiteral("Varrowin"), QStringLiteral("Dorvane")).remove("Settings/Favorite File Type");
        RunOpen();
        QCOMPARE(Labels(Dialogs().m_openFilters).value(0), kFitsLabel);
    }

    // The real dialog shows the labels exactly and lists the files each
    // filter's patterns select.
    void dialogLabelsAndPatternsMatch() {
        QTemporaryDir dir;
        for (const char* name : {"M42.FIT", "m42.fits", "m42.Fts", "m42.ST7", "m42.st", "dark.237", "flat.255",
                                 "notes.txt", "noextension"})
            Touch(dir.filePath(QString::fromLatin1(name)));
        QFileDialog dialog(nullptr, QString(), dir.path());
        dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
        QStringList nameFilters;
        for (const CFileFilter& filter : CFileFilters::ForOpen(QStringLiteral("FITS")))
            nameFilters << CQtUserDialogs::NameFilter(filter);
        dialog.setNameFilters(nameFilters);
        dialog.show();
        auto* pTypes = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        QVERIFY(pTypes);
        QCOMPARE(pTypes->count(), 3);
        QCOMPARE(pTypes->itemText(0), kFitsLabel);
        QCOMPARE(pTypes->itemText(1), kSbigLabel);
        QCOMPARE(pTypes->itemText(2), kAllLabel);
        auto* pList = dialog.findChild<QListView*>(QStringLiteral("listView"));
        QVERIFY(pList);
        const auto listed = [&] {
            QStringList names;
            const QModelIndex root = pList->rootIndex();
            for (int row = 0; row < pList->model()->rowCount(root); ++row)
                names << pList->model()->index(row, 0, root).data().toString();
            names.sort();
            return names;
        };
        const QList<QStringList> expected = {
            {"M42.FIT", "m42.Fts", "m42.fits"},
            {"dark.237", "flat.255", "m42.ST7", "m42.st"},
            {"M42.FIT", "dark.237", "flat.255", "m42.Fts", "m42.ST7", "m42.fits", "m42.st", "noextension",
             "notes.txt"},
        };
        for (int i = 0; i < 3; ++i) {
            dialog.selectNameFilter(nameFilters[i]);
            QTRY_COMPARE(listed(), expected[i]);
        }
    }

    // Names typed in quotes all count, also one the selected type does not
    // list.
    void typedNamesAllCount() {
        QTemporaryDir dir;
        for (const char* name : {"a.fit", "b.st7"})
            Touch(dir.filePath(QString::fromLatin1(name)));
        COpenFileDialog dialog(nullptr, dir.path());
        dialog.setNameFilters({CQtUserDialogs::NameFilter(CFileFilters::ForOpen(QStringLiteral("FITS")).first())});
        dialog.show();
        auto* pList = dialog.findChild<QListView*>(QStringLiteral("listView"));
        QTRY_COMPARE(pList->model()->rowCount(pList->rootIndex()), 1);
        dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("\"a.fit\" \"b.st7\""));
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.ChosenFiles(), (QStringList{dir.filePath("a.fit"), dir.filePath("b.st7")}));
    }

    void severalFilesOpenAndEachFailureGetsOneBox() {
        QTemporaryDir dir;
        const QString first = CopySample(dir, "m42-synthetic.fit", "first.fit");
        const QString unknown = dir.filePath("second.jpg");
        Touch(unknown);
        const QString broken = dir.filePath("third.fit");
        Touch(broken);
        const QString last = CopySample(dir, "m42-synthetic.st7", "fourth.st7");
        Dialogs().m_openAnswer = {first, unknown, broken, last};
        RunOpen();
        QCOMPARE(WindowCount(), 2);
        QCOMPARE(App().DocTemplate()->Frames().at(0)->Document()->GetPathName(), first);
        QCOMPARE(App().DocTemplate()->Frames().at(1)->Document()->GetPathName(), last);
        // The unknown extension fails silently in the document; the broken
        // FITS file reports its own fault first.
        QVERIFY(Messages().size() >= 3);
        QCOMPARE(QString::fromStdString(Messages().front()), "Failed to open: " + unknown);
        QCOMPARE(QString::fromStdString(Messages().back()), "Failed to open: " + broken);
        int failures = 0;
        for (const std::string& message : Messages())
            failures += message.rfind("Failed to open: ", 0) == 0 ? 1 : 0;
        QCOMPARE(failures, 2);
        QCOMPARE(App().m_strLastDirectory, QFileInfo(dir.path()).absoluteFilePath());
    }

    // Files dropped on the main window open as the dialog's do, with the
    // same messages; anything else is not taken.
    void droppedFilesOpenLikeChosenOnes() {
        QTemporaryDir dir;
        const QString good = CopySample(dir, "m42-synthetic.fit", "good.fit");
        const QString broken = dir.filePath("broken.fit");
        Touch(broken);
        const QString other = CopySample(dir, "m42-synthetic.st7", "other.st7");
        QMimeData files, text;
        files.setUrls({QUrl::fromLocalFile(good), QUrl::fromLocalFile(broken), QUrl::fromLocalFile(other)});
        text.setText(QStringLiteral("m42"));
        CMainFrame* pFrame = App().m_pMainFrame;
        for (QMimeData* pData : {&text, &files}) {
            QDragEnterEvent enter(QPoint(60, 60), Qt::CopyAction, pData, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(pFrame, &enter);
            QCOMPARE(enter.isAccepted(), pData == &files);
        }
        QDropEvent drop(QPointF(60, 60), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(pFrame, &drop);
        QTRY_COMPARE(WindowCount(), 2);
        QCOMPARE(QString::fromStdString(Messages().back()), "Failed to open: " + broken);
        QCOMPARE(App().m_pMainFrame->ActiveChild()->Document()->GetPathName(), other);
    }

    void openFileComesToTheFrontWithoutAMessage() {
        QTemporaryDir dir;
        const QString first = CopySample(dir, "m42-synthetic.fit", "first.fit");
        const QString second = CopySample(dir, "m42-synthetic.st7", "second.st7");
        Dialogs().m_openAnswer = {first, second};
        RunOpen();
        QCOMPARE(WindowCount(), 2);
        QCOMPARE(App().m_pMainFrame->ActiveChild()->Document()->GetPathName(), second);
        // The same file by another spelling of its path.
        Dialogs().m_openAnswer = {dir.path() + QStringLiteral("/./first.fit")};
        RunOpen();
        QCOMPARE(WindowCount(), 2);
        QCOMPARE(App().m_pMainFrame->ActiveChild()->Document()->GetPathName(), first);
        QVERIFY(Messages().empty());
    }

    // A recent entry that no longer opens leaves the list, with only the
    // document's own message; one that opens comes first again.
    void recentFileEntries() {
        QTemporaryDir dir;
        const QString kept = CopySample(dir, "m42-synthetic.fit", "kept.fit");
        const QString gone = dir.filePath("gone.fit");
        App().RecentFiles()->Add(kept);
        App().RecentFiles()->Add(gone);
        App().OnOpenRecentFile(0);
        QCOMPARE(WindowCount(), 0);
        QCOMPARE(Messages().size(), std::size_t(1));
        QVERIFY(Messages().front().rfind("Failed to open", 0) != 0);
        QVERIFY(!App().RecentFiles()->Files().contains(gone));
        App().OnOpenRecentFile(static_cast<int>(App().RecentFiles()->Files().indexOf(kept)));
        QCOMPARE(WindowCount(), 1);
        QCOMPARE(App().RecentFiles()->Files().value(0), kept);
    }

    void cancelKeepsTheFolderAndTheDialogStartsThere() {
        QTemporaryDir dir;
        App().m_strLastDirectory = dir.path();
        RunOpen();
        QCOMPARE(Dialogs().m_strOpenStartDir, dir.path());
        QCOMPARE(App().m_strLastDirectory, dir.path());
        QCOMPARE(WindowCount(), 0);
    }

    // A folder path of any length is remembered, and a selection may be far
    // longer than 260 characters.
    void longFolderAndLongSelection() {
        QTemporaryDir dir;
        QString folder = dir.path();
        for (int i = 0; i < 4; ++i)
            folder += QStringLiteral("/observing-session-with-a-rather-long-folder-name-%1").arg(i);
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(folder.size() > 200);
        QTemporaryDir copies(folder + QStringLiteral("/XXXXXX"));
        QStringList files;
        for (int i = 0; i < 3; ++i)
            files << CopySample(copies, "m42-synthetic.fit", QStringLiteral("frame-%1.fit").arg(i));
        QVERIFY(files.join(u' ').size() > 260);
        Dialogs().m_openAnswer = files;
        RunOpen();
        QCOMPARE(WindowCount(), 3);
        QCOMPARE(App().m_strLastDirectory, copies.path());
        App().ExitInstance();
        QCOMPARE(QSettings(QStringLiteral("Varrowin"), QStringLiteral("Dorvane")).value("SavedState/LastDirectory").toString(),
                 copies.path());
        QVERIFY(App().InitInstance({QStringLiteral("--no-splash")}));
        RunOpen();
        QCOMPARE(Dialogs().m_strOpenStartDir, copies.path());
    }
};

DORVANE_SHELL_TEST_MAIN(TestOpen)
#include "test_open.moc"
