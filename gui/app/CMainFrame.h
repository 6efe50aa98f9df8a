#pragma once
#include <QMainWindow>
#include <QMap>
#include <cstdint>

class CChildFrame;
class CDorvaneToolBar;
class CDorvaneView;
class CStatusIndicators;
class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

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
    // The action of a command id (see Resource.h), or null.
    QAction* CommandAction(int commandId) const { return m_actions.value(commandId, nullptr); }

    CChildFrame* ActiveChild() const;
    CDorvaneView* ActiveView() const;

    // Pixel readout: shows "i : %i" filled with m_nPixelValue.
    void UpdatePixelIndicator();
    // Stores the value and shows it.
    void SetPixelValue(int32_t nValue);
    // Shows "i : " with no value (pointer outside the picture).
    void ClearPixelIndicator();
    QString PixelIndicatorText() const;

    // Re-reads every command's enabled and checked state (active image
    // window, Undo/Redo flags of its view, the stretch dialog flag) and puts
    // the matching menus in the menu bar.
    void UpdateCommandStates();
    // True while the image-window menus are in the menu bar.
    bool HasDocumentMenus() const { return m_bDocumentMenus; }

    // Title "Dorvane", or "Dorvane - <document title>".
    void UpdateFrameTitle();

    // Raw value under the mouse pointer, stored by the view.
    int32_t m_nPixelValue = 0;

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void OnSubWindowActivated(QMdiSubWindow* pWindow);
    void OnCommand(int commandId);
    void OnHelpFinder();
    void OnUpdateRecentMenus();

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void ShowMenuSet(bool bDocument);
    void FillRecentFiles(QMenu* pMenu, QAction* pBefore, QList<QAction*>& items);

    QMdiArea* m_pMdiArea = nullptr;
    CDorvaneToolBar* m_pToolBar = nullptr;
    CStatusIndicators* m_pIndicators = nullptr;
    QMap<int, QAction*> m_actions;
    QList<QMenu*> m_noDocMenus;    // menu 128
    QList<QMenu*> m_docMenus;      // menu 129
    QAction* m_pRecentNoDoc = nullptr;
    QAction* m_pRecentDoc = nullptr;
    QList<QAction*> m_recentNoDoc;
    QList<QAction*> m_recentDoc;
    bool m_bDocumentMenus = false;
};
