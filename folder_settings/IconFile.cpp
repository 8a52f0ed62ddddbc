#include "folder_settings/IconFile.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_map>

#include "platform/Errors.h"

namespace quorvane {
namespace {

constexpr char kInvalidIcon[] = "Icon image is not valid";
constexpr char kOpenError[] = "Cannot open file \"%s\". %s";

constexpr size_t kDirHeaderSize = 6;
constexpr size_t kDirEntrySize = 16;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr int kMaxSide = 256;
// Larger PNG images (512, 1024) stand beside the usual ones in some files;
// the system scales them down when one is chosen.
constexpr uint32_t kMaxPngSide = 4096;
constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr size_t kPngHeaderEnd = 8 + 8 + 13 + 4;  // signature, chunk head, IHDR body, CRC

// The screen's depth, which the choice goes by: the program's one setting.
int screenBits = 32;

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

// The system tells a PNG image by its first four bytes.
bool LooksLikePng(std::span<const uint8_t> data) {
    return data.size() >= 4 && std::equal(kPngSignature, kPngSignature + 4, data.begin());
}

bool IsChunk(std::span<const uint8_t> b, uint64_t at, const char (&type)[5]) {
    return std::equal(type, type + 4, b.begin() + static_cast<std::ptrdiff_t>(at + 4));
}

// The chunk walks of a file's PNG entries, in the file's own offsets. A
// walk goes from chunk head to chunk head until past the IEND chunk or
// until no head fits before the end of the file; from a given head it
// always ends alike. A hostile directory points its many records into one
// long chain of chunks, so every 32nd head a walk passes keeps where the
// walk ended: a later walk that joins the chain stops within 32 heads of
// joining, and the file costs its length once, not once per record.
class PngWalks {
public:
    struct End {
        uint64_t at = 0;  // one past the last chunk walked
        bool sawData = false;  // an IDAT chunk on the way
    };

    explicit PngWalks(std::span<const uint8_t> file) : file_(file) {}

    End From(uint64_t head) {
        std::vector<size_t> marks;
        std::optional<uint64_t> lastData;
        End tail{head, false};  // where a walk already made takes over, and what it saw
        uint64_t at = head;
        for (size_t step = 0;; ++step) {
            if (at + 12 > file_.size()) {
                tail.at = at;
                break;
            }
            // Heads lie inside the file, so a size_t holds them (a 64-bit
            // key would cost a library call per look-up in a 32-bit build).
            if (const auto known = ends_.find(static_cast<size_t>(at)); known != ends_.end()) {
                tail = known->second;
                break;
            }
            if (step % 32 == 0) marks.push_back(static_cast<size_t>(at));
            const bool last = IsChunk(file_, at, "IEND");
            if (IsChunk(file_, at, "IDAT")) lastData = at;
            at += 12 + uint64_t{U32BigEndian(file_, at)};
            if (last) {
                tail.at = at;
                break;
            }
        }
        for (const size_t mark : marks)
            ends_.emplace(mark, End{tail.at, tail.sawData || (lastData && *lastData >= mark)});
        return {tail.at, tail.sawData || lastData.has_value()};
    }

private:
    std::span<const uint8_t> file_;
    std::unordered_map<size_t, End> ends_;
};

// Signature and the IHDR chunk that must follow it; the stream itself is
// left to the system's decoder, which fails on one without image data.
// The image runs to its IEND chunk, or to the end of the file when that is
// missing.
void CheckPng(std::span<const uint8_t> data, PngWalks& walks, IconFile::Entry& entry) {
    if (data.size() < kPngHeaderEnd || !std::equal(std::begin(kPngSignature), std::end(kPngSignature), data.begin()))
        return;
    if (U32BigEndian(data, 8) != 13 || !IsChunk(data, 8, "IHDR")) return;
    const uint32_t width = U32BigEndian(data, 16);
    const uint32_t height = U32BigEndian(data, 20);
    if (width == 0 || height == 0 || width > kMaxPngSide || height > kMaxPngSide) return;
    const PngWalks::End end = walks.From(uint64_t{entry.offset} + 8);
    if (!end.sawData) return;
    entry.width = entry.listedWidth = static_cast<int>(width);  // the system goes by a PNG's own header
    entry.height = entry.listedHeight = static_cast<int>(height);
    entry.bitCount = 32;
    entry.png = true;
    entry.size = static_cast<uint32_t>(std::min<uint64_t>(end.at - entry.offset, data.size()));
    entry.valid = true;
}

// A bitmap entry's header, a BITMAPINFOHEADER or the older
// BITMAPCOREHEADER, and where its parts lie: the colour table, the colour
// rows and the mask rows, each row padded to four bytes. The header's
// height covers the colour image and the mask; its half is the image's,
// whether or not the writer doubled it.
struct Dib {
    uint32_t headerSize = 0;
    int32_t width = 0;
    int32_t doubledHeight = 0;
    uint16_t planes = 0;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;

