// The core test program's operator new, which CAllocationLimit makes refuse
// large requests as a process short of memory would.
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

#include "CoreTestSupport.h"

namespace {
std::atomic<std::size_t> g_refusedFrom{SIZE_MAX};

void* Allocate(std::size_t size)
{
    void* p = size < g_refusedFrom.load(std::memory_order_relaxed) ? std::malloc(size == 0 ? 1 : size) : nullptr;
    return p ? p : throw std::bad_alloc();
}
}  // namespace

CAllocationLimit::CAllocationLimit(std::size_t bytes) { g_refusedFrom.store(bytes); }
CAllocationLimit::~CAllocationLimit() { g_refusedFrom.store(SIZE_MAX); }

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
