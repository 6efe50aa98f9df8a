#include "COpenFileDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>

namespace {

// The names typed as "a.fit" "b.st7", as paths in folder (Qt's own form:
// every other piece between quotes is a name); empty when the text holds no
// quoted names.
QStringList QuotedNames(const QString& text, const QString& folder)
{
    QStringList names;
    const QStringList pieces = text.split(u'"');
    const QDir dir(folder);
    for (qsizetype i = 1; i < pieces.size(); i += 2)
        if (!pieces.at(i).isEmpty())
            names << QDir::cleanPath(dir.absoluteFilePath(pieces.at(i)));
    return names;
}

}  // namespace

COpenFileDialog::COpenFileDialog(QWidget* pParent, const QString& startDir)
    : QFileDialog(pParent, QString(), startDir)
{
    setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    setFileMode(QFileDialog::ExistingFiles);
    setAcceptMode(QFileDialog::AcceptOpen);
}

void COpenFileDialog::accept()
{
    const auto* pEdit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    const QStringList typed = pEdit ? QuotedNames(pEdit->text(), directory().absolutePath()) : QStringList();
    for (const QString& path : typed) {
        if (!QFileInfo(path).isFile()) {
            // As Qt answers a single name that is not there.
            QMessageBox::warning(this, windowTitle(),
                                 tr("%1\nFile not found.\nPlease verify the correct file name was given.")
                                     .arg(QFileInfo(path).fileName()));
            return;
        }
    }
    QFileDialog::accept();
    if (result() != QDialog::Accepted)
        return;
    m_chosen = typed.isEmpty() ? selectedFiles() : typed;
}
