#include "CFileOpenCommand.h"

#include <QDir>
#include <QFileInfo>

#include "CDorvaneApp.h"
#include "CDorvaneDocTemplate.h"
#include "CFileFilters.h"
#include "CMainFrame.h"
#include "IUserDialogs.h"
#include "support/IMessageSink.h"
#include "support/ISettings.h"

void CFileOpenCommand::Run(CDorvaneApp& app)
{
    const QString favorite =
        QString::fromStdString(app.Settings().GetString("Settings", "Favorite File Type", "FITS"));
    // A folder that no longer exists leaves the dialog where it would start
    // anyway.
    const QString startDir = !app.m_strLastDirectory.isEmpty() && QDir(app.m_strLastDirectory).exists()
                                 ? app.m_strLastDirectory
                                 : QDir::currentPath();
    QStringList files;
    if (!app.Dialogs().GetOpenFileNames(app.m_pMainFrame, startDir,
                                        CFileFilters::ForOpen(favorite), files))
        return;
    // The folder is kept whatever the length of its path.
    app.m_strLastDirectory = QFileInfo(files.first()).absolutePath();
    OpenFiles(app, files);
}

void CFileOpenCommand::OpenFiles(CDorvaneApp& app, const QStringList& files)
{
    for (const QString& file : files) {
        const QString path = QFileInfo(file).absoluteFilePath();
        if (!app.DocTemplate()->OpenDocumentFile(path))
            app.Messages().ShowError("Failed to open: " + QDir::toNativeSeparators(path).toStdString());
    }
}
