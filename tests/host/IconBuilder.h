// Builds .ico files for tests: DIB entries of every depth and PNG entries,
// one colour throughout with a transparent top-left pixel, or (DIB only) a
// picture that differs from pixel to pixel.
#pragma once

#include "tests/host/ByteWriter.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace quorvane::test {

struct IconSpec {
    int width = 16;
    int height = 16;
    int bitCount = 32;
    bool png = false;
    uint32_t rgb = 0xFF0000;  // 0xRRGGBB of every pixel but the top-left one
    // Colours, palette indices, mask and alpha vary with x and y, so that a
    // decoder that swaps rows, nibbles or channels gets another picture.
    bool varied = false;
    // 32 bits only: false stores alpha 0 throughout (an image without alpha).
    bool alpha = true;
    // Varied, without alpha: pixels set in the mask keep a colour (and so
    // invert the screen where an icon draws) instead of black.
    bool inverts = false;
    // How the bitmap is laid out, as various writers do it: the header
    // (12 core, 40 info, 124 V5), the AND mask left out, the header's
    // height not doubled, a biSizeImage, and a palette of fewer colours
    // than the depth has (0: all), which varied indices run past.
    int header = 40;
    bool mask = true;
    bool doubled = true;
    uint32_t sizeImage = 0;
    unsigned paletteColors = 0;
};

// One pixel as the entry stores it.
struct StoredPixel {
    uint8_t blue = 0, green = 0, red = 0, alpha = 0;
    unsigned index = 0;  // palette index, 8 bits and fewer
    bool masked = false;  // AND mask bit
};

// Palette entry i of a varied picture, 0 black (a uniform one has only
// entry 1, rgb).
inline std::array<uint8_t, 3> VariedPaletteBgr(unsigned i) {
    if (i == 0) return {0, 0, 0};
    return {static_cast<uint8_t>(i * 67 + 13), static_cast<uint8_t>(i * 29 + 101), static_cast<uint8_t>(i * 151 + 7)};
}

inline StoredPixel StoredAt(const IconSpec& s, int x, int y) {
    StoredPixel p;
    if (!s.varied) {
        const bool clear = x == 0 && y == 0;
        p.masked = clear;
        p.index = 1;
        p.red = static_cast<uint8_t>(s.rgb >> 16);
        p.green = static_cast<uint8_t>(s.rgb >> 8);
        p.blue = static_cast<uint8_t>(s.rgb);
        p.alpha = 255;
        if (s.bitCount == 16) p.red &= 0xF8, p.green &= 0xF8, p.blue &= 0xF8;  // five bits a colour
        if (s.bitCount == 32 && clear) p = StoredPixel{0, 0, 0, 0, 1, true};
    } else {
        const auto ux = static_cast<unsigned>(x), uy = static_cast<unsigned>(y);
        p.masked = (ux + 2 * uy) % 5 == 0;
        if (s.bitCount <= 8) {
            p.index = (ux * 3 + uy * 7 + ux * uy) % (1u << s.bitCount);
            const auto bgr = VariedPaletteBgr(p.index);
            p.blue = bgr[0], p.green = bgr[1], p.red = bgr[2];
        } else if (s.bitCount == 16) {
            p.blue = static_cast<uint8_t>(((ux * 3 + uy) % 32) << 3);
            p.green = static_cast<uint8_t>(((ux + uy * 5) % 32) << 3);
            p.red = static_cast<uint8_t>(((ux * uy + 7) % 32) << 3);
        } else {
            p.blue = static_cast<uint8_t>(ux * 13 + uy * 3);
            p.green = static_cast<uint8_t>(uy * 17 + ux);
            p.red = static_cast<uint8_t>((ux ^ uy) * 9);
        }
        // Opaque, clear and everything between; the mask bit follows the
        // alpha only loosely, as in many icons found in the wild.
        p.alpha = static_cast<uint8_t>((ux * 37 + uy * 11) % 7 == 0 ? 0 : (ux * 29 + uy * 71) & 0xFF);
        if (s.bitCount == 32 && !s.alpha) p.alpha = 0;
        const bool alphaDecides = s.bitCount == 32 && s.alpha;
        if (p.masked && !alphaDecides && !s.inverts) p.index = 0, p.blue = p.green = p.red = 0;
    }
    return p;
}

// What a decoder must give for the pixel: blue, green, red, alpha.
inline std::array<uint8_t, 4> DecodedAt(const IconSpec& s, int x, int y) {
    StoredPixel p = StoredAt(s, x, y);
    if (s.bitCount <= 8 && s.paletteColors != 0 && p.index >= s.paletteColors) p.blue = p.green = p.red = 0;
    std::array<uint8_t, 4> out{p.blue, p.green, p.red, static_cast<uint8_t>(p.masked ? 0 : 255)};
    if (s.bitCount == 16) {
        for (int c = 0; c < 3; ++c) out[static_cast<size_t>(c)] |= static_cast<uint8_t>(out[static_cast<size_t>(c)] >> 5);
    }
    if (s.bitCount == 32 && s.alpha) out[3] = p.alpha;
    if (!s.mask) out[3] = s.bitCount == 32 && s.alpha ? p.alpha : 255;  // the system's mask for none
    return out;
}

