#include "CQtUserDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include "COpenFileDialog.h"
#include "CWaitCursor.h"

QString CQtUserDialogs::NameFilter(const CFileFilter& filter)
{
    // The dialog takes the patterns from the last parenthesised group and,
    // with the details hidden, shows the text before it: the label itself.
    return filter.m_strLabel + QLatin1String(" (") + filter.m_patterns.join(u' ') + u')';
}

bool CQtUserDialogs::GetOpenFileNames(QWidget* pParent, const QString& startDir,
                                      const QList<CFileFilter>& filters, QStringList& files)
{
    CWaitCursor::Suspend normalCursor;
    COpenFileDialog dialog(pParent, startDir);
    QStringList nameFilters;
    for (const CFileFilter& filter : filters)
        nameFilters << NameFilter(filter);
    dialog.setNameFilters(nameFilters);
    if (!nameFilters.isEmpty())
        dialog.selectNameFilter(nameFilters.first());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    files = dialog.ChosenFiles();
    return !files.isEmpty();
}

bool CQtUserDialogs::GetSaveFileName(QWidget* pParent, const QString& initialPath,
                                     const CFileFilter& filter, QString& path)
{
    CWaitCursor::Suspend normalCursor;
    QFileDialog dialog(pParent, QObject::tr("Save As"));
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(NameFilter(filter));
    dialog.selectFile(initialPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    path = dialog.selectedFiles().first();
    return true;
}

IUserDialogs::SaveAnswer CQtUserDialogs::AskSaveChanges(QWidget* pParent, const QString& title)
{
    CWaitCursor::Suspend normalCursor;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Dorvane"),
                    QStringLiteral("Save changes to %1?").arg(title),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, pParent);
    box.setDefaultButton(QMessageBox::Yes);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return SaveAnswer::Yes;
    case QMessageBox::No:
        return SaveAnswer::No;
    default:
        return SaveAnswer::Cancel;
    }
}
