#include "tests/host/FailingAllocation.h"

#include <cstdlib>
#include <new>

namespace {
// 0: no limit. The tests run on one thread.
size_t failFrom = 0;
// libjpeg's allocations since the LibjpegAllocationFailure began, and the
// first to refuse (0: none).
size_t libjpegCalls = 0;
size_t libjpegFailFrom = 0;

void* LibjpegAllocate(size_t size) {
    if (libjpegFailFrom != 0 && ++libjpegCalls >= libjpegFailFrom) return nullptr;
    return std::malloc(size);
}
}  // namespace

namespace quorvane::test {

AllocationLimit::AllocationLimit(size_t limit) : former_(failFrom) { failFrom = limit; }

AllocationLimit::~AllocationLimit() { failFrom = former_; }

LibjpegAllocationFailure::LibjpegAllocationFailure(size_t failFromCall) {
    libjpegCalls = 0;
    libjpegFailFrom = failFromCall;
}

LibjpegAllocationFailure::~LibjpegAllocationFailure() { libjpegFailFrom = 0; }

bool LibjpegAllocationFailure::Refused() const { return libjpegCalls >= libjpegFailFrom; }

}  // namespace quorvane::test

// The library's other forms (arrays, nothrow, sized delete) end up here.
void* operator new(size_t size) {
    if (failFrom != 0 && size >= failFrom) throw std::bad_alloc();
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept { std::free(p); }

void operator delete(void* p, size_t) noexcept { std::free(p); }

// The shared libjpeg's memory manager asks for its pools through these two
// (its jmemnobs back end: malloc, released with free); a definition in the
// program comes first. A null answer is its out-of-memory error.
extern "C" void* jpeg_get_small(void* /*cinfo*/, size_t size) { return LibjpegAllocate(size); }
extern "C" void* jpeg_get_large(void* /*cinfo*/, size_t size) { return LibjpegAllocate(size); }