// The AND mask bit a decoder must give: the stored one, or without a mask
// the system's, set where an image with alpha is not fully opaque.
inline bool DecodedMaskAt(const IconSpec& s, int x, int y) {
    const StoredPixel p = StoredAt(s, x, y);
    if (s.mask) return p.masked;
    return s.bitCount == 32 && s.alpha && p.alpha != 255;
}

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

// The header, palette, colour rows, mask rows.
inline std::vector<uint8_t> Dib(const IconSpec& s) {
    std::vector<uint8_t> b;
    const uint32_t rows = static_cast<uint32_t>(s.doubled ? s.height * 2 : s.height);
    if (s.header == 12) {
        Put32(b, 12);
        Put16(b, static_cast<uint32_t>(s.width));
        Put16(b, rows);
        Put16(b, 1);
        Put16(b, static_cast<uint32_t>(s.bitCount));
    } else {
        Put32(b, static_cast<uint32_t>(s.header));
        Put32(b, static_cast<uint32_t>(s.width));
        Put32(b, rows);
        Put16(b, 1);
        Put16(b, static_cast<uint32_t>(s.bitCount));
        Put32(b, 0);  // compression
        Put32(b, s.sizeImage);
        Put32(b, 0);
        Put32(b, 0);
        Put32(b, s.paletteColors);
        Put32(b, 0);
        b.resize(static_cast<size_t>(s.header), 0);  // a V5 header's masks, colour space and profile
    }
    if (s.bitCount <= 8) {
        const unsigned colors = s.paletteColors ? s.paletteColors : 1u << s.bitCount;
        for (unsigned i = 0; i < colors; ++i) {
            const uint32_t rgb = i == 1 ? s.rgb : 0;
            const auto bgr = s.varied ? VariedPaletteBgr(i)
                                      : std::array<uint8_t, 3>{static_cast<uint8_t>(rgb), static_cast<uint8_t>(rgb >> 8),
                                                               static_cast<uint8_t>(rgb >> 16)};
            b.insert(b.end(), {bgr[0], bgr[1], bgr[2]});
            if (s.header != 12) b.push_back(0);
        }
    }
    const size_t colorStride = static_cast<size_t>((s.width * s.bitCount + 31) / 32 * 4);
    const size_t maskStride = static_cast<size_t>((s.width + 31) / 32 * 4);
    // Rows run bottom-up: the top-left pixel is the first of the last row.
    for (int y = s.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(colorStride, 0);
        for (int x = 0; x < s.width; ++x) {
            const StoredPixel p = StoredAt(s, x, y);
            const auto ux = static_cast<size_t>(x);
            switch (s.bitCount) {
                case 1:
                case 4:
                case 8: {
                    const size_t perByte = 8 / static_cast<size_t>(s.bitCount);
                    const size_t shift = 8 - static_cast<size_t>(s.bitCount) * (1 + ux % perByte);
                    row[ux / perByte] |= static_cast<uint8_t>(p.index << shift);
                    break;
                }
                case 16: {
                    const uint32_t v = ((p.red >> 3u) << 10u) | ((p.green >> 3u) << 5u) | (p.blue >> 3u);
                    row[ux * 2] = static_cast<uint8_t>(v);
                    row[ux * 2 + 1] = static_cast<uint8_t>(v >> 8);
                    break;
                }
                case 24:
                    row[ux * 3] = p.blue;
                    row[ux * 3 + 1] = p.green;
                    row[ux * 3 + 2] = p.red;
                    break;
                default:
                    row[ux * 4] = p.blue;
                    row[ux * 4 + 1] = p.green;
                    row[ux * 4 + 2] = p.red;
                    row[ux * 4 + 3] = p.alpha;
            }
        }
        b.insert(b.end(), row.begin(), row.end());
    }
    if (!s.mask) return b;
    for (int y = s.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(maskStride, 0);
        for (int x = 0; x < s.width; ++x) {
            if (StoredAt(s, x, y).masked) row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
        }
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

// `records` directory records all at one PNG entry: its header, then
// `chunks` empty chunks and no image data (a walk per record is quadratic).
inline std::vector<uint8_t> ChunkChainIcon(size_t records, size_t chunks) {
    std::vector<uint8_t> png = icon_detail::Png(test::IconSpec{32, 32, 32, true});
    png.resize(8 + 25);  // the signature and IHDR
    std::vector<uint8_t> b;
    Put16(b, 0), Put16(b, 1), Put16(b, static_cast<uint32_t>(records));
    for (size_t i = 0; i < records; ++i) {
        b.insert(b.end(), {32, 32, 0, 0, 1, 0, 32, 0});
        Put32(b, static_cast<uint32_t>(png.size()));
        Put32(b, static_cast<uint32_t>(6 + 16 * records));
    }
    b.insert(b.end(), png.begin(), png.end());
    for (size_t i = 0; i < chunks; ++i) icon_detail::PngChunk(b, "qrVn", {});
    return b;
}

}  // namespace quorvane::test
