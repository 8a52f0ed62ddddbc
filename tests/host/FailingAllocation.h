// Makes large allocations fail, as they do in a 32-bit process whose
// address space has no room left, while an AllocationLimit is alive. The
// test program's operator new honours it.
#pragma once

#include <cstddef>

namespace quorvane::test {

class AllocationLimit {
public:
    // Every allocation of at least `failFrom` bytes throws std::bad_alloc.
    explicit AllocationLimit(size_t failFrom);
    ~AllocationLimit();
    AllocationLimit(const AllocationLimit&) = delete;
    AllocationLimit& operator=(const AllocationLimit&) = delete;

private:
    size_t former_;
};

}  // namespace quorvane::test
