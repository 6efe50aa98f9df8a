#pragma once
#include <cstddef>

// While an object lives, every operator new of at least `bytes` (on any
// thread) throws std::bad_alloc, as it does in a process short of memory.
// The core test program's global operator new honours it.
class CAllocationLimit {
public:
    explicit CAllocationLimit(std::size_t bytes);
    ~CAllocationLimit();
    CAllocationLimit(const CAllocationLimit&) = delete;
    CAllocationLimit& operator=(const CAllocationLimit&) = delete;
};
