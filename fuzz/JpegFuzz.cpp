// Any bytes either load as a JPEG picture that keeps them unchanged and
// draws at its header's size, or raise the JPEG error; libjpeg never ends
// the process. Each input is drawn in one display format, picked by its
// length: 24-bit, or 8-bit with either quantiser; and drawn again at 1/8,
// which reads every byte as well, so it gives the same error or a bitmap
// of an eighth of the size, rounded up.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "folder_settings/Jpeg.h"
#include "platform/Errors.h"

namespace {
// The decoder's work grows with the size a header claims, and a few bytes
// may claim a megapixel; bigger pictures are only loaded, which keeps each
// run short (the program's own limits are not changed).
constexpr uint64_t kMaxDecodedPixels = uint64_t{1} << 14;
// The two-pass quantiser's inverse colour map costs tens of milliseconds a
// picture under the instrumentation, more than every other input together,
// so it runs on one length in 256 and on small pictures only.
constexpr size_t kTwoPassLengths = 256;
constexpr uint64_t kMaxTwoPassPixels = uint64_t{1} << 12;

struct Mode {
    quorvane::JpegPixelFormat format;
    quorvane::JpegPerformance performance;
    uint64_t maxPixels;
};

Mode ModeFor(size_t size) {
    using quorvane::JpegPerformance;
    using quorvane::JpegPixelFormat;
    if (size % kTwoPassLengths == 0) return {JpegPixelFormat::k8Bit, JpegPerformance::kBestQuality, kMaxTwoPassPixels};
    if (size % 2 == 0) return {JpegPixelFormat::k8Bit, JpegPerformance::kBestSpeed, kMaxDecodedPixels};
    return {JpegPixelFormat::k24Bit, JpegPerformance::kBestQuality, kMaxDecodedPixels};
}

// What the picture gives drawn at full size (scale 1) or at 1/8: "skipped"
// for one too large for a quick run, "ok" or the error's message.
std::string Draw(const std::vector<uint8_t>& bytes, const Mode& mode, int scale) {
    using namespace quorvane;
    JpegSettings settings = TJPEGImage::DefaultSettings();
    settings.pixelFormat = mode.format;
    settings.performance = mode.performance;
    TJPEGImage picture(settings);
    try {
        picture.LoadFromData(bytes);
        if (picture.Data() != bytes) std::abort();
        const int width = picture.Width(), height = picture.Height();
        if (static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > mode.maxPixels) return "skipped";
        const Dib& dib = scale == 1 ? picture.DecodedBitmap() : picture.DecodedBitmap(1, 1);
        if (!bytes.empty() && (dib.width != (width + scale - 1) / scale || dib.height != (height + scale - 1) / scale)) {
            std::abort();
        }
        if (dib.pixels.size() != dib.stride * static_cast<size_t>(dib.height)) std::abort();
        if (dib.bitsPerPixel == 8) {
            if (dib.palette.empty() || dib.palette.size() > 236) std::abort();
            for (int y = 0; y < dib.height; ++y) {
                for (int x = 0; x < dib.width; ++x) {
                    if (dib.Row(y)[x] >= dib.palette.size()) std::abort();
                }
            }
        }
    } catch (const EJPEG& e) {
        return e.what();
    }
    return "ok";
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    const Mode mode = ModeFor(size);
    if (Draw(bytes, mode, 1) != Draw(bytes, mode, 8)) std::abort();
    return 0;
}
