#include "CLargeBuffer.h"

#include <cstdint>
#include <mutex>
#include <new>
#include <sys/mman.h>

#include "CParallel.h"

namespace {
struct CSpares {
    std::mutex mutex;
    std::size_t keep = 0;
    std::vector<std::vector<uint32_t>> planes;
};

CSpares& Spares()
{
    static CSpares spares;
    return spares;
}
}  // namespace

void CLargeBuffer::KeepSpares(std::size_t count)
{
    std::vector<std::vector<uint32_t>> freed;  // freed outside the lock
    CSpares& spares = Spares();
    std::lock_guard<std::mutex> lock(spares.mutex);
    spares.keep = count;
    while (spares.planes.size() > count) {
        freed.push_back(std::move(spares.planes.back()));
        spares.planes.pop_back();
    }
}

void CLargeBuffer::Release(std::vector<uint32_t>& v)
{
    std::vector<uint32_t> plane;
    plane.swap(v);
    if (plane.capacity() * sizeof(uint32_t) < kLargeBytes)
        return;
    CSpares& spares = Spares();
    std::lock_guard<std::mutex> lock(spares.mutex);
    if (spares.planes.size() >= spares.keep)
        return;
    try {
        spares.planes.push_back(std::move(plane));
    } catch (const std::bad_alloc&) {
        // No room to record it: the plane is freed instead.
    }
}

bool CLargeBuffer::TakeSpare(std::vector<uint32_t>& v, std::size_t n)
{
    std::vector<uint32_t> tooSmall;  // freed outside the lock
    CSpares& spares = Spares();
    std::lock_guard<std::mutex> lock(spares.mutex);
    std::vector<std::vector<uint32_t>>& planes = spares.planes;
    if (planes.empty())
        return false;
    std::size_t best = planes.size();
    std::size_t largest = 0;
    for (std::size_t i = 0; i < planes.size(); ++i) {
        const std::size_t capacity = planes[i].capacity();
        if (capacity >= n && (best == planes.size() || capacity < planes[best].capacity()))
            best = i;
        if (capacity > planes[largest].capacity())
            largest = i;
    }
    // None fits (a larger image than the last): the largest spare makes
    // room for the fresh storage, so that spares never add to the peak.
    const bool found = best < planes.size();
    const std::size_t taken = found ? best : largest;
    (found ? v : tooSmall).swap(planes[taken]);
    v.clear();
    planes.erase(planes.begin() + static_cast<std::ptrdiff_t>(taken));
    return found;
}

void CLargeBuffer::AdviseHugePages(void* data, std::size_t bytes)
{
#ifdef MADV_HUGEPAGE
    // Only whole 2 MB ranges inside the allocation can be advised.
    constexpr std::uintptr_t kHuge = std::uintptr_t(2) << 20;
    const std::uintptr_t begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + kHuge - 1) & ~(kHuge - 1);
    const std::uintptr_t last = (begin + bytes) & ~(kHuge - 1);
    if (last <= first)
        return;
    // Advice only: a kernel without it keeps its small pages.
    ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#ifdef MADV_POPULATE_WRITE
    const std::size_t pages = (last - first) / kHuge;
    CParallel::ForRange(
        pages,
        [first](std::size_t from, std::size_t to, unsigned) {
            ::madvise(reinterpret_cast<void*>(first + from * kHuge), (to - from) * kHuge,
                      MADV_POPULATE_WRITE);
        },
        8);
#endif
#else
    (void)data;
    (void)bytes;
#endif
}
