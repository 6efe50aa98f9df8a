#pragma once
#include <cstddef>
#include <functional>

// Runs count independent jobs on up to `workers` threads; each thread takes
// the next job index as soon as it is free, so one slow file does not hold up
// the others. work(index, slot) gets the job index and the worker's slot
// (0..workers-1), which the progress display uses as its line. When threads
// cannot be had, fewer workers (at least the calling thread) do all the jobs.
// work must not throw.
class CJobPool {
public:
    static void Run(std::size_t count, std::size_t workers,
                    const std::function<void(std::size_t index, std::size_t slot)>& work);
    // The default number of workers: the number of cores, at least 1.
    static std::size_t DefaultWorkers();
};
