#pragma once
#include "IUserDialogs.h"

// The standard dialogs, shown with Qt's own file dialog so that the type
// labels read exactly as written while their patterns still match.
class CQtUserDialogs : public IUserDialogs {
public:
    bool GetOpenFileNames(QWidget* pParent, const QString& startDir,
                          const QList<CFileFilter>& filters, QStringList& files) override;
    bool GetSaveFileName(QWidget* pParent, const QString& initialPath, const CFileFilter& filter,
                         QString& path) override;
    SaveAnswer AskSaveChanges(QWidget* pParent, const QString& title) override;

    // The Qt name-filter text of a filter: the label, then the patterns in
    // parentheses, which the dialog uses and hides.
    static QString NameFilter(const CFileFilter& filter);
};
