#pragma once

// Caps, Num and Scroll Lock as the window system reports them. Only X11
// reports them; elsewhere m_bKnown is false.
struct CLockKeyState {
    bool m_bKnown = false;
    bool m_bCaps = false;
    bool m_bNum = false;
    bool m_bScroll = false;

    static CLockKeyState Query();
};
