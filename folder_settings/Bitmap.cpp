#include "folder_settings/Bitmap.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <vector>

#include "platform/Errors.h"

// How malformed files are taken. Files come from anywhere, so every size
// and offset is checked against the data before it is used, and nothing is
// allocated before the file has shown it can fill it:
// - Data that ends inside the headers, the colour table or the rows of an
//   uncompressed bitmap is a read error ("Stream read error"), as when a
//   stream runs out.
// - Header sizes other than 12 (core), 40, 52, 56, 108 and 124, a width
//   or height of 0 or a negative width, bit counts and compressions that do
//   not go together, top-down RLE, and sizes that would unpack to more than
//   kMaxBitmapBytes make the file "not valid".
// - A data offset that points into the headers (writers that leave it 0)
//   means the rows start right after the colour table. An offset that
//   leaves room for fewer colours than the header names shortens the table.
//   Indices past the table's end are black.
// - RLE data is read up to its end-of-bitmap code or the end of the file,
//   whichever comes first; pixels it never reaches keep the table's first
//   colour, and runs past the end of a row are clipped. As RLE can describe
//   a huge picture in a few bytes, it may claim at most 512 pixels per byte
//   of its data beyond a floor of two million pixels; real runs give at
//   most 127.
namespace quorvane {
namespace {

constexpr uint32_t kRgb = 0;
constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;
constexpr uint32_t kBitFields = 3;
constexpr uint32_t kAlphaBitFields = 6;

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint64_t kRlePixelsPerByte = 512;
constexpr uint64_t kRleFreeBytes = 4096;

[[noreturn]] void ReadError() { throw EReadError("Stream read error"); }
[[noreturn]] void NotValid() { throw EInvalidGraphic("Bitmap image is not valid"); }

uint32_t U16(const uint8_t* p) { return static_cast<uint32_t>(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) { return U16(p) | U16(p + 2) << 16; }
int32_t I32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }

// One colour of a bit-field pixel, scaled to 0..255.
class Channel {
public:
    explicit Channel(uint32_t mask) : mask_(mask) {
        if (mask != 0) {
            shift_ = std::countr_zero(mask);
            max_ = mask >> shift_;
        }
    }
    uint8_t operator()(uint32_t pixel) const {
        if (max_ == 0) return 0;
        return static_cast<uint8_t>(((((pixel & mask_) >> shift_) * 255ull) + max_ / 2) / max_);
    }

private:
    uint32_t mask_ = 0;
    int shift_ = 0;
    uint64_t max_ = 0;
};

struct Header {
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bitCount = 0;
    uint32_t compression = kRgb;
    uint32_t colorsUsed = 0;
    uint32_t masks[3] = {0, 0, 0};  // red, green, blue
    size_t tableStart = 0;
    size_t entrySize = 4;
};

Header ReadHeader(const uint8_t* data, size_t size) {
    if (size < kFileHeaderSize) ReadError();
    if (data[0] != 'B' || data[1] != 'M') NotValid();
    if (size < kFileHeaderSize + 4) ReadError();
    const uint32_t headerSize = U32(data + kFileHeaderSize);
    switch (headerSize) {
        case kCoreHeaderSize: case 40: case 52: case 56: case 108: case 124: break;
        default: NotValid();
    }
    if (size - kFileHeaderSize < headerSize) ReadError();
    const uint8_t* h = data + kFileHeaderSize;
    Header hd;
    hd.tableStart = kFileHeaderSize + headerSize;
    int64_t width = 0, height = 0;
    if (headerSize == kCoreHeaderSize) {
        width = U16(h + 4);
        height = U16(h + 6);
        hd.bitCount = static_cast<int>(U16(h + 10));
        hd.entrySize = 3;
    } else {
        width = I32(h + 4);
        height = I32(h + 8);
        hd.bitCount = static_cast<int>(U16(h + 14));
        hd.compression = U32(h + 16);
        hd.colorsUsed = U32(h + 32);
        if (hd.compression == kBitFields || hd.compression == kAlphaBitFields) {
            const uint8_t* masks = h + 40;
            if (headerSize == 40) {
                // The masks follow a plain info header; alpha, if any, is not used.
                const size_t maskBytes = hd.compression == kBitFields ? 12 : 16;
                if (size - hd.tableStart < maskBytes) ReadError();
                masks = data + hd.tableStart;
                hd.tableStart += maskBytes;
            }
            for (int i = 0; i < 3; ++i) hd.masks[i] = U32(masks + 4 * i);
        }
    }
    hd.topDown = height < 0;
    if (height < 0) height = -height;
    if (width <= 0 || height == 0) NotValid();

    bool fits = false;
    switch (hd.compression) {
        case kRgb:
            fits = hd.bitCount == 1 || hd.bitCount == 4 || hd.bitCount == 8 || hd.bitCount == 16 ||
                   hd.bitCount == 24 || hd.bitCount == 32;
            break;
        case kRle8: fits = hd.bitCount == 8 && !hd.topDown; break;
        case kRle4: fits = hd.bitCount == 4 && !hd.topDown; break;
        case kBitFields:
        case kAlphaBitFields: fits = hd.bitCount == 16 || hd.bitCount == 32; break;
        default: break;
    }
    if (!fits) NotValid();
    // Width is at most 2^31 - 1, so the stride cannot overflow 64 bits.
    const uint64_t stride = Dib::StrideFor(static_cast<int>(width), 24);
    if (stride * static_cast<uint64_t>(height) > kMaxBitmapBytes) NotValid();
    hd.width = static_cast<int>(width);
    hd.height = static_cast<int>(height);
    if (hd.compression == kRgb && hd.bitCount == 16) {
        hd.masks[0] = 0x7C00, hd.masks[1] = 0x03E0, hd.masks[2] = 0x001F;
    } else if (hd.compression == kRgb && hd.bitCount == 32) {
        hd.masks[0] = 0xFF0000, hd.masks[1] = 0x00FF00, hd.masks[2] = 0x0000FF;
    }
    return hd;
}

using ColourTable = std::array<PaletteEntry, 256>;

// Reads the colour table; returns where the pixels start.
size_t ReadColourTable(const uint8_t* data, size_t size, const Header& hd, ColourTable& table) {
    const uint32_t offset = U32(data + 10);
    if (hd.bitCount > 8) return offset >= hd.tableStart ? offset : hd.tableStart;
    const size_t full = size_t{1} << hd.bitCount;
    size_t count = hd.colorsUsed == 0 ? full : std::min<size_t>(hd.colorsUsed, full);
    if (offset >= hd.tableStart) count = std::min<size_t>(count, (offset - hd.tableStart) / hd.entrySize);
    if ((size - hd.tableStart) / hd.entrySize < count) ReadError();
    const uint8_t* p = data + hd.tableStart;
    for (size_t i = 0; i < count; ++i, p += hd.entrySize) table[i] = {p[0], p[1], p[2], 0};
    const size_t tableEnd = hd.tableStart + count * hd.entrySize;
    return offset >= hd.tableStart ? offset : tableEnd;
}

void Put(uint8_t* out, const PaletteEntry& c) {
    out[0] = c.blue;
    out[1] = c.green;
    out[2] = c.red;
}

void UnpackRow(const uint8_t* in, uint8_t* out, const Header& hd, const ColourTable& table,
               const Channel (&channels)[3]) {
    const int w = hd.width;
    switch (hd.bitCount) {
        case 1:
            for (int x = 0; x < w; ++x) Put(out + 3 * x, table[(in[x >> 3] >> (7 - (x & 7))) & 1]);
            break;
        case 4:
            for (int x = 0; x < w; ++x) Put(out + 3 * x, table[(in[x >> 1] >> ((x & 1) ? 0 : 4)) & 15]);
            break;
        case 8:
            for (int x = 0; x < w; ++x) Put(out + 3 * x, table[in[x]]);
            break;
        case 16:
            for (int x = 0; x < w; ++x) {
                const uint32_t v = U16(in + 2 * x);
                Put(out + 3 * x, {channels[2](v), channels[1](v), channels[0](v), 0});
            }
            break;
        default:
            if (hd.masks[0] == 0xFF0000 && hd.masks[1] == 0xFF00 && hd.masks[2] == 0xFF) {
                for (int x = 0; x < w; ++x) std::memcpy(out + 3 * x, in + 4 * x, 3);
            } else {
                for (int x = 0; x < w; ++x) {
                    const uint32_t v = U32(in + 4 * x);
                    Put(out + 3 * x, {channels[2](v), channels[1](v), channels[0](v), 0});
                }
            }
            break;
    }
}

void UnpackRows(const uint8_t* data, size_t size, size_t start, const Header& hd, const ColourTable& table,
                Dib& dib) {
    const uint64_t stride = (static_cast<uint64_t>(hd.width) * static_cast<uint64_t>(hd.bitCount) + 31) / 32 * 4;
    if (start > size || (size - start) / stride < static_cast<uint64_t>(hd.height)) ReadError();
    const Channel channels[3] = {Channel(hd.masks[0]), Channel(hd.masks[1]), Channel(hd.masks[2])};
    dib.Allocate(hd.width, hd.height, 24);
    for (int y = 0; y < hd.height; ++y) {
        const int fileRow = hd.topDown ? y : hd.height - 1 - y;
        UnpackRow(data + start + stride * static_cast<uint64_t>(fileRow), dib.Row(y), hd, table, channels);
    }
}

void UnpackRle(const uint8_t* data, size_t size, size_t start, const Header& hd, const ColourTable& table,
               Dib& dib) {
    if (start >= size) ReadError();
    const uint64_t pixels = static_cast<uint64_t>(hd.width) * static_cast<uint64_t>(hd.height);
    if (pixels > (size - start + kRleFreeBytes) * kRlePixelsPerByte) NotValid();
    dib.Allocate(hd.width, hd.height, 24);
    for (int y = 0; y < hd.height; ++y) {
        for (int x = 0; x < hd.width; ++x) Put(dib.Row(y) + 3 * x, table[0]);
    }
    const bool rle8 = hd.compression == kRle8;
    // x and y count from the bottom-left corner, as the codes do.
    uint64_t x = 0, y = 0;
    auto put = [&](uint64_t px, uint8_t index) {
        if (px < static_cast<uint64_t>(hd.width)) {
            Put(dib.Row(hd.height - 1 - static_cast<int>(y)) + 3 * px, table[index]);
        }
    };
    size_t p = start;
    while (y < static_cast<uint64_t>(hd.height) && size - p >= 2) {
        const uint8_t count = data[p], code = data[p + 1];
        p += 2;
        if (count > 0) {
            for (unsigned i = 0; i < count; ++i) put(x + i, rle8 ? code : (i & 1) ? code & 15 : code >> 4);
            x += count;
        } else if (code == 0) {
            x = 0;
            ++y;
        } else if (code == 1) {
            break;
        } else if (code == 2) {
            if (size - p < 2) break;
            x += data[p];
            y += data[p + 1];
            p += 2;
        } else {
            // An absolute run, padded to a whole 16-bit word.
            const size_t bytes = rle8 ? code : (code + 1u) / 2;
            const size_t available = std::min(bytes, size - p);
            for (unsigned i = 0; i < code; ++i) {
                const size_t at = rle8 ? i : i / 2;
                if (at >= available) break;
                const uint8_t b = data[p + at];
                put(x + i, rle8 ? b : (i & 1) ? b & 15 : b >> 4);
            }
            x += code;
            p += std::min(bytes + (bytes & 1), size - p);
        }
    }
}

// A 24-bit file already holds the Dib's rows, padded alike: they are
// moved to the front of the file's own buffer and put top down in place,
// so a large picture is never held twice.
Dib TakeTrueColourRows(std::vector<uint8_t>&& bytes, size_t start, const Header& hd) {
    const size_t stride = static_cast<size_t>(Dib::StrideFor(hd.width, 24));
    const size_t rows = static_cast<size_t>(hd.height);
    if (start > bytes.size() || (bytes.size() - start) / stride < rows) ReadError();
    std::memmove(bytes.data(), bytes.data() + start, stride * rows);
    bytes.resize(stride * rows);
    if (!hd.topDown) {
        std::vector<uint8_t> spare(stride);
        for (size_t y = 0; y < rows / 2; ++y) {
            uint8_t* top = bytes.data() + y * stride;
            uint8_t* bottom = bytes.data() + (rows - 1 - y) * stride;
            std::memcpy(spare.data(), top, stride);
            std::memcpy(top, bottom, stride);
            std::memcpy(bottom, spare.data(), stride);
        }
    }
    const size_t used = static_cast<size_t>(hd.width) * 3;
    if (used < stride) {
        for (size_t y = 0; y < rows; ++y) std::fill_n(bytes.data() + y * stride + used, stride - used, 0);
    }
    Dib dib;
    dib.width = hd.width;
    dib.height = hd.height;
    dib.bitsPerPixel = 24;
    dib.stride = stride;
    dib.pixels = std::move(bytes);
    return dib;
}

}  // namespace

void TBitmap::LoadFromFile(Platform& platform, const std::string& path) {
    std::vector<uint8_t> bytes;
    const FileResult read = platform.ReadWholeFile(path, bytes);
    if (!read.ok) throw EFOpenError(FormatText("Cannot open file \"%s\". %s", {path, read.error}));
    LoadFromData(std::move(bytes));
}

void TBitmap::LoadFromData(std::vector<uint8_t> bytes) {
    auto dib = std::make_shared<Dib>();
    if (!bytes.empty()) {
        const uint8_t* data = bytes.data();
        const size_t size = bytes.size();
        const Header hd = ReadHeader(data, size);
        ColourTable table{};
        const size_t start = ReadColourTable(data, size, hd, table);
        if (hd.compression == kRle8 || hd.compression == kRle4) {
            UnpackRle(data, size, start, hd, table, *dib);
        } else if (hd.bitCount == 24) {
            *dib = TakeTrueColourRows(std::move(bytes), start, hd);
        } else {
            UnpackRows(data, size, start, hd, table, *dib);
        }
    }
    image_ = std::move(dib);
}

const Dib& TBitmap::Image() const {
    static const Dib empty;
    return image_ ? *image_ : empty;
}

}  // namespace quorvane
