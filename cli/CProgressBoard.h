#pragma once
#include <cstddef>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

// The text written to stderr while files are processed, from several worker
// threads. Lines printed with Print stay; in live mode (a terminal) the board
// also keeps one progress line per worker below them and redraws those in
// place. Without live mode only Print writes anything.
class CProgressBoard {
public:
    // columns: the terminal's width; lines are cut to fit so the cursor
    // arithmetic stays right.
    CProgressBoard(std::ostream& err, bool live, std::size_t slots, int columns);

    bool Live() const { return m_live; }
    // Sets worker slot's progress line (live mode only) and redraws it.
    void SetLine(std::size_t slot, const std::string& text);
    // Writes a line that stays, above the progress lines.
    void Print(const std::string& line);
    // Removes the progress lines; later output starts on a clean line.
    void Finish();

private:
    void EraseBoard();
    void DrawBoard();
    std::string Fit(const std::string& text) const;

    std::ostream& m_err;
    const bool m_live;
    const int m_columns;
    std::vector<std::string> m_lines;
    std::size_t m_drawn = 0;  // progress lines now on the screen
    std::mutex m_mutex;
};
