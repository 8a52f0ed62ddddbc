// A device-independent bitmap in memory: the form in which pictures are
// decoded, loaded and encoded, and which the window turns into an HBITMAP.
// Rows run top down; each row is padded to a multiple of four bytes, as
// Windows lays out DIB rows, so the pixels can be handed over unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorvane {

// Laid out as an RGBQUAD.
struct PaletteEntry {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
    uint8_t reserved = 0;

    friend bool operator==(const PaletteEntry&, const PaletteEntry&) = default;
};

struct Dib {
    int width = 0;
    int height = 0;
    // 24: three bytes per pixel, blue, green, red. 8: one palette index per pixel.
    int bitsPerPixel = 24;
    size_t stride = 0;
    std::vector<uint8_t> pixels;
    std::vector<PaletteEntry> palette;  // 8 bits per pixel only

    // In 64 bits, so that callers can check a size before allocating it.
    static uint64_t StrideFor(int width, int bitsPerPixel) {
        return (static_cast<uint64_t>(width) * static_cast<uint64_t>(bitsPerPixel) + 31) / 32 * 4;
    }

    // Sizes the pixel store for width x height, zero-filled. The caller has
    // checked that the size fits.
    void Allocate(int newWidth, int newHeight, int newBitsPerPixel) {
        width = newWidth;
        height = newHeight;
        bitsPerPixel = newBitsPerPixel;
        stride = static_cast<size_t>(StrideFor(newWidth, newBitsPerPixel));
        pixels.assign(stride * static_cast<size_t>(newHeight), 0);
        palette.clear();
    }

    bool Empty() const { return width <= 0 || height <= 0; }
    uint8_t* Row(int y) { return pixels.data() + stride * static_cast<size_t>(y); }
    const uint8_t* Row(int y) const { return pixels.data() + stride * static_cast<size_t>(y); }
};

}  // namespace quorvane
