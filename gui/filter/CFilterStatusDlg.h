#pragma once
#include <QDialog>

#include "filter/IFilterStatus.h"

class QLabel;
class QProgressBar;

// The modeless "Anti-Blooming Filter Status:" window of one filter run: the
// plane searched, the two counts, the stage lines revealed one after another
// and a progress bar. It has no buttons and no close button; the run cannot be
// cancelled. The filter reports only changes, and the window repaints only
// what each report changes, so painting never dominates a long run.
class CFilterStatusDlg : public QDialog, public IFilterStatus {
    Q_OBJECT
public:
    explicit CFilterStatusDlg(QWidget* parent = nullptr);
    ~CFilterStatusDlg() override;

    void Open(const std::string& suffix) override;
    void SetProgress(int position) override;
    void ShowDetectedCount(int count) override;
    void ShowLengthCheckCount(int count) override;
    void RevealLine(ELine line) override;
    void Close() override;

    // Same member order as the window's lines: first line, the four stage
    // lines, the two counts, the bar.
    QLabel* m_searchLine = nullptr;
    QLabel* m_completeLine = nullptr;
    QLabel* m_blendingLine = nullptr;
    QLabel* m_removingLine = nullptr;
    QLabel* m_lengthLine = nullptr;
    QLabel* m_detectedLine = nullptr;
    QLabel* m_lengthCountLine = nullptr;
    QProgressBar* m_progress = nullptr;

private:
    QLabel* LineOf(ELine line) const;
    void CentreOnScreen();
    void PaintNow();
};
