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

// Makes libjpeg's own allocations fail, from the `failFromCall`th one on
// (counted from 1), while it is alive, as a full address space does. The
// test program takes libjpeg's allocation calls over to do it.
class LibjpegAllocationFailure {
public:
    explicit LibjpegAllocationFailure(size_t failFromCall);
    ~LibjpegAllocationFailure();
    LibjpegAllocationFailure(const LibjpegAllocationFailure&) = delete;
    LibjpegAllocationFailure& operator=(const LibjpegAllocationFailure&) = delete;

    // Whether any allocation was refused.
    bool Refused() const;
};

}  // namespace quorvane::test
