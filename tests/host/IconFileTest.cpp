// Reading and checking .ico files, and choosing an entry for a list size.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "folder_settings/IconFile.h"
#include "platform/Errors.h"
#include "tests/host/FakePlatform.h"
#include "tests/host/IconBuilder.h"
#include "tests/host/IconVariants.h"

namespace quorvane {
namespace {

using test::BuildIcon;
using test::IconSpec;

using Bytes = std::vector<uint8_t>;

void Set32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}
void Set16(Bytes& b, size_t at, uint16_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

// Offset of the first entry's image in a one-entry file.
constexpr size_t kImage = 6 + 16;

std::string ErrorOf(const Bytes& bytes) {
    try {
        IconFile::FromBytes(bytes);
    } catch (const EInvalidGraphic& e) {
        return e.what();
    }
    return "accepted";
}

TEST(IconFile, ReadsAndDecodesEntriesOfEveryDepthAndPng) {
    // Odd and unequal sides pad rows differently at each depth.
    const std::vector<IconSpec> specs = {
        {16, 16, 1, false, 0x0000FF},  {16, 16, 4, false, 0x00FF00}, {32, 32, 8, false, 0x123456},
        {24, 24, 16, false, 0xABCDEF}, {48, 48, 24, false, 0x111111}, {31, 31, 32, false, 0x222222},
        {256, 256, 32, true, 0x333333}, {20, 20, 32, true, 0x444444},
        {13, 9, 1, false, 0, true},    {7, 11, 4, false, 0, true},    {33, 6, 8, false, 0, true},
        {5, 7, 16, false, 0, true},    {5, 3, 24, false, 0, true},    {9, 17, 32, false, 0, true},
        {9, 4, 32, false, 0, true, false},
        {.width = 6, .height = 6, .bitCount = 8, .varied = true, .inverts = true},  // colour under the mask kept
        // As other writers lay them out: core headers with three-byte
        // palettes, short palettes whose missing colours are black, a wrong
        // biSizeImage, no AND mask (the alpha makes one, else none is set).
        {.width = 7, .height = 9, .bitCount = 4, .varied = true, .header = 12},
        {.width = 9, .height = 8, .bitCount = 8, .varied = true, .paletteColors = 20},
        {.width = 3, .height = 8, .bitCount = 1, .varied = true, .sizeImage = 999, .paletteColors = 1},
        {.width = 16, .height = 16, .bitCount = 32, .varied = true, .mask = false},
        {.width = 16, .height = 16, .bitCount = 32, .varied = true, .alpha = false, .mask = false},
        {.width = 11, .height = 5, .bitCount = 8, .varied = true, .mask = false},
        {.width = 5, .height = 6, .bitCount = 24, .varied = true, .header = 12, .mask = false},
    };
    // An image without a mask takes the file's next bytes for its mask, as
    // the system reads it: each of those stands alone in its file.
    std::vector<IconSpec> masked;
    std::vector<std::pair<IconFile, size_t>> files;  // the file and the entry of each spec
    for (const IconSpec& spec : specs) {
        if (spec.mask) masked.push_back(spec);
    }
    const IconFile together = IconFile::FromBytes(BuildIcon(masked));
    ASSERT_EQ(together.Entries().size(), masked.size());
    EXPECT_FALSE(together.Empty());
    size_t nextMasked = 0;
    for (const IconSpec& spec : specs) {
        if (spec.mask) {
            files.emplace_back(together, nextMasked++);
        } else {
            files.emplace_back(IconFile::FromBytes(BuildIcon(spec)), 0);
        }
    }
    for (size_t i = 0; i < specs.size(); ++i) {
        const IconSpec& spec = specs[i];
        const IconFile& icon = files[i].first;
        const IconFile::Entry& e = icon.Entries()[files[i].second];
        EXPECT_EQ(e.width, spec.width) << i;
        EXPECT_EQ(e.height, spec.height) << i;
        EXPECT_EQ(e.png, spec.png) << i;
        EXPECT_EQ(e.bitCount, spec.bitCount) << i;
        EXPECT_TRUE(e.valid) << i;
        EXPECT_EQ(e.hasMask, !spec.png && spec.mask) << i;
        EXPECT_EQ(e.plain, !spec.png && spec.mask && spec.header == 40 && spec.paletteColors == 0) << i;
        const auto bytes = icon.EntryBytes(e);
        EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), test::IconEntryBytes(spec)) << i;

        const auto pixels = icon.Decode(e);
        if (spec.png) {
            EXPECT_FALSE(pixels) << i << ": PNG is left to the system";
            continue;
        }
        ASSERT_TRUE(pixels) << i;
        EXPECT_EQ(pixels->width, spec.width) << i;
        EXPECT_EQ(pixels->height, spec.height) << i;
        EXPECT_EQ(pixels->hasAlpha, spec.bitCount == 32 && spec.alpha) << i;
        ASSERT_EQ(pixels->bgra.size(), static_cast<size_t>(spec.width * spec.height * 4)) << i;
        ASSERT_EQ(pixels->mask.size(), static_cast<size_t>(spec.width * spec.height)) << i;
        int wrong = 0;
        for (int y = 0; y < spec.height; ++y) {
            for (int x = 0; x < spec.width; ++x) {
                const size_t at = static_cast<size_t>(y * spec.width + x);
                const auto want = test::DecodedAt(spec, x, y);
                const bool same = std::equal(want.begin(), want.end(), pixels->bgra.begin() + static_cast<long>(at * 4)) &&
                                  pixels->mask[at] == test::DecodedMaskAt(spec, x, y);
                if (!same && wrong++ < 3) ADD_FAILURE() << "entry " << i << " pixel " << x << "," << y;
            }
        }
        // What a resource loader gets ends with the mask, made where the
        // file has none.
        const auto loader = icon.LoaderBytes(e);
        const auto maskRows = static_cast<size_t>((spec.width + 31) / 32 * 4 * spec.height);
        EXPECT_EQ(loader.size(), bytes.size() + (spec.mask ? 0 : maskRows)) << i;
        if (!spec.mask) {
            IconSpec withMask = spec;
            withMask.mask = true;
            const auto whole = test::IconEntryBytes(withMask);
            int wrongBits = 0;
            for (int y = 0; y < spec.height; ++y) {
                for (int x = 0; x < spec.width; ++x) {
                    const size_t row = bytes.size() + static_cast<size_t>(spec.height - 1 - y) * maskRows / static_cast<size_t>(spec.height);
                    const bool set = (loader[row + static_cast<size_t>(x / 8)] >> (7 - x % 8)) & 1;
                    if (set != test::DecodedMaskAt(spec, x, y)) ++wrongBits;
                }
            }
            EXPECT_EQ(wrongBits, 0) << i;
            EXPECT_EQ(whole.size(), loader.size()) << i;
        }
    }
}

