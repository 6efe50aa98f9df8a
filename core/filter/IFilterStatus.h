#pragma once
#include <string>

// What one run of the bloom filter tells its status display. The desktop
// program shows it in the modeless status window, the command line as a
// progress line, tests record it. Every call comes from the thread that
// called CBloomFilter::Run, in this order:
//
//   Open(suffix)                        the first line reads "Searching for
//                                       bloom pixels" + suffix + "."
//   detection:    SetProgress(p), ShowDetectedCount(n)      positions 0..13
//   RevealLine(ELine::LengthCheck)
//   length check: ShowLengthCheckCount(n), SetProgress(p)   positions 14..27
//   horizontal fill, neighbour marking and merge: SetProgress(p)   28..69
//   RevealLine(ELine::Removing)
//   replacement values: SetProgress(p)                      70..85
//   RevealLine(ELine::Blending)
//   write-back: SetProgress(p)                              86..99
//   SetProgress(100), RevealLine(ELine::Complete), Close()
//
// A position is reported only when it differs from the last one reported,
// so a display that repaints on every call costs at most about a hundred
// repaints per run. The counts come with the position of the same column;
// at the end of detection and of the length check the count that stage ends
// on (the count before the last column of the working rectangle) is sent
// once more if it differs from the last one sent. A working rectangle
// without columns sends no counts at all, so both count lines stay empty.
//
// Close() is also called when the run fails (an allocation failure, which
// then propagates out of Run); it must not throw.
class IFilterStatus {
public:
    // The lines that start hidden and are revealed one after another.
    enum class ELine {
        LengthCheck,  // "Checking length of bloom pixels."
        Removing,     // "Removing bloom pixels."
        Blending,     // "Blending bloom pixels."
        Complete      // "Processing Complete!"
    };

    virtual ~IFilterStatus() = default;
    // Shows the display; suffix is "" for a monochrome image, or
    // " in Red plane", " in Green plane", " in Blue plane".
    virtual void Open(const std::string& suffix) = 0;
    // Moves the bar to position (0..100).
    virtual void SetProgress(int position) = 0;
    // "%i bloom pixels detected."
    virtual void ShowDetectedCount(int count) = 0;
    // "%i bloom pixels after length check."
    virtual void ShowLengthCheckCount(int count) = 0;
    // Shows a hidden line and repaints the display at once.
    virtual void RevealLine(ELine line) = 0;
    // Hides and releases the display. Must not throw.
    virtual void Close() = 0;
};
