#include "CImageDocument.h"

#include <QFileInfo>
#include <QSet>

#include "CDorvaneApp.h"
#include "CFileFilters.h"
#include "CMainFrame.h"
#include "CRecentFileList.h"
#include "CWaitCursor.h"
#include "IUserDialogs.h"
#include "image/CDorvaneDoc.h"

namespace {

// Every live desktop document, so that code holding only the core document
// (the view, the filter command) can reach the window-side state.
QSet<CImageDocument*>& LiveDocuments()
{
    static QSet<CImageDocument*> documents;
    return documents;
}

}  // namespace

CImageDocument::CImageDocument(CDorvaneApp& app)
    : m_app(app), m_pDoc(std::make_unique<CDorvaneDoc>(app.m_shared, app.Messages(), app.Settings()))
{
    LiveDocuments().insert(this);
}

CImageDocument::~CImageDocument()
{
    LiveDocuments().remove(this);
}

CImageDocument* CImageDocument::FromCore(const CDorvaneDoc* pDoc)
{
    for (CImageDocument* pDocument : LiveDocuments())
        if (pDocument->Core() == pDoc)
            return pDocument;
    return nullptr;
}

void CImageDocument::SetPathName(const QString& path)
{
    const QFileInfo info(path);
    m_strPathName = info.absoluteFilePath();
    m_strTitle = info.fileName();
}

bool CImageDocument::OnOpenDocument(const QString& path)
{
    CWaitCursor busy;
    if (!m_pDoc->OnOpenDocument(QFileInfo(path).absoluteFilePath().toStdString()))
        return false;
    SetPathName(path);
    m_bModified = false;
    return true;
}

bool CImageDocument::DoSave(const QString& path)
{
    {
        CWaitCursor busy;
        if (!m_pDoc->OnSaveDocument(QFileInfo(path).absoluteFilePath().toStdString()))
            return false;
    }
    SetPathName(path);
    m_bModified = false;
    if (m_app.RecentFiles())
        m_app.RecentFiles()->Add(m_strPathName);
    return true;
}

bool CImageDocument::DoFileSave()
{
    const QFileInfo info(m_strPathName);
    if (m_strPathName.isEmpty() || (info.exists() && !info.isWritable()))
        return DoFileSaveAs();
    return DoSave(m_strPathName);
}

bool CImageDocument::DoFileSaveAs()
{
    const bool bFits = m_pDoc->m_isFits != 0;
    QString path;
    if (!m_app.Dialogs().GetSaveFileName(m_app.m_pMainFrame, m_strPathName, CFileFilters::ForSave(bFits), path))
        return false;
    return DoSave(CFileFilters::WithOwnExtension(path, bFits));
}

bool CImageDocument::SaveModified()
{
    if (!m_bModified)
        return true;
    switch (m_app.Dialogs().AskSaveChanges(m_app.m_pMainFrame, m_strTitle)) {
    case IUserDialogs::SaveAnswer::Yes:
        return DoFileSave();
    case IUserDialogs::SaveAnswer::No:
        return true;
    case IUserDialogs::SaveAnswer::Cancel:
        break;
    }
    return false;
}
