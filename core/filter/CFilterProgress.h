#pragma once
#include <string>

#include "filter/IFilterStatus.h"

// Passes a run's progress to its status display (which may be absent),
// leaving out every position equal to the last one reported, and the counts
// that come with it. Closes a display still open when it is destroyed, so
// that a run that fails still closes its display.
class CFilterProgress {
public:
    explicit CFilterProgress(IFilterStatus* status) : m_pStatus(status) {}
    ~CFilterProgress();
    CFilterProgress(const CFilterProgress&) = delete;
    CFilterProgress& operator=(const CFilterProgress&) = delete;

    void Open(const std::string& suffix);
    void Position(int position);
    // Detection, before each column: the position and the count so far.
    void DetectionColumn(int position, int count);
    // The count the detection ends on (before its last column).
    void DetectionEnd(int count);
    // Length check, before each column: the count so far and the position.
    void LengthColumn(int position, int count);
    void LengthEnd(int count);
    void Reveal(IFilterStatus::ELine line);
    void Close();

    // The last counts passed on (whether or not a display is present), 0
    // when none was.
    int ShownDetectedCount() const { return m_nDetected < 0 ? 0 : m_nDetected; }
    int ShownLengthCheckCount() const { return m_nLengthChecked < 0 ? 0 : m_nLengthChecked; }

private:
    IFilterStatus* m_pStatus;
    bool m_bOpen = false;
    int m_nPosition = -1;
    int m_nDetected = -1;
    int m_nLengthChecked = -1;
};
