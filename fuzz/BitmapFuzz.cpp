// Any bytes either load as a 24-bit bitmap whose size the file can account
// for, or raise one of the loader's two errors; nothing else may happen.
#include <cstdint>
#include <cstdlib>

#include "folder_settings/Bitmap.h"
#include "platform/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quorvane;
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
