// Builds Windows bitmap files byte by byte for the loader's tests.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "folder_settings/Dib.h"
#include "tests/host/ByteWriter.h"

namespace quorvane::test {

using ByteVector = std::vector<uint8_t>;


struct BmpParts {
    uint32_t headerSize = 40;  // 12 for the core header
    int32_t width = 1;
    int32_t height = 1;  // negative: top down
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
    uint32_t imageSize = 0;
    // Inside a header of 52 bytes or more; after a 40-byte one otherwise.
    std::vector<uint32_t> masks;
    std::vector<PaletteEntry> palette;
    ByteVector pixels;  // exactly as stored in the file
    std::optional<uint32_t> dataOffset;  // default: right after the table
};

inline ByteVector BuildBmp(const BmpParts& p) {
    ByteVector header;
    Put32(header, p.headerSize);
    if (p.headerSize == 12) {
        Put16(header, static_cast<uint32_t>(p.width));
        Put16(header, static_cast<uint32_t>(p.height));
        Put16(header, 1);
        Put16(header, p.bitCount);
    } else {
        Put32(header, static_cast<uint32_t>(p.width));
        Put32(header, static_cast<uint32_t>(p.height));
        Put16(header, 1);
        Put16(header, p.bitCount);
        Put32(header, p.compression);
        Put32(header, p.imageSize);
        Put32(header, 2835);
        Put32(header, 2835);
        Put32(header, p.colorsUsed);
        Put32(header, 0);
    }
    ByteVector extra;  // masks after a plain info header
    if (p.headerSize == 40) {
        for (uint32_t m : p.masks) Put32(extra, m);
    } else if (p.headerSize > 40) {
        for (size_t i = 0; i < 4 && header.size() < p.headerSize; ++i) Put32(header, i < p.masks.size() ? p.masks[i] : 0);
    }
    header.resize(p.headerSize, 0);
    ByteVector table;
    for (const PaletteEntry& e : p.palette) {
        table.push_back(e.blue);
        table.push_back(e.green);
        table.push_back(e.red);
        if (p.headerSize != 12) table.push_back(0);
    }
    const uint32_t offset = static_cast<uint32_t>(14 + header.size() + extra.size() + table.size());
    ByteVector file = {'B', 'M'};
    Put32(file, static_cast<uint32_t>(offset + p.pixels.size()));
    Put32(file, 0);
    Put32(file, p.dataOffset.value_or(offset));
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), extra.begin(), extra.end());
    file.insert(file.end(), table.begin(), table.end());
    file.insert(file.end(), p.pixels.begin(), p.pixels.end());
    return file;
}

// Packs rows of palette indices (top row first) at 1, 4 or 8 bits per
// pixel, each row padded to four bytes, in the file's bottom-up order.
inline ByteVector PackIndices(const std::vector<std::vector<int>>& rows, int bitCount, bool topDown = false) {
    ByteVector out;
    for (size_t r = 0; r < rows.size(); ++r) {
        const auto& row = rows[topDown ? r : rows.size() - 1 - r];
        ByteVector packed((row.size() * static_cast<size_t>(bitCount) + 31) / 32 * 4, 0);
        for (size_t x = 0; x < row.size(); ++x) {
            const size_t bit = x * static_cast<size_t>(bitCount);
            packed[bit / 8] |= static_cast<uint8_t>(row[x] << (8 - bitCount - bit % 8));
        }
        out.insert(out.end(), packed.begin(), packed.end());
    }
    return out;
}

// 0xRRGGBB of a pixel of a 24-bit Dib.
inline uint32_t RgbAt(const Dib& dib, int x, int y) {
    const uint8_t* p = dib.Row(y) + 3 * x;
    return static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
}

}  // namespace quorvane::test
