// .ico files written the way tools write them, not only the way the format
// describes: every depth with and without the AND mask, directories that
// disagree with their images, sizes and counts that are off, other headers,
// large PNG images, a cursor. Each says whether the system's file loader
// takes it; the Wine-layer tests hold that to LoadImageW.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/host/IconBuilder.h"

namespace quorvane::test {

struct IconVariant {
    std::string name;
    std::vector<uint8_t> bytes;
    bool taken = true;
};

namespace icon_variant_detail {

constexpr size_t kRecord = 6;  // the first directory record
constexpr size_t kRecordSize = 16;

inline void Set(std::vector<uint8_t>& b, size_t at, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}
inline uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
inline size_t Record(size_t i) { return kRecord + i * kRecordSize; }

// The entries' images stored in the reverse order of the directory.
inline std::vector<uint8_t> StoredBackwards(const std::vector<IconSpec>& specs) {
    std::vector<uint8_t> b = BuildIcon(specs);
    std::vector<uint8_t> out(b.begin(), b.begin() + static_cast<long>(Record(specs.size())));
    for (size_t i = specs.size(); i-- > 0;) {
        const uint32_t offset = Get32(b, Record(i) + 12), size = Get32(b, Record(i) + 8);
        Set(out, Record(i) + 12, static_cast<uint32_t>(out.size()), 4);
        out.insert(out.end(), b.begin() + offset, b.begin() + offset + size);
    }
    return out;
}

}  // namespace icon_variant_detail

// Two 16-pixel entries; the 8-bit one, which 16-bit screens choose, runs past the end.
inline std::vector<uint8_t> DeepEntryPastTheEnd() {
    std::vector<uint8_t> b = BuildIcon({IconSpec{16, 16, 32}, IconSpec{16, 16, 8}, IconSpec{32, 32, 32}});
    icon_variant_detail::Set(b, icon_variant_detail::Record(1) + 8, static_cast<uint32_t>(b.size()), 4);
    return b;
}

inline std::vector<IconVariant> IconVariants() {
    using namespace icon_variant_detail;
    const auto varied = [](int size, int bits) {
        return IconSpec{.width = size, .height = size, .bitCount = bits, .varied = true};
    };
    const auto pair = [&](int bits) { return std::vector<IconSpec>{varied(16, bits), varied(32, bits)}; };
    const auto edited = [](std::vector<uint8_t> b, auto edit) {
        edit(b);
        return b;
    };
    std::vector<IconVariant> out;
    for (int bits : {1, 4, 8, 24, 32}) {
        out.push_back({std::to_string(bits) + " bits", BuildIcon(pair(bits))});
        std::vector<IconSpec> bare = pair(bits);
        for (IconSpec& s : bare) s.mask = false;
        out.push_back({std::to_string(bits) + " bits without the AND mask", BuildIcon(bare)});
    }
    const std::vector<IconSpec> mixed = {varied(16, 8), varied(32, 32)};
    const std::vector<uint8_t> base = BuildIcon(mixed);
    out.push_back({"planes and bit count 0 in the directory", edited(base, [](auto& b) {
                       for (size_t i = 0; i < 2; ++i) Set(b, Record(i) + 4, 0, 4);
                   })});
    out.push_back({"a wrong colour count", edited(base, [](auto& b) { b[Record(0) + 2] = 7, b[Record(1) + 2] = 16; })});
    out.push_back({"a reserved byte set", edited(base, [](auto& b) { b[Record(0) + 3] = b[Record(1) + 3] = 0xCC; })});
    out.push_back({"0 (256) listed for a 32-pixel image",
                   edited(BuildIcon(varied(32, 32)), [](auto& b) { b[Record(0)] = b[Record(0) + 1] = 0; })});
    out.push_back({"a size that runs past the end", edited(base, [](auto& b) {
                       Set(b, Record(1) + 8, Get32(b, Record(1) + 8) + 1, 4);
                   }), false});
    out.push_back({"a size that stops short of the image",
                   edited(base, [](auto& b) { Set(b, Record(0) + 8, 40, 4), Set(b, Record(1) + 8, 100, 4); })});
    out.push_back({"a size of 0", edited(base, [](auto& b) { Set(b, Record(0) + 8, 0, 4), Set(b, Record(1) + 8, 0, 4); })});
    out.push_back({"more entries announced than present", edited(base, [](auto& b) { Set(b, 4, 3, 2); })});
    out.push_back({"a directory longer than the file", edited(base, [](auto& b) { Set(b, 4, 0x4000, 2); }), false});
    out.push_back({"entries out of order", StoredBackwards({varied(32, 32), varied(16, 4), varied(48, 8)})});
    out.push_back({"trailing bytes", edited(base, [](auto& b) { b.insert(b.end(), 300, 0xA5); })});
    std::vector<IconSpec> sized = mixed;
    for (IconSpec& s : sized) s.sizeImage = 12345;
    out.push_back({"a wrong biSizeImage", BuildIcon(sized)});
    std::vector<IconSpec> shortPalette = {varied(16, 8), varied(32, 4)};
    shortPalette[0].paletteColors = 20, shortPalette[1].paletteColors = 5;
    out.push_back({"short palettes", BuildIcon(shortPalette)});
    std::vector<IconSpec> single = pair(4);
    for (IconSpec& s : single) s.doubled = false;
    out.push_back({"a height that is not doubled", BuildIcon(single)});
    std::vector<IconSpec> core = {varied(16, 4), varied(32, 24)};
    for (IconSpec& s : core) s.header = 12;
    out.push_back({"core headers", BuildIcon(core)});
    IconSpec v5 = varied(32, 32);
    v5.header = 124;
    out.push_back({"a V5 header", BuildIcon(v5), false});
    const auto png = [](int size) { return IconSpec{size, size, 32, true, 0x3080C0}; };
    out.push_back({"PNG of 32", BuildIcon(png(32))});
    out.push_back({"PNG of 256", BuildIcon(png(256))});
    out.push_back({"PNG of 512", BuildIcon(png(512))});
    out.push_back({"PNG of 256 beside bitmaps", BuildIcon({varied(16, 32), varied(32, 32), png(256)})});
    out.push_back({"PNG of 512 beside a 32-pixel bitmap", BuildIcon({png(512), varied(32, 32)})});
    out.push_back({"an 8-bit entry past the end beside a 32-bit one", DeepEntryPastTheEnd()});
    // Every record at one PNG header, then empty chunks only: no IDAT, no IEND.
    std::vector<uint8_t> chain = BuildIcon(std::vector<IconSpec>(64, png(32)));
    chain.resize(Record(64) + 33);
    for (size_t i = 0; i < 64; ++i) Set(chain, Record(i) + 8, 33, 4), Set(chain, Record(i) + 12, Record(64), 4);
    for (int i = 0; i < 200; ++i) icon_detail::PngChunk(chain, "qrVn", {});
    out.push_back({"a PNG header and empty chunks at every record", chain, false});
    out.push_back({"a cursor", edited(base, [](auto& b) {
                       Set(b, 2, 2, 2);
                       Set(b, Record(0) + 4, 0x00070005, 4), Set(b, Record(1) + 4, 0x000B0003, 4);
                   })});
    out.push_back({"the header's reserved word set", edited(base, [](auto& b) { Set(b, 0, 1, 2); })});
    out.push_back({"neither icon nor cursor", edited(base, [](auto& b) { Set(b, 2, 3, 2); })});
    return out;
}

}  // namespace quorvane::test
