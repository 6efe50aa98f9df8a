#pragma once
#include <cstddef>
#include <functional>

// Runs work(item, worker) for every item 0..count-1 on up to `threads`
// threads, the calling thread among them (worker 0); items are handed out in
// order, one at a time. Whenever the calling thread finishes an item it calls
// progress(n), n being the number of leading items all finished, so that
// progress is reported from the calling thread only; progress(count) comes
// last. If a thread cannot be started the remaining threads do the work.
// Should work throw (a failed allocation), on any thread, no further items
// are handed out and the exception reaches the caller once every thread has
// stopped.
void RunItems(std::size_t count, int threads, const std::function<void(std::size_t item, int worker)>& work,
              const std::function<void(std::size_t finished)>& progress);
