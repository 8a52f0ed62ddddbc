// Any bytes either load as a JPEG picture that keeps them unchanged and
// draws at its header's size, or raise the JPEG error; libjpeg never ends
// the process. Both display formats are tried, 8-bit with either quantiser.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "folder_settings/Jpeg.h"
#include "platform/Errors.h"

namespace {
// The decoder's work grows with the size a header claims, and a few bytes
// may claim a megapixel; bigger pictures are only loaded, which keeps each
// run short (the program's own limits are not changed).
constexpr uint64_t kMaxTrueColourPixels = uint64_t{1} << 14;
constexpr uint64_t kMaxQuantisedPixels = uint64_t{1} << 14;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quorvane;
    const std::vector<uint8_t> bytes(data, data + size);
    struct Mode {
        JpegPixelFormat format;
        JpegPerformance performance;
    };
    // The two-pass colour quantiser's map costs tens of milliseconds a
    // picture under the instrumentation, so it decodes one input in sixteen.
    const bool twoPass = size % 16 == 0;
    for (const Mode mode : {Mode{JpegPixelFormat::k24Bit, JpegPerformance::kBestQuality},
                            Mode{JpegPixelFormat::k8Bit, JpegPerformance::kBestSpeed},
                            Mode{JpegPixelFormat::k8Bit, JpegPerformance::kBestQuality}}) {
        if (mode.format == JpegPixelFormat::k8Bit && mode.performance == JpegPerformance::kBestQuality && !twoPass) {
            continue;
        }
        const JpegPixelFormat format = mode.format;
        JpegSettings settings = TJPEGImage::DefaultSettings();
        settings.pixelFormat = format;
        settings.performance = mode.performance;
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
