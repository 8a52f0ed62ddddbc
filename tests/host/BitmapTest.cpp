// The bitmap file loader: every kind of file against known pixels, and
// malformed or hostile files.
#include <gtest/gtest.h>

#include <functional>

#include "folder_settings/Bitmap.h"
#include "platform/Errors.h"
#include "tests/host/BmpBuilder.h"
#include "tests/host/FakePlatform.h"

namespace quorvane {
namespace {

using test::BmpParts;
using test::BuildBmp;
using test::ByteVector;
using test::PackIndices;
using test::RgbAt;

constexpr uint32_t kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;

TBitmap Load(const ByteVector& bytes) {
    TBitmap bitmap;
    bitmap.LoadFromData(bytes.data(), bytes.size());
    return bitmap;
}

std::string ErrorOf(const ByteVector& bytes) {
    try {
        Load(bytes);
    } catch (const EReadError& e) {
        return std::string("read: ") + e.what();
    } catch (const EInvalidGraphic& e) {
        return std::string("invalid: ") + e.what();
    }
    return "loaded";
}

const char kReadError[] = "read: Stream read error";
const char kInvalid[] = "invalid: Bitmap image is not valid";

// Sixteen distinct colours; index i is 0xRRGGBB = i * 0x0F0B07 + 0x102030.
std::vector<PaletteEntry> Palette(int count) {
    std::vector<PaletteEntry> p;
    for (int i = 0; i < count; ++i) {
        const uint32_t rgb = static_cast<uint32_t>(i) * 0x0F0B07 + 0x102030;
        p.push_back({static_cast<uint8_t>(rgb), static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb >> 16), 0});
    }
    return p;
}
uint32_t PaletteRgb(int i) { return static_cast<uint32_t>(i) * 0x0F0B07 + 0x102030; }

void ExpectPixels(const TBitmap& bitmap, const std::vector<std::vector<uint32_t>>& rows) {
    ASSERT_EQ(bitmap.Image().bitsPerPixel, 24);
    ASSERT_EQ(bitmap.Height(), static_cast<int>(rows.size()));
    ASSERT_EQ(bitmap.Width(), static_cast<int>(rows[0].size()));
    for (size_t y = 0; y < rows.size(); ++y) {
        for (size_t x = 0; x < rows[y].size(); ++x) {
            EXPECT_EQ(RgbAt(bitmap.Image(), static_cast<int>(x), static_cast<int>(y)), rows[y][x])
                << "pixel " << x << "," << y;
        }
    }
}

TEST(BitmapLoad, PalettedBitCountsBottomUpAndTopDown) {
    for (int bits : {1, 4, 8}) {
        const int colours = bits == 1 ? 2 : 16;
        // Nine columns cross byte boundaries at every bit count.
        std::vector<std::vector<int>> indices(3, std::vector<int>(9));
        std::vector<std::vector<uint32_t>> expected(3, std::vector<uint32_t>(9));
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 9; ++x) {
                indices[y][x] = (x * 3 + y * 5) % colours;
                expected[y][x] = PaletteRgb(indices[y][x]);
            }
        }
        for (bool topDown : {false, true}) {
            BmpParts p;
            p.width = 9;
            p.height = topDown ? -3 : 3;
            p.bitCount = static_cast<uint16_t>(bits);
            p.palette = Palette(colours);
            p.colorsUsed = static_cast<uint32_t>(colours);
            p.pixels = PackIndices(indices, bits, topDown);
            SCOPED_TRACE(testing::Message() << bits << " bits, top down " << topDown);
            ExpectPixels(Load(BuildBmp(p)), expected);
        }
    }
}

TEST(BitmapLoad, CoreHeaderWithThreeByteTableAndTrueColour) {
    BmpParts p;
    p.headerSize = 12;
    p.width = 3;
    p.height = 2;
    p.bitCount = 4;
    p.palette = Palette(16);
    p.pixels = PackIndices({{1, 2, 3}, {15, 0, 7}}, 4);
    ExpectPixels(Load(BuildBmp(p)), {{PaletteRgb(1), PaletteRgb(2), PaletteRgb(3)},
                                     {PaletteRgb(15), PaletteRgb(0), PaletteRgb(7)}});

    p.bitCount = 24;
    p.palette.clear();
    // Bottom row first; each row of 9 bytes padded to 12. Pixels are BGR.
    p.pixels = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0, 0, 0,
                0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0, 0, 0};
    ExpectPixels(Load(BuildBmp(p)), {{0x131211, 0x161514, 0x191817}, {0x030201, 0x060504, 0x090807}});
}

