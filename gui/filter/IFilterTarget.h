#pragma once
#include <memory>

class CAstroImage;
struct CFilterRunRecord;

// One open image as the Remove Blooming command sees it: its image, and the
// window state the command updates after filtering it.
class IFilterTarget {
public:
    virtual ~IFilterTarget() = default;
    virtual CAstroImage& Image() = 0;
    // The Undo and Redo enable flags of the image's (first) view.
    virtual void SetUndoState(bool canUndo, bool canRedo) = 0;
    virtual void SetModified() = 0;
    // Redraws the image's view(s) at once from the rebuilt display buffer.
    virtual void Repaint() = 0;
    // Keeps what the command's run did to the image (null: a run that
    // failed part way, so nothing sure to show).
    virtual void RecordRun(std::unique_ptr<CFilterRunRecord> /*record*/) {}
};
