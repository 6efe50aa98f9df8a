#pragma once

class QWidget;

// Start-up waits here, after showing the main window, for the window system
// to put it on the screen at the size it keeps (a window manager maximises
// it only after it is mapped), so that what is sized against it next gets
// the same size as later on.
class CMainFrameShown {
public:
    // Runs the event loop until the window is exposed and its size has
    // settled, or a short time has passed.
    static void Wait(QWidget& window);
};
