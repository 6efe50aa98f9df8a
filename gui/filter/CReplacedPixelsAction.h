#pragma once

class CMainFrame;

// View > Show Replaced Pixels and File > Save Replaced-Pixel Mask...: the
// pixels the last Remove Blooming run on the active image replaced, tinted
// over its picture or written as a FITS mask (the command line's format).
//
// Show Replaced Pixels is one switch for every window; a window tints only
// while its picture shows its last run's result, so the command is enabled
// (and shows its check) only then: not before a run, nor after Undo until
// Redo. Save Replaced-Pixel Mask... is enabled whenever the active image has
// a run recorded, undone or not.
class CReplacedPixelsAction {
public:
    static void Connect(CMainFrame& frame);
    // The two commands' enabled and checked states for the active window.
    static void UpdateStates(CMainFrame& frame);

    static void OnShowReplacedPixels(CMainFrame& frame);
    static void OnSaveMask(CMainFrame& frame);
};
