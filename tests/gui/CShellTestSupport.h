#pragma once
// Shared by the desktop shell tests: the application object with settings in
// a private folder, failures recorded instead of shown, and the file dialogs
// and save question answered by the test.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <string>
#include <vector>

#include "app/CDorvaneApp.h"
#include "app/IUserDialogs.h"
#include "support/CCollectingMessageSink.h"

// Answers every dialog from what the test put in, and records what was asked.
class CScriptedDialogs : public IUserDialogs {
public:
    bool GetOpenFileNames(QWidget*, const QString& startDir, const QList<CFileFilter>& filters,
                          QStringList& files) override {
        ++m_nOpenCalls;
        m_strOpenStartDir = startDir;
        m_openFilters = filters;
        if (m_openAnswer.isEmpty())
            return false;
        files = m_openAnswer;
        return true;
    }
    bool GetSaveFileName(QWidget*, const QString& initialPath, const CFileFilter& filter,
                         QString& path) override {
        ++m_nSaveCalls;
        m_strSaveInitial = initialPath;
        m_saveFilter = filter;
        if (m_strSaveAnswer.isEmpty())
            return false;
        path = m_strSaveAnswer;
        return true;
    }
    SaveAnswer AskSaveChanges(QWidget*, const QString& title) override {
        m_askedTitles << title;
        return m_saveChangesAnswer;
    }

    // Answers.
    QStringList m_openAnswer;  // empty: Cancel
    QString m_strSaveAnswer;   // empty: Cancel
    SaveAnswer m_saveChangesAnswer = SaveAnswer::No;
    // What was asked.
    int m_nOpenCalls = 0;
    QString m_strOpenStartDir;
    QList<CFileFilter> m_openFilters;
    int m_nSaveCalls = 0;
    QString m_strSaveInitial;
    CFileFilter m_saveFilter;
    QStringList m_askedTitles;
};

// The recording sink and scripted dialogs of the running test program.
struct CShellTestHooks {
    CCollectingMessageSink m_messages;
    CScriptedDialogs m_dialogs;

    static CShellTestHooks& Get() {
        static CShellTestHooks hooks;
        return hooks;
    }
    void Reset() {
        m_messages.Clear();
        m_dialogs = CScriptedDialogs();
    }
};

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

inline QByteArray FileStart(const QString& path, int n) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(n);
}

// Runs a QtTest object inside the one application object, offscreen, with
// settings in a private folder and every message box and dialog scripted.
template <typename Test>
int RunShellTest(int argc, char** argv) {
    QTemporaryDir configDir;
    qputenv("XDG_CONFIG_HOME", configDir.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    CDorvaneApp app(argc, argv);
    app.SetMessageSink(&CShellTestHooks::Get().m_messages);
    app.SetUserDialogs(&CShellTestHooks::Get().m_dialogs);
    Test test;
    return QTest::qExec(&test, argc, argv);
}

#define DORVANE_SHELL_TEST_MAIN(TestClass) \
    int main(int argc, char** argv) { return RunShellTest<TestClass>(argc, argv); }