TEST(IconFile, DecodeTakesOnlyEntriesOfItsOwnIcon) {
    const IconFile small = IconFile::FromBytes(BuildIcon(IconSpec{16, 16, 8}));
    const IconFile large = IconFile::FromBytes(BuildIcon({IconSpec{16, 16, 32}, IconSpec{48, 48, 32}}));
    // The other icon's second entry lies past this one's end; its first
    // entry lies inside, but claims more than these bytes hold.
    EXPECT_FALSE(small.Decode(large.Entries()[1]));
    EXPECT_FALSE(small.Decode(large.Entries()[0]));
    EXPECT_FALSE(IconFile().Decode(small.Entries()[0]));
    EXPECT_TRUE(large.Decode(large.Entries()[1]));
}

TEST(IconFile, BestEntryPrefersExactThenSmallestLargerThenLargestSmaller) {
    // The entry chosen among all, and among the bitmap ones alone (what a
    // system without PNG icons can draw); -1: none. As the system chooses:
    // the nearest size, then the depth nearest the screen's.
    struct Case {
        std::vector<IconSpec> specs;
        int size;
        long expected;
        long bitmapsOnly;
        int screenBits = 32;
    };
    const IconSpec s16_4{16, 16, 4}, s16_32{16, 16, 32}, s16_8{16, 16, 8}, s24{24, 24, 32}, s32{32, 32, 32},
        s48{48, 48, 32}, s48_8{48, 48, 8}, s8{8, 8, 32}, s12{12, 12, 32}, png256{256, 256, 32, true},
        png32{32, 32, 32, true};
    const std::vector<Case> cases = {
        {{s32, s16_4, s48}, 16, 1, 1},           // exact
        {{s48, s32, s24}, 16, 2, 2},             // smallest larger
        {{s8, s12}, 16, 1, 1},                   // largest smaller
        {{s12, s48}, 16, 0, 0},                  // the nearer, smaller one
        {{s48, s24}, 32, 1, 1},                  // the nearer, smaller one
        {{s16_4, s16_32, s16_8}, 16, 1, 1},      // more colours among equal sizes
        {{s48_8, s48}, 32, 1, 1},                // also among larger ones
        {{s16_32, s16_32}, 16, 0, 0},            // the first of equals
        {{s16_32, s32, s48}, 32, 1, 1},          // the icon library's size
        {{s16_32, png256}, 32, 0, 0},            // a Vista icon: the nearer bitmap
        {{s16_32, s32, png256}, 256, 2, 1},      // the PNG, else the largest bitmap
        {{IconSpec{24, 24, 8}, IconSpec{40, 40, 32}}, 32, 1, 1},  // as near: the depth decides
        {{s16_8, s16_32, s16_4}, 16, 0, 0, 8},   // the screen's depth, not the deepest
        {{s16_8, s16_32}, 16, 1, 1, 24},         // the nearer depth
        {{png32, s48}, 32, 0, 1},                // an exact PNG, else the larger bitmap
        {{png256}, 16, 0, -1},                   // PNG only: nothing for an older system
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        const IconFile icon = IconFile::FromBytes(BuildIcon(cases[i].specs));
        const auto at = [&](const IconFile::Entry* e) { return e ? static_cast<long>(e - icon.Entries().data()) : -1L; };
        const int bits = cases[i].screenBits;
        EXPECT_EQ(at(icon.BestEntry(cases[i].size, IconFile::Images::kAny, bits)), cases[i].expected) << "case " << i;
        EXPECT_EQ(at(icon.BestEntry(cases[i].size, IconFile::Images::kBitmapsOnly, bits)), cases[i].bitmapsOnly)
            << "case " << i;
    }
}

