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
    };
    const IconFile icon = IconFile::FromBytes(BuildIcon(specs));
    ASSERT_EQ(icon.Entries().size(), specs.size());
    EXPECT_FALSE(icon.Empty());
    for (size_t i = 0; i < specs.size(); ++i) {
        const IconSpec& spec = specs[i];
        const IconFile::Entry& e = icon.Entries()[i];
        EXPECT_EQ(e.width, spec.width) << i;
        EXPECT_EQ(e.height, spec.height) << i;
        EXPECT_EQ(e.png, spec.png) << i;
        EXPECT_EQ(e.bitCount, spec.bitCount) << i;
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
                                  pixels->mask[at] == test::StoredAt(spec, x, y).masked;
                if (!same && wrong++ < 3) ADD_FAILURE() << "entry " << i << " pixel " << x << "," << y;
            }
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
    // system without PNG icons can draw); -1: none.
    struct Case {
        std::vector<IconSpec> specs;
        int size;
        long expected;
        long bitmapsOnly;
    };
    const IconSpec s16_4{16, 16, 4}, s16_32{16, 16, 32}, s16_8{16, 16, 8}, s24{24, 24, 32}, s32{32, 32, 32},
        s48{48, 48, 32}, s48_8{48, 48, 8}, s8{8, 8, 32}, s12{12, 12, 32}, png256{256, 256, 32, true},
        png32{32, 32, 32, true};
    const std::vector<Case> cases = {
        {{s32, s16_4, s48}, 16, 1, 1},           // exact
        {{s48, s32, s24}, 16, 2, 2},             // smallest larger
        {{s8, s12}, 16, 1, 1},                   // largest smaller
        {{s12, s48}, 16, 1, 1},                  // a larger one beats a smaller one
        {{s16_4, s16_32, s16_8}, 16, 1, 1},      // more colours among equal sizes
        {{s48_8, s48}, 32, 1, 1},                // also among larger ones
        {{s16_32, s16_32}, 16, 0, 0},            // the first of equals
        {{s16_32, s32, s48}, 32, 1, 1},          // the icon library's size
        {{s16_32, png256}, 32, 1, 0},            // a Vista icon: the PNG, else the smaller bitmap
        {{png32, s48}, 32, 0, 1},                // an exact PNG, else the larger bitmap
        {{png256}, 16, 0, -1},                   // PNG only: nothing for an older system
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        const IconFile icon = IconFile::FromBytes(BuildIcon(cases[i].specs));
        const auto at = [&](const IconFile::Entry* e) { return e ? static_cast<long>(e - icon.Entries().data()) : -1L; };
        EXPECT_EQ(at(icon.BestEntry(cases[i].size)), cases[i].expected) << "case " << i;
        EXPECT_EQ(at(icon.BestEntry(cases[i].size, IconFile::Images::kBitmapsOnly)), cases[i].bitmapsOnly)
            << "case " << i;
    }
}

TEST(IconFile, RejectsBrokenHeadersAndDirectories) {
    const Bytes good = BuildIcon(IconSpec{16, 16, 32});
    ASSERT_EQ(ErrorOf(good), "accepted");
    const std::vector<std::pair<const char*, std::function<void(Bytes&)>>> breaks = {
        {"empty file", [](Bytes& b) { b.clear(); }},
        {"shorter than the header", [](Bytes& b) { b.resize(5); }},
        {"reserved not 0", [](Bytes& b) { Set16(b, 0, 1); }},
        {"a cursor", [](Bytes& b) { Set16(b, 2, 2); }},
        {"no entries", [](Bytes& b) { Set16(b, 4, 0); }},
        {"directory past the end", [](Bytes& b) { Set16(b, 4, 0xFFFF); }},
        {"image inside the directory", [](Bytes& b) { Set32(b, 6 + 12, 6); }},
        {"image past the end", [](Bytes& b) { Set32(b, 6 + 8, static_cast<uint32_t>(b.size())); }},
        {"offset wraps around", [](Bytes& b) { Set32(b, 6 + 12, 0xFFFFFFF0u); }},
        {"zero-size image", [](Bytes& b) { Set32(b, 6 + 8, 0); }},
        {"listed width differs", [](Bytes& b) { b[6] = 32; }},
        {"listed height differs", [](Bytes& b) { b[7] = 0; }},
    };
    for (const auto& [what, edit] : breaks) {
        Bytes bytes = good;
        edit(bytes);
        EXPECT_EQ(ErrorOf(bytes), "Icon image is not valid") << what;
    }
}

TEST(IconFile, RejectsBitmapsThatDoNotFitTheirEntry) {
    const Bytes good = BuildIcon(IconSpec{16, 16, 4});
    ASSERT_EQ(ErrorOf(good), "accepted");
    const std::vector<std::pair<const char*, std::function<void(Bytes&)>>> breaks = {
        {"header size", [](Bytes& b) { Set32(b, kImage, 108); }},
        {"zero width", [](Bytes& b) { Set32(b, kImage + 4, 0); }},
        {"negative width", [](Bytes& b) { Set32(b, kImage + 4, 0xFFFFFFF0u); }},
        {"height not doubled", [](Bytes& b) { Set32(b, kImage + 8, 16); }},
        {"odd height", [](Bytes& b) { Set32(b, kImage + 8, 33); }},
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
         }},
        {"bitmap header cut short", [](Bytes& b) {
             b.resize(kImage + 39);
             Set32(b, 6 + 8, 39);
         }},
    };
    for (const auto& [what, edit] : breaks) {
        Bytes bytes = good;
        edit(bytes);
        EXPECT_EQ(ErrorOf(bytes), "Icon image is not valid") << what;
    }

    // A palette shorter than the depth allows is fine while everything fits.
    Bytes shortPalette = good;
    Set32(shortPalette, kImage + 32, 2);
    EXPECT_EQ(ErrorOf(shortPalette), "accepted");
}

TEST(IconFile, RejectsPngEntriesWithoutAValidHeader) {
    const Bytes good = BuildIcon(IconSpec{32, 32, 32, true});
    ASSERT_EQ(ErrorOf(good), "accepted");
    const std::vector<std::pair<const char*, std::function<void(Bytes&)>>> breaks = {
        {"cut inside the header chunk", [](Bytes& b) {
             b.resize(kImage + 30);
             Set32(b, 6 + 8, 30);
         }},
        {"first chunk not IHDR", [](Bytes& b) { b[kImage + 12] = 'X'; }},
        {"header chunk length", [](Bytes& b) { b[kImage + 11] = 14; }},
        {"zero width", [](Bytes& b) { Set32(b, kImage + 16, 0); }},
        {"wider than an icon", [](Bytes& b) { b[kImage + 18] = 0x01; }},
        {"listed size differs", [](Bytes& b) { b[6] = 16; }},
    };
    for (const auto& [what, edit] : breaks) {
        Bytes bytes = good;
        edit(bytes);
        EXPECT_EQ(ErrorOf(bytes), "Icon image is not valid") << what;
    }
}

TEST(IconFile, OneBadEntryRejectsTheWholeFile) {
    Bytes bytes = BuildIcon({IconSpec{16, 16, 32}, IconSpec{32, 32, 32}});
    const size_t secondOffset = 6 + 16 + 12;
    Set32(bytes, secondOffset, static_cast<uint32_t>(bytes.size()));
    EXPECT_EQ(ErrorOf(bytes), "Icon image is not valid");
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
