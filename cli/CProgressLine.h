#pragma once
#include <string>

#include "filter/IFilterStatus.h"

class CProgressBoard;

// The filter status of one file's run, shown as that file's progress line:
// "PATH: <stage> NN%", with the same stage texts as the desktop status window.
class CProgressLine : public IFilterStatus {
public:
    CProgressLine(CProgressBoard& board, std::size_t slot, std::string label);

    void Open(const std::string& suffix) override;
    void SetProgress(int position) override;
    void ShowDetectedCount(int) override {}
    void ShowLengthCheckCount(int) override {}
    void RevealLine(ELine line) override;
    void Close() override {}

    // Shows a stage of the file's work outside the filter (reading, saving).
    void ShowStage(const std::string& stage);

private:
    void Redraw();

    CProgressBoard& m_board;
    std::size_t m_slot;
    std::string m_label;
    std::string m_stage;
    int m_position = -1;
};
