#include "CProgressLine.h"

#include "CProgressBoard.h"
#include "filter/FilterStatusTexts.h"

CProgressLine::CProgressLine(CProgressBoard& board, std::size_t slot, std::string label)
    : m_board(board), m_slot(slot), m_label(std::move(label))
{
}

void CProgressLine::Redraw()
{
    if (!m_board.Live())
        return;
    std::string text = m_label + ": " + m_stage;
    if (m_position >= 0) {
        text += ' ';
        text += std::to_string(m_position);
        text += '%';
    }
    m_board.SetLine(m_slot, text);
}

void CProgressLine::Open(const std::string& suffix)
{
    m_stage = FilterStatusTexts::SearchLine(suffix);
    m_position = 0;
    Redraw();
}

void CProgressLine::SetProgress(int position)
{
    m_position = position;
    Redraw();
}

void CProgressLine::RevealLine(ELine line)
{
    m_stage = FilterStatusTexts::RevealedLine(line);
    Redraw();
}

void CProgressLine::ShowStage(const std::string& stage)
{
    m_stage = stage;
    m_position = -1;
    Redraw();
}
