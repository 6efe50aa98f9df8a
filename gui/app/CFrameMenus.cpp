#include "CFrameMenus.h"

#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include "CDorvaneApp.h"
#include "CMainFrame.h"
#include "CRecentFileList.h"
#include "Resource.h"

using namespace DorvaneIds;

namespace {

constexpr int kSeparator = 0;
constexpr int kRecentFiles = -1;
constexpr int kZoomMenu = -2;

QString MenuEscaped(const QString& text)
{
    QString escaped = text;
    return escaped.replace(u'&', QLatin1String("&&"));
}

// The title as the window shows it, with the modified mark resolved.
QString ShownTitle(const QWidget& window)
{
    QString title = window.windowTitle();
    const qsizetype nMark = title.lastIndexOf(QLatin1String("[*]"));
    if (nMark >= 0)
        title.replace(nMark, 3, window.isWindowModified() ? QStringLiteral("*") : QString());
    return title.replace(QLatin1String("[*][*]"), QLatin1String("[*]"));
}

}  // namespace

CFrameMenus::CFrameMenus(CMainFrame& frame, const QMap<int, QAction*>& actions)
    : QObject(&frame), m_frame(frame), m_actions(actions)
{
    // Without image windows.
    AddMenu(m_noDocMenus, QStringLiteral("&File"), {ID_FILE_OPEN, kSeparator, kRecentFiles, kSeparator, ID_APP_EXIT});
    AddMenu(m_noDocMenus, QStringLiteral("&View"), {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR});
    AddMenu(m_noDocMenus, QStringLiteral("&Help"), {ID_HELP_FINDER, ID_APP_ABOUT});

    // With image windows. The File menu ends with a separator of its own.
    // Commands added after the program's own follow them behind a separator.
    AddMenu(m_docMenus, QStringLiteral("&File"),
            {ID_FILE_OPEN, ID_FILE_CLOSE, kSeparator, ID_FILE_SAVE, ID_FILE_SAVE_AS, kSeparator, ID_FILE_SAVE_MASK,
             kSeparator, kRecentFiles, kSeparator, ID_APP_EXIT, kSeparator});
    AddMenu(m_docMenus, QStringLiteral("&Edit"), {ID_EDIT_UNDO, ID_EDIT_REDO});
    AddMenu(m_docMenus, QStringLiteral("&View"),
            {kZoomMenu, ID_VIEW_STRETCH, ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, kSeparator, ID_VIEW_REPLACED_PIXELS,
             kSeparator, ID_VIEW_HEADER, ID_VIEW_SHOW_ORIGINAL});
    AddMenu(m_docMenus, QStringLiteral("Fil&ter"), {ID_REMOVE_BLOOMING});
    QMenu* pWindowMenu = AddMenu(m_docMenus, QStringLiteral("&Window"),
                                 {ID_WINDOW_CASCADE, ID_WINDOW_TILE_HORZ, ID_WINDOW_TILE_VERT, ID_WINDOW_ARRANGE,
                                  kSeparator, ID_WINDOW_CLOSE_ALL});
    connect(pWindowMenu, &QMenu::aboutToShow, this, [this, pWindowMenu] { FillWindowList(pWindowMenu); });
    AddMenu(m_docMenus, QStringLiteral("&Help"), {ID_HELP_FINDER, ID_APP_ABOUT});

    if (CDorvaneApp* pApp = CDorvaneApp::Instance(); pApp && pApp->RecentFiles())
        connect(pApp->RecentFiles(), &CRecentFileList::changed, this, &CFrameMenus::FillRecentFiles);
    FillRecentFiles();
    ShowMenuSet(false);
}