constexpr char kRefused[] = "Icon image is not valid";

struct Edit {
    const char* what;
    std::function<void(Bytes&)> edit;
    const char* result = kRefused;
};

void ExpectResults(const Bytes& good, const std::vector<Edit>& edits) {
    ASSERT_EQ(ErrorOf(good), "accepted");
    for (const Edit& e : edits) {
        Bytes bytes = good;
        e.edit(bytes);
        EXPECT_EQ(ErrorOf(bytes), e.result) << e.what;
    }
}

// The system's loader ignores the header's first two words and what the
// directory says of the image; it refuses what points past the file.
TEST(IconFile, RejectsBrokenHeadersAndDirectories) {
    const Bytes good = BuildIcon(IconSpec{16, 16, 32});
    ExpectResults(good, {
        {"empty file", [](Bytes& b) { b.clear(); }},
        {"shorter than the header", [](Bytes& b) { b.resize(5); }},
        {"reserved not 0", [](Bytes& b) { Set16(b, 0, 1); }, "accepted"},
        {"a cursor", [](Bytes& b) { Set16(b, 2, 2); }, "accepted"},
        {"neither icon nor cursor", [](Bytes& b) { Set16(b, 2, 3); }, "accepted"},
        {"no entries", [](Bytes& b) { Set16(b, 4, 0); }},
        {"directory past the end", [](Bytes& b) { Set16(b, 4, 0xFFFF); }},
        {"one entry more announced than held", [](Bytes& b) { Set16(b, 4, 2); }, "accepted"},
        {"image inside the directory", [](Bytes& b) { Set32(b, 6 + 12, 6); }},
        {"image past the end", [](Bytes& b) { Set32(b, 6 + 8, static_cast<uint32_t>(b.size())); }},
        {"offset wraps around", [](Bytes& b) { Set32(b, 6 + 12, 0xFFFFFFF0u); }},
        {"offset at the end", [](Bytes& b) { Set32(b, 6 + 12, static_cast<uint32_t>(b.size())); }},
        {"zero-size image", [](Bytes& b) { Set32(b, 6 + 8, 0); }, "accepted"},
        {"size short of the image", [](Bytes& b) { Set32(b, 6 + 8, 41); }, "accepted"},
        {"listed width differs", [](Bytes& b) { b[6] = 32; }, "accepted"},
        {"listed height 0 (256)", [](Bytes& b) { b[7] = 0; }, "accepted"},
        {"planes, bit count and colours 0", [](Bytes& b) { Set32(b, 6 + 4, 0), b[6 + 2] = 0; }, "accepted"},
        {"reserved byte set", [](Bytes& b) { b[6 + 3] = 0xCC; }, "accepted"},
    });
}

