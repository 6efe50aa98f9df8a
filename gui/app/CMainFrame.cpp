#include "CMainFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QIcon>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>

#include "CChildFrame.h"
#include "CCommandTable.h"
#include "CDorvaneApp.h"
#include "CDorvaneDocTemplate.h"
#include "CDorvaneToolBar.h"
#include "CFileOpenCommand.h"
#include "CFrameMenus.h"
#include "CHeaderWnd.h"
#include "CImageDocument.h"
#include "CMdiArrange.h"
#include "CSplashWnd.h"
#include "CStatusIndicators.h"
#include "Resource.h"
#include "filter/CRemoveBloomingAction.h"
#include "filter/CReplacedPixelsAction.h"
#include "view/CDorvaneView.h"

using namespace DorvaneIds;

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainFrame"));
    setWindowIcon(QIcon(QStringLiteral(DORVANE_ICON_MAIN)));
    m_pMdiArea = new QMdiArea(this);
    m_pMdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_pMdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_pMdiArea);
    setAcceptDrops(true);
    connect(m_pMdiArea, &QMdiArea::subWindowActivated, this, &CMainFrame::OnSubWindowActivated);
    UpdateFrameTitle();
}

CMainFrame::~CMainFrame()
{
    // The image windows go while this frame is still whole: their closing
    // would otherwise report activations to a half-destroyed frame.
    disconnect(m_pMdiArea, nullptr, this, nullptr);
    m_pLastActive = nullptr;
    qDeleteAll(m_pMdiArea->subWindowList());
}

bool CMainFrame::OnCreate()
{
    CreateActions();
    CreateToolBar();
    CreateStatusBar();
    if (!m_pToolBar || !m_pIndicators)
        return false;
    m_pMenus = new CFrameMenus(*this, m_actions);
    connect(m_pMenus, &CFrameMenus::aboutToShowMenu, this, &CMainFrame::UpdateCommandStates);
    connect(m_pMenus, &CFrameMenus::windowChosen, this,
            [this](QMdiSubWindow* pWindow) { m_pMdiArea->setActiveSubWindow(pWindow); });
    if (CDorvaneApp* pApp = CDorvaneApp::Instance())
        pApp->m_pToolBar = m_pToolBar;
    UpdatePixelIndicator();
    UpdateCommandStates();
    CSplashWnd::ShowSplash(this);
    return true;
}

void CMainFrame::CreateActions()
{
    for (const CCommandInfo& info : CCommandTable::Commands()) {
        QAction* pAction = CCommandTable::CreateAction(info, this);
        // Added to the frame itself so that the keys work whichever menus
        // are showing.
        addAction(pAction);
        m_actions.insert(info.m_nId, pAction);
        // Remove Blooming and the replaced-pixel commands are answered by
        // the filter side, which connects to these actions itself.
        if (info.m_nId != ID_REMOVE_BLOOMING && info.m_nId != ID_FILE_SAVE_MASK &&
            info.m_nId != ID_VIEW_REPLACED_PIXELS)
            connect(pAction, &QAction::triggered, this, [this, id = info.m_nId] { OnCommand(id); });
    }
    CRemoveBloomingAction::Connect(*this);
    CReplacedPixelsAction::Connect(*this);
}

void CMainFrame::CreateToolBar()
{
    m_pToolBar = new CDorvaneToolBar(this);
    const int order[] = {ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_CLOSE, 0, ID_EDIT_UNDO, ID_EDIT_REDO, 0,
                         ID_VIEW_STRETCH, 0, ID_REMOVE_BLOOMING};
    for (int id : order) {
        if (id == 0)
            m_pToolBar->addSeparator();
        else
            m_pToolBar->AddButton(id, m_actions.value(id));
    }
    addToolBar(Qt::TopToolBarArea, m_pToolBar);
    connect(m_pToolBar, &QToolBar::visibilityChanged, this, &CMainFrame::UpdateCommandStates);
}

void CMainFrame::CreateStatusBar()
{
    m_pIndicators = new CStatusIndicators(statusBar());
}

CChildFrame* CMainFrame::ActiveChild() const
{
    auto* pFrame = qobject_cast<CChildFrame*>(m_pMdiArea->currentSubWindow());
    return pFrame && !pFrame->IsClosing() ? pFrame : nullptr;
}

CDorvaneView* CMainFrame::ActiveView() const
{
    CChildFrame* pFrame = ActiveChild();
    return pFrame ? pFrame->View() : nullptr;
}

QString CMainFrame::PixelIndicatorText() const
{
    return m_pIndicators ? m_pIndicators->PixelText() : QString();
}