TEST(BitmapLoad, TrueColourTopDownAndThirtyTwoBits) {
    BmpParts p;
    p.width = 2;
    p.height = -2;
    p.pixels = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0, 0, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0, 0};
    ExpectPixels(Load(BuildBmp(p)), {{0x030201, 0x060504}, {0x131211, 0x161514}});

    // Three rows turn over in place around the middle one; the file's row
    // padding does not reach the bitmap.
    BmpParts odd;
    odd.width = 1;
    odd.height = 3;
    odd.pixels = {0x01, 0x02, 0x03, 0xEE, 0x11, 0x12, 0x13, 0xEE, 0x21, 0x22, 0x23, 0xEE};
    const TBitmap turned = Load(BuildBmp(odd));
    ExpectPixels(turned, {{0x232221}, {0x131211}, {0x030201}});
    EXPECT_EQ(turned.Image().pixels, (ByteVector{0x21, 0x22, 0x23, 0, 0x11, 0x12, 0x13, 0, 0x01, 0x02, 0x03, 0}));

    p.bitCount = 32;
    p.height = 2;
    // The fourth byte is never colour.
    p.pixels = {0x01, 0x02, 0x03, 0xFF, 0x04, 0x05, 0x06, 0x80, 0x11, 0x12, 0x13, 0x00, 0x14, 0x15, 0x16, 0x7F};
    ExpectPixels(Load(BuildBmp(p)), {{0x131211, 0x161514}, {0x030201, 0x060504}});
}

ByteVector Words16(std::initializer_list<uint32_t> values) {
    ByteVector b;
    for (uint32_t v : values) test::Put16(b, v);
    return b;
}
ByteVector Words32(std::initializer_list<uint32_t> values) {
    ByteVector b;
    for (uint32_t v : values) test::Put32(b, v);
    return b;
}

TEST(BitmapLoad, SixteenBitsDefaultFiveFiveFiveAndFieldMasks) {
    BmpParts p;
    p.width = 2;
    p.height = 1;
    p.bitCount = 16;
    // 5-5-5: full red, and red 1 / green 16 / blue 31.
    p.pixels = Words16({0x7C00, (1u << 10) | (16u << 5) | 31u});
    ExpectPixels(Load(BuildBmp(p)), {{0xFF0000, 0x0884FF}});

    // 5-6-5 through bit fields after a plain info header.
    p.compression = kBitFields;
    p.masks = {0xF800, 0x07E0, 0x001F};
    p.pixels = Words16({0x07E0, (31u << 11) | (32u << 5) | 0u});
    ExpectPixels(Load(BuildBmp(p)), {{0x00FF00, 0xFF8200}});

    // The same masks inside a version 4 and a version 5 header.
    for (uint32_t size : {52u, 56u, 108u, 124u}) {
        p.headerSize = size;
        SCOPED_TRACE(size);
        ExpectPixels(Load(BuildBmp(p)), {{0x00FF00, 0xFF8200}});
    }
}

TEST(BitmapLoad, ThirtyTwoBitFieldsInAnyOrderAndWidth) {
    BmpParts p;
    p.width = 2;
    p.height = 1;
    p.bitCount = 32;
    p.compression = kBitFields;
    // Red in the low byte, blue in the third.
    p.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
    p.pixels = Words32({0x00332211, 0xFFCCBBAA});
    ExpectPixels(Load(BuildBmp(p)), {{0x112233, 0xAABBCC}});

    // Ten bits a channel scale to eight: 1023 -> 255, 512 -> 128, 0 -> 0.
    p.masks = {0x3FF00000, 0x000FFC00, 0x000003FF};
    p.pixels = Words32({(1023u << 20) | (512u << 10), 1023u});
    ExpectPixels(Load(BuildBmp(p)), {{0xFF8000, 0x0000FF}});

    // Alpha bit fields: four masks after the info header, alpha ignored; and
    // a version 5 header whose alpha mask is set.
    p.compression = kAlphaBitFields;
    p.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    p.pixels = Words32({0x80102030, 0x00405060});
    ExpectPixels(Load(BuildBmp(p)), {{0x102030, 0x405060}});
    p.headerSize = 124;
    p.compression = kBitFields;
    ExpectPixels(Load(BuildBmp(p)), {{0x102030, 0x405060}});

    // A mask of no bits gives that channel 0.
    p.masks = {0x00FF0000, 0, 0x000000FF};
    ExpectPixels(Load(BuildBmp(p)), {{0x100030, 0x400060}});
}

