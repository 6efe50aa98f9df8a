#pragma once
#include <QApplication>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

#include "support/CRegion.h"
#include "support/CSharedState.h"

class CDorvaneDoc;
class CDorvaneDocTemplate;
class CDorvaneToolBar;
class CHelpWindow;
class CMainFrame;
class CQtSettings;
class CRecentFileList;
class CStretchDlg;
class IMessageSink;
class ISettings;
class IUserDialogs;

// The one application object: start-up and exit, the shared state that the
// view, the image readers and the filter use, and the application-level
// commands (About, Open, Close All, help).
class CDorvaneApp : public QApplication {
    Q_OBJECT

public:
    CDorvaneApp(int& argc, char** argv);
    ~CDorvaneApp() override;

    // The one application object, or null before it exists.
    static CDorvaneApp* Instance() { return s_pInstance; }

    // Start-up with the program's arguments (without the program name).
    // False ends the program: the main frame could not be built, or a file
    // named on the command line did not open.
    bool InitInstance(const QStringList& arguments);
    // Saves the last folder and closes what start-up opened. Safe to call
    // after a failed start-up; after it InitInstance may run again.
    int ExitInstance();
    // Runs the event loop until the main window closes.
    int Run();
    // The main window has closed: the event loop ends.
    void OnMainFrameClosed();

    // The depth the display pixels are made for, from the depth the screen
    // reports: 16, 24 or 32 for screens of 16 bits or more.
    static int32_t DisplayBppForScreenDepth(int nScreenDepth);
    // Taken instead of the screen's depth at start-up when not 0 (the
    // offscreen platform always reports 32).
    int m_nScreenDepthOverride = 0;

    // Help: HELP_CONTEXT with a context id opens that section of the help
    // window; HELP_FINDER or HELP_CONTENTS opens its contents.
    void WinHelp(uint32_t data, uint32_t command);
    void ShowHelp(uint32_t contextId);

    // Where failures are shown (the "Error" box unless replaced) and where the
    // file dialogs and the save question come from. Tests replace both so
    // that nothing blocks. The app does not own what is passed in; null puts
    // the standard one back. Messages() stays the same object for the whole
    // run, so documents may keep it.
    IMessageSink& Messages();
    void SetMessageSink(IMessageSink* pSink);
    IUserDialogs& Dialogs();
    void SetUserDialogs(IUserDialogs* pDialogs);
    ISettings& Settings();

    CDorvaneDocTemplate* DocTemplate() const { return m_pDocTemplate.get(); }
    CRecentFileList* RecentFiles() const { return m_pRecentFiles.get(); }
    CHelpWindow* HelpWindow() const { return m_pHelpWindow.get(); }

    // Shared members, read and written directly by the view, the stretch
    // dialog and the filter command.
    CMainFrame* m_pMainFrame = nullptr;
    CStretchDlg* m_pStretchDlg = nullptr;
    CDorvaneDoc* m_pCurrentDoc = nullptr;
    CDorvaneToolBar* m_pToolBar = nullptr;
    bool m_bStretchDlgOpen = false;
    // m_nFullScale, m_nDisplayBpp, m_rcRegionImage and m_bRegionSet, shared
    // with the core.
    CSharedState m_shared;
    CRegion m_rcRegionView;  // the filter region in view logical coordinates
    QString m_strLastDirectory;

public slots:
    void OnAppAbout();
    void OnFileOpen();
    void OnCloseAll();
    // A recent-file entry (0 is the newest); an entry that no longer opens
    // leaves the list.
    void OnOpenRecentFile(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void DestroyStretchDialog();

    static CDorvaneApp* s_pInstance;
    std::unique_ptr<CQtSettings> m_pSettings;
    std::unique_ptr<IMessageSink> m_pDefaultSink;
    std::unique_ptr<IMessageSink> m_pForwardingSink;
    std::unique_ptr<IUserDialogs> m_pDefaultDialogs;
    IMessageSink* m_pSink = nullptr;
    IUserDialogs* m_pDialogs = nullptr;
    std::unique_ptr<CRecentFileList> m_pRecentFiles;
    std::unique_ptr<CDorvaneDocTemplate> m_pDocTemplate;
    std::unique_ptr<CHelpWindow> m_pHelpWindow;
    bool m_bRunning = false;
};
