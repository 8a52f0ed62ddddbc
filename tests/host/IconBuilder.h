// Builds .ico files for tests: DIB entries of every depth and PNG entries,
// one colour throughout with a transparent top-left pixel.
#pragma once

#include "tests/host/ByteWriter.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace quorvane::test {

struct IconSpec {
    int width = 16;
    int height = 16;
    int bitCount = 32;
    bool png = false;
    uint32_t rgb = 0xFF0000;  // 0xRRGGBB of every pixel but the top-left one
};

namespace icon_detail {

inline uint32_t Crc32(const uint8_t* p, size_t n) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

inline void PngChunk(std::vector<uint8_t>& b, const char (&type)[5], const std::vector<uint8_t>& body) {
    Put32Be(b, static_cast<uint32_t>(body.size()));
    const size_t start = b.size();
    b.insert(b.end(), type, type + 4);
    b.insert(b.end(), body.begin(), body.end());
    Put32Be(b, Crc32(b.data() + start, b.size() - start));
}

// An RGBA PNG stored without compression (zlib "stored" blocks).
inline std::vector<uint8_t> Png(const IconSpec& s) {
    std::vector<uint8_t> raw;
    for (int y = 0; y < s.height; ++y) {
        raw.push_back(0);  // filter: none
        for (int x = 0; x < s.width; ++x) {
            const bool clear = x == 0 && y == 0;
            raw.push_back(static_cast<uint8_t>(s.rgb >> 16));
            raw.push_back(static_cast<uint8_t>(s.rgb >> 8));
            raw.push_back(static_cast<uint8_t>(s.rgb));
            raw.push_back(clear ? 0 : 255);
        }
    }
    std::vector<uint8_t> z{0x78, 0x01};
    size_t at = 0;
    do {
        const size_t n = std::min<size_t>(65535, raw.size() - at);
        z.push_back(at + n == raw.size() ? 1 : 0);
        Put16(z, static_cast<uint32_t>(n));
        Put16(z, static_cast<uint32_t>(~n & 0xFFFF));
        z.insert(z.end(), raw.begin() + static_cast<long>(at), raw.begin() + static_cast<long>(at + n));
        at += n;
    } while (at < raw.size());
    uint32_t a = 1, b2 = 0;
    for (uint8_t c : raw) {
        a = (a + c) % 65521;
        b2 = (b2 + a) % 65521;
    }
    Put32Be(z, (b2 << 16) | a);

    std::vector<uint8_t> out{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<uint8_t> ihdr;
    Put32Be(ihdr, static_cast<uint32_t>(s.width));
    Put32Be(ihdr, static_cast<uint32_t>(s.height));
    ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});
    PngChunk(out, "IHDR", ihdr);
    PngChunk(out, "IDAT", z);
    PngChunk(out, "IEND", {});
    return out;
}

// BITMAPINFOHEADER, palette (index 1 is the colour), colour rows, mask rows.
inline std::vector<uint8_t> Dib(const IconSpec& s) {
    std::vector<uint8_t> b;
    Put32(b, 40);
    Put32(b, static_cast<uint32_t>(s.width));
    Put32(b, static_cast<uint32_t>(s.height * 2));
    Put16(b, 1);
    Put16(b, static_cast<uint32_t>(s.bitCount));
    for (int i = 0; i < 6; ++i) Put32(b, 0);  // compression .. important colours
    const uint8_t r = static_cast<uint8_t>(s.rgb >> 16), g = static_cast<uint8_t>(s.rgb >> 8),
                  bl = static_cast<uint8_t>(s.rgb);
    if (s.bitCount <= 8) {
        for (int i = 0; i < (1 << s.bitCount); ++i) {
            const bool colour = i == 1;
            b.insert(b.end(), {colour ? bl : uint8_t{0}, colour ? g : uint8_t{0}, colour ? r : uint8_t{0}, 0});
        }
    }
    const size_t colorStride = static_cast<size_t>((s.width * s.bitCount + 31) / 32 * 4);
    const size_t maskStride = static_cast<size_t>((s.width + 31) / 32 * 4);
    // Rows run bottom-up: the top-left pixel is the first of the last row.
    for (int y = s.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(colorStride, 0);
        for (int x = 0; x < s.width; ++x) {
            const bool clear = x == 0 && y == 0;
            switch (s.bitCount) {
                case 1: row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8)); break;
                case 4: row[static_cast<size_t>(x / 2)] |= static_cast<uint8_t>(x % 2 ? 0x01 : 0x10); break;
                case 8: row[static_cast<size_t>(x)] = 1; break;
                case 16: {
                    const uint32_t v = ((r >> 3u) << 10u) | ((g >> 3u) << 5u) | (bl >> 3u);
                    row[static_cast<size_t>(x) * 2] = static_cast<uint8_t>(v);
                    row[static_cast<size_t>(x) * 2 + 1] = static_cast<uint8_t>(v >> 8);
                    break;
                }
                case 24:
                    row[static_cast<size_t>(x) * 3] = bl;
                    row[static_cast<size_t>(x) * 3 + 1] = g;
                    row[static_cast<size_t>(x) * 3 + 2] = r;
                    break;
                default:
                    row[static_cast<size_t>(x) * 4] = clear ? 0 : bl;
                    row[static_cast<size_t>(x) * 4 + 1] = clear ? 0 : g;
                    row[static_cast<size_t>(x) * 4 + 2] = clear ? 0 : r;
                    row[static_cast<size_t>(x) * 4 + 3] = clear ? 0 : 255;
            }
        }
        b.insert(b.end(), row.begin(), row.end());
    }
    for (int y = s.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(maskStride, 0);
        if (y == 0) row[0] = 0x80;  // the top-left pixel is transparent
        b.insert(b.end(), row.begin(), row.end());
    }
    return b;
}

}  // namespace icon_detail

// The bytes of one entry as the file holds them.
inline std::vector<uint8_t> IconEntryBytes(const IconSpec& spec) {
    return spec.png ? icon_detail::Png(spec) : icon_detail::Dib(spec);
}

// A complete .ico file with the entries in the given order.
inline std::vector<uint8_t> BuildIcon(const std::vector<IconSpec>& specs) {
    using namespace icon_detail;
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(specs.size()));
    std::vector<std::vector<uint8_t>> images;
    for (const IconSpec& s : specs) images.push_back(IconEntryBytes(s));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * specs.size());
    for (size_t i = 0; i < specs.size(); ++i) {
        const IconSpec& s = specs[i];
        out.push_back(static_cast<uint8_t>(s.width >= 256 ? 0 : s.width));
        out.push_back(static_cast<uint8_t>(s.height >= 256 ? 0 : s.height));
        out.push_back(static_cast<uint8_t>(s.bitCount < 8 ? 1 << s.bitCount : 0));
        out.push_back(0);
        Put16(out, 1);
        Put16(out, static_cast<uint32_t>(s.bitCount));
        Put32(out, static_cast<uint32_t>(images[i].size()));
        Put32(out, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const auto& image : images) out.insert(out.end(), image.begin(), image.end());
    return out;
}

inline std::vector<uint8_t> BuildIcon(const IconSpec& spec = {}) { return BuildIcon(std::vector<IconSpec>{spec}); }

}  // namespace quorvane::test
