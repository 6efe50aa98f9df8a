#include "CProgressBoard.h"

CProgressBoard::CProgressBoard(std::ostream& err, bool live, std::size_t slots, int columns)
    : m_err(err), m_live(live), m_columns(columns > 1 ? columns : 80), m_lines(slots)
{
}

std::string CProgressBoard::Fit(const std::string& text) const
{
    // Keep the last column free: writing into it makes some terminals wrap.
    const std::size_t room = static_cast<std::size_t>(m_columns - 1);
    if (text.size() <= room)
        return text;
    // Cut the front, where a long path begins, and keep the stage and percentage.
    return "..." + text.substr(text.size() - (room - 3));
}

void CProgressBoard::EraseBoard()
{
    if (m_drawn > 0)
        m_err << "\r\033[" << m_drawn << "A\033[J";
    m_drawn = 0;
}

void CProgressBoard::DrawBoard()
{
    for (const std::string& line : m_lines) {
        if (line.empty())
            continue;
        m_err << Fit(line) << "\n";
        ++m_drawn;
    }
    m_err.flush();
}

void CProgressBoard::SetLine(std::size_t slot, const std::string& text)
{
    if (!m_live || slot >= m_lines.size())
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_lines[slot] == text)
        return;
    m_lines[slot] = text;
    EraseBoard();
    DrawBoard();
}

void CProgressBoard::Print(const std::string& line)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_live)
        EraseBoard();
    m_err << line << "\n";
    if (m_live)
        DrawBoard();
    m_err.flush();
}

void CProgressBoard::Finish()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (std::string& line : m_lines)
        line.clear();
    if (m_live)
        EraseBoard();
    m_err.flush();
}
