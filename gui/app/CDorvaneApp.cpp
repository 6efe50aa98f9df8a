#include "CDorvaneApp.h"

#include <QIcon>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>

#include "CAboutDlg.h"
#include "CCommandLineInfo.h"
#include "CDorvaneDocTemplate.h"
#include "CFileOpenCommand.h"
#include "CHelpWindow.h"
#include "CMainFrame.h"
#include "CMainFrameShown.h"
#include "CMessageBoxSink.h"
#include "CQtSettings.h"
#include "CQtUserDialogs.h"
#include "CRecentFileList.h"
#include "CSplashWnd.h"
#include "Resource.h"
#include "view/CStretchDlg.h"

CDorvaneApp* CDorvaneApp::s_pInstance = nullptr;

// The artwork and help live in a static library; naming the resource here
// links it into every program that uses the application object.
static void InitDorvaneResources()
{
    Q_INIT_RESOURCE(dorvane);
}

namespace {

// Hands every message to whichever sink the application uses at the time,
// so documents can keep one reference for their whole life.
class CForwardingSink : public IMessageSink {
public:
    explicit CForwardingSink(IMessageSink*& pTarget) : m_pTarget(pTarget) {}
    void ShowError(const std::string& text) override { m_pTarget->ShowError(text); }

private:
    IMessageSink*& m_pTarget;
};

bool IsLockKey(const QEvent* pEvent)
{
    if (pEvent->type() != QEvent::KeyPress && pEvent->type() != QEvent::KeyRelease)
        return false;
    const int key = static_cast<const QKeyEvent*>(pEvent)->key();
    return key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock;
}

}  // namespace

CDorvaneApp::CDorvaneApp(int& argc, char** argv)
    : QApplication(argc, argv),
      m_pSettings(std::make_unique<CQtSettings>()),
      m_pDefaultSink(std::make_unique<CMessageBoxSink>()),
      m_pDefaultDialogs(std::make_unique<CQtUserDialogs>())
{
    s_pInstance = this;
    InitDorvaneResources();
    setOrganizationName(QStringLiteral("Varrowin"));
    setApplicationName(QStringLiteral("Dorvane"));
    setApplicationVersion(QStringLiteral("1.8"));
    setDesktopFileName(QStringLiteral("dorvane"));
    setWindowIcon(QIcon(QStringLiteral(DORVANE_ICON_MAIN)));
    m_pSink = m_pDefaultSink.get();
    m_pDialogs = m_pDefaultDialogs.get();
    m_pForwardingSink = std::make_unique<CForwardingSink>(m_pSink);
    // The splash and the lock indicators see every event of the program
    // first.
    installEventFilter(this);
}

CDorvaneApp::~CDorvaneApp()
{
    ExitInstance();
    removeEventFilter(this);
    s_pInstance = nullptr;
}

IMessageSink& CDorvaneApp::Messages()
{
    return *m_pForwardingSink;
}

void CDorvaneApp::SetMessageSink(IMessageSink* pSink)
{
    m_pSink = pSink ? pSink : m_pDefaultSink.get();
}

IUserDialogs& CDorvaneApp::Dialogs()
{
    return *m_pDialogs;
}

void CDorvaneApp::SetUserDialogs(IUserDialogs* pDialogs)
{
    m_pDialogs = pDialogs ? pDialogs : m_pDefaultDialogs.get();
}

ISettings& CDorvaneApp::Settings()
{
    return *m_pSettings;
}

bool CDorvaneApp::InitInstance(const QStringList& arguments)
{
    const CCommandLineInfo commandLine(arguments);
    CSplashWnd::SetSplashEnabled(commandLine.m_bShowSplash);

    m_strLastDirectory =
        QString::fromStdString(Settings().GetString("SavedState", "LastDirectory", ""));
    m_pRecentFiles = std::make_unique<CRecentFileList>(Settings());
    m_pRecentFiles->ReadList();
    m_pDocTemplate = std::make_unique<CDorvaneDocTemplate>(*this);

    m_pMainFrame = new CMainFrame;
    if (!m_pMainFrame->OnCreate()) {
        delete m_pMainFrame;
        m_pMainFrame = nullptr;
        m_pToolBar = nullptr;
        return false;
    }

    // Shared state before any document can exist; every image is sized and
    // converted for the display depth.
    m_bStretchDlgOpen = false;
    m_shared.m_nFullScale = 0;
    m_shared.m_bRegionSet = false;
    QScreen* pScreen = m_pMainFrame->screen() ? m_pMainFrame->screen() : primaryScreen();
    const int nScreenDepth = m_nScreenDepthOverride != 0 ? m_nScreenDepthOverride : pScreen ? pScreen->depth() : 0;
    m_shared.m_nDisplayBpp = DisplayBppForScreenDepth(nScreenDepth);

    // Centred at a generous size for when it is restored (or where no window
    // manager maximises it), then maximised.
    if (pScreen) {
        const QRect area = pScreen->availableGeometry();
        QRect normal(QPoint(0, 0), area.size() * 4 / 5);
        normal.moveCenter(area.center());
        m_pMainFrame->setGeometry(normal);
    }
    m_pMainFrame->showMaximized();
    m_pMainFrame->UpdateCommandStates();

    // A file named on the command line is sized against the main window, so
    // it opens once the window manager has given that window its final size,
    // as File > Open would. If it does not open the program ends after the
    // document's messages.
    if (!commandLine.m_strFileName.isEmpty()) {
        CMainFrameShown::Wait(*m_pMainFrame);
        if (!m_pDocTemplate->OpenDocumentFile(commandLine.m_strFileName)) {
            m_pMainFrame->hide();
            return false;
        }
    }

    if (m_shared.m_nDisplayBpp < 16)
        Messages().ShowError("Display settings must be set to 16-bit or higher to display images properly.");
    return true;
}