void CMainFrame::UpdatePixelIndicator()
{
    if (m_pIndicators)
        m_pIndicators->SetPixelText(QStringLiteral("i : %1").arg(m_nPixelValue));
}

void CMainFrame::SetPixelValue(int32_t nValue)
{
    m_nPixelValue = nValue;
    UpdatePixelIndicator();
}

void CMainFrame::ClearPixelIndicator()
{
    if (m_pIndicators) {
        m_pIndicators->SetPixelText(QStringLiteral("i : "));
        m_pIndicators->SetPositionText(QString());
    }
}

void CMainFrame::UpdateLockIndicators()
{
    if (m_pIndicators)
        m_pIndicators->UpdateLockIndicators();
}

void CMainFrame::UpdateFrameTitle()
{
    CChildFrame* pFrame = ActiveChild();
    const CImageDocument* pDocument = pFrame ? pFrame->Document() : nullptr;
    setWindowTitle(pDocument ? QStringLiteral("Dorvane - ") + pFrame->MarkedTitle() : QStringLiteral("Dorvane"));
    setWindowModified(pDocument && pDocument->IsModified());
}

void CMainFrame::UpdateCommandStates()
{
    if (!m_pMenus)
        return;
    CDorvaneApp* pApp = CDorvaneApp::Instance();
    CDorvaneView* pView = ActiveView();
    const bool bView = pView != nullptr;
    const bool bAnyWindow = pApp && pApp->DocTemplate() && !pApp->DocTemplate()->Frames().isEmpty();
    m_pMenus->ShowMenuSet(bAnyWindow || bView);

    for (int id : {ID_FILE_CLOSE, ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_ZOOM_25, ID_ZOOM_50, ID_ZOOM_100,
                   ID_ZOOM_200, ID_ZOOM_400, ID_ZOOM_800, ID_ZOOM_1600, ID_VIEW_STRETCH, ID_REMOVE_BLOOMING,
                   ID_WINDOW_CASCADE, ID_WINDOW_TILE_HORZ, ID_WINDOW_TILE_VERT, ID_WINDOW_ARRANGE})
        m_actions.value(id)->setEnabled(bView);
    m_actions.value(ID_EDIT_UNDO)->setEnabled(bView && pView->OnUpdateEditUndo());
    m_actions.value(ID_EDIT_REDO)->setEnabled(bView && pView->OnUpdateEditRedo());
    m_actions.value(ID_VIEW_STRETCH)->setChecked(pApp && pApp->m_bStretchDlgOpen);
    m_actions.value(ID_VIEW_TOOLBAR)->setChecked(!m_pToolBar->isHidden());
    m_actions.value(ID_VIEW_STATUS_BAR)->setChecked(!statusBar()->isHidden());
    UpdateViewerCommandStates(pView);
    CReplacedPixelsAction::UpdateStates(*this);
    UpdateFrameTitle();
}

void CMainFrame::UpdateViewerCommandStates(CDorvaneView* pView)
{
    for (int id : {ID_ZOOM_25, ID_ZOOM_50, ID_ZOOM_100, ID_ZOOM_200, ID_ZOOM_400, ID_ZOOM_800, ID_ZOOM_1600})
        m_actions.value(id)->setChecked(pView && pView->m_nZoom == ZoomPercent(id));
    for (int id : {ID_ZOOM_FIT, ID_ZOOM_IN, ID_ZOOM_OUT, ID_VIEW_HEADER})
        m_actions.value(id)->setEnabled(pView != nullptr);
    m_actions.value(ID_VIEW_SHOW_ORIGINAL)->setEnabled(pView && pView->m_bCanUndo);
    m_actions.value(ID_VIEW_SHOW_ORIGINAL)->setChecked(pView && pView->IsShowingOriginal());
    if (m_pHeaderWnd)
        m_pHeaderWnd->Follow(ActiveChild());
}

void CMainFrame::OnSubWindowActivated(QMdiSubWindow* pWindow)
{
    // A null window only means the frame itself lost the focus; the image
    // window that was active stays current.
    auto* pFrame = qobject_cast<CChildFrame*>(pWindow);
    if (pFrame && pFrame != m_pLastActive) {
        if (m_pLastActive && m_pLastActive->View() && !m_pLastActive->IsClosing())
            m_pLastActive->View()->OnActivateView(false);
        m_pLastActive = pFrame;
        if (pFrame->View())
            pFrame->View()->OnActivateView(true);
    }
    UpdateCommandStates();
}

