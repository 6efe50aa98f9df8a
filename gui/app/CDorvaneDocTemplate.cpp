#include "CDorvaneDocTemplate.h"

#include <QFileInfo>
#include <QMdiArea>
#include <memory>

#include "CChildFrame.h"
#include "CDorvaneApp.h"
#include "CImageDocument.h"
#include "CMainFrame.h"
#include "CRecentFileList.h"
#include "view/CDorvaneView.h"

namespace {

// Two names of one file compare equal also through links.
QString Canonical(const QString& path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

}  // namespace

CDorvaneDocTemplate::CDorvaneDocTemplate(CDorvaneApp& app) : m_app(app) {}

QList<CChildFrame*> CDorvaneDocTemplate::Frames() const
{
    QList<CChildFrame*> frames;
    if (!m_app.m_pMainFrame)
        return frames;
    for (QMdiSubWindow* pWindow : m_app.m_pMainFrame->MdiArea()->subWindowList(QMdiArea::CreationOrder))
        if (auto* pFrame = qobject_cast<CChildFrame*>(pWindow); pFrame && !pFrame->IsClosing())
            frames << pFrame;
    return frames;
}

CChildFrame* CDorvaneDocTemplate::FindFrame(const QString& path) const
{
    const QString wanted = Canonical(path);
    for (CChildFrame* pFrame : Frames())
        if (Canonical(pFrame->Document()->GetPathName()) == wanted)
            return pFrame;
    return nullptr;
}

CChildFrame* CDorvaneDocTemplate::FindFrame(const CDorvaneDoc* pDoc) const
{
    for (CChildFrame* pFrame : Frames())
        if (pFrame->Document()->Core() == pDoc)
            return pFrame;
    return nullptr;
}

CImageDocument* CDorvaneDocTemplate::OpenDocumentFile(const QString& path)
{
    CMainFrame* pMainFrame = m_app.m_pMainFrame;
    if (!pMainFrame)
        return nullptr;
    if (CChildFrame* pFrame = FindFrame(path)) {
        if (pFrame->isMinimized())
            pFrame->showNormal();
        pMainFrame->MdiArea()->setActiveSubWindow(pFrame);
        return pFrame->Document();
    }
    auto pDocument = std::make_unique<CImageDocument>(m_app);
    if (!pDocument->OnOpenDocument(path))
        return nullptr;
    auto* pFrame = new CChildFrame(pDocument.release());
    pMainFrame->MdiArea()->addSubWindow(pFrame);
    pFrame->show();
    pMainFrame->MdiArea()->setActiveSubWindow(pFrame);
    pFrame->View()->OnInitialUpdate();
    if (m_app.RecentFiles())
        m_app.RecentFiles()->Add(pFrame->Document()->GetPathName());
    pMainFrame->UpdateCommandStates();
    return pFrame->Document();
}

void CDorvaneDocTemplate::CloseAllDocuments()
{
    for (CChildFrame* pFrame : Frames())
        pFrame->CloseWithoutPrompt();
}

bool CDorvaneDocTemplate::SaveAllModified()
{
    for (CChildFrame* pFrame : Frames())
        if (!pFrame->Document()->SaveModified())
            return false;
    return true;
}

void CDorvaneDocTemplate::UpdateAllViews(const CDorvaneDoc* pDoc)
{
    if (CChildFrame* pFrame = FindFrame(pDoc))
        pFrame->View()->OnUpdate();
}
