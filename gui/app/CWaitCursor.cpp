#include "CWaitCursor.h"

#include <QApplication>
#include <QCursor>

CWaitCursor::CWaitCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

CWaitCursor::~CWaitCursor()
{
    QApplication::restoreOverrideCursor();
}

CWaitCursor::Suspend::Suspend() : m_bActive(QApplication::overrideCursor() != nullptr)
{
    if (m_bActive)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
}

CWaitCursor::Suspend::~Suspend()
{
    if (m_bActive)
        QApplication::restoreOverrideCursor();
}
