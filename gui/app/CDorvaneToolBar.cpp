#include "CDorvaneToolBar.h"

#include <QAction>

CDorvaneToolBar::CDorvaneToolBar(QWidget* parent) : QToolBar(QStringLiteral("Toolbar"), parent)
{
    setObjectName(QStringLiteral("MainToolBar"));
    setMovable(true);
    setFloatable(true);
    setAllowedAreas(Qt::AllToolBarAreas);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setIconSize(QSize(16, 16));
}

void CDorvaneToolBar::AddButton(int commandId, QAction* pAction)
{
    m_buttons.insert(commandId, pAction);
    addAction(pAction);
}

void CDorvaneToolBar::CheckButton(int commandId, bool bChecked)
{
    if (QAction* pAction = m_buttons.value(commandId, nullptr); pAction && pAction->isCheckable())
        pAction->setChecked(bChecked);
}

bool CDorvaneToolBar::IsButtonChecked(int commandId) const
{
    const QAction* pAction = m_buttons.value(commandId, nullptr);
    return pAction && pAction->isChecked();
}
