#pragma once
#include "IFilterTarget.h"

class CChildFrame;

// An image window as the Remove Blooming command sees it: the image of its
// document, its view's Undo and Redo flags, its document's modified flag, and
// its view to repaint.
class CChildFrameFilterTarget : public IFilterTarget {
public:
    explicit CChildFrameFilterTarget(CChildFrame& frame) : m_frame(frame) {}

    CAstroImage& Image() override;
    void SetUndoState(bool canUndo, bool canRedo) override;
    void SetModified() override;
    void Repaint() override;
    void RecordRun(std::unique_ptr<CFilterRunRecord> record) override;

private:
    CChildFrame& m_frame;
};
