// Any bytes either load as a JPEG picture that keeps them unchanged and
// draws at its header's size, or raise the JPEG error; libjpeg never ends
// the process. Both display formats are tried.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "folder_settings/Jpeg.h"
#include "platform/Errors.h"

namespace {
// The decoder's work grows with the size a header claims; bigger pictures
// are only loaded, which keeps each run short.
constexpr uint64_t kMaxTrueColourPixels = uint64_t{1} << 20;
constexpr uint64_t kMaxQuantisedPixels = uint64_t{1} << 18;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quorvane;
    const std::vector<uint8_t> bytes(data, data + size);
    for (JpegPixelFormat format : {JpegPixelFormat::k24Bit, JpegPixelFormat::k8Bit}) {
        JpegSettings settings = TJPEGImage::DefaultSettings();
        settings.pixelFormat = format;
        TJPEGImage picture(settings);
        try {
            picture.LoadFromData(bytes);
            if (picture.Data() != bytes) std::abort();
            const uint64_t pixels = static_cast<uint64_t>(picture.Width()) * static_cast<uint64_t>(picture.Height());
            if (pixels > (format == JpegPixelFormat::k8Bit ? kMaxQuantisedPixels : kMaxTrueColourPixels)) continue;
            const int width = picture.Width(), height = picture.Height();
            const Dib& dib = picture.DecodedBitmap();
            if (size != 0 && (dib.width != width || dib.height != height)) std::abort();
            if (dib.pixels.size() != dib.stride * static_cast<size_t>(dib.height)) std::abort();
            if (dib.bitsPerPixel == 8) {
                if (dib.palette.empty() || dib.palette.size() > 236) std::abort();
                for (int y = 0; y < dib.height; ++y) {
                    for (int x = 0; x < dib.width; ++x) {
                        if (dib.Row(y)[x] >= dib.palette.size()) std::abort();
                    }
                }
            }
        } catch (const EJPEG&) {
        }
    }
    return 0;
}
