// Any bytes either load as a 24-bit bitmap whose size the file can account
// for, or raise one of the loader's two errors; nothing else may happen.
#include <cstdint>
#include <cstdlib>

#include "folder_settings/Bitmap.h"
#include "platform/Errors.h"

namespace {

// Each run allocates and fills every pixel a header claims, which under
// the sanitizers costs far more than the parsing under test; pictures
// larger than this are skipped here only (the loader's own limit stays).
constexpr uint64_t kMaxPixels = uint64_t{1} << 16;

uint64_t ClaimedPixels(const uint8_t* data, size_t size) {
    constexpr size_t kInfo = 14;  // the file header comes first
    if (size < kInfo + 12) return 0;
    auto u16 = [&](size_t at) { return uint32_t{data[at]} | uint32_t{data[at + 1]} << 8; };
    auto i32 = [&](size_t at) {
        return static_cast<int32_t>(u16(at) | u16(at + 2) << 16);
    };
    if (u16(kInfo) == 12 && u16(kInfo + 2) == 0) return uint64_t{u16(kInfo + 4)} * u16(kInfo + 6);
    const int64_t width = i32(kInfo + 4), height = i32(kInfo + 8);
    return static_cast<uint64_t>(width < 0 ? -width : width) * static_cast<uint64_t>(height < 0 ? -height : height);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quorvane;
    if (ClaimedPixels(data, size) > kMaxPixels) return 0;
    TBitmap bitmap;
    try {
        bitmap.LoadFromData(data, size);
    } catch (const EReadError&) {
        return 0;
    } catch (const EInvalidGraphic&) {
        return 0;
    }
    const Dib& image = bitmap.Image();
    if (size == 0) {
        if (!bitmap.Empty()) std::abort();
        return 0;
    }
    if (image.bitsPerPixel != 24 || image.width <= 0 || image.height <= 0) std::abort();
    if (image.stride != Dib::StrideFor(image.width, 24)) std::abort();
    if (image.pixels.size() != image.stride * static_cast<size_t>(image.height)) std::abort();
    // In proportion to the file: RLE may claim 512 pixels a byte past a
    // floor, of at most 4 bytes each with row padding; every other kind
    // needs its rows in the file.
    if (image.pixels.size() > uint64_t{2048} * (size + 4096)) std::abort();
    // Touch both ends so a sanitizer sees a short allocation.
    volatile uint8_t sink = image.pixels.front();
    sink = image.pixels.back();
    (void)sink;
    return 0;
}