TEST(BitmapLoad, Rle8RunsAbsoluteRunsDeltaEndOfLine) {
    BmpParts p;
    p.width = 6;
    p.height = 4;
    p.bitCount = 8;
    p.compression = kRle8;
    p.palette = Palette(16);
    p.pixels = {
        3, 5,                 // bottom row: 5 5 5
        0, 3, 1, 2, 3, 0,     // absolute 1 2 3, padded to a word
        0, 0,                 // end of line
        0, 2, 2, 1,           // delta: right 2, up 1 -> (2, 2)
        8, 9,                 // run of 9 from x=2 to past the row's end: clipped
        0, 0,                 // end of line -> row 3 (top)
        0, 4, 7, 8, 9, 10,    // absolute of four
        0, 1,                 // end of bitmap
        6, 15,                // never read
    };
    const uint32_t c0 = PaletteRgb(0);
    auto c = PaletteRgb;
    ExpectPixels(Load(BuildBmp(p)), {
                                        {c(7), c(8), c(9), c(10), c0, c0},
                                        {c0, c0, c(9), c(9), c(9), c(9)},
                                        {c0, c0, c0, c0, c0, c0},
                                        {c(5), c(5), c(5), c(1), c(2), c(3)},
                                    });
}

TEST(BitmapLoad, Rle4AlternatesNibbles) {
    BmpParts p;
    p.width = 7;
    p.height = 2;
    p.bitCount = 4;
    p.compression = kRle4;
    p.palette = Palette(16);
    p.pixels = {
        5, 0x12,           // 1 2 1 2 1
        0, 0,              // end of line
        0, 3, 0x34, 0x50,  // absolute 3 4 5, two bytes: already a word
        0, 5, 0x67, 0x89, 0xA0, 0,  // absolute 6 7 8 9 10, three bytes padded to four
        0, 1,
    };
    auto c = PaletteRgb;
    ExpectPixels(Load(BuildBmp(p)), {
                                        {c(3), c(4), c(5), c(6), c(7), c(8), c(9)},
                                        {c(1), c(2), c(1), c(2), c(1), c(0), c(0)},
                                    });
}

TEST(BitmapLoad, RleDataMayEndWithoutEndOfBitmap) {
    BmpParts p;
    p.width = 3;
    p.height = 2;
    p.bitCount = 8;
    p.compression = kRle8;
    p.palette = Palette(4);
    auto c = PaletteRgb;
    // An absolute run cut short by the end of the file keeps what is there.
    p.pixels = {2, 3, 0, 0, 0, 3, 1};
    ExpectPixels(Load(BuildBmp(p)), {{c(1), c(0), c(0)}, {c(3), c(3), c(0)}});
    // A delta that leaves the picture ends it.
    p.pixels = {1, 2, 0, 2, 0, 200, 1, 3};
    ExpectPixels(Load(BuildBmp(p)), {{c(0), c(0), c(0)}, {c(2), c(0), c(0)}});
}

TEST(BitmapLoad, ShortTablesAndDataOffsets) {
    BmpParts p;
    p.width = 4;
    p.height = 1;
    p.bitCount = 8;
    p.palette = Palette(2);
    p.colorsUsed = 2;
    p.pixels = {0, 1, 2, 255};
    // Indices past the table are black.
    ExpectPixels(Load(BuildBmp(p)), {{PaletteRgb(0), PaletteRgb(1), 0, 0}});

    // An offset of 0 means right after the table.
    p.dataOffset = 0;
    ExpectPixels(Load(BuildBmp(p)), {{PaletteRgb(0), PaletteRgb(1), 0, 0}});

    // An offset that leaves room for one colour shortens the table to it.
    p.colorsUsed = 0;
    p.dataOffset = 14 + 40 + 4;
    ByteVector file = BuildBmp(p);
    file.erase(file.begin() + 14 + 40 + 4, file.begin() + 14 + 40 + 8);
    ExpectPixels(Load(file), {{PaletteRgb(0), 0, 0, 0}});

    // An offset past the table skips the gap.
    p.dataOffset = 14 + 40 + 8 + 3;
    p.colorsUsed = 2;
    p.pixels = {9, 9, 9, 1, 0, 1, 0};
    ExpectPixels(Load(BuildBmp(p)), {{PaletteRgb(1), PaletteRgb(0), PaletteRgb(1), PaletteRgb(0)}});
}

