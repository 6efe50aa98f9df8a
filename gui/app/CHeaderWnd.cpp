#include "CHeaderWnd.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QVBoxLayout>

#include "CChildFrame.h"
#include "CImageDocument.h"
#include "image/CAstroImage.h"
#include "image/CDorvaneDoc.h"

CHeaderWnd::CHeaderWnd(QWidget* pParent) : QWidget(pParent, Qt::Window)
{
    setObjectName(QStringLiteral("HeaderWindow"));
    // The find box first, so that it has the focus when the window opens.
    m_pFind = new QLineEdit(this);
    m_pFind->setPlaceholderText(QStringLiteral("Find"));
    m_pFind->setClearButtonEnabled(true);
    m_pText = new QPlainTextEdit(this);
    m_pText->setReadOnly(true);
    m_pText->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_pText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_pFound = new QLabel(this);

    auto* pFindRow = new QHBoxLayout;
    pFindRow->addWidget(m_pFind, 1);
    pFindRow->addWidget(m_pFound);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pFindRow);
    pLayout->addWidget(m_pText, 1);

    // Wide enough for a whole card, high enough for a usual header.
    const QFontMetrics metrics(m_pText->font());
    resize(metrics.horizontalAdvance(QString(84, u'M')) + 40, metrics.lineSpacing() * 40);
    connect(m_pFind, &QLineEdit::textChanged, this, &CHeaderWnd::Highlight);
    connect(m_pFind, &QLineEdit::returnPressed, this, &CHeaderWnd::FindNext);
    Follow(nullptr);
}

void CHeaderWnd::Follow(CChildFrame* pFrame)
{
    if (m_bFollowed && pFrame == m_pFrame)
        return;
    m_bFollowed = true;
    m_pFrame = pFrame;
    const CDorvaneDoc* pDoc = pFrame ? pFrame->Document()->Core() : nullptr;
    const CAstroImage* pImage = pDoc ? pDoc->m_pImage : nullptr;
    QStringList lines;
    if (pImage)
        for (const std::string& line : pImage->HeaderLines())
            lines << QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
    m_pText->setPlainText(lines.join(u'\n'));
    setWindowTitle(pFrame ? QStringLiteral("Header - ") + pFrame->Document()->GetTitle() : QStringLiteral("Header"));
    Highlight();
}

void CHeaderWnd::Highlight()
{
    QList<QTextEdit::ExtraSelection> marks;
    const QString text = m_pFind->text();
    QTextDocument* pDocument = m_pText->document();
    for (QTextCursor at = text.isEmpty() ? QTextCursor() : pDocument->find(text); !at.isNull();
         at = pDocument->find(text, at)) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = at;
        mark.format.setBackground(QColor(255, 220, 80));
        mark.format.setForeground(Qt::black);
        marks << mark;
    }
    m_nMatches = static_cast<int>(marks.size());
    m_pText->setExtraSelections(marks);
    m_pFound->setText(text.isEmpty() ? QString() : QStringLiteral("%1 found").arg(m_nMatches));
    // The first match comes into sight.
    m_pText->moveCursor(QTextCursor::Start);
    if (!marks.isEmpty())
        FindNext();
}

void CHeaderWnd::FindNext()
{
    const QString text = m_pFind->text();
    if (text.isEmpty())
        return;
    if (!m_pText->find(text)) {
        m_pText->moveCursor(QTextCursor::Start);
        m_pText->find(text);
    }
}