    int Height() const { return doubledHeight / 2; }
    size_t PaletteEntrySize() const { return headerSize == kCoreHeaderSize ? 3 : 4; }
    uint64_t Colors() const {
        if (colorsUsed != 0) return colorsUsed;
        return bitCount <= 8 ? uint64_t{1} << bitCount : 0;
    }
    uint64_t ColorStride() const { return (uint64_t(width) * bitCount + 31) / 32 * 4; }
    uint64_t MaskStride() const { return (uint64_t(width) + 31) / 32 * 4; }
    uint64_t ColorRowsAt() const { return headerSize + Colors() * PaletteEntrySize(); }
    uint64_t MaskRowsAt() const { return ColorRowsAt() + ColorStride() * uint64_t(Height()); }
    uint64_t End() const { return MaskRowsAt() + MaskStride() * uint64_t(Height()); }
};

// The header as the system reads it; nothing when the bytes hold none.
std::optional<Dib> ReadDib(std::span<const uint8_t> data) {
    Dib dib;
    if (data.size() < 4) return std::nullopt;
    dib.headerSize = U32(data, 0);
    if (dib.headerSize == kCoreHeaderSize) {
        if (data.size() < kCoreHeaderSize) return std::nullopt;
        dib.width = U16(data, 4);
        dib.doubledHeight = U16(data, 6);
        dib.planes = U16(data, 8);
        dib.bitCount = U16(data, 10);
        return dib;
    }
    if (data.size() < kInfoHeaderSize) return std::nullopt;
    dib.width = static_cast<int32_t>(U32(data, 4));
    dib.doubledHeight = static_cast<int32_t>(U32(data, 8));
    dib.planes = U16(data, 12);
    dib.bitCount = U16(data, 14);
    dib.compression = U32(data, 16);
    dib.colorsUsed = U32(data, 32);
    return dib;
}

// Header, colour table and colour rows must lie inside the file; the mask
// may be missing, as writers of 32-bit images often leave it out.
void CheckDib(const Dib& dib, std::span<const uint8_t> data, IconFile::Entry& entry) {
    if (dib.headerSize != kCoreHeaderSize && dib.headerSize != kInfoHeaderSize) return;
    if (dib.width <= 0 || dib.width > kMaxSide) return;
    if (dib.doubledHeight < 2 || dib.Height() > kMaxSide) return;
    if (dib.planes != 1 || dib.compression != 0) return;
    const uint16_t bits = dib.bitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return;
    if (dib.colorsUsed > (bits <= 8 ? 1u << bits : 256u)) return;
    if (dib.MaskRowsAt() > data.size()) return;

    entry.width = dib.width;
    entry.height = dib.Height();
    entry.bitCount = bits;
    entry.png = false;
    entry.hasMask = dib.End() <= data.size();
    entry.size = static_cast<uint32_t>(entry.hasMask ? dib.End() : dib.MaskRowsAt());
    entry.plain = entry.hasMask && dib.headerSize == kInfoHeaderSize && (bits > 8 || dib.Colors() == 1u << bits);
    entry.valid = true;
}

}  // namespace

void IconFile::SetScreenBits(int bitsPerPixelTimesPlanes) { screenBits = bitsPerPixelTimesPlanes; }

int IconFile::ScreenBits() { return screenBits; }

IconFile IconFile::Load(Platform& platform, const std::string& path) {
    std::vector<uint8_t> bytes;
    const FileResult read = platform.ReadWholeFile(path, bytes);
    if (!read.ok) throw EFOpenError(FormatText(kOpenError, {path, read.error}));
    IconFile icon = FromBytes(std::move(bytes));
    icon.path_ = path;
    return icon;
}

// The directory is read as the system reads it: its colour count, planes,
// bit count and reserved byte are ignored, the sizes it lists serve the
// choice only, and an entry's image runs as far as its header says,
// whatever size the directory gives it, provided that size stays inside
// the file. An empty file counts as no icon at all: it is rejected like any
// other file that is not an icon, so a folder naming it shows the error
// rather than a blank picture.
IconFile IconFile::FromBytes(std::vector<uint8_t> bytes) {
    const std::span<const uint8_t> all(bytes);
    if (all.size() < kDirHeaderSize) Invalid();
    // The first two words (reserved, and 1 for an icon, 2 for a cursor) go
    // unread, as the system leaves them: it takes a cursor named .ico as an
    // icon, and what follows decides whether the bytes are one.
    const uint16_t count = U16(all, 4);
    if (count == 0) Invalid();
    const uint64_t directoryEnd = kDirHeaderSize + static_cast<uint64_t>(count) * kDirEntrySize;
    if (directoryEnd > all.size()) Invalid();

    IconFile icon;
    icon.entries_.reserve(count);
    PngWalks walks(all);
    std::span<const uint8_t> previous;  // the record before
    bool previousFits = false;
    for (size_t i = 0; i < count; ++i) {
        const std::span<const uint8_t> record = all.subspan(kDirHeaderSize + i * kDirEntrySize, kDirEntrySize);
        const uint32_t listedSize = U32(record, 8);
        const uint32_t offset = U32(record, 12);
        // The search ends at the first record that points at no header:
        // past the entries that a directory announces but does not hold.
        if (offset > all.size()) break;
        const bool fits = static_cast<uint64_t>(offset) + listedSize <= all.size();
        // A record that repeats the one before (the same image, listed
        // sides and fit; a directory of thousands naming one image) makes
        // the same entry, which the search never chooses over the first.
        if (!previous.empty() && offset == U32(previous, 12) && record[0] == previous[0] &&
            record[1] == previous[1] && fits == previousFits) {
            continue;
        }
        previous = record;
        previousFits = fits;
        const std::span<const uint8_t> data = all.subspan(offset);
        Entry entry;
        entry.offset = offset;
        entry.listedWidth = record[0] == 0 ? kMaxSide : record[0];
        entry.listedHeight = record[1] == 0 ? kMaxSide : record[1];
        if (LooksLikePng(data)) {
            CheckPng(data, walks, entry);
            entry.bitCount = 32;
        } else {
            const std::optional<Dib> dib = ReadDib(data);
            if (!dib) break;
            entry.bitCount = dib->bitCount;
            CheckDib(*dib, data, entry);
        }
        if (!fits) entry.valid = false;
        if (!entry.valid) {
            const Entry seen{.listedWidth = entry.listedWidth, .listedHeight = entry.listedHeight,
                             .bitCount = entry.bitCount, .png = entry.png, .offset = offset};
            entry = seen;
        }
        icon.entries_.push_back(entry);
    }
    if (icon.entries_.empty()) Invalid();
    icon.bytes_ = std::move(bytes);
    // The tree draws at 16 pixels, the library at 32, as does the preview
    // at 96 dpi, each choosing by the screen's depth; at another size the
    // drawing chooses again and an invalid choice fails there with the
    // same error.
    for (int side : {16, 32}) {
        if (!icon.BestEntry(side, Images::kAny, ScreenBits())->valid) Invalid();
    }
    return icon;
}

// As LookupIconIdFromDirectoryEx: the entry whose listed size is nearest
// (width and height apart added up), then among those exactly as far in
// both the one whose depth is nearest the screen's.
const IconFile::Entry* IconFile::BestEntry(int size, Images images, int screenBits) const {
    const auto counts = [&](const Entry& e) { return images == Images::kAny || (e.valid && !e.png); };
    const auto dx = [&](const Entry& e) { return std::abs(size - e.listedWidth); };
    const auto dy = [&](const Entry& e) { return std::abs(size - e.listedHeight); };
    const Entry* nearest = nullptr;
    for (const Entry& e : entries_) {
        if (counts(e) && (!nearest || dx(e) + dy(e) < dx(*nearest) + dy(*nearest))) nearest = &e;
    }
    if (!nearest) return nullptr;
    const Entry* best = nullptr;
    const auto depthApart = [&](const Entry& e) { return std::abs(screenBits - e.bitCount); };
    for (const Entry& e : entries_) {
        if (!counts(e) || dx(e) != dx(*nearest) || dy(e) != dy(*nearest)) continue;
        if (!best || depthApart(e) < depthApart(*best)) best = &e;
    }
    return best;
}

bool IconFile::Owns(const Entry& entry) const {
    return std::find(entries_.begin(), entries_.end(), entry) != entries_.end();
}

std::span<const uint8_t> IconFile::EntryBytes(const Entry& entry) const {
    // An entry of another file gets nothing rather than a read out of bounds.
    if (!entry.valid || !Owns(entry)) return {};
    return std::span<const uint8_t>(bytes_).subspan(entry.offset, entry.size);
}

std::vector<uint8_t> IconFile::LoaderBytes(const Entry& entry) const {
    const auto bytes = EntryBytes(entry);
    std::vector<uint8_t> out(bytes.begin(), bytes.end());
    if (out.empty() || entry.png || entry.hasMask) return out;
    const std::optional<Pixels> pixels = Decode(entry);
    const auto width = static_cast<size_t>(entry.width);
    const auto height = static_cast<size_t>(entry.height);
    const size_t stride = (width + 31) / 32 * 4;
    out.resize(bytes.size() + stride * height, 0);
    uint8_t* rows = out.data() + bytes.size();
    for (size_t y = 0; y < height; ++y) {
        for (size_t x = 0; x < width; ++x) {
            if (pixels->mask[y * width + x]) rows[(height - 1 - y) * stride + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        }
    }
    return out;
}

// Rows run bottom up, the colour rows first, then the mask's. A palette
// index past the colours stored gives black; 16 bits are 5-5-5 and widen
// as the system widens them, the high bits repeated below.
std::optional<IconFile::Pixels> IconFile::Decode(const Entry& entry) const {
    if (entry.png || !entry.valid || !Owns(entry)) return std::nullopt;
    const std::span<const uint8_t> data = EntryBytes(entry);
    const Dib dib = *ReadDib(data);
    const int width = entry.width;
    const int height = entry.height;
    const int bitCount = entry.bitCount;
    const auto colors = static_cast<size_t>(dib.Colors());
    const size_t paletteEntry = dib.PaletteEntrySize();
    const auto colorStride = static_cast<size_t>(dib.ColorStride());
    const auto maskStride = static_cast<size_t>(dib.MaskStride());
    const uint8_t* palette = data.data() + dib.headerSize;
    const uint8_t* colorRows = data.data() + dib.ColorRowsAt();
    const uint8_t* maskRows = data.data() + dib.MaskRowsAt();

    Pixels out;
    out.width = width;
    out.height = height;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    out.bgra.resize(count * 4);
    out.mask.resize(count);
    for (int y = 0; y < height; ++y) {
        const size_t fromBottom = static_cast<size_t>(height - 1 - y);
        const uint8_t* row = colorRows + colorStride * fromBottom;
        const uint8_t* maskRow = entry.hasMask ? maskRows + maskStride * fromBottom : nullptr;
        for (int x = 0; x < width; ++x) {
            const size_t i = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
            const size_t ux = static_cast<size_t>(x);
            uint8_t* px = &out.bgra[i * 4];
            if (entry.hasMask) out.mask[i] = (maskRow[ux / 8] >> (7 - ux % 8)) & 1;
            if (bitCount <= 8) {
                const unsigned perByte = 8u / static_cast<unsigned>(bitCount);
                const unsigned shift = 8u - static_cast<unsigned>(bitCount) * (1u + ux % perByte);
                const size_t index = (row[ux / perByte] >> shift) & ((1u << bitCount) - 1u);
                if (index < colors) std::copy_n(palette + index * paletteEntry, 3, px);
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
    // Without a mask the system makes one of the alpha: set where a pixel
    // is not fully opaque.
    if (!entry.hasMask && out.hasAlpha) {
        for (size_t i = 0; i < count; ++i) out.mask[i] = out.bgra[i * 4 + 3] != 255;
    }
    if (!out.hasAlpha) {
        for (size_t i = 0; i < count; ++i) out.bgra[i * 4 + 3] = out.mask[i] ? 0 : 255;
    }
    return out;
}

}  // namespace quorvane
