#pragma once
#include <memory>

class CAtomicFileWriter;

// Takes a save whose bytes are all written to its temporary file, before the
// flush and the rename, so that a batch can go on with its next file while
// the device catches up. The queue must call the writer's Commit, whose
// failure is the save's "Failed to close file.", or destroy the writer, which
// removes the temporary file. Until then the temporary file stays recorded
// for removal on a signal.
class ICommitQueue {
public:
    virtual ~ICommitQueue() = default;
    virtual void Defer(std::unique_ptr<CAtomicFileWriter> writer) = 0;
};
