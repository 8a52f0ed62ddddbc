#include "tests/host/FailingAllocation.h"

#include <cstdlib>
#include <new>

namespace {
// 0: no limit. The tests run on one thread.
size_t failFrom = 0;
}  // namespace

namespace quorvane::test {

AllocationLimit::AllocationLimit(size_t limit) : former_(failFrom) { failFrom = limit; }

AllocationLimit::~AllocationLimit() { failFrom = former_; }

}  // namespace quorvane::test

// The library's other forms (arrays, nothrow, sized delete) end up here.
void* operator new(size_t size) {
    if (failFrom != 0 && size >= failFrom) throw std::bad_alloc();
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept { std::free(p); }

void operator delete(void* p, size_t) noexcept { std::free(p); }
