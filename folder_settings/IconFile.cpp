#include "folder_settings/IconFile.h"

#include <algorithm>

#include "platform/Errors.h"

namespace quorvane {
namespace {

constexpr char kInvalidIcon[] = "Icon image is not valid";
constexpr char kOpenError[] = "Cannot open file \"%s\". %s";

constexpr size_t kDirHeaderSize = 6;
constexpr size_t kDirEntrySize = 16;
constexpr size_t kInfoHeaderSize = 40;
constexpr int kMaxSide = 256;
constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

[[noreturn]] void Invalid() { throw EInvalidGraphic(kInvalidIcon); }

uint16_t U16(std::span<const uint8_t> b, size_t at) {
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

uint32_t U32(std::span<const uint8_t> b, size_t at) {
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
           (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

uint32_t U32BigEndian(std::span<const uint8_t> b, size_t at) {
    return (static_cast<uint32_t>(b[at]) << 24) | (static_cast<uint32_t>(b[at + 1]) << 16) |
           (static_cast<uint32_t>(b[at + 2]) << 8) | static_cast<uint32_t>(b[at + 3]);
}

bool IsPng(std::span<const uint8_t> data) {
    return data.size() >= sizeof kPngSignature && std::equal(std::begin(kPngSignature), std::end(kPngSignature), data.begin());
}

// Signature and the IHDR chunk that must follow it; the stream itself is
// left to the system's decoder.
void CheckPng(std::span<const uint8_t> data, IconFile::Entry& entry) {
    constexpr size_t kHeaderEnd = 8 + 8 + 13 + 4;  // signature, chunk head, IHDR body, CRC
    if (data.size() < kHeaderEnd) Invalid();
    if (U32BigEndian(data, 8) != 13 || data[12] != 'I' || data[13] != 'H' || data[14] != 'D' || data[15] != 'R') {
        Invalid();
    }
    const uint32_t width = U32BigEndian(data, 16);
    const uint32_t height = U32BigEndian(data, 20);
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) Invalid();
    entry.width = static_cast<int>(width);
    entry.height = static_cast<int>(height);
    entry.bitCount = 32;
    entry.png = true;
}

// Where a bitmap entry's parts lie: after the header, the colour table, the
// colour rows and the mask rows, each row padded to four bytes.
struct DibLayout {
    uint64_t colors;
    uint64_t colorStride;
    uint64_t maskStride;
    uint64_t size;  // header included
};

DibLayout LayoutOf(int width, int height, int bitCount, uint32_t colorsUsed) {
    DibLayout layout{};
    layout.colors = colorsUsed == 0 && bitCount <= 8 ? uint64_t{1} << bitCount : colorsUsed;
    layout.colorStride = (static_cast<uint64_t>(width) * static_cast<uint64_t>(bitCount) + 31) / 32 * 4;
    layout.maskStride = (static_cast<uint64_t>(width) + 31) / 32 * 4;
    layout.size = kInfoHeaderSize + layout.colors * 4 +
                  (layout.colorStride + layout.maskStride) * static_cast<uint64_t>(height);
    return layout;
}

// A BITMAPINFOHEADER whose height covers the colour image and the mask,
// followed by the colour table, the colour rows and the mask rows, all
// inside the entry. The mask is required for every depth: a loader that
// trusts the header would otherwise read past the entry.
void CheckDib(std::span<const uint8_t> data, IconFile::Entry& entry) {
    if (data.size() < kInfoHeaderSize || U32(data, 0) != kInfoHeaderSize) Invalid();
    const auto width = static_cast<int32_t>(U32(data, 4));
    const auto doubledHeight = static_cast<int32_t>(U32(data, 8));
    const uint16_t planes = U16(data, 12);
    const uint16_t bitCount = U16(data, 14);
    const uint32_t compression = U32(data, 16);
    const uint32_t colorsUsed = U32(data, 32);

    if (width <= 0 || width > kMaxSide) Invalid();
    if (doubledHeight <= 0 || doubledHeight % 2 != 0 || doubledHeight / 2 > kMaxSide) Invalid();
    if (planes != 1 || compression != 0) Invalid();
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32) {
        Invalid();
    }
    if (colorsUsed > (bitCount <= 8 ? 1u << bitCount : 256u)) Invalid();
    const int height = doubledHeight / 2;
    if (LayoutOf(width, height, bitCount, colorsUsed).size > data.size()) Invalid();

    entry.width = width;
    entry.height = height;
    entry.bitCount = bitCount;
    entry.png = false;
}

}  // namespace

IconFile IconFile::Load(Platform& platform, const std::string& path) {
    std::vector<uint8_t> bytes;
    const FileResult read = platform.ReadWholeFile(path, bytes);
    if (!read.ok) throw EFOpenError(FormatText(kOpenError, {path, read.error}));
    return FromBytes(std::move(bytes));
}

// An empty file counts as no icon at all: it is rejected like any other
// file that is not an icon, so a folder naming it shows the error rather
// than a blank picture.
IconFile IconFile::FromBytes(std::vector<uint8_t> bytes) {
    const std::span<const uint8_t> all(bytes);
    if (all.size() < kDirHeaderSize) Invalid();
    const uint16_t reserved = U16(all, 0);
    const uint16_t type = U16(all, 2);
    const uint16_t count = U16(all, 4);
    if (reserved != 0 || type != 1 || count == 0) Invalid();
    const uint64_t directoryEnd = kDirHeaderSize + static_cast<uint64_t>(count) * kDirEntrySize;
    if (directoryEnd > all.size()) Invalid();

    IconFile icon;
    icon.entries_.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const std::span<const uint8_t> record = all.subspan(kDirHeaderSize + i * kDirEntrySize, kDirEntrySize);
        const int listedWidth = record[0] == 0 ? kMaxSide : record[0];
        const int listedHeight = record[1] == 0 ? kMaxSide : record[1];
        const uint32_t size = U32(record, 8);
        const uint32_t offset = U32(record, 12);
        if (size == 0 || offset < directoryEnd || static_cast<uint64_t>(offset) + size > all.size()) Invalid();

        Entry entry;
        entry.offset = offset;
        entry.size = size;
        const std::span<const uint8_t> data = all.subspan(offset, size);
        if (IsPng(data)) {
            CheckPng(data, entry);
        } else {
            CheckDib(data, entry);
        }
        if (entry.width != listedWidth || entry.height != listedHeight) Invalid();
        icon.entries_.push_back(entry);
    }
    icon.bytes_ = std::move(bytes);
    return icon;
}

const IconFile::Entry* IconFile::BestEntry(int size, Images images) const {
    // 0: exact, 1: larger, 2: smaller.
    const auto side = [](const Entry& e) { return std::max(e.width, e.height); };
    const auto rank = [&](const Entry& e) { return side(e) == size ? 0 : side(e) > size ? 1 : 2; };
    const auto better = [&](const Entry& a, const Entry& b) {
        if (rank(a) != rank(b)) return rank(a) < rank(b);
        if (side(a) != side(b)) return rank(a) == 1 ? side(a) < side(b) : side(a) > side(b);
        return a.bitCount > b.bitCount;
    };
    const Entry* best = nullptr;
    for (const Entry& e : entries_) {
        if (images == Images::kBitmapsOnly && e.png) continue;
        if (!best || better(e, *best)) best = &e;
    }
    return best;
}

std::span<const uint8_t> IconFile::EntryBytes(const Entry& entry) const {
    // An entry of another file gets nothing rather than a read out of bounds.
    if (static_cast<uint64_t>(entry.offset) + entry.size > bytes_.size()) return {};
    return std::span<const uint8_t>(bytes_).subspan(entry.offset, entry.size);
}

// Rows run bottom up, the colour rows first, then the mask's. A palette
// index past the colours stored gives black; 16 bits are 5-5-5 and widen
// as the system widens them, the high bits repeated below.
std::optional<IconFile::Pixels> IconFile::Decode(const Entry& entry) const {
    const std::span<const uint8_t> data = EntryBytes(entry);
    if (entry.png || data.size() < kInfoHeaderSize) return std::nullopt;
    const int width = entry.width;
    const int height = entry.height;
    const int bitCount = entry.bitCount;
    if (bitCount < 1 || bitCount > 32 || width < 1 || height < 1) return std::nullopt;
    // An entry of another icon may not describe these bytes.
    const DibLayout layout = LayoutOf(width, height, bitCount, U32(data, 32));
    if (static_cast<int32_t>(U32(data, 4)) != width || U16(data, 14) != bitCount || layout.size > data.size()) {
        return std::nullopt;
    }
    const auto colors = static_cast<size_t>(layout.colors);
    const auto colorStride = static_cast<size_t>(layout.colorStride);
    const auto maskStride = static_cast<size_t>(layout.maskStride);
    const uint8_t* palette = data.data() + kInfoHeaderSize;
    const uint8_t* colorRows = palette + colors * 4;
    const uint8_t* maskRows = colorRows + colorStride * static_cast<size_t>(height);

    Pixels out;
    out.width = width;
    out.height = height;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    out.bgra.resize(count * 4);
    out.mask.resize(count);
    for (int y = 0; y < height; ++y) {
        const size_t fromBottom = static_cast<size_t>(height - 1 - y);
        const uint8_t* row = colorRows + colorStride * fromBottom;
        const uint8_t* maskRow = maskRows + maskStride * fromBottom;
        for (int x = 0; x < width; ++x) {
            const size_t i = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
            const size_t ux = static_cast<size_t>(x);
            uint8_t* px = &out.bgra[i * 4];
            out.mask[i] = (maskRow[ux / 8] >> (7 - ux % 8)) & 1;
            if (bitCount <= 8) {
                const unsigned perByte = 8u / static_cast<unsigned>(bitCount);
                const unsigned shift = 8u - static_cast<unsigned>(bitCount) * (1u + ux % perByte);
                const size_t index = (row[ux / perByte] >> shift) & ((1u << bitCount) - 1u);
                if (index < colors) std::copy_n(palette + index * 4, 3, px);
            } else if (bitCount == 16) {
                const unsigned v = U16(std::span<const uint8_t>(row, colorStride), ux * 2);
                const auto widen = [](unsigned five) { return static_cast<uint8_t>((five << 3) | (five >> 2)); };
                px[0] = widen(v & 0x1F);
                px[1] = widen((v >> 5) & 0x1F);
                px[2] = widen((v >> 10) & 0x1F);
            } else {
                const size_t bytes = static_cast<size_t>(bitCount) / 8;
                std::copy_n(row + ux * bytes, bytes, px);
                if (bitCount == 32 && px[3] != 0) out.hasAlpha = true;
            }
        }
    }
    if (!out.hasAlpha) {
        for (size_t i = 0; i < count; ++i) out.bgra[i * 4 + 3] = out.mask[i] ? 0 : 255;
    }
    return out;
}

}  // namespace quorvane
