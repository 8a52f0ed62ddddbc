#include "bench/SamplePicture.h"

#include <algorithm>
#include <cstddef>

namespace quorvane::bench {

std::vector<uint8_t> PhotoLikeBmp(int width, int height) {
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    std::vector<uint8_t> file(54 + stride * static_cast<size_t>(height));
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) file[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    file[26] = 1;
    file[28] = 24;
    uint32_t noise = 12345;
    const int discX = width / 3, discY = height * 3 / 8, discR = width * 3 / 20;
    for (int y = 0; y < height; ++y) {
        uint8_t* row = &file[54 + stride * static_cast<size_t>(height - 1 - y)];
        for (int x = 0; x < width; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int n = static_cast<int>((noise >> 16) & 15) - 8;
            const bool disc = (x - discX) * (x - discX) + (y - discY) * (y - discY) < discR * discR;
            const bool band = ((x + y) / 300) % 5 == 0;
            int r = 40 + 180 * x / width, g = 60 + 150 * y / height, b = 200 - 150 * (x + y) / (width + height);
            if (disc) r = 230 - r / 3, g = g / 2;
            if (band) b = 255 - b;
            row[3 * x] = static_cast<uint8_t>(std::clamp(b + n, 0, 255));
            row[3 * x + 1] = static_cast<uint8_t>(std::clamp(g + n, 0, 255));
            row[3 * x + 2] = static_cast<uint8_t>(std::clamp(r + n, 0, 255));
        }
    }
    return file;
}

}  // namespace quorvane::bench
