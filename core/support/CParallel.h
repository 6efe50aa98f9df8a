#pragma once
#include <cstddef>
#include <exception>
#include <system_error>
#include <thread>

// Splits a loop over [0, count) into two halves, the second half on a helper
// thread, when the work is big enough to pay for the thread. Each half sees
// disjoint indices, so the result equals the plain loop.
class CParallel {
public:
    // Loops shorter than this run on the calling thread alone.
    static constexpr std::size_t kMinSplit = std::size_t(1) << 18;

    static unsigned ThreadCount()
    {
        unsigned n = std::thread::hardware_concurrency();
        return n >= 2 ? 2 : 1;
    }

    // fn(begin, end, part) with part 0 or 1. The split point is a multiple of
    // 64 elements, so the two halves never write into the same cache line.
    // An exception of either half (a failed allocation) reaches the caller
    // once both halves have stopped; it never ends the process.
    template <class F>
    static void ForRange(std::size_t count, F&& fn, std::size_t minSplit = kMinSplit)
    {
        if (count < minSplit || ThreadCount() < 2) {
            fn(std::size_t(0), count, 0u);
            return;
        }
        std::size_t mid = count / 2;
        if (mid >= 64)
            mid &= ~std::size_t(63);
        std::exception_ptr helperFailure;
        std::thread helper;
        try {
            helper = std::thread([&fn, &helperFailure, mid, count] {
                try {
                    fn(mid, count, 1u);
                } catch (...) {
                    helperFailure = std::current_exception();
                }
            });
        } catch (const std::system_error&) {
            // No thread to be had: do all of it here.
            fn(std::size_t(0), count, 0u);
            return;
        }
        std::exception_ptr failure;
        try {
            fn(std::size_t(0), mid, 0u);
        } catch (...) {
            failure = std::current_exception();
        }
        helper.join();
        if (!failure)
            failure = helperFailure;
        if (failure)
            std::rethrow_exception(failure);
    }
};