QMenu* CFrameMenus::AddMenu(QList<QMenu*>& set, const QString& title, const QList<int>& ids)
{
    auto* pMenu = new QMenu(title, &m_frame);
    // Separators stay exactly where they are listed, a trailing one too.
    pMenu->setSeparatorsCollapsible(false);
    for (int id : ids) {
        if (id == kSeparator) {
            pMenu->addSeparator();
        } else if (id == kRecentFiles) {
            QAction* pPlaceholder = pMenu->addAction(QStringLiteral("Recent File"));
            pPlaceholder->setEnabled(false);
            pPlaceholder->setData(ID_FILE_MRU_FILE1);
            m_recentPlaceholders << pPlaceholder;
        } else if (id == kZoomMenu) {
            QMenu* pZoom = pMenu->addMenu(QStringLiteral("&Zoom"));
            // One of the seven is in force: ticked as a choice of one.
            auto* pLevels = new QActionGroup(pZoom);
            for (int zoomId : {ID_ZOOM_25, ID_ZOOM_50, ID_ZOOM_100, ID_ZOOM_200, ID_ZOOM_400, ID_ZOOM_800,
                               ID_ZOOM_1600})
                pZoom->addAction(pLevels->addAction(m_actions.value(zoomId)));
            pZoom->addSeparator();
            for (int zoomId : {ID_ZOOM_FIT, ID_ZOOM_IN, ID_ZOOM_OUT})
                pZoom->addAction(m_actions.value(zoomId));
        } else {
            pMenu->addAction(m_actions.value(id));
        }
    }
    connect(pMenu, &QMenu::aboutToShow, this, &CFrameMenus::aboutToShowMenu);
    set << pMenu;
    return pMenu;
}

void CFrameMenus::ShowMenuSet(bool bDocument)
{
    if (m_bShown && bDocument == m_bDocument)
        return;
    m_bShown = true;
    m_bDocument = bDocument;
    QMenuBar* pBar = m_frame.menuBar();
    pBar->clear();
    for (QMenu* pMenu : CurrentMenus())
        pBar->addMenu(pMenu);
}

void CFrameMenus::FillRecentFiles()
{
    qDeleteAll(m_recentEntries);
    m_recentEntries.clear();
    CDorvaneApp* pApp = CDorvaneApp::Instance();
    const QStringList files = pApp && pApp->RecentFiles() ? pApp->RecentFiles()->Files() : QStringList();
    for (QAction* pPlaceholder : m_recentPlaceholders) {
        pPlaceholder->setVisible(files.isEmpty());
        auto* pMenu = qobject_cast<QMenu*>(pPlaceholder->parent());
        for (int i = 0; i < files.size(); ++i) {
            auto* pEntry = new QAction(
                QStringLiteral("&%1 %2").arg(i + 1).arg(MenuEscaped(QDir::toNativeSeparators(files[i]))), pMenu);
            pEntry->setStatusTip(QStringLiteral("Open this document"));
            pEntry->setData(ID_FILE_MRU_FILE1 + i);
            connect(pEntry, &QAction::triggered, this, [i] {
                if (CDorvaneApp* pApp = CDorvaneApp::Instance())
                    pApp->OnOpenRecentFile(i);
            });
            pMenu->insertAction(pPlaceholder, pEntry);
            m_recentEntries << pEntry;
        }
    }
}

void CFrameMenus::FillWindowList(QMenu* pMenu)
{
    qDeleteAll(m_windowEntries);
    m_windowEntries.clear();
    QMdiArea* pArea = m_frame.MdiArea();
    const QList<QMdiSubWindow*> windows = pArea->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty())
        return;
    m_windowEntries << pMenu->addSeparator();
    int number = 1;
    for (QMdiSubWindow* pWindow : windows) {
        if (!pWindow->isVisible() && !pWindow->isMinimized())
            continue;
        QAction* pEntry =
            pMenu->addAction(QStringLiteral("&%1 %2").arg(number++).arg(MenuEscaped(ShownTitle(*pWindow))));
        pEntry->setCheckable(true);
        pEntry->setChecked(pWindow == pArea->currentSubWindow());
        connect(pEntry, &QAction::triggered, this, [this, pTarget = QPointer<QMdiSubWindow>(pWindow)] {
            if (pTarget)
                emit windowChosen(pTarget);
        });
        m_windowEntries << pEntry;
    }
}
