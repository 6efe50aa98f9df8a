#pragma once
#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <cstdint>

class CChildFrame;
class CDorvaneToolBar;
class CDorvaneView;
class CFrameMenus;
class CHeaderWnd;
class CStatusIndicators;
class QAction;
class QMdiArea;
class QMdiSubWindow;

// The top-level window: menu bar (one set of menus without image windows,
// another with them), the dockable toolbar, the status bar with the pixel
// readout, and the MDI area that holds the image windows.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Builds toolbar, status bar and menus, then shows the splash window.
    // False when a bar could not be built.
    bool OnCreate();

    QMdiArea* MdiArea() const { return m_pMdiArea; }
    CDorvaneToolBar* ToolBar() const { return m_pToolBar; }
    CFrameMenus* Menus() const { return m_pMenus; }
    CStatusIndicators* Indicators() const { return m_pIndicators; }
    // View > Header...: the header window, made on first use; null before.
    CHeaderWnd* HeaderWindow() const;
    // The action of a command id (see Resource.h), or null.
    QAction* CommandAction(int commandId) const { return m_actions.value(commandId, nullptr); }

    // The current image window and its view, or null.
    CChildFrame* ActiveChild() const;
    CDorvaneView* ActiveView() const;

    // Pixel readout: shows "i : %i" filled with m_nPixelValue.
    void UpdatePixelIndicator();
    // Stores the value and shows it.
    void SetPixelValue(int32_t nValue);
    // Shows "i : " with no value and no position (pointer outside the
    // picture).
    void ClearPixelIndicator();
    QString PixelIndicatorText() const;
    void UpdateLockIndicators();

    // Re-reads every command's enabled and checked state (current image
    // window, Undo/Redo flags of its view, the stretch dialog flag, bar
    // visibility) and puts the matching menus in the menu bar. The view
    // calls it after changing its Undo/Redo flags.
    void UpdateCommandStates();

    // Title "Dorvane", or "Dorvane - <document title>", with "*" after it
    // while that document is modified.
    void UpdateFrameTitle();

    static int ZoomPercent(int commandId);

    // Raw value under the mouse pointer, stored by the view.
    int32_t m_nPixelValue = 0;
    // View > Show Replaced Pixels is on (each view tints while its picture
    // shows its image's last run).
    bool m_bShowReplacedPixels = false;

protected:
    void closeEvent(QCloseEvent* event) override;
    // Image files dropped on the window open as File > Open opens them.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void OnSubWindowActivated(QMdiSubWindow* pWindow);
    void OnCommand(int commandId);
    void CreateActions();
    void CreateToolBar();
    void CreateStatusBar();
    void ShowHeaderWindow();
    void UpdateViewerCommandStates(CDorvaneView* pView);

    QMdiArea* m_pMdiArea = nullptr;
    CDorvaneToolBar* m_pToolBar = nullptr;
    CStatusIndicators* m_pIndicators = nullptr;
    CFrameMenus* m_pMenus = nullptr;
    QMap<int, QAction*> m_actions;
    QPointer<CChildFrame> m_pLastActive;
    QPointer<CHeaderWnd> m_pHeaderWnd;
};
