#pragma once
#include <QList>
#include <QMap>
#include <QObject>

class CMainFrame;
class QAction;
class QMdiSubWindow;
class QMenu;

// The main window's two menu sets: one while no image window is open (File,
// View, Help) and one while any is (File, Edit, View, Filter, Window, Help).
// Also keeps the recent-file entries and the Window menu's window list.
class CFrameMenus : public QObject {
    Q_OBJECT

public:
    CFrameMenus(CMainFrame& frame, const QMap<int, QAction*>& actions);

    // Puts the document set (true) or the empty set in the menu bar.
    void ShowMenuSet(bool bDocument);
    bool IsDocumentSet() const { return m_bDocument; }
    // The menus of the set in the menu bar, left to right.
    const QList<QMenu*>& CurrentMenus() const { return m_bDocument ? m_docMenus : m_noDocMenus; }

signals:
    // A menu is about to open: command states must be fresh.
    void aboutToShowMenu();
    void windowChosen(QMdiSubWindow* pWindow);

private:
    QMenu* AddMenu(QList<QMenu*>& set, const QString& title, const QList<int>& ids);
    void FillRecentFiles();
    void FillWindowList(QMenu* pMenu);

    CMainFrame& m_frame;
    const QMap<int, QAction*>& m_actions;
    QList<QMenu*> m_noDocMenus;
    QList<QMenu*> m_docMenus;
    // Each File menu has a greyed "Recent File" item that the entries replace.
    QList<QAction*> m_recentPlaceholders;
    QList<QAction*> m_recentEntries;
    QList<QAction*> m_windowEntries;
    bool m_bDocument = false;
    bool m_bShown = false;
};
