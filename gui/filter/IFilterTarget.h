#pragma once

class CAstroImage;

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
};
