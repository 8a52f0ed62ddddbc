// Choosing a picture file: which loader reads it, what the window state
// shows afterwards, and the errors, which leave the state as it was.
#include <gtest/gtest.h>

#include <jerror.h>

#include "folder_settings/BackgroundPicture.h"
#include "folder_settings/Jpeg.h"
#include "platform/Errors.h"
#include "tests/host/BmpBuilder.h"
#include "tests/host/FailingAllocation.h"
#include "tests/host/FakeFolderEditState.h"
#include "tests/host/FakePlatform.h"
#include "tests/host/JpegSamples.h"

namespace quorvane {
namespace {

using test::ByteVector;
using test::FakeFolderEditState;
using test::FakePlatform;

ByteVector SmallBmp() {
    test::BmpParts p;
    p.width = 2;
    p.height = 1;
    p.pixels = {0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0, 0};  // red, blue
    return test::BuildBmp(p);
}

class PictureChoice : public testing::Test {
protected:
    PictureChoice() {
        fs.AddFolder("C:\\Pics");
        jpeg = test::SampleJpeg(30, 20);
        // A state that already shows another picture.
        TJPEGImage old;
        old.LoadFromData(test::SampleJpeg(7, 7));
        state.SetPicture(old);
        state.picturePath = state.pictureHint = "D:\\old.jpg";
        state.restoreImageEnabled = false;
        state.calls.clear();
    }

    std::string Failure(const std::string& path) {
        try {
            LoadBackgroundPicture(fs, state, path);
        } catch (const Exception& e) {
            return e.what();
        }
        return "loaded";
    }

    void ExpectUntouched() {
        EXPECT_TRUE(state.calls.empty());
        ASSERT_NE(state.Picture(), nullptr);
        EXPECT_EQ(state.Picture()->Width(), 7);
        EXPECT_EQ(state.picturePath, "D:\\old.jpg");
        EXPECT_EQ(state.pictureHint, "D:\\old.jpg");
        EXPECT_FALSE(state.restoreImageEnabled);
    }

    void ExpectShown(const std::string& path) {
        EXPECT_EQ(state.picturePath, path);
        EXPECT_EQ(state.pictureHint, path);
        EXPECT_TRUE(state.restoreImageEnabled);
        EXPECT_EQ(state.calls["SetPicture"], 1);
        EXPECT_EQ(state.folderPath, "");
        EXPECT_TRUE(fs.log.empty()) << "nothing is written";
    }

