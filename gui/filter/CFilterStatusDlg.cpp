#include "CFilterStatusDlg.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>

#include "CDialogUnits.h"
#include "filter/FilterStatusTexts.h"

namespace {

QLabel* MakeLine(QDialog& dialog, const CDialogUnits& units, const char* text, int y, bool visible)
{
    auto* line = new QLabel(QString::fromLatin1(text), &dialog);
    line->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    units.Place(*line, 21, y, 148, 8);
    // The dialog-unit height suits the old 8-point font; never cut a line.
    line->setMinimumHeight(line->sizeHint().height());
    line->setVisible(visible);
    return line;
}

}  // namespace

CFilterStatusDlg::CFilterStatusDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowTitle(QString::fromLatin1(FilterStatusTexts::kTitle));
    setModal(false);
    const CDialogUnits units(*this);
    setFixedSize(units.X(186), units.Y(132));

    m_searchLine = MakeLine(*this, units, "Searching for bloom pixels", 13, true);
    m_detectedLine = MakeLine(*this, units, "", 26, true);
    m_lengthLine = MakeLine(*this, units, FilterStatusTexts::RevealedLine(ELine::LengthCheck), 39, false);
    m_lengthCountLine = MakeLine(*this, units, "", 52, true);
    m_removingLine = MakeLine(*this, units, FilterStatusTexts::RevealedLine(ELine::Removing), 65, false);
    m_blendingLine = MakeLine(*this, units, FilterStatusTexts::RevealedLine(ELine::Blending), 78, false);
    m_completeLine = MakeLine(*this, units, FilterStatusTexts::RevealedLine(ELine::Complete), 91, false);

    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    units.Place(*m_progress, 19, 104, 147, 14);
}

CFilterStatusDlg::~CFilterStatusDlg() = default;

void CFilterStatusDlg::Open(const std::string& suffix)
{
    m_searchLine->setText(QString::fromStdString(FilterStatusTexts::SearchLine(suffix)));
    CentreOnScreen();
    show();
    PaintNow();
}

void CFilterStatusDlg::SetProgress(int position)
{
    // The bar repaints itself at once when its drawn length changes.
    m_progress->setValue(position);
}

void CFilterStatusDlg::ShowDetectedCount(int count)
{
    m_detectedLine->setText(QString::fromStdString(FilterStatusTexts::DetectedLine(count)));
    if (isVisible())
        m_detectedLine->repaint();
}

void CFilterStatusDlg::ShowLengthCheckCount(int count)
{
    m_lengthCountLine->setText(QString::fromStdString(FilterStatusTexts::LengthCheckLine(count)));
    if (isVisible())
        m_lengthCountLine->repaint();
}

void CFilterStatusDlg::RevealLine(ELine line)
{
    LineOf(line)->show();
    PaintNow();
}

void CFilterStatusDlg::Close()
{
    hide();
}

QLabel* CFilterStatusDlg::LineOf(ELine line) const
{
    switch (line) {
    case ELine::LengthCheck: return m_lengthLine;
    case ELine::Removing: return m_removingLine;
    case ELine::Blending: return m_blendingLine;
    case ELine::Complete: return m_completeLine;
    }
    return m_completeLine;
}

void CFilterStatusDlg::CentreOnScreen()
{
    QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame(QPoint(0, 0), size());
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void CFilterStatusDlg::PaintNow()
{
    if (!isVisible())
        return;
    // The filter holds the event loop for the whole run: let the window
    // system map the window and deliver its expose, without user input, then
    // paint at once.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    repaint();
}