// A bitmap is refused when its header is of no kind the system knows or
// its colour rows run past the end of the file; the AND mask may be
// missing, and a height that is not doubled halves the image.
TEST(IconFile, RejectsBitmapsThatDoNotFitTheirEntry) {
    const Bytes good = BuildIcon(IconSpec{16, 16, 4});
    ExpectResults(good, {
        {"header size", [](Bytes& b) { Set32(b, kImage, 108); }},
        {"zero width", [](Bytes& b) { Set32(b, kImage + 4, 0); }},
        {"negative width", [](Bytes& b) { Set32(b, kImage + 4, 0xFFFFFFF0u); }},
        {"V5 header", [](Bytes& b) { Set32(b, kImage, 124); }},
        {"height not doubled", [](Bytes& b) { Set32(b, kImage + 8, 16); }, "accepted"},
        {"odd height", [](Bytes& b) { Set32(b, kImage + 8, 33); }, "accepted"},
        {"height 1", [](Bytes& b) { Set32(b, kImage + 8, 1); }},
        {"top-down height", [](Bytes& b) { Set32(b, kImage + 8, static_cast<uint32_t>(-32)); }},
        {"huge height", [](Bytes& b) { Set32(b, kImage + 8, 0x7FFFFFFE); }},
        {"two planes", [](Bytes& b) { Set16(b, kImage + 12, 2); }},
        {"bit count 3", [](Bytes& b) { Set16(b, kImage + 14, 3); }},
        {"bit count 0", [](Bytes& b) { Set16(b, kImage + 14, 0); }},
        {"compressed", [](Bytes& b) { Set32(b, kImage + 16, 1); }},
        {"more colours than the depth has", [](Bytes& b) { Set32(b, kImage + 32, 257); }},
        {"deeper than the data", [](Bytes& b) { Set16(b, kImage + 14, 32); }},
        {"mask cut short", [](Bytes& b) {
             b.pop_back();
             Set32(b, 6 + 8, static_cast<uint32_t>(b.size() - kImage));
         }, "accepted"},
        {"colour rows cut short", [](Bytes& b) {
             b.resize(kImage + 40 + 64 + 127);
             Set32(b, 6 + 8, 40 + 64 + 127);
         }},
        {"bitmap header cut short", [](Bytes& b) {
             b.resize(kImage + 39);
             Set32(b, 6 + 8, 39);
         }},
    });

    // A palette shorter than the depth allows is fine while everything fits.
    Bytes shortPalette = good;
    Set32(shortPalette, kImage + 32, 2);
    EXPECT_EQ(ErrorOf(shortPalette), "accepted");
}

TEST(IconFile, RejectsPngEntriesWithoutAValidHeader) {
    const Bytes good = BuildIcon(IconSpec{32, 32, 32, true});
    ExpectResults(good, {
        {"cut inside the header chunk", [](Bytes& b) {
             b.resize(kImage + 30);
             Set32(b, 6 + 8, 30);
         }},
        {"first chunk not IHDR", [](Bytes& b) { b[kImage + 12] = 'X'; }},
        {"header chunk length", [](Bytes& b) { b[kImage + 11] = 14; }},
        {"zero width", [](Bytes& b) { Set32(b, kImage + 16, 0); }},
        {"wider than an icon", [](Bytes& b) { b[kImage + 17] = 0x01; }},
        {"listed size differs", [](Bytes& b) { b[6] = 16; }, "accepted"},
        {"no IEND", [](Bytes& b) {
             b.resize(b.size() - 12);
             Set32(b, 6 + 8, static_cast<uint32_t>(b.size() - kImage));
         }, "accepted"},
    });
    // Larger images stand beside the usual ones; the system scales them.
    EXPECT_EQ(ErrorOf(BuildIcon({IconSpec{512, 512, 32, true}, IconSpec{32, 32, 32}})), "accepted");
    // Every record of the largest directory pointing into one chain of
    // 87,381 chunks (2 MB) without image data: refused, read once, where a
    // walk per record took 16.6 s (the fuzz seeds hold its shape at 7 KB).
    EXPECT_EQ(ErrorOf(test::ChunkChainIcon(65535, 87381)), "Icon image is not valid");
}

