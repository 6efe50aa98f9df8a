#include "CJobPool.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

void CJobPool::Run(std::size_t count, std::size_t workers,
                   const std::function<void(std::size_t, std::size_t)>& work)
{
    workers = std::max<std::size_t>(1, std::min(workers, count));
    std::atomic<std::size_t> next{0};
    auto loop = [&](std::size_t slot) {
        for (std::size_t index = next++; index < count; index = next++)
            work(index, slot);
    };
    if (workers == 1) {
        loop(0);
        return;
    }
    // A system that runs out of threads (a process limit) leaves the pool
    // with those it has; with none, the calling thread does every job.
    std::vector<std::thread> threads;
    threads.reserve(workers - 1);
    for (std::size_t slot = 1; slot < workers; ++slot) {
        try {
            threads.emplace_back(loop, slot);
        } catch (const std::system_error&) {
            break;
        }
    }
    loop(0);
    for (std::thread& thread : threads)
        thread.join();
}

std::size_t CJobPool::DefaultWorkers()
{
    return std::max(1u, std::thread::hardware_concurrency());
}
