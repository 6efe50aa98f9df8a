#include "CChildFrame.h"

#include <QCloseEvent>
#include <QIcon>

#include "CDorvaneApp.h"
#include "CDorvaneDocTemplate.h"
#include "CImageDocument.h"
#include "CMainFrame.h"
#include "Resource.h"
#include "view/CDorvaneView.h"

CChildFrame::CChildFrame(CImageDocument* pDocument, QWidget* parent)
    : QMdiSubWindow(parent), m_pDocument(pDocument)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(QStringLiteral(DORVANE_ICON_IMAGE)));
    // The view is this window's client; it reaches the image through the
    // core document.
    m_pView = new CDorvaneView(pDocument->Core(), this);
    setWidget(m_pView);
    connect(m_pView, &CDorvaneView::showOriginalChanged, this, &CChildFrame::UpdateTitle);
    UpdateTitle();
}

CChildFrame::~CChildFrame()
{
    CDorvaneApp* pApp = CDorvaneApp::Instance();
    // The stretch dialog works on the current document; it must never see
    // one that is gone.
    if (pApp && pApp->m_pCurrentDoc == m_pDocument->Core())
        pApp->m_pCurrentDoc = nullptr;
    // The view goes before the document it shows.
    delete m_pView;
    m_pView = nullptr;
    delete m_pDocument;
}

void CChildFrame::CloseWithoutPrompt()
{
    m_bSkipPrompt = true;
    close();
}

void CChildFrame::UpdateTitle()
{
    setWindowTitle(MarkedTitle());
    setWindowModified(m_pDocument->IsModified());
}

QString CChildFrame::MarkedTitle() const
{
    const bool bOriginal = m_pView && m_pView->IsShowingOriginal();
    return WithModifiedMark(m_pDocument->GetTitle()) + (bOriginal ? QStringLiteral(" (original)") : QString());
}

QString CChildFrame::WithModifiedMark(QString title)
{
    // Qt shows "[*]" as "*" while the window is modified and drops it
    // otherwise; a "[*]" in the name itself is written twice to stay as it is.
    return title.replace(QLatin1String("[*]"), QLatin1String("[*][*]")) + QLatin1String("[*]");
}

void CChildFrame::closeEvent(QCloseEvent* event)
{
    if (!m_bSkipPrompt && !m_pDocument->SaveModified()) {
        event->ignore();
        return;
    }
    m_bClosing = true;
    QMdiSubWindow::closeEvent(event);
    if (CDorvaneApp* pApp = CDorvaneApp::Instance(); pApp && pApp->m_pMainFrame) {
        // With the last image gone the readout has no pixel to show.
        if (pApp->DocTemplate() && pApp->DocTemplate()->Frames().isEmpty())
            pApp->m_pMainFrame->ClearPixelIndicator();
        pApp->m_pMainFrame->UpdateCommandStates();
    }
}
