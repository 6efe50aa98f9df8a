#pragma once
#include <QKeySequence>
#include <QList>
#include <QString>

class QAction;
class QObject;

// The program's commands: menu text (with its shortcut text after a tab),
// command string (status prompt, then after a newline the button tip), the
// keys bound to it and the toolbar image.
struct CCommandInfo {
    int m_nId;
    const char* m_pszMenuText;
    const char* m_pszString;  // may be null: no prompt
    QList<QKeySequence> m_keys;
    const char* m_pszIcon;    // may be null: not on the toolbar
    bool m_bCheckable;
};

namespace CCommandTable {

const QList<CCommandInfo>& Commands();
const CCommandInfo* Find(int commandId);
// The status prompt: the command string's first line.
QString Prompt(const CCommandInfo& info);
// The button tip: the command string's second line, if any.
QString Tip(const CCommandInfo& info);
// A QAction for the command, owned by parent, with text, prompt, tip, keys
// and image set.
QAction* CreateAction(const CCommandInfo& info, QObject* parent);

// The idle text of the prompt pane and the width text of the pixel pane.
QString IdlePrompt();
QString PixelIndicatorWidthText();

}  // namespace CCommandTable
