#pragma once
#include <QString>
#include <QStringList>
#include <QList>

class QWidget;

// One entry of a file dialog's type list: the label the user reads and the
// patterns that select the files.
struct CFileFilter {
    QString m_strLabel;
    QStringList m_patterns;
};

// The questions the program asks the user through standard dialogs. The
// desktop program uses Qt's dialogs; tests answer them without showing
// anything.
class IUserDialogs {
public:
    enum class SaveAnswer { Yes, No, Cancel };

    virtual ~IUserDialogs() = default;
    // Lets the user pick one or more existing files, starting in startDir
    // with the first filter selected. False when cancelled.
    virtual bool GetOpenFileNames(QWidget* pParent, const QString& startDir,
                                  const QList<CFileFilter>& filters, QStringList& files) = 0;
    // Asks for a path to save to. False when cancelled.
    virtual bool GetSaveFileName(QWidget* pParent, const QString& initialPath,
                                 const CFileFilter& filter, QString& path) = 0;
    // "Save changes to <title>?" with Yes, No and Cancel.
    virtual SaveAnswer AskSaveChanges(QWidget* pParent, const QString& title) = 0;
};
