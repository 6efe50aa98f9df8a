#include "filter/ParallelItems.h"

#include <atomic>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

void RunItems(std::size_t count, int threads, const std::function<void(std::size_t item, int worker)>& work,
              const std::function<void(std::size_t finished)>& progress)
{
    std::atomic<std::size_t> next{0};
    std::unique_ptr<std::atomic<bool>[]> done(new std::atomic<bool>[count == 0 ? 1 : count]);
    for (std::size_t i = 0; i < count; ++i)
        done[i].store(false, std::memory_order_relaxed);
    std::size_t finished = 0;  // used by the calling thread only

    auto loop = [&](int worker) {
        for (;;) {
            const std::size_t item = next.fetch_add(1, std::memory_order_relaxed);
            if (item >= count)
                return;
            work(item, worker);
            done[item].store(true, std::memory_order_release);
            if (worker == 0) {
                while (finished < count && done[finished].load(std::memory_order_acquire))
                    ++finished;
                progress(finished);
            }
        }
    };

    // The first failure of any thread (a failed allocation) stops handing
    // out items; once every thread has stopped, the caller gets it.
    std::mutex failureLock;
    std::exception_ptr failure;
    auto guarded = [&](int worker) {
        try {
            loop(worker);
        } catch (...) {
            next.store(count, std::memory_order_relaxed);
            const std::lock_guard<std::mutex> hold(failureLock);
            if (!failure)
                failure = std::current_exception();
        }
    };

    std::vector<std::thread> helpers;
    const int wanted = threads < 1 ? 0 : threads - 1;
    helpers.reserve(static_cast<std::size_t>(wanted));
    for (int t = 1; t <= wanted && static_cast<std::size_t>(t) < count; ++t) {
        try {
            helpers.emplace_back(guarded, t);
        } catch (const std::system_error&) {
            break;
        }
    }
    guarded(0);
    for (std::thread& helper : helpers)
        helper.join();
    if (failure)
        std::rethrow_exception(failure);
    progress(count);
}
