#pragma once

// The busy cursor for the lifetime of the object (file reads and writes,
// filter runs). Suspend shows the normal cursor again while a modal box or
// dialog asks the user something.
class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

    class Suspend {
    public:
        Suspend();
        ~Suspend();
        Suspend(const Suspend&) = delete;
        Suspend& operator=(const Suspend&) = delete;

    private:
        bool m_bActive;
    };
};