TEST(BitmapLoad, ShortFilesAndWrongSignature) {
    EXPECT_TRUE(Load({}).Empty());

    BmpParts p;
    p.pixels = {1, 2, 3, 0};
    const ByteVector good = BuildBmp(p);
    ASSERT_EQ(ErrorOf(good), "loaded");
    for (size_t n = 1; n <= 13; ++n) {
        EXPECT_EQ(ErrorOf(ByteVector(good.begin(), good.begin() + static_cast<long>(n))), kReadError) << n;
    }
    // Cut inside the headers or the pixels: the stream runs out.
    for (size_t n = 14; n < good.size(); ++n) {
        EXPECT_EQ(ErrorOf(ByteVector(good.begin(), good.begin() + static_cast<long>(n))), kReadError) << n;
    }
    // Short texts that are not bitmaps still run out first.
    EXPECT_EQ(ErrorOf({0xFF, 0xD8, 0xFF}), kReadError);

    ByteVector jpeg = good;
    jpeg[0] = 0xFF;
    jpeg[1] = 0xD8;
    EXPECT_EQ(ErrorOf(jpeg), kInvalid);
    ByteVector lower = good;
    lower[1] = 'm';
    EXPECT_EQ(ErrorOf(lower), kInvalid);
}

TEST(BitmapLoad, HeadersOfUnknownKindAreNotValid) {
    auto with = [](const std::function<void(BmpParts&)>& change) {
        BmpParts p;
        p.width = 2;
        p.height = 2;
        p.pixels = ByteVector(16, 0);
        change(p);
        return ErrorOf(BuildBmp(p));
    };
    EXPECT_EQ(with([](BmpParts& p) { p.headerSize = 64; }), kInvalid);
    EXPECT_EQ(with([](BmpParts& p) { p.headerSize = 0; }), kInvalid);
    EXPECT_EQ(with([](BmpParts& p) { p.width = 0; }), kInvalid);
    EXPECT_EQ(with([](BmpParts& p) { p.width = -2; }), kInvalid);
    EXPECT_EQ(with([](BmpParts& p) { p.height = 0; }), kInvalid);
    EXPECT_EQ(with([](BmpParts& p) { p.height = INT32_MIN; }), kInvalid);
    for (uint16_t bits : {0, 2, 3, 12, 48, 64}) {
        EXPECT_EQ(with([bits](BmpParts& p) { p.bitCount = bits; }), kInvalid) << bits;
    }
    // Compressions that do not go with the bit count, or are not known.
    EXPECT_EQ(with([](BmpParts& p) { p.compression = kRle8; }), kInvalid);
    EXPECT_EQ(with([](BmpParts& p) { p.bitCount = 4, p.compression = kRle8; }), kInvalid);
    EXPECT_EQ(with([](BmpParts& p) { p.bitCount = 8, p.compression = kRle4; }), kInvalid);
    EXPECT_EQ(with([](BmpParts& p) { p.compression = kBitFields, p.masks = {1, 2, 4}; }), kInvalid);
    EXPECT_EQ(with([](BmpParts& p) { p.compression = 4; }), kInvalid);  // JPEG inside
    EXPECT_EQ(with([](BmpParts& p) { p.compression = 5; }), kInvalid);  // PNG inside
    EXPECT_EQ(with([](BmpParts& p) { p.compression = 7; }), kInvalid);
    // RLE runs bottom up only.
    EXPECT_EQ(with([](BmpParts& p) { p.bitCount = 8, p.compression = kRle8, p.height = -2; }), kInvalid);
}

