#include "CLargeBuffer.h"

#include <cstdint>
#include <sys/mman.h>

#include "CParallel.h"

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
