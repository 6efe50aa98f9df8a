#include "CStatusIndicators.h"

#include <QLabel>
#include <QStatusBar>
#include <algorithm>

#include "CCommandTable.h"
#include "CLockKeyState.h"

CStatusIndicators::CStatusIndicators(QStatusBar* pStatusBar) : QObject(pStatusBar)
{
    m_pPrompt = new QLabel(CCommandTable::IdlePrompt(), pStatusBar);
    pStatusBar->addWidget(m_pPrompt, 1);
    m_pSelection = AddPane(pStatusBar, QString());
    m_pSelection->hide();
    m_pPosition = AddPane(pStatusBar, QStringLiteral("x 65535  y 65535"));
    m_pPixel = AddPane(pStatusBar, CCommandTable::PixelIndicatorWidthText());
    m_pCaps = AddPane(pStatusBar, QStringLiteral("CAP"));
    m_pNum = AddPane(pStatusBar, QStringLiteral("NUM"));
    m_pScroll = AddPane(pStatusBar, QStringLiteral("SCRL"));
    UpdateLockIndicators();
}

QLabel* CStatusIndicators::AddPane(QStatusBar* pStatusBar, const QString& widthText)
{
    auto* pPane = new QLabel(pStatusBar);
    pPane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pPane->setAlignment(Qt::AlignCenter);
    const int margins = pPane->contentsMargins().left() + pPane->contentsMargins().right();
    pPane->setMinimumWidth(pPane->fontMetrics().horizontalAdvance(widthText) + margins + 8);
    pStatusBar->addPermanentWidget(pPane);
    return pPane;
}

void CStatusIndicators::SetPixelText(const QString& text)
{
    m_pPixel->setText(text);
}

QString CStatusIndicators::PixelText() const
{
    return m_pPixel->text();
}

void CStatusIndicators::SetGrowingText(QLabel* pPane, const QString& text)
{
    pPane->setText(text);
    const int margins = pPane->contentsMargins().left() + pPane->contentsMargins().right();
    pPane->setMinimumWidth(
        std::max(pPane->minimumWidth(), pPane->fontMetrics().horizontalAdvance(text) + margins + 8));
}

void CStatusIndicators::SetPositionText(const QString& text)
{
    SetGrowingText(m_pPosition, text);
}

QString CStatusIndicators::PositionText() const
{
    return m_pPosition->text();
}

void CStatusIndicators::SetSelectionText(const QString& text)
{
    SetGrowingText(m_pSelection, text);
    m_pSelection->setVisible(!text.isEmpty());
}

QString CStatusIndicators::SelectionText() const
{
    return m_pSelection->text();
}

void CStatusIndicators::UpdateLockIndicators()
{
    const CLockKeyState state = CLockKeyState::Query();
    m_pCaps->setText(state.m_bKnown && state.m_bCaps ? QStringLiteral("CAP") : QString());
    m_pNum->setText(state.m_bKnown && state.m_bNum ? QStringLiteral("NUM") : QString());
    m_pScroll->setText(state.m_bKnown && state.m_bScroll ? QStringLiteral("SCRL") : QString());
}
