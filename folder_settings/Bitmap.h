// A picture read from a Windows bitmap (.bmp) file, held as a 24-bit Dib.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "folder_settings/Dib.h"
#include "platform/Platform.h"

namespace quorvane {

class TBitmap {
public:
    // EFOpenError when the file cannot be read; see LoadFromData.
    void LoadFromFile(Platform& platform, const std::string& path);
    // Core and info headers up to version 5; 1, 4, 8, 16, 24 and 32 bits
    // per pixel; uncompressed, bit fields, RLE4 and RLE8; rows bottom up or
    // top down. No bytes give an empty bitmap. EReadError "Stream read
    // error" when the data ends before the headers or the pixels do,
    // EInvalidGraphic "Bitmap image is not valid" when it is not a bitmap of
    // a known kind. The bitmap is unchanged after a failure.
    void LoadFromData(std::vector<uint8_t> bytes);
    void LoadFromData(const uint8_t* data, size_t size) { LoadFromData(std::vector<uint8_t>(data, data + size)); }

    bool Empty() const { return !image_ || image_->Empty(); }
    int Width() const { return image_ ? image_->width : 0; }
    int Height() const { return image_ ? image_->height : 0; }
    const Dib& Image() const;
    // Pictures share the pixels rather than copy them: a Dib never changes
    // once loaded. Null while nothing is loaded.
    const std::shared_ptr<const Dib>& SharedImage() const { return image_; }

private:
    std::shared_ptr<const Dib> image_;
};

// The most a bitmap may unpack to (24 bits per pixel).
inline constexpr uint64_t kMaxBitmapBytes = uint64_t{1} << 30;

}  // namespace quorvane