int32_t CDorvaneApp::DisplayBppForScreenDepth(int nScreenDepth)
{
    // The screen reports its colour depth; the display mapping makes pixels
    // of 16, 24 or 32 bits. A deep-colour screen (30 bits) takes 32-bit
    // pixels, an 18-bit one 24-bit pixels.
    if (nScreenDepth > 24)
        return 32;
    if (nScreenDepth > 16)
        return 24;
    return nScreenDepth;
}

int CDorvaneApp::Run()
{
    m_bRunning = true;
    const int result = exec();
    m_bRunning = false;
    return result;
}

void CDorvaneApp::OnMainFrameClosed()
{
    if (m_bRunning)
        quit();
}

void CDorvaneApp::DestroyStretchDialog()
{
    if (!m_pStretchDlg)
        return;
    CStretchDlg* pDlg = m_pStretchDlg;
    // Closing stores its position; the dialog clears m_pStretchDlg when it
    // goes.
    pDlg->close();
    delete pDlg;
    m_pStretchDlg = nullptr;
}

int CDorvaneApp::ExitInstance()
{
    if (m_pRecentFiles) {
        Settings().WriteString("SavedState", "LastDirectory", m_strLastDirectory.toStdString());
        m_pRecentFiles->WriteList();
    }
    DestroyStretchDialog();
    m_pHelpWindow.reset();
    if (m_pMainFrame) {
        CMainFrame* pFrame = m_pMainFrame;
        m_pMainFrame = nullptr;
        m_pToolBar = nullptr;
        // The image windows, their views and documents go with the frame.
        delete pFrame;
    }
    if (CSplashWnd* pSplash = CSplashWnd::Instance())
        delete pSplash;
    m_pCurrentDoc = nullptr;
    m_bStretchDlgOpen = false;
    m_pDocTemplate.reset();
    m_pRecentFiles.reset();
    m_pSettings->Sync();
    return 0;
}

void CDorvaneApp::WinHelp(uint32_t data, uint32_t command)
{
    ShowHelp(command == DorvaneIds::HELP_CONTEXT ? data : 0);
}

void CDorvaneApp::ShowHelp(uint32_t contextId)
{
    if (!m_pHelpWindow)
        m_pHelpWindow = std::make_unique<CHelpWindow>();
    m_pHelpWindow->ShowContext(contextId);
}

void CDorvaneApp::OnAppAbout()
{
    CAboutDlg dialog(m_pMainFrame);
    dialog.exec();
}

void CDorvaneApp::OnFileOpen()
{
    if (m_pDocTemplate)
        CFileOpenCommand::Run(*this);
}

void CDorvaneApp::OnCloseAll()
{
    // As on exit: each modified image is asked about first, and Cancel (or
    // a save that fails) keeps every window open.
    if (m_pDocTemplate && m_pDocTemplate->SaveAllModified())
        m_pDocTemplate->CloseAllDocuments();
    if (m_pMainFrame)
        m_pMainFrame->UpdateCommandStates();
}

void CDorvaneApp::OnOpenRecentFile(int index)
{
    if (!m_pRecentFiles || !m_pDocTemplate || index < 0 || index >= m_pRecentFiles->Files().size())
        return;
    const QString path = m_pRecentFiles->Files().at(index);
    if (!m_pDocTemplate->OpenDocumentFile(path))
        m_pRecentFiles->Remove(m_pRecentFiles->Files().indexOf(path));
}

bool CDorvaneApp::eventFilter(QObject* watched, QEvent* event)
{
    if (CSplashWnd::HandleSplashInput(watched, event))
        return true;
    if (IsLockKey(event) || event->type() == QEvent::ApplicationActivate) {
        // The window system updates the lock state after the key event.
        QTimer::singleShot(50, this, [this] {
            if (m_pMainFrame)
                m_pMainFrame->UpdateLockIndicators();
        });
    }
    return QApplication::eventFilter(watched, event);
}