// Where the system would choose a bad entry, at 16 or 32 pixels, it
// refuses the file; elsewhere the entry only draws nothing. A record that
// points at no header ends the directory there.
TEST(IconFile, OneBadEntryRejectsTheWholeFile) {
    const Bytes good = BuildIcon({IconSpec{16, 16, 32}, IconSpec{32, 32, 32}, IconSpec{48, 48, 32}});
    const auto record = [](size_t i) { return 6 + 16 * i; };
    ExpectResults(good, {
        {"32 runs past the end", [&](Bytes& b) { Set32(b, record(1) + 8, static_cast<uint32_t>(b.size())); }},
        {"16 of an unknown header", [&](Bytes& b) { Set32(b, 6 + 16 * 3, 64); }},
        {"48 runs past the end", [&](Bytes& b) { Set32(b, record(2) + 8, static_cast<uint32_t>(b.size())); }, "accepted"},
        {"32 points past the end", [&](Bytes& b) { Set32(b, record(1) + 12, 0xFFFFFF00u); }, "accepted"},
    });

    Bytes bytes = good;
    Set32(bytes, record(2) + 8, static_cast<uint32_t>(bytes.size()));
    const IconFile icon = IconFile::FromBytes(bytes);
    ASSERT_EQ(icon.Entries().size(), 3u);
    const IconFile::Entry& bad = icon.Entries()[2];
    EXPECT_FALSE(bad.valid);
    EXPECT_EQ(icon.BestEntry(48), &bad);
    EXPECT_TRUE(icon.EntryBytes(bad).empty());
    EXPECT_FALSE(icon.Decode(bad));
    EXPECT_EQ(icon.BestEntry(48, IconFile::Images::kBitmapsOnly), &icon.Entries()[1]);

    // The load checks what drawing at 16 bits chooses: the 8-bit entry.
    IconFile::SetScreenBits(16);
    EXPECT_EQ(ErrorOf(test::DeepEntryPastTheEnd()), kRefused);
    IconFile::SetScreenBits(32);

    // Past a record that points nowhere the search sees nothing, so the
    // 48-pixel entry is not seen and 32 is drawn from 16.
    Set32(bytes, record(1) + 12, 0xFFFFFF00u);
    const IconFile cut = IconFile::FromBytes(bytes);
    EXPECT_EQ(cut.Entries().size(), 1u);
    EXPECT_EQ(cut.BestEntry(32), &cut.Entries()[0]);
}

// Files as tools write them: taken where the system's loader takes them
// (the Wine-layer tests hold the list to it), and then every entry chosen
// for the tree and the library decodes or is a PNG.
TEST(IconFile, TakesTheFilesTheSystemTakes) {
    for (const test::IconVariant& variant : test::IconVariants()) {
        EXPECT_EQ(ErrorOf(variant.bytes), variant.taken ? "accepted" : kRefused) << variant.name;
        if (!variant.taken) continue;
        const IconFile icon = IconFile::FromBytes(variant.bytes);
        for (int side : {16, 32}) {
            const IconFile::Entry* best = icon.BestEntry(side);
            ASSERT_TRUE(best && best->valid) << variant.name;
            EXPECT_NE(icon.Decode(*best).has_value(), best->png) << variant.name << " at " << side;
        }
    }
}

