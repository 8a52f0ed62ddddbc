// The JPEG picture in which a folder's background picture is held, shown and
// stored: a thin layer over libjpeg. A picture holds encoded data, a bitmap,
// or both; data loaded from a file is kept byte for byte and never
// re-encoded.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "folder_settings/Dib.h"
#include "platform/Errors.h"
#include "platform/Platform.h"

namespace quorvane {

class TBitmap;

enum class JpegPixelFormat { k24Bit, k8Bit };
enum class JpegPerformance { kBestQuality, kBestSpeed };

// Settings every new picture copies from the process-wide defaults.
struct JpegSettings {
    int compressionQuality = 90;  // 1..100
    bool grayscale = false;
    JpegPerformance performance = JpegPerformance::kBestQuality;
    JpegPixelFormat pixelFormat = JpegPixelFormat::k24Bit;
    bool progressiveEncoding = false;
    int scaleDenominator = 1;  // 1, 2, 4 or 8
    bool smoothing = true;
};

class TJPEGImage {
public:
    TJPEGImage();
    explicit TJPEGImage(const JpegSettings& settings);

    static const JpegSettings& DefaultSettings();
    // Settles the default pixel format from the screen's bits per pixel
    // times its colour planes. Called once at start-up, before any picture
    // exists.
    static void SetScreenColorDepth(int bitsPerPixelTimesPlanes);

    // Reads the whole file and its stream header. EFOpenError when the file
    // cannot be read, EJPEG when the header is not valid. An empty file
    // gives an empty picture. The picture is unchanged after a failure.
    void LoadFromFile(Platform& platform, const std::string& path);
    void LoadFromData(std::vector<uint8_t> data);

    // Writes the encoded data exactly as held, encoding the bitmap first
    // when there is none. EFCreateError when the file cannot be written
    // whole; a file already there then keeps its former bytes.
    void SaveToFile(Platform& platform, const std::string& path);
    // Encodes the bitmap when there is no encoded data yet.
    void Compress();

    // Drops any encoded data and keeps the bitmap.
    void Assign(const TBitmap& bitmap);
    // Takes the other's encoded data and header facts, and its bitmap when
    // it has one. Neither changes once made, so pictures share them instead
    // of copying the bytes and pixels.
    void Assign(const TJPEGImage& other);

    // The bitmap to draw: decodes the encoded data on first use and keeps
    // the result. EJPEG when libjpeg cannot decode it.
    const Dib& DecodedBitmap();
    // The same for drawing at no more than wantedWidth x wantedHeight:
    // decoded with libjpeg's DCT scaling at the smallest scale that still
    // gives that many pixels (every byte of the stream is read at any
    // scale, so a broken one fails alike), and kept. Only a larger size
    // than the kept bitmap holds decodes again, in its place: a picture
    // keeps one bitmap.
    const Dib& DecodedBitmap(int wantedWidth, int wantedHeight);

    bool Empty() const;
    // The picture's full size: its stream header's, or that of the bitmap
    // it was made from, whatever scale it was decoded at.
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Grayscale() const { return grayscale_; }
    const std::vector<uint8_t>& Data() const;
    const Dib* Bitmap() const { return bitmap_.get(); }
    const JpegSettings& Settings() const { return settings_; }

private:
    JpegSettings settings_;
    // Null while there is no encoded data.
    std::shared_ptr<const std::vector<uint8_t>> data_;
    std::shared_ptr<const Dib> bitmap_;
    int width_ = 0;
    int height_ = 0;
    // The bitmap is 1/scale_ of the full size.
    int scale_ = 1;
    bool grayscale_ = false;
};

// The denominator of libjpeg's scale (1/1, 1/2, 1/4 or 1/8) that decodes a
// picture of width x height into the fewest pixels that still give at least
// wantedWidth x wantedHeight; libjpeg's output at 1/d is the size divided
// by d, rounded up.
int JpegScaleFor(int width, int height, int wantedWidth, int wantedHeight);

// Whether a decoding error is a memory limit's (the bitmap's, libjpeg's
// working memory, or no room for either): the picture is whole, only too
// large to show.
bool JpegTooLarge(const EJPEG& error);

// Limits on what hostile headers can make the program allocate: the decoded
// bitmap, and libjpeg's own working memory.
inline constexpr size_t kMaxJpegBitmapBytes = size_t{512} << 20;
inline constexpr long kMaxJpegWorkingBytes = 512L << 20;

}  // namespace quorvane
