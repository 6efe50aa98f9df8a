#pragma once

class CMainFrame;

// Connects Filter > Remove Blooming (menu item and toolbar button) to the
// command, run on the active image window with the application's settings,
// messages, help and FilterRegion.
class CRemoveBloomingAction {
public:
    static void Connect(CMainFrame& frame);
    // The command on the active image window; nothing without one.
    static void OnRemoveBlooming();
};