    FakePlatform fs;
    FakeFolderEditState state;
    ByteVector jpeg;
};

TEST_F(PictureChoice, JpegFileIsShownAsItsOwnBytes) {
    fs.AddFile("C:\\Pics\\photo.jpg", jpeg);
    LoadBackgroundPicture(fs, state, "C:\\Pics\\photo.jpg");
    ExpectShown("C:\\Pics\\photo.jpg");
    ASSERT_NE(state.Picture(), nullptr);
    EXPECT_EQ(state.Picture()->Data(), jpeg);
    EXPECT_EQ(state.Picture()->Width(), 30);
}

TEST_F(PictureChoice, BitmapFileBecomesAPictureToEncodeLater) {
    fs.AddFile("C:\\Pics\\scan.bmp", SmallBmp());
    LoadBackgroundPicture(fs, state, "C:\\Pics\\scan.bmp");
    ExpectShown("C:\\Pics\\scan.bmp");
    ASSERT_NE(state.Picture(), nullptr);
    EXPECT_TRUE(state.Picture()->Data().empty());
    ASSERT_NE(state.Picture()->Bitmap(), nullptr);
    EXPECT_EQ(test::RgbAt(*state.Picture()->Bitmap(), 0, 0), 0xFF0000u);
    EXPECT_EQ(test::RgbAt(*state.Picture()->Bitmap(), 1, 0), 0x0000FFu);
}

TEST_F(PictureChoice, OnlyALowerCaseBmpExtensionReadsABitmap) {
    // The extension runs from the last "." when no "\" or ":" follows it.
    for (const char* name : {"C:\\Pics\\a.jpg.bmp", "C:\\Pics\\.bmp", "C:.bmp"}) {
        fs.AddFile(name, SmallBmp());
        EXPECT_EQ(Failure(name), "loaded") << name;
    }
    for (const char* name : {"C:\\Pics\\SCAN.BMP", "C:\\Pics\\scan.Bmp", "C:\\Pics\\scan.bmp ",
                             "C:\\Pics\\scan.bmpx", "C:\\Pics.bmp\\scan", "C:\\Pics\\scan", "C:\\Pics\\x.bmp:s"}) {
        fs.AddFile(name, SmallBmp());
        EXPECT_EQ(Failure(name), "JPEG error #53") << name;
    }
    // Any other extension is read as JPEG data.
    for (const char* name : {"C:\\Pics\\p.jpeg", "C:\\Pics\\p", "C:\\Pics\\p.JPG", "C:\\Pics\\p.png"}) {
        fs.AddFile(name, jpeg);
        EXPECT_EQ(Failure(name), "loaded") << name;
    }
}

TEST_F(PictureChoice, EmptyFilesAreEmptyPictures) {
    for (const char* name : {"C:\\Pics\\empty.jpg", "C:\\Pics\\empty.bmp"}) {
        fs.AddFile(name, ByteVector{});
        state.calls.clear();
        LoadBackgroundPicture(fs, state, name);
        ExpectShown(name);
        ASSERT_NE(state.Picture(), nullptr);
        EXPECT_TRUE(state.Picture()->Empty());
        // Saving it writes an empty file.
        TJPEGImage saved;
        saved.Assign(*state.Picture());
        saved.SaveToFile(fs, "C:\\Pics\\saved.jpg");
        EXPECT_TRUE(fs.Exists("C:\\Pics\\saved.jpg"));
        EXPECT_TRUE(fs.Contents("C:\\Pics\\saved.jpg").empty());
        fs.log.clear();
    }
}

TEST_F(PictureChoice, EachFailureRowHasItsMessageAndLeavesTheStateAlone) {
    fs.AddFile("C:\\Pics\\photo.bmp", jpeg);
    fs.AddFile("C:\\Pics\\SCAN.BMP", SmallBmp());
    const ByteVector bmp = SmallBmp();
    fs.AddFile("C:\\Pics\\short.bmp", ByteVector(bmp.begin(), bmp.begin() + 13));
    fs.AddFile("C:\\Pics\\one.bmp", std::string("B"));
    fs.AddFile("C:\\Pics\\text.jpg", std::string("not a picture"));
    fs.AddFile("C:\\Pics\\held.jpg", jpeg);
    fs.AddFile("C:\\Pics\\held.bmp", SmallBmp());
    fs.lockedFiles = {"C:\\Pics\\held.jpg", "C:\\Pics\\held.bmp"};
    fs.AddFile("C:\\Pics\\noimage.jpg", ByteVector{0xFF, 0xD8, 0xFF, 0xD9});

    const std::pair<const char*, std::string> rows[] = {
        {"C:\\Pics\\missing.jpg",
         "Cannot open file \"C:\\Pics\\missing.jpg\". The system cannot find the file specified"},
        {"C:\\Pics\\missing.bmp",
         "Cannot open file \"C:\\Pics\\missing.bmp\". The system cannot find the file specified"},
        {"C:\\Gone\\x.jpg", "Cannot open file \"C:\\Gone\\x.jpg\". The system cannot find the path specified"},
        {"C:\\Pics\\held.jpg",
         "Cannot open file \"C:\\Pics\\held.jpg\". The process cannot access the file because it is being "
         "used by another process"},
        {"C:\\Pics\\held.bmp",
         "Cannot open file \"C:\\Pics\\held.bmp\". The process cannot access the file because it is being "
         "used by another process"},
        {"C:\\Pics\\short.bmp", "Stream read error"},
        {"C:\\Pics\\one.bmp", "Stream read error"},
        {"C:\\Pics\\photo.bmp", "Bitmap image is not valid"},
        {"C:\\Pics\\SCAN.BMP", "JPEG error #53"},
        {"C:\\Pics\\text.jpg", "JPEG error #53"},
        {"C:\\Pics\\noimage.jpg", "JPEG error #" + std::to_string(JERR_NO_IMAGE)},
    };
    for (const auto& [path, message] : rows) {
        EXPECT_EQ(Failure(path), message) << path;
        ExpectUntouched();
    }

    // A bitmap too large for the memory left: the allocation's own failure
    // (the window shows it as "Out of memory."), nothing changed or written.
    test::BmpParts large;
    large.width = 300;
    large.height = 200;
    large.pixels.assign(size_t{300 * 3} * 200, 0x80);
    fs.AddFile("C:\\Pics\\large.bmp", test::BuildBmp(large));
    fs.log.clear();
    {
        test::AllocationLimit limit(100000);
        EXPECT_THROW(LoadBackgroundPicture(fs, state, "C:\\Pics\\large.bmp"), std::bad_alloc);
    }
    ExpectUntouched();
    EXPECT_TRUE(fs.log.empty()) << "nothing is written";
}

}  // namespace
}  // namespace quorvane
