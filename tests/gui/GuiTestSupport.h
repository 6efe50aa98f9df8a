#pragma once
// Shared by the desktop program's tests: the one application object with
// settings in a private folder, failures recorded and every dialog answered
// by the test; in-memory images; samples; mouse events sent to a widget.
#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "app/CDorvaneApp.h"
#include "app/IUserDialogs.h"
#include "image/CAstroImage.h"
#include "image/CDorvaneDoc.h"
#include "support/CCollectingMessageSink.h"
#include "support/CMemorySettings.h"

// Answers every dialog from what the test put in, and records what was asked.
struct CScriptedDialogs : IUserDialogs {
    bool GetOpenFileNames(QWidget*, const QString&, const QList<CFileFilter>& filters,
                          QStringList& files) override {
        m_openFilters = filters;
        files = m_openAnswer;
        return !m_openAnswer.isEmpty();
    }
    bool GetSaveFileName(QWidget*, const QString& initialPath, const CFileFilter&, QString& path) override {
        ++m_nSaveCalls;
        m_strSaveInitial = initialPath;
        path = m_strSaveAnswer;
        return !m_strSaveAnswer.isEmpty();
    }
    SaveAnswer AskSaveChanges(QWidget*, const QString& title) override {
        m_askedTitles << title;
        return m_saveChangesAnswer;
    }

    QStringList m_openAnswer;  // empty: Cancel
    QString m_strSaveAnswer;   // empty: Cancel
    SaveAnswer m_saveChangesAnswer = SaveAnswer::No;
    QString m_strSaveInitial;
    QList<CFileFilter> m_openFilters;
    int m_nSaveCalls = 0;
    QStringList m_askedTitles;
};

// The test program's recording sink and scripted dialogs.
inline CCollectingMessageSink g_messages;
inline CScriptedDialogs g_dialogs;

inline QString SamplePath(const char* name) {
    return QStringLiteral(DORVANE_SAMPLES_DIR "/") + QString::fromLatin1(name);
}

// Copies a bundled sample into dir under newName, so that tests may change it.
inline QString CopySample(const QTemporaryDir& dir, const char* sample, const QString& newName) {
    const QString target = dir.filePath(newName);
    QFile::remove(target);
    QFile::copy(SamplePath(sample), target);
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    return target;
}

inline QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class CTestImage : public CAstroImage {
public:
    using CAstroImage::CAstroImage;
    bool Open(const std::string&) override { return false; }
    int Save(const std::string&) override { return 0; }
};

// A document with a monochrome w x h image whose raw value at index i is
// value(i), stretched low..high and mapped at the application's depth.
inline std::unique_ptr<CDorvaneDoc> MakeTestDoc(int w, int h, uint32_t nMaxValue, int32_t nLow, int32_t nHigh,
                                                const std::function<uint32_t(int)>& value) {
    static CCollectingMessageSink sink;
    static CMemorySettings settings;
    CDorvaneApp& app = *CDorvaneApp::Instance();
    auto pDoc = std::make_unique<CDorvaneDoc>(app.m_shared, sink, settings);
    auto* pImage = new CTestImage(app.m_shared, sink);
    pImage->m_width = w;
    pImage->m_height = h;
    pImage->m_maxValue = nMaxValue;
    pImage->m_bitsPerPixel = nMaxValue > 255 ? 16 : 8;
    pImage->m_red.resize(static_cast<std::size_t>(w) * h);
    for (int i = 0; i < w * h; ++i)
        pImage->m_red[static_cast<std::size_t>(i)] = value(i);
    pImage->m_stretchLow = nLow;
    pImage->m_stretchHigh = nHigh;
    pImage->UpdateDisplay();
    pDoc->m_pImage = pImage;
    pDoc->m_isFits = 1;
    app.m_shared.m_nFullScale = nMaxValue;
    return pDoc;
}

inline void SendMouse(QWidget* pWidget, QEvent::Type type, QPoint pos, Qt::MouseButton button,
                      Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(pos), pWidget->mapToGlobal(QPointF(pos)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(pWidget, &event);
}

inline void Drag(QWidget* pWidget, QPoint from, QPoint to) {
    SendMouse(pWidget, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    SendMouse(pWidget, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    SendMouse(pWidget, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

// Runs a QtTest object inside the one application object, with settings in
// a private folder and every message and dialog scripted.
template <typename Test>
int RunGuiTest(int argc, char** argv) {
    QTemporaryDir configDir;
    qputenv("XDG_CONFIG_HOME", configDir.path().toLocal8Bit());
    CDorvaneApp app(argc, argv);
    app.SetMessageSink(&g_messages);
    app.SetUserDialogs(&g_dialogs);
    Test test;
    return QTest::qExec(&test, argc, argv);
}

#define DORVANE_GUI_TEST_MAIN(TestClass) \
    int main(int argc, char** argv) { return RunGuiTest<TestClass>(argc, argv); }

// Answers the next modal dialog once it shows.
template <typename Dialog>
void WhenDialogShows(std::function<void(Dialog&)> act) {
    QTimer::singleShot(0, [act] {
        auto* pDialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        QVERIFY(pDialog);
        act(*pDialog);
    });
}
