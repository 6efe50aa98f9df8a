#pragma once
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class CAtomicFileWriter;

// Flushes and renames the written outputs of a batch on a thread of its own,
// while the workers go on with their next files: a flush mostly waits for the
// device, and the next file's reading and filtering need the processor.
// Commits run in the order they were added. A file is reported (done) only
// once its commit is over, and Finish returns only when every commit is.
// When no thread can be had, each commit runs at once on the adding thread.
class CCommitStage {
public:
    // committed: the output is in place. Runs on the stage's thread (or the
    // adding thread) and must not throw.
    using Done = std::function<void(bool committed)>;

    // At most maxWaiting commits wait at a time; Add waits for room, so that
    // a slow device holds the workers back instead of filling the memory
    // with unwritten files.
    explicit CCommitStage(std::size_t maxWaiting);
    ~CCommitStage();
    CCommitStage(const CCommitStage&) = delete;
    CCommitStage& operator=(const CCommitStage&) = delete;

    void Add(std::unique_ptr<CAtomicFileWriter> writer, Done done);
    // Returns once every added commit is over and its done has returned.
    void Finish();

private:
    struct SItem {
        std::unique_ptr<CAtomicFileWriter> writer;
        Done done;
    };
    void Loop();

    const std::size_t m_maxWaiting;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<SItem> m_items;
    bool m_finishing = false;
    std::thread m_thread;  // not joinable when none could be started
};
