#pragma once
#include <string>

// The temporary files being written at this moment, so that a process ended
// by SIGINT, SIGTERM or SIGHUP removes them instead of leaving hidden partial
// files next to the user's images. The signal handler only reads fixed slots
// through atomics and calls unlink, both safe inside a handler.
class CTempFileRegistry {
public:
    static constexpr int kNoSlot = -1;

    // Records path before the file is made; the slot to release once the
    // file is renamed or removed. kNoSlot when every slot is taken or the
    // path is too long (the file is then simply not cleaned up on a signal).
    static int Add(const std::string& path);
    static void Release(int slot);

    // Installs the handlers: they remove every recorded file, then end the
    // process by the same signal (a shell reports 130 for SIGINT, 143 for
    // SIGTERM). A signal the process was started with ignored stays ignored.
    static void RemoveOnSignals();

    // Removes every recorded file; async-signal-safe.
    static void RemoveAll();
};
