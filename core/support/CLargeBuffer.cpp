#include "CLargeBuffer.h"

#include <cstdint>
#include <mutex>
#include <new>
#include <sys/mman.h>

#include "CParallel.h"

namespace {

// The kept buffers of one element type.
template <class T>
struct CSpares {
    std::mutex mutex;
    std::size_t keep = 0;
    std::vector<std::vector<T>> buffers;

    static CSpares& Of()
    {
        static CSpares spares;
        return spares;
    }

    void Keep(std::size_t count)
    {
        std::vector<std::vector<T>> freed;  // freed outside the lock
        std::lock_guard<std::mutex> lock(mutex);
        keep = count;
        while (buffers.size() > count) {
            freed.push_back(std::move(buffers.back()));
            buffers.pop_back();
        }
    }

    void Release(std::vector<T>& v)
    {
        std::vector<T> buffer;
        buffer.swap(v);
        if (buffer.capacity() * sizeof(T) < CLargeBuffer::kLargeBytes)
            return;
        std::lock_guard<std::mutex> lock(mutex);
        if (buffers.size() >= keep)
            return;
        try {
            buffers.push_back(std::move(buffer));
        } catch (const std::bad_alloc&) {
            // No room to record it: the buffer is freed instead.
        }
    }

    bool Take(std::vector<T>& v, std::size_t n)
    {
        std::vector<T> tooSmall;  // freed outside the lock
        std::lock_guard<std::mutex> lock(mutex);
        if (buffers.empty())
            return false;
        std::size_t best = buffers.size();
        std::size_t largest = 0;
        for (std::size_t i = 0; i < buffers.size(); ++i) {
            const std::size_t capacity = buffers[i].capacity();
            if (capacity >= n && (best == buffers.size() || capacity < buffers[best].capacity()))
                best = i;
            if (capacity > buffers[largest].capacity())
                largest = i;
        }
        // None fits (a larger image than the last): the largest spare makes
        // room for the fresh storage, so that spares never add to the peak.
        const bool found = best < buffers.size();
        const std::size_t taken = found ? best : largest;
        (found ? v : tooSmall).swap(buffers[taken]);
        v.clear();
        buffers.erase(buffers.begin() + static_cast<std::ptrdiff_t>(taken));
        return found;
    }
};

}  // namespace

void CLargeBuffer::KeepSpares(std::size_t count)
{
    CSpares<uint32_t>::Of().Keep(count);
    CSpares<uint8_t>::Of().Keep(count);
}

void CLargeBuffer::Release(std::vector<uint32_t>& v)
{
    CSpares<uint32_t>::Of().Release(v);
}

void CLargeBuffer::Release(std::vector<uint8_t>& v)
{
    CSpares<uint8_t>::Of().Release(v);
}

bool CLargeBuffer::TakeSpare(std::vector<uint32_t>& v, std::size_t n)
{
    return CSpares<uint32_t>::Of().Take(v, n);
}

bool CLargeBuffer::TakeSpare(std::vector<uint8_t>& v, std::size_t n)
{
    return CSpares<uint8_t>::Of().Take(v, n);
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
