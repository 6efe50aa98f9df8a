// A helper thread that runs out of memory hands the failure to the caller,
// which reports it for its file; it never ends the process.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <new>
#include <thread>

#include "filter/ParallelItems.h"
#include "support/CParallel.h"

TEST(ParallelFailure, AHelperThreadsExceptionReachesTheCaller)
{
    if (CParallel::ThreadCount() < 2)
        GTEST_SKIP() << "a single core: the loops start no helper thread";
    auto failSecondPart = [](std::size_t, std::size_t, unsigned part) {
        if (part == 1)
            throw std::bad_alloc();
    };
    EXPECT_THROW(CParallel::ForRange(1000, failSecondPart, 2), std::bad_alloc);
    // The first item waits until the helper has taken the second, which fails.
    std::atomic<bool> secondTaken{false};
    auto work = [&](std::size_t item, int) {
        if (item == 1) {
            secondTaken = true;
            throw std::bad_alloc();
        }
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!secondTaken && std::chrono::steady_clock::now() < until)
            std::this_thread::yield();
    };
    EXPECT_THROW(RunItems(2, 2, work, [](std::size_t) {}), std::bad_alloc);
}
