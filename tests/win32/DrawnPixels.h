// Pictures drawn for comparison: over a background that differs from pixel
// to pixel, so that transparency and blending show, and the first pixel in
// which two such pictures differ.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/Handle.h"

namespace quorvane::test {

// Runs draw(dc) on a width x height 32-bit picture and returns its pixels.
template <typename Draw>
std::vector<uint32_t> DrawnOverPattern(int width, int height, Draw draw) {
    void* bits = nullptr;
    win::UniqueBitmap bitmap = win::CreateTopDownDib(nullptr, width, height, 32, &bits);
    win::UniqueDc dc(CreateCompatibleDC(nullptr));
    win::ScopedSelect select(dc.get(), bitmap.get());
    auto* pixels = static_cast<uint32_t*>(bits);
    for (int i = 0; i < width * height; ++i) pixels[i] = static_cast<uint32_t>(i * 2654435761u) & 0x00FFFFFF;
    draw(dc.get());
    GdiFlush();
    return std::vector<uint32_t>(pixels, pixels + width * height);
}

// "" when both are the same, else the first pixel that differs.
inline std::string FirstDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, int width) {
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (a[i] != b[i]) {
            char text[80];
            snprintf(text, sizeof text, "pixel %d,%d: %06X instead of %06X", static_cast<int>(i) % width,
                     static_cast<int>(i) / width, a[i] & 0xFFFFFFu, b[i] & 0xFFFFFFu);
            return text;
        }
    }
    return a.size() == b.size() ? "" : "sizes differ";
}

}  // namespace quorvane::test