TEST(IconFile, LoadReportsFilesThatCannotBeOpenedOrAreNoIcons) {
    test::FakePlatform fs;
    fs.AddFolder("C:\\Icons");
    fs.AddFile("C:\\Icons\\good.ico", BuildIcon(IconSpec{16, 16, 24}));
    fs.AddFile("C:\\Icons\\empty.ico", std::string());
    fs.AddFile("C:\\Icons\\text.ico", std::string("not an icon at all"));
    fs.AddFile("C:\\Icons\\busy.ico", BuildIcon());
    fs.lockedFiles.insert("C:\\Icons\\busy.ico");

    EXPECT_EQ(IconFile::Load(fs, "C:\\Icons\\good.ico").Entries().at(0).bitCount, 24);

    const auto openError = [&](const std::string& path) -> std::string {
        try {
            IconFile::Load(fs, path);
        } catch (const EFOpenError& e) {
            return e.what();
        }
        return "no open error";
    };
    EXPECT_EQ(openError("C:\\Icons\\missing.ico"),
              "Cannot open file \"C:\\Icons\\missing.ico\". The system cannot find the file specified");
    EXPECT_EQ(openError("C:\\Icons\\busy.ico"),
              "Cannot open file \"C:\\Icons\\busy.ico\". The process cannot access the file because it is "
              "being used by another process");
    EXPECT_THROW(IconFile::Load(fs, "C:\\Icons\\empty.ico"), EInvalidGraphic);
    EXPECT_THROW(IconFile::Load(fs, "C:\\Icons\\text.ico"), EInvalidGraphic);
}

Bytes ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The icons shipped beside the program hold every size Windows draws a
// folder at, and each bitmap decodes to the picture make-icons.py reads
// back from the file (its --decode output, which --check ties to the
// drawing; ctest makes it first). The AND mask marks exactly the clear
// pixels, so that XP, which draws with the mask, shows the same outline.
TEST(LibraryIcons, HoldEverySizeAndDecodeToTheirPictures) {
    const char* pictures = std::getenv("QUORVANE_LIBRARY_PICTURES");
    ASSERT_NE(pictures, nullptr) << "run through ctest, which decodes the reference pictures first";
    const std::vector<int> sizes = {16, 20, 24, 32, 40, 48, 64, 256};
    int icons = 0;
    for (const auto& file : std::filesystem::directory_iterator(QUORVANE_ICON_LIBRARY)) {
        if (file.path().extension() != ".ico") continue;
        ++icons;
        const std::string name = file.path().filename().string();
        const IconFile icon = IconFile::FromBytes(ReadAll(file.path()));
        const Bytes reference = ReadAll(std::filesystem::path(pictures) / (file.path().stem().string() + ".rgba"));
        ASSERT_EQ(icon.Entries().size(), sizes.size()) << name;
        size_t at = 0;
        for (size_t i = 0; i < sizes.size(); ++i) {
            const IconFile::Entry& e = icon.Entries()[i];
            const int size = sizes[i];
            EXPECT_EQ(e.width, size) << name;
            EXPECT_EQ(e.height, size) << name;
            EXPECT_EQ(e.bitCount, 32) << name;
            EXPECT_EQ(e.png, size == 256) << name << " " << size;
            const size_t count = static_cast<size_t>(size * size);
            ASSERT_GE(reference.size(), at + count * 4) << name;
            const auto pixels = icon.Decode(e);
            if (!e.png) {
                ASSERT_TRUE(pixels) << name << " " << size;
                EXPECT_TRUE(pixels->hasAlpha) << name << " " << size;
                size_t wrong = 0;
                for (size_t p = 0; p < count; ++p) {
                    const uint8_t* rgba = &reference[at + p * 4];
                    const uint8_t* bgra = &pixels->bgra[p * 4];
                    if (bgra[0] != rgba[2] || bgra[1] != rgba[1] || bgra[2] != rgba[0] || bgra[3] != rgba[3] ||
                        pixels->mask[p] != (rgba[3] == 0)) {
                        ++wrong;
                    }
                }
                EXPECT_EQ(wrong, 0u) << name << " " << size;
            }
            at += count * 4;
        }
        EXPECT_EQ(reference.size(), at) << name;
    }
    EXPECT_EQ(icons, 24);
}

}  // namespace
}  // namespace quorvane
