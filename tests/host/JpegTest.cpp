// The JPEG picture: header reading, errors, byte-exact saving, encoding of
// bitmaps and decoding for display.
#include <gtest/gtest.h>

#include <cmath>

#include <jerror.h>

#include "folder_settings/Bitmap.h"
#include "folder_settings/Jpeg.h"
#include "platform/Errors.h"
#include "tests/host/BmpBuilder.h"
#include "tests/host/FailingAllocation.h"
#include "tests/host/FakePlatform.h"
#include "tests/host/JpegSamples.h"

namespace quorvane {
namespace {

using test::ByteVector;
using test::FakePlatform;
using test::SampleJpeg;
using test::SampleOptions;
using test::WithSize;

static_assert(JERR_NO_SOI == 53, "a file that is not JPEG reports message 53");

std::string JpegErrorOf(const ByteVector& bytes) {
    try {
        TJPEGImage picture;
        picture.LoadFromData(bytes);
        picture.DecodedBitmap();
    } catch (const EJPEG& e) {
        return e.what();
    }
    return "decoded";
}

std::string Numbered(int code) { return "JPEG error #" + std::to_string(code); }

// A 24-bit bitmap of the sample picture, through the bitmap file loader.
TBitmap SampleBitmap(int width, int height) {
    const ByteVector rgb = test::SamplePixels(width, height, 3);
    test::BmpParts p;
    p.width = width;
    p.height = -height;
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    for (int y = 0; y < height; ++y) {
        ByteVector row(stride, 0);
        for (int x = 0; x < width; ++x) {
            const uint8_t* px = &rgb[(static_cast<size_t>(y) * width + x) * 3];
            row[3 * x] = px[2];
            row[3 * x + 1] = px[1];
            row[3 * x + 2] = px[0];
        }
        p.pixels.insert(p.pixels.end(), row.begin(), row.end());
    }
    const ByteVector file = test::BuildBmp(p);
    TBitmap bitmap;
    bitmap.LoadFromData(file.data(), file.size());
    return bitmap;
}

// How far a 24-bit bitmap lies from RGB pixels of the same size.
struct PixelError {
    double mean = 0;
    int worst = 0;
};

PixelError ErrorAgainst(const Dib& bgr, const ByteVector& rgb) {
    PixelError e;
    for (int y = 0; y < bgr.height; ++y) {
        for (int x = 0; x < bgr.width; ++x) {
            for (int ch = 0; ch < 3; ++ch) {
                const int diff = std::abs(bgr.Row(y)[3 * x + ch] - rgb[(static_cast<size_t>(y) * bgr.width + x) * 3 + 2 - ch]);
                e.mean += diff;
                e.worst = std::max(e.worst, diff);
            }
        }
    }
    e.mean /= 3.0 * bgr.width * bgr.height;
    return e;
}


class ScreenDepthGuard {
public:
    ~ScreenDepthGuard() { TJPEGImage::SetScreenColorDepth(32); }
};

TEST(JpegSettings, PixelFormatFollowsTheScreenDepth) {
    ScreenDepthGuard guard;
    for (auto [depth, format] : {std::pair{1, JpegPixelFormat::k8Bit}, {4, JpegPixelFormat::k8Bit},
                                 {8, JpegPixelFormat::k8Bit}, {15, JpegPixelFormat::k24Bit},
                                 {16, JpegPixelFormat::k24Bit}, {32, JpegPixelFormat::k24Bit}}) {
        TJPEGImage::SetScreenColorDepth(depth);
        EXPECT_EQ(TJPEGImage().Settings().pixelFormat, format) << depth;
    }
}

TEST(JpegLoad, KeepsTheBytesAndReadsOnlyTheHeader) {
    const ByteVector colour = SampleJpeg(37, 21);
    TJPEGImage picture;
    picture.LoadFromData(colour);
    EXPECT_EQ(picture.Width(), 37);
    EXPECT_EQ(picture.Height(), 21);
    EXPECT_FALSE(picture.Grayscale());
    EXPECT_FALSE(picture.Empty());
    EXPECT_EQ(picture.Data(), colour);
    EXPECT_EQ(picture.Bitmap(), nullptr);

    picture.LoadFromData(SampleJpeg(9, 5, {.components = 1}));
    EXPECT_TRUE(picture.Grayscale());
    EXPECT_EQ(picture.Width(), 9);

    picture.LoadFromData({});
    EXPECT_TRUE(picture.Empty());
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_EQ(picture.Height(), 0);
    EXPECT_TRUE(picture.DecodedBitmap().Empty());

    // A failed load leaves the picture as it was.
    picture.LoadFromData(colour);
    EXPECT_THROW(picture.LoadFromData({'n', 'o'}), EJPEG);
    EXPECT_EQ(picture.Data(), colour);
    EXPECT_EQ(picture.Width(), 37);
}

TEST(JpegLoad, HeaderErrorsCarryLibjpegsNumberAndPrintNothing) {
    testing::internal::CaptureStderr();
    const ByteVector good = SampleJpeg(16, 16);
    // Not starting with 0xFF 0xD8.
    for (const ByteVector& bytes : {ByteVector{'X'}, ByteVector{0xFF}, ByteVector{0xD8, 0xFF},
                                    ByteVector{0xFF, 0xD9, 0xFF, 0xD8}, ByteVector{'B', 'M', 0, 0, 0, 0},
                                    ByteVector(good.begin() + 1, good.end())}) {
        EXPECT_EQ(JpegErrorOf(bytes), "JPEG error #53");
    }
    EXPECT_EQ(JpegErrorOf({0xFF, 0xD8}), Numbered(JERR_NO_IMAGE));
    EXPECT_EQ(JpegErrorOf({0xFF, 0xD8, 0xFF, 0xD9}), Numbered(JERR_NO_IMAGE));

    const size_t sof = test::FindSegment(good, 0xC0);
    ASSERT_NE(sof, 0u);
    ByteVector twelveBit = good;
    twelveBit[sof + 4] = 12;
    EXPECT_EQ(JpegErrorOf(twelveBit), Numbered(JERR_BAD_PRECISION));
    ByteVector noWidth = good;
    noWidth[sof + 7] = noWidth[sof + 8] = 0;
    EXPECT_EQ(JpegErrorOf(noWidth), Numbered(JERR_EMPTY_IMAGE));
    ByteVector badSampling = good;
    badSampling[sof + 11] = 0x55;  // first component 5 x 5
    EXPECT_EQ(JpegErrorOf(badSampling), Numbered(JERR_BAD_SAMPLING));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(JpegSave, WritesTheLoadedBytesUnchanged) {
    FakePlatform fs;
    fs.AddFolder("C:\\Pics\\Folder Settings");
    ByteVector odd = SampleJpeg(40, 30, {.progressive = true});
    odd.insert(odd.end(), {'t', 'a', 'i', 'l'});  // bytes after the end marker travel too
    for (const ByteVector& original : {SampleJpeg(40, 30), odd}) {
        fs.AddFile("C:\\Pics\\Folder Settings\\BackGround.jpg", original);
        TJPEGImage picture;
        picture.LoadFromFile(fs, "C:\\Pics\\Folder Settings\\BackGround.jpg");
        picture.SaveToFile(fs, "C:\\Pics\\copy.jpg");
        EXPECT_EQ(fs.Contents("C:\\Pics\\copy.jpg"), original);
        // Over the file it came from, and after being drawn: still no re-encoding.
        picture.DecodedBitmap();
        picture.SaveToFile(fs, "C:\\Pics\\Folder Settings\\BackGround.jpg");
        EXPECT_EQ(fs.Contents("C:\\Pics\\Folder Settings\\BackGround.jpg"), original);
    }

    // A picture from an empty file saves as an empty file.
    fs.AddFile("C:\\Pics\\empty.jpg", ByteVector{});
    fs.AddFile("C:\\Pics\\out.jpg", std::string("old contents"));
    TJPEGImage empty;
    empty.LoadFromFile(fs, "C:\\Pics\\empty.jpg");
    empty.SaveToFile(fs, "C:\\Pics\\out.jpg");
    EXPECT_TRUE(fs.Exists("C:\\Pics\\out.jpg"));
    EXPECT_TRUE(fs.Contents("C:\\Pics\\out.jpg").empty());
}

TEST(JpegSave, FileErrorsNameThePathAndTheCause) {
    FakePlatform fs;
    fs.AddFolder("C:\\Pics");
    fs.AddFile("C:\\Pics\\held.jpg", SampleJpeg(8, 8));
    fs.lockedFiles.insert("C:\\Pics\\held.jpg");
    fs.refuseWrites.insert("C:\\Pics\\denied.jpg");
    TJPEGImage picture;
    picture.LoadFromData(SampleJpeg(8, 8));
    auto message = [&](auto action) {
        try {
            action();
        } catch (const Exception& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(message([&] { picture.LoadFromFile(fs, "C:\\Pics\\none.jpg"); }),
              "Cannot open file \"C:\\Pics\\none.jpg\". The system cannot find the file specified");
    EXPECT_EQ(message([&] { picture.LoadFromFile(fs, "C:\\Pics\\held.jpg"); }),
              "Cannot open file \"C:\\Pics\\held.jpg\". The process cannot access the file because it is "
              "being used by another process");
    EXPECT_EQ(message([&] { picture.SaveToFile(fs, "C:\\Pics\\denied.jpg"); }),
              "Cannot create file \"C:\\Pics\\denied.jpg\". Access is denied");
    EXPECT_EQ(message([&] { picture.SaveToFile(fs, "C:\\None\\x.jpg"); }),
              "Cannot create file \"C:\\None\\x.jpg\". The system cannot find the path specified");
    EXPECT_THROW(picture.SaveToFile(fs, "C:\\Pics\\held.jpg"), EFCreateError);
}

TEST(JpegEncode, BitmapBecomesABaselineColourStreamAtQuality90) {
    const int w = 64, h = 48;
    TJPEGImage picture;
    picture.Assign(SampleBitmap(w, h));
    EXPECT_TRUE(picture.Data().empty());
    ASSERT_NE(picture.Bitmap(), nullptr);
    EXPECT_EQ(picture.Width(), w);

    FakePlatform fs;
    fs.AddFolder("C:\\Pics");
    picture.SaveToFile(fs, "C:\\Pics\\BackGround.jpg");
    const ByteVector data = fs.Contents("C:\\Pics\\BackGround.jpg");
    EXPECT_EQ(data, picture.Data());

    // The same bytes as libjpeg's own encoder gives with its defaults,
    // quality 90 and baseline tables, from RGB rows top down.
    EXPECT_EQ(data, test::EncodeWithLibjpeg(test::SamplePixels(w, h, 3), w, h, {.quality = 90}));

    // Encoded once: a second save writes the held bytes.
    const uint8_t* held = picture.Data().data();
    picture.SaveToFile(fs, "C:\\Pics\\again.jpg");
    EXPECT_EQ(picture.Data().data(), held);
    EXPECT_EQ(fs.Contents("C:\\Pics\\again.jpg"), data);

    // Sequential baseline (SOF0) in one interleaved scan of three components.
    EXPECT_NE(test::FindSegment(data, 0xC0), 0u);
    for (uint8_t sof : {0xC1, 0xC2, 0xC3, 0xC9, 0xCA}) EXPECT_EQ(test::FindSegment(data, sof), 0u);
    const size_t sos = test::FindSegment(data, 0xDA);
    ASSERT_NE(sos, 0u);
    EXPECT_EQ(data[sos + 4], 3);

    jpeg_decompress_struct d{};
    jpeg_error_mgr errors{};
    d.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&d, TRUE);
    EXPECT_EQ(d.num_components, 3);
    EXPECT_EQ(d.jpeg_color_space, JCS_YCbCr);
    EXPECT_FALSE(d.progressive_mode);
    // Quantisation tables: libjpeg's standard tables scaled for quality 90.
    EXPECT_EQ(test::QuantTableMismatches(data, 90), std::vector<std::string>{});
    ASSERT_NE(d.quant_tbl_ptrs[0], nullptr);
    EXPECT_EQ(d.quant_tbl_ptrs[0]->quantval[0], 3);  // 16 at 20 percent
    jpeg_destroy_decompress(&d);

    // It decodes back close to the bitmap, top row first.
    const PixelError error = ErrorAgainst(test::DecodeWithLibjpeg(data, 0), test::SamplePixels(w, h, 3));
    EXPECT_LT(error.mean, 2.0);
    EXPECT_LT(error.worst, 64);  // the box's hard edges ring a little
}

TEST(JpegEncode, EmptyBitmapEncodesToNothing) {
    TBitmap empty;
    empty.LoadFromData(nullptr, 0);
    TJPEGImage picture;
    picture.Assign(empty);
    FakePlatform fs;
    fs.AddFolder("C:\\Pics");
    picture.SaveToFile(fs, "C:\\Pics\\out.jpg");
    EXPECT_TRUE(fs.Exists("C:\\Pics\\out.jpg"));
    EXPECT_TRUE(fs.Contents("C:\\Pics\\out.jpg").empty());

    // Assigning a bitmap drops encoded data held before.
    picture.LoadFromData(SampleJpeg(8, 8));
    picture.Assign(SampleBitmap(5, 3));
    EXPECT_TRUE(picture.Data().empty());
    EXPECT_EQ(picture.Width(), 5);
    EXPECT_EQ(picture.Height(), 3);
}

// Noise compresses badly: its stream outgrows the encoder's first buffer.
TBitmap NoiseBitmap(int width, int height) {
    test::BmpParts p;
    p.width = width;
    p.height = height;
    uint32_t seed = 12345;
    p.pixels.resize(static_cast<size_t>((width * 3 + 3) / 4 * 4) * static_cast<size_t>(height));
    for (uint8_t& b : p.pixels) b = static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 24);
    const ByteVector file = test::BuildBmp(p);
    TBitmap bitmap;
    bitmap.LoadFromData(file.data(), file.size());
    return bitmap;
}

// Wherever libjpeg or the output runs out of memory, the encoder reports
// libjpeg's error, writes nothing and keeps nothing: the sanitizers' run
// sees no double free and no leak.
TEST(JpegEncode, RunningOutOfMemoryAnywhereIsLibjpegsErrorAndWritesNothing) {
    const TBitmap noise = NoiseBitmap(512, 512);
    FakePlatform fs;
    fs.AddFolder("C:\\Pics");
    const auto saveFails = [&](const char* what) {
        TJPEGImage picture;
        picture.Assign(noise);
        try {
            picture.SaveToFile(fs, "C:\\Pics\\out.jpg");
            fs.RemoveFile("C:\\Pics\\out.jpg");
            return false;
        } catch (const EJPEG& e) {
            EXPECT_EQ(e.what(), Numbered(JERR_OUT_OF_MEMORY)) << what;
        }
        EXPECT_FALSE(fs.Exists("C:\\Pics\\out.jpg")) << what;
        EXPECT_TRUE(picture.Data().empty()) << what;
        return true;
    };

    // Every allocation of libjpeg's refused from the first, the second, ...
    // on, until an encode needs no more than were allowed.
    size_t refusals = 0;
    for (size_t from = 1;; ++from) {
        ASSERT_LT(from, 1000u) << "libjpeg never stopped allocating";
        test::LibjpegAllocationFailure failure(from);
        const bool failed = saveFails("libjpeg's allocations");
        if (!failure.Refused()) {
            EXPECT_FALSE(failed) << "from call " << from;
            break;
        }
        EXPECT_TRUE(failed) << "from call " << from;
        ++refusals;
    }
    EXPECT_GT(refusals, 2u);

    // The output's first buffer, or the one it outgrows it for, finds no room.
    for (const size_t limit : {size_t{64} << 10, size_t{128} << 10}) {
        test::AllocationLimit refusing(limit);
        EXPECT_TRUE(saveFails("the output's buffers")) << limit;
    }

    TJPEGImage picture;
    picture.Assign(noise);
    picture.SaveToFile(fs, "C:\\Pics\\out.jpg");
    EXPECT_GT(fs.Contents("C:\\Pics\\out.jpg").size(), size_t{128} << 10);
    EXPECT_EQ(fs.Contents("C:\\Pics\\out.jpg"), picture.Data());
}

TEST(JpegAssign, TakesDataAndTheBitmapWhichOutlivesTheSource) {
    TJPEGImage copy;
    {
        TJPEGImage source;
        source.LoadFromData(SampleJpeg(20, 10));
        copy.Assign(source);
        EXPECT_EQ(copy.Data(), source.Data());
        EXPECT_EQ(copy.Bitmap(), nullptr);
        EXPECT_EQ(copy.Width(), 20);
        source.DecodedBitmap();
        copy.Assign(source);
    }
    ASSERT_NE(copy.Bitmap(), nullptr);
    EXPECT_EQ(copy.Bitmap()->pixels, test::DecodeWithLibjpeg(SampleJpeg(20, 10), 0).pixels);
    // Drawing the copy needs no second decoding.
    EXPECT_EQ(&copy.DecodedBitmap(), copy.Bitmap());

    // A bitmap's picture keeps the pixels after the bitmap is gone.
    TJPEGImage fromBitmap;
    fromBitmap.Assign(SampleBitmap(6, 4));
    ASSERT_NE(fromBitmap.Bitmap(), nullptr);
    EXPECT_EQ(fromBitmap.Bitmap()->width, 6);
    EXPECT_EQ(test::RgbAt(*fromBitmap.Bitmap(), 5, 3), test::RgbAt(SampleBitmap(6, 4).Image(), 5, 3));
}

TEST(JpegAssign, CopiesShareTheBytesButChangeAlone) {
    FakePlatform fs;
    fs.AddFolder("C:\\Pics");
    const ByteVector first = SampleJpeg(20, 10), second = SampleJpeg(12, 8, {.quality = 50});
    TJPEGImage source, copy;
    source.LoadFromData(first);
    copy.Assign(source);
    EXPECT_EQ(copy.Data().data(), source.Data().data());

    // Whatever one copy loads or takes, the other keeps its picture and
    // still saves it byte for byte.
    source.LoadFromData(second);
    EXPECT_EQ(copy.Data(), first);
    EXPECT_EQ(copy.Width(), 20);
    copy.SaveToFile(fs, "C:\\Pics\\copy.jpg");
    EXPECT_EQ(fs.Contents("C:\\Pics\\copy.jpg"), first);
    copy.Assign(SampleBitmap(5, 3));
    EXPECT_EQ(source.Data(), second);
    copy.LoadFromData({});
    EXPECT_EQ(source.Data(), second);
    EXPECT_EQ(source.Width(), 12);

    // A copy of a bitmap's picture encodes for itself: the other stays
    // without data and gives the same bytes when it is saved.
    TJPEGImage fromBitmap;
    fromBitmap.Assign(SampleBitmap(16, 16));
    copy.Assign(fromBitmap);
    copy.SaveToFile(fs, "C:\\Pics\\encoded.jpg");
    EXPECT_FALSE(copy.Data().empty());
    EXPECT_TRUE(fromBitmap.Data().empty());
    fromBitmap.SaveToFile(fs, "C:\\Pics\\again.jpg");
    EXPECT_EQ(fs.Contents("C:\\Pics\\again.jpg"), fs.Contents("C:\\Pics\\encoded.jpg"));
}

TEST(JpegDecode, TrueColourIsLibjpegsAccurateDecodeDoneOnce) {
    for (const SampleOptions& options : {SampleOptions{}, SampleOptions{.progressive = true}}) {
        const ByteVector data = SampleJpeg(100, 60, options);
        TJPEGImage picture;
        picture.LoadFromData(data);
        const Dib& dib = picture.DecodedBitmap();
        EXPECT_EQ(dib.bitsPerPixel, 24);
        EXPECT_EQ(dib.width, 100);
        EXPECT_EQ(dib.height, 60);
        EXPECT_EQ(dib.stride, 300u);
        EXPECT_EQ(dib.pixels, test::DecodeWithLibjpeg(data, 0).pixels);
        EXPECT_EQ(&picture.DecodedBitmap(), &dib);
        EXPECT_EQ(picture.Bitmap(), &dib);
    }
}

// The preview decodes at the smallest of libjpeg's scales that still gives
// the pixels it draws, and decodes again only to draw larger. (The seed
// corpus replay decodes every seed, corrupt, grey, CMYK and quantised, at
// 1/8 as well.)
TEST(JpegDecode, AtTheSizeItIsDrawnAndAgainOnlyWhenDrawnLarger) {
    const int scales[][5] = {  // picture, wanted, scale
        {6000, 4000, 165, 103, 8}, {6000, 4000, 2000, 1333, 2}, {6000, 4000, 3001, 2000, 1},
        {1200, 800, 150, 100, 8},  {1200, 800, 165, 110, 4},    {1201, 801, 151, 101, 8},
        {165, 103, 165, 103, 1},   {7, 7, 1, 1, 8},            {20000, 10000, 165, 82, 8},
    };
    for (const auto& c : scales) EXPECT_EQ(JpegScaleFor(c[0], c[1], c[2], c[3]), c[4]) << c[0] << " " << c[2];

    const ByteVector data = SampleJpeg(800, 600);
    TJPEGImage picture;
    picture.LoadFromData(data);
    const Dib& eighth = picture.DecodedBitmap(100, 75);
    EXPECT_EQ(eighth.pixels, test::DecodeWithLibjpeg(data, 0, 8).pixels);
    EXPECT_EQ(picture.Width(), 800);  // the display rule takes the full size
    EXPECT_EQ(&picture.DecodedBitmap(90, 60), &eighth);
    EXPECT_EQ(picture.DecodedBitmap(150, 100).width, 200);
    EXPECT_EQ(picture.DecodedBitmap().width, 800);
    EXPECT_EQ(picture.DecodedBitmap(100, 75).width, 800);  // one bitmap, the larger kept
}

TEST(JpegDecode, EightBitFormatAndGreyStreamsQuantiseTo236) {
    JpegSettings eightBit = TJPEGImage::DefaultSettings();
    eightBit.pixelFormat = JpegPixelFormat::k8Bit;
    const ByteVector colour = SampleJpeg(90, 70);
    TJPEGImage picture(eightBit);
    picture.LoadFromData(colour);
    const Dib& dib = picture.DecodedBitmap();
    EXPECT_EQ(dib.bitsPerPixel, 8);
    EXPECT_EQ(dib.stride, 92u);
    EXPECT_GT(dib.palette.size(), 100u);
    EXPECT_LE(dib.palette.size(), 236u);
    const Dib expected = test::DecodeWithLibjpeg(colour, 236);
    EXPECT_EQ(dib.pixels, expected.pixels);
    EXPECT_EQ(dib.palette, expected.palette);

    // A grey stream gives grey levels whatever the pixel format.
    const ByteVector grey = SampleJpeg(50, 40, {.components = 1});
    for (const JpegSettings& settings : {TJPEGImage::DefaultSettings(), eightBit}) {
        TJPEGImage g(settings);
        g.LoadFromData(grey);
        const Dib& gd = g.DecodedBitmap();
        EXPECT_EQ(gd.bitsPerPixel, 8);
        EXPECT_LE(gd.palette.size(), 236u);
        for (const PaletteEntry& e : gd.palette) {
            EXPECT_EQ(e.red, e.green);
            EXPECT_EQ(e.green, e.blue);
        }
        const Dib greyExpected = test::DecodeWithLibjpeg(grey, 236);
        EXPECT_EQ(gd.pixels, greyExpected.pixels);
        EXPECT_EQ(gd.palette, greyExpected.palette);
    }
}

TEST(JpegDecode, DataThatEndsEarlyShowsWhatWasDecoded) {
    testing::internal::CaptureStderr();
    for (bool progressive : {false, true}) {
        const ByteVector full = SampleJpeg(256, 256, {.progressive = progressive});
        const Dib whole = test::DecodeWithLibjpeg(full, 0);
        TJPEGImage picture;
        picture.LoadFromData(ByteVector(full.begin(), full.begin() + static_cast<long>(full.size() * 6 / 10)));
        const Dib& part = picture.DecodedBitmap();
        ASSERT_EQ(part.height, 256);
        if (!progressive) {
            // The top rows were complete in the data.
            EXPECT_TRUE(std::equal(part.Row(0), part.Row(8), whole.Row(0)));
        }
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(JpegDecode, PrintersInksShowInTheirColours) {
    // An odd width, so the bitmap's rows are padded.
    const int w = 67, h = 45;
    const ByteVector rgb = test::SamplePixels(w, h, 3);
    JpegSettings eightBit = TJPEGImage::DefaultSettings();
    eightBit.pixelFormat = JpegPixelFormat::k8Bit;
    const struct {
        const char* what;
        bool inverted;
        SampleOptions options;
    } cases[] = {
        {"plain CMYK", false, {.components = 4, .quality = 95, .adobeMarker = false}},
        {"Adobe CMYK", true, {.components = 4, .quality = 95}},
        {"Adobe CMYK, progressive", true, {.components = 4, .quality = 95, .progressive = true}},
        {"Adobe YCCK", true, {.components = 4, .quality = 95, .ycck = true}},
    };
    for (const auto& c : cases) {
        const ByteVector data = test::EncodeWithLibjpeg(test::CmykFromRgb(rgb, c.inverted), w, h, c.options);
        // On a screen of 256 colours too: libjpeg cannot quantise inks, the
        // screen maps the 24-bit colours itself.
        for (const JpegSettings& settings : {TJPEGImage::DefaultSettings(), eightBit}) {
            TJPEGImage picture(settings);
            picture.LoadFromData(data);
            EXPECT_FALSE(picture.Grayscale()) << c.what;
            const Dib& dib = picture.DecodedBitmap();
            ASSERT_EQ(dib.bitsPerPixel, 24) << c.what;
            ASSERT_EQ(dib.width, w);
            ASSERT_EQ(dib.height, h);
            const PixelError error = ErrorAgainst(dib, rgb);
            EXPECT_LT(error.mean, 2.0) << c.what;
            EXPECT_LT(error.worst, 64) << c.what;
        }
    }
}

TEST(JpegDecode, FailuresAtDrawingTimeRaiseInsteadOfEndingTheProgram) {
    testing::internal::CaptureStderr();
    const size_t kNoLimit = 0;
    const struct {
        const char* what;
        ByteVector data;
        size_t failAllocationsFrom;
        int code;
    } cases[] = {
        // A header claiming a huge picture is refused before the bitmap is
        // allocated ...
        {"65000 x 65000", WithSize(SampleJpeg(16, 16), 65000, 65000), kNoLimit, JERR_OUT_OF_MEMORY},
        {"30000 x 30000", WithSize(SampleJpeg(16, 16), 30000, 30000), kNoLimit, JERR_OUT_OF_MEMORY},
        {"30000 x 30000 CMYK", WithSize(SampleJpeg(16, 16, {.components = 4}), 30000, 30000), kNoLimit,
         JERR_OUT_OF_MEMORY},
        // ... a progressive one within the bitmap limit is stopped by
        // libjpeg's working-memory limit before anything is decoded ...
        {"progressive 20000 x 20000", WithSize(SampleJpeg(16, 16, {.components = 1, .progressive = true}), 20000, 20000),
         kNoLimit, JERR_NO_BACKING_STORE},
        // ... and a bitmap within the limits that finds no room fails alike.
        {"no room for the bitmap", SampleJpeg(300, 200), 100000, JERR_OUT_OF_MEMORY},
        {"no room for the CMYK bitmap", SampleJpeg(300, 200, {.components = 4}), 100000, JERR_OUT_OF_MEMORY},
    };
    FakePlatform fs;
    fs.AddFolder("C:\\Pics");
    for (const auto& c : cases) {
        TJPEGImage picture;
        picture.LoadFromData(c.data);
        {
            test::AllocationLimit limit(c.failAllocationsFrom);
            try {
                picture.DecodedBitmap();
                ADD_FAILURE() << c.what << " decoded";
            } catch (const EJPEG& e) {
                EXPECT_EQ(e.what(), Numbered(c.code)) << c.what;
            }
        }
        // The picture is still whole: it copies byte for byte ...
        EXPECT_EQ(picture.Bitmap(), nullptr) << c.what;
        picture.SaveToFile(fs, "C:\\Pics\\copy.jpg");
        EXPECT_EQ(fs.Contents("C:\\Pics\\copy.jpg"), c.data) << c.what;
        // ... and shows once there is room.
        if (c.failAllocationsFrom != kNoLimit) {
            EXPECT_EQ(picture.DecodedBitmap().width, 300) << c.what;
        }
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
}  // namespace quorvane