void CMainFrame::OnCommand(int commandId)
{
    CDorvaneApp* pApp = CDorvaneApp::Instance();
    CChildFrame* pFrame = ActiveChild();
    CDorvaneView* pView = pFrame ? pFrame->View() : nullptr;
    switch (commandId) {
    case ID_FILE_OPEN:
        pApp->OnFileOpen();
        break;
    case ID_FILE_CLOSE:
        if (pFrame)
            pFrame->close();
        break;
    case ID_FILE_SAVE:
    case ID_FILE_SAVE_AS:
        if (pFrame) {
            CImageDocument* pDocument = pFrame->Document();
            if (commandId == ID_FILE_SAVE)
                pDocument->DoFileSave();
            else
                pDocument->DoFileSaveAs();
            pFrame->UpdateTitle();
        }
        break;
    case ID_APP_EXIT:
        close();
        break;
    case ID_EDIT_UNDO:
        if (pView && pView->m_bCanUndo)
            pView->OnEditUndo();
        break;
    case ID_EDIT_REDO:
        if (pView && pView->m_bCanRedo)
            pView->OnEditRedo();
        break;
    case ID_ZOOM_25:
    case ID_ZOOM_50:
    case ID_ZOOM_100:
    case ID_ZOOM_200:
    case ID_ZOOM_400:
    case ID_ZOOM_800:
    case ID_ZOOM_1600:
        if (pView)
            pView->SetZoom(ZoomPercent(commandId));
        break;
    case ID_VIEW_STRETCH:
        if (pView)
            pView->OnStretch();
        break;
    case ID_ZOOM_FIT:
        if (pView)
            pView->OnZoomFit();
        break;
    case ID_ZOOM_IN:
    case ID_ZOOM_OUT:
        if (pView)
            pView->ZoomStep(commandId == ID_ZOOM_IN ? 1 : -1);
        break;
    case ID_VIEW_HEADER:
        ShowHeaderWindow();
        break;
    case ID_VIEW_SHOW_ORIGINAL:
        if (pView)
            pView->SetShowOriginal(!pView->IsShowingOriginal());
        break;
    case ID_VIEW_TOOLBAR:
        m_pToolBar->setVisible(m_pToolBar->isHidden());
        break;
    case ID_VIEW_STATUS_BAR:
        statusBar()->setVisible(statusBar()->isHidden());
        break;
    case ID_WINDOW_CASCADE:
        m_pMdiArea->cascadeSubWindows();
        break;
    case ID_WINDOW_TILE_HORZ:
        CMdiArrange::TileHorizontal(m_pMdiArea);
        break;
    case ID_WINDOW_TILE_VERT:
        CMdiArrange::TileVertical(m_pMdiArea);
        break;
    case ID_WINDOW_ARRANGE:
        CMdiArrange::ArrangeIcons(m_pMdiArea);
        break;
    case ID_WINDOW_CLOSE_ALL:
        pApp->OnCloseAll();
        break;
    case ID_HELP_FINDER:
    case ID_HELP:
        pApp->WinHelp(0, HELP_FINDER);
        break;
    case ID_APP_ABOUT:
        pApp->OnAppAbout();
        break;
    default:
        break;
    }
    UpdateCommandStates();
}

int CMainFrame::ZoomPercent(int commandId)
{
    switch (commandId) {
    case ID_ZOOM_25:
        return 25;
    case ID_ZOOM_50:
        return 50;
    case ID_ZOOM_200:
        return 200;
    case ID_ZOOM_400:
        return 400;
    case ID_ZOOM_800:
        return 800;
    case ID_ZOOM_1600:
        return 1600;
    default:
        return 100;
    }
}

CHeaderWnd* CMainFrame::HeaderWindow() const
{
    return m_pHeaderWnd;
}

void CMainFrame::ShowHeaderWindow()
{
    if (!m_pHeaderWnd)
        m_pHeaderWnd = new CHeaderWnd(this);
    m_pHeaderWnd->Follow(ActiveChild());
    m_pHeaderWnd->show();
    m_pHeaderWnd->raise();
    m_pHeaderWnd->activateWindow();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            event->acceptProposedAction();
            return;
        }
    }
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    QStringList files;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            files << url.toLocalFile();
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    // Opened once the drop is over: the source is not kept waiting while a
    // message box asks for attention.
    QTimer::singleShot(0, this, [this, files] {
        if (CDorvaneApp* pApp = CDorvaneApp::Instance())
            CFileOpenCommand::OpenFiles(*pApp, files);
        UpdateCommandStates();
    });
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    CDorvaneApp* pApp = CDorvaneApp::Instance();
    if (pApp && pApp->DocTemplate()) {
        if (!pApp->DocTemplate()->SaveAllModified()) {
            event->ignore();
            return;
        }
        pApp->DocTemplate()->CloseAllDocuments();
    }
    event->accept();
    // Closing the main window ends the program, even while the stretch
    // dialog or the help window is still showing.
    if (pApp)
        pApp->OnMainFrameClosed();
}