TEST(BitmapLoad, HostileSizesAreRefusedBeforeAllocating) {
    BmpParts p;
    p.pixels = ByteVector(64, 0);
    // Too large to unpack at all.
    p.width = INT32_MAX;
    p.height = INT32_MAX;
    EXPECT_EQ(ErrorOf(BuildBmp(p)), kInvalid);
    p.width = 1;
    p.height = -INT32_MAX;
    EXPECT_EQ(ErrorOf(BuildBmp(p)), kInvalid);
    // Plausible sizes that the file cannot fill.
    p.width = 10000;
    p.height = 10000;
    EXPECT_EQ(ErrorOf(BuildBmp(p)), kReadError);
    p.bitCount = 1;
    p.palette = Palette(2);
    EXPECT_EQ(ErrorOf(BuildBmp(p)), kReadError);
    // A data offset past the end of the file.
    p.width = 2;
    p.height = 2;
    p.dataOffset = 0xFFFFFFF0u;
    EXPECT_EQ(ErrorOf(BuildBmp(p)), kReadError);
    // A table longer than the file.
    p.dataOffset = 0;
    p.bitCount = 8;
    p.palette = Palette(3);
    p.pixels.clear();
    EXPECT_EQ(ErrorOf(BuildBmp(p)), kReadError);
    // RLE claiming a huge picture in a few bytes.
    BmpParts rle;
    rle.width = 15000;
    rle.height = 15000;
    rle.bitCount = 8;
    rle.compression = kRle8;
    rle.palette = Palette(2);
    rle.pixels = {0, 1};
    EXPECT_EQ(ErrorOf(BuildBmp(rle)), kInvalid);
    // ... but a modest one is fine, filled with the first colour.
    rle.width = 1000;
    rle.height = 1000;
    const TBitmap modest = Load(BuildBmp(rle));
    EXPECT_EQ(RgbAt(modest.Image(), 999, 999), PaletteRgb(0));
}

TEST(BitmapLoad, DamagedFilesNeverEscapeTheTwoErrors) {
    // Every single-byte change of a set of small files of each kind either
    // loads or raises one of the loader's own errors; under the sanitizers
    // this also proves no read strays outside the data.
    std::vector<ByteVector> files;
    BmpParts p;
    p.width = 3;
    p.height = 2;
    p.bitCount = 4;
    p.palette = Palette(16);
    p.pixels = PackIndices({{1, 2, 3}, {4, 5, 6}}, 4);
    files.push_back(BuildBmp(p));
    p.compression = kRle4;
    p.pixels = {3, 0x12, 0, 0, 0, 3, 0x45, 0x60, 0, 1};
    files.push_back(BuildBmp(p));
    p.bitCount = 8;
    p.compression = kRle8;
    p.pixels = {2, 7, 0, 2, 1, 0, 0, 3, 1, 2, 3, 0, 0, 1};
    files.push_back(BuildBmp(p));
    BmpParts f;
    f.width = 2;
    f.height = -2;
    f.headerSize = 108;
    f.bitCount = 16;
    f.compression = kBitFields;
    f.masks = {0xF800, 0x07E0, 0x001F};
    f.pixels = ByteVector(8, 0x5A);
    files.push_back(BuildBmp(f));
    f.headerSize = 12;
    f.height = 2;
    f.bitCount = 8;
    f.palette = Palette(8);
    f.pixels = ByteVector(8, 3);
    files.push_back(BuildBmp(f));

    for (const ByteVector& file : files) {
        ASSERT_EQ(ErrorOf(file), "loaded");
        for (size_t i = 0; i < file.size(); ++i) {
            for (uint8_t v : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
                ByteVector damaged = file;
                damaged[i] = v;
                const std::string outcome = ErrorOf(damaged);
                EXPECT_TRUE(outcome == "loaded" || outcome == kReadError || outcome == kInvalid) << outcome;
            }
        }
    }
}

TEST(BitmapLoad, FailureKeepsThePreviousBitmapAndFileErrorsNameThePath) {
    BmpParts p;
    p.pixels = {1, 2, 3, 0};
    TBitmap bitmap = Load(BuildBmp(p));
    const ByteVector bad = {'B', 'M', 1, 2, 3};
    EXPECT_THROW(bitmap.LoadFromData(bad.data(), bad.size()), EReadError);
    EXPECT_EQ(RgbAt(bitmap.Image(), 0, 0), 0x030201u);

    test::FakePlatform fs;
    fs.AddFolder("C:\\Pics");
    try {
        bitmap.LoadFromFile(fs, "C:\\Pics\\none.bmp");
        FAIL() << "loaded a missing file";
    } catch (const EFOpenError& e) {
        EXPECT_STREQ(e.what(), "Cannot open file \"C:\\Pics\\none.bmp\". The system cannot find the file specified");
    }
    EXPECT_EQ(bitmap.Width(), 1);
}

}  // namespace
}  // namespace quorvane
