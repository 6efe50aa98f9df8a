#include "CCommandTable.h"

#include <QAction>
#include <QIcon>

#include "Resource.h"

using namespace DorvaneIds;

namespace CCommandTable {

const QList<CCommandInfo>& Commands()
{
    // Every key a menu label shows is bound; a disabled command ignores its
    // key.
    static const QList<CCommandInfo> commands = {
        {ID_FILE_OPEN, "&Open...\tCtrl+O", "Open an existing document\nOpen",
         {QKeySequence(Qt::CTRL | Qt::Key_O)}, ":/toolbar/open.svg", false},
        {ID_FILE_CLOSE, "&Close", "Close the active document\nClose", {}, ":/toolbar/close.svg", false},
        {ID_FILE_SAVE, "&Save\tCtrl+S", "Save the active document\nSave",
         {QKeySequence(Qt::CTRL | Qt::Key_S)}, ":/toolbar/save.svg", false},
        {ID_FILE_SAVE_AS, "Save &As", "Save the active document with a new name\nSave As", {}, nullptr,
         false},
        {ID_APP_EXIT, "E&xit", "Quit the application; prompts to save documents\nExit", {}, nullptr, false},
        {ID_EDIT_UNDO, "&Undo \tCtrl+Z", "Undo the last action\nUndo",
         {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)},
         ":/toolbar/undo.svg", false},
        {ID_EDIT_REDO, "Redo \tCtrl+Y", "Redo the previously undone action\nRedo",
         {QKeySequence(Qt::CTRL | Qt::Key_Y)}, ":/toolbar/redo.svg", false},
        {ID_ZOOM_25, "25%", nullptr, {}, nullptr, true},
        {ID_ZOOM_50, "50%", nullptr, {}, nullptr, true},
        {ID_ZOOM_100, "100%", nullptr, {}, nullptr, true},
        {ID_ZOOM_200, "200%", nullptr, {}, nullptr, true},
        {ID_ZOOM_400, "400%", nullptr, {}, nullptr, true},
        {ID_ZOOM_800, "800%", nullptr, {}, nullptr, true},
        {ID_ZOOM_1600, "1600%", nullptr, {}, nullptr, true},
        {ID_VIEW_STRETCH, "Stretch", "Adjust the Min/Max display settings\nSet Min/Max", {},
         ":/toolbar/stretch.svg", true},
        {ID_VIEW_TOOLBAR, "&Toolbar", "Show or hide the toolbar\nToggle ToolBar", {}, nullptr, true},
        {ID_VIEW_STATUS_BAR, "&Status Bar", "Show or hide the status bar\nToggle StatusBar", {}, nullptr, true},
        {ID_REMOVE_BLOOMING, "&Remove Blooming \tCtrl+R", "Run the Remove Blooming Filter\nRemove Blooming",
         {QKeySequence(Qt::CTRL | Qt::Key_R)}, ":/toolbar/removebloom.svg", false},
        {ID_WINDOW_CASCADE, "&Cascade", "Arrange windows so they overlap\nCascade Windows", {}, nullptr, false},
        {ID_WINDOW_TILE_HORZ, "Tile &Horizontal", "Arrange windows as non-overlapping tiles\nTile Windows", {},
         nullptr, false},
        {ID_WINDOW_TILE_VERT, "Tile &Vertical", "Arrange windows as non-overlapping tiles\nTile Windows", {},
         nullptr, false},
        {ID_WINDOW_ARRANGE, "&Arrange Icons", "Arrange icons at the bottom of the window\nArrange Icons", {},
         nullptr, false},
        {ID_WINDOW_CLOSE_ALL, "Close All", "Close all open documents\nClose All", {}, nullptr, false},
        {ID_HELP_FINDER, "&Help Topics", "List Help topics\nHelp Topics", {}, nullptr, false},
        {ID_APP_ABOUT, "&About Dorvane...", "Display program information, version number and copyright\nAbout",
         {}, nullptr, false},
        {ID_HELP, "Help", nullptr, {QKeySequence(Qt::Key_F1)}, nullptr, false},
        {ID_FILE_SAVE_MASK, "Save Replaced-Pixel &Mask...",
         "Save the pixels the last Remove Blooming replaced as a FITS mask\nSave Replaced-Pixel Mask", {}, nullptr,
         false},
        {ID_VIEW_REPLACED_PIXELS, "Show Re&placed Pixels",
         "Tint the pixels the last Remove Blooming replaced\nShow Replaced Pixels", {}, nullptr, true},
        // Viewer commands.
        {ID_ZOOM_FIT, "&Fit to Window\tCtrl+0", "Show the whole image as large as the window allows\nFit to Window",
         {QKeySequence(Qt::CTRL | Qt::Key_0)}, nullptr, false},
        {ID_ZOOM_IN, "Zoom &In\tCtrl++", "Show the next larger zoom, around the window's centre\nZoom In",
         {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)}, nullptr, false},
        {ID_ZOOM_OUT, "Zoom &Out\tCtrl+-", "Show the next smaller zoom, around the window's centre\nZoom Out",
         {QKeySequence(Qt::CTRL | Qt::Key_Minus)}, nullptr, false},
        {ID_VIEW_HEADER, "&Header...", "List the header of the active image as the file holds it\nHeader", {},
         nullptr, false},
        {ID_VIEW_SHOW_ORIGINAL, "Show &Original\t\\",
         "Show the image as it was before the last Remove Blooming\nShow Original", {QKeySequence(Qt::Key_Backslash)},
         nullptr, true},
    };
    return commands;
}

const CCommandInfo* Find(int commandId)
{
    for (const CCommandInfo& info : Commands())
        if (info.m_nId == commandId)
            return &info;
    return nullptr;
}

QString Prompt(const CCommandInfo& info)
{
    if (!info.m_pszString)
        return {};
    return QString::fromLatin1(info.m_pszString).section(u'\n', 0, 0);
}

QString Tip(const CCommandInfo& info)
{
    if (!info.m_pszString)
        return {};
    return QString::fromLatin1(info.m_pszString).section(u'\n', 1, 1);
}

QAction* CreateAction(const CCommandInfo& info, QObject* parent)
{
    auto* pAction = new QAction(QString::fromLatin1(info.m_pszMenuText), parent);
    pAction->setData(info.m_nId);
    pAction->setStatusTip(Prompt(info));
    const QString tip = Tip(info);
    if (!tip.isEmpty())
        pAction->setToolTip(tip);
    if (!info.m_keys.isEmpty())
        pAction->setShortcuts(info.m_keys);
    if (info.m_pszIcon)
        pAction->setIcon(QIcon(QString::fromLatin1(info.m_pszIcon)));
    pAction->setCheckable(info.m_bCheckable);
    return pAction;
}

QString IdlePrompt()
{
    return QStringLiteral("For Help, press F1");
}

QString PixelIndicatorWidthText()
{
    return QStringLiteral("i : 65535");
}

}  // namespace CCommandTable
