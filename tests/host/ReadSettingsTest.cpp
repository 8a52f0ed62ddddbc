// Reading a folder's picture and colours into the window state: each case
// of the outcome, and the partial states a malformed colour leaves.
#include <gtest/gtest.h>

#include "folder_settings/ReadSettings.h"
#include "platform/Errors.h"
#include "tests/host/BmpBuilder.h"
#include "tests/host/FakeFolderEditState.h"
#include "tests/host/FakePlatform.h"
#include "tests/host/JpegSamples.h"

namespace quorvane {
namespace {

using test::ByteVector;
using test::FakeFolderEditState;
using test::FakePlatform;

constexpr char kFolder[] = "D:\\Photos\\";
constexpr char kIni[] = "D:\\Photos\\desktop.ini";
constexpr Color kOldText = 0x123456, kOldBackground = 0x654321;

std::string Ini(const std::string& picture, const std::string& text = "", const std::string& background = "") {
    std::string ini = "[{BE098140-A513-11D0-A3A4-00C04FD706EC}]\r\n";
    if (!picture.empty()) ini += "iconarea_image=" + picture + "\r\n";
    if (!text.empty()) ini += "IconArea_Text=" + text + "\r\n";
    if (!background.empty()) ini += "IconArea_TextBackground=" + background + "\r\n";
    return ini;
}

class ReadSettings : public testing::Test {
protected:
    ReadSettings() {
        fs.AddFolder("D:\\Photos");
        jpeg = test::SampleJpeg(24, 16);
        // The state of the folder clicked before: everything set.
        state.folderPath = kFolder;
        TJPEGImage old;
        old.LoadFromData(test::SampleJpeg(7, 7));
        state.SetPicture(old);
        state.picturePath = state.pictureHint = "C:\\old.jpg";
        state.iconPath = "C:\\old.ico";
        state.copyPicture = true;
        state.textColor = kOldText;
        state.textBackgroundColor = kOldBackground;
        state.restoreImageEnabled = state.restoreIconEnabled = true;
        state.calls.clear();
    }

    void Read(const std::string& folder = kFolder) { ReadFolderSettings(fs, state, folder); }

    void ExpectNoPicture(bool restoreEnabled) {
        EXPECT_EQ(state.Picture(), nullptr);
        EXPECT_EQ(state.picturePath, "");
        EXPECT_EQ(state.pictureHint, "");
        EXPECT_EQ(state.restoreImageEnabled, restoreEnabled);
    }

    void ExpectOtherFieldsAlone() {
        EXPECT_FALSE(state.restoreIconEnabled);
        EXPECT_EQ(state.folderPath, kFolder);
        EXPECT_EQ(state.iconPath, "C:\\old.ico");
        EXPECT_TRUE(state.copyPicture);
        for (const char* call : {"SetFolderPath", "SetIconPath", "SetIconPicture", "ClearIconPicture"}) {
            EXPECT_EQ(state.calls.count(call), 0u) << call;
        }
        EXPECT_TRUE(fs.log.empty()) << "reading writes nothing";
    }

    FakePlatform fs;
    FakeFolderEditState state;
    ByteVector jpeg;
};

TEST_F(ReadSettings, NoSettingsFileClearsThePictureWithBlackOnWhite) {
    Read();
    ExpectNoPicture(false);
    EXPECT_EQ(state.textColor, kBlack);
    EXPECT_EQ(state.textBackgroundColor, kWhite);
    ExpectOtherFieldsAlone();

    // A folder called desktop.ini is no settings file.
    fs.AddFolder(kIni);
    state.textBackgroundColor = kOldBackground;
    Read();
    ExpectNoPicture(false);
    EXPECT_EQ(state.textBackgroundColor, kWhite);
}

TEST_F(ReadSettings, FileWithoutTheKeysGivesTheDefaults) {
    fs.AddFile(kIni, std::string("[.ShellClassInfo]\r\nIconFile=x.ico\r\n"));
    Read();
    ExpectNoPicture(false);
    EXPECT_EQ(state.textColor, kBlack);
    EXPECT_EQ(state.textBackgroundColor, kWhite);
    ExpectOtherFieldsAlone();
}

TEST_F(ReadSettings, RelativePictureLoadsFromInsideTheFolder) {
    fs.AddFile("D:\\Photos\\Folder Settings\\BackGround.jpg", jpeg);
    fs.AddFile(kIni, Ini("Folder Settings\\BackGround.jpg", "0x000000FF", "0x00FF0000"));
    Read();
    ASSERT_NE(state.Picture(), nullptr);
    EXPECT_EQ(state.Picture()->Data(), jpeg);
    EXPECT_EQ(state.picturePath, "D:\\Photos\\Folder Settings\\BackGround.jpg");
    EXPECT_EQ(state.pictureHint, "D:\\Photos\\Folder Settings\\BackGround.jpg");
    EXPECT_TRUE(state.restoreImageEnabled);
    EXPECT_EQ(state.textColor, 0x0000FFu);            // pure red
    EXPECT_EQ(state.textBackgroundColor, 0xFF0000u);  // pure blue
    ExpectOtherFieldsAlone();
}

TEST_F(ReadSettings, AbsolutePictureAndADriveRoot) {
    fs.AddDrive('C', 3);
    fs.AddFile("C:\\Pictures\\sea.jpg", jpeg);
    fs.AddFile("C:\\desktop.ini", Ini("C:\\Pictures\\sea.jpg"));
    Read("C:\\");
    ASSERT_NE(state.Picture(), nullptr);
    EXPECT_EQ(state.picturePath, "C:\\Pictures\\sea.jpg");
    EXPECT_EQ(state.pictureHint, "C:\\Pictures\\sea.jpg");
    EXPECT_TRUE(state.restoreImageEnabled);
}

TEST_F(ReadSettings, MissingPictureFileIsDroppedButColoursAreRead) {
    fs.AddFile(kIni, Ini("D:\\Nowhere\\sea.jpg", "0x00112233", "0x00445566"));
    Read();
    ExpectNoPicture(false);
    EXPECT_EQ(state.textColor, 0x112233u);
    EXPECT_EQ(state.textBackgroundColor, 0x445566u);
    ExpectOtherFieldsAlone();

    // A folder at the path does not count as the file.
    fs.AddFolder("D:\\Photos\\pic.jpg");
    fs.AddFile(kIni, Ini("pic.jpg"));
    Read();
    ExpectNoPicture(false);
}

TEST_F(ReadSettings, PictureThatDoesNotLoadIsDroppedSilentlyWithRestoreEnabled) {
    test::BmpParts bmp;
    bmp.pixels = {1, 2, 3, 0};
    fs.AddFile("D:\\Photos\\scan.bmp", test::BuildBmp(bmp));
    fs.AddFile("D:\\Photos\\text.jpg", std::string("plain text"));
    fs.AddFile("D:\\Photos\\noimage.jpg", ByteVector{0xFF, 0xD8, 0xFF, 0xD9});
    fs.AddFile("D:\\Photos\\held.jpg", jpeg);
    fs.lockedFiles.insert("D:\\Photos\\held.jpg");
    for (const char* name : {"scan.bmp", "text.jpg", "noimage.jpg", "held.jpg"}) {
        fs.AddFile(kIni, Ini(name, "0x00ABCDEF"));
        state.calls.clear();
        Read();
        SCOPED_TRACE(name);
        ExpectNoPicture(true);
        EXPECT_EQ(state.textColor, 0xABCDEFu);
        EXPECT_EQ(state.textBackgroundColor, kWhite);
    }
}

TEST_F(ReadSettings, EmptyPictureFileCountsAsLoaded) {
    fs.AddFile("D:\\Photos\\empty.jpg", ByteVector{});
    fs.AddFile(kIni, Ini("empty.jpg"));
    Read();
    ASSERT_NE(state.Picture(), nullptr);
    EXPECT_TRUE(state.Picture()->Empty());
    EXPECT_EQ(state.picturePath, "D:\\Photos\\empty.jpg");
    EXPECT_EQ(state.pictureHint, "D:\\Photos\\empty.jpg");
    EXPECT_TRUE(state.restoreImageEnabled);
}

// Held by another program past the platform's waiting: the defaults would
// be written over the folder's real colours by the next apply, so the user
// is told instead, and nothing the file holds is replaced.
TEST_F(ReadSettings, SettingsFileHeldElsewhereRaisesInsteadOfGivingTheDefaults) {
    fs.AddFile("D:\\Photos\\sea.jpg", jpeg);
    fs.AddFile(kIni, Ini("sea.jpg", "0x000000FF", "0x00FF0000"));
    fs.lockedFiles.insert(kIni);
    try {
        Read();
        FAIL() << "no error";
    } catch (const EFOpenError& e) {
        EXPECT_STREQ(e.what(), "Cannot open file \"D:\\Photos\\desktop.ini\". "
                               "The process cannot access the file because it is being used by another process");
    }
    EXPECT_EQ(state.textColor, kOldText);
    EXPECT_EQ(state.textBackgroundColor, kOldBackground);
    EXPECT_EQ(state.picturePath, "C:\\old.jpg");
    EXPECT_FALSE(state.restoreImageEnabled);
    // Once let go, the same folder reads as usual.
    fs.lockedFiles.clear();
    Read();
    EXPECT_EQ(state.picturePath, "D:\\Photos\\sea.jpg");
    EXPECT_EQ(state.textColor, 0x0000FFu);
    EXPECT_EQ(state.textBackgroundColor, 0xFF0000u);
}

TEST_F(ReadSettings, BadTextColourStopsAfterThePictureAndKeepsBothColours) {
    fs.AddFile("D:\\Photos\\sea.jpg", jpeg);
    fs.AddFile(kIni, Ini("sea.jpg", "0x00GG0000", "0x00FFFFFF"));
    try {
        Read();
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'$GG' is not a valid integer value");
    }
    ASSERT_NE(state.Picture(), nullptr);
    EXPECT_EQ(state.picturePath, "D:\\Photos\\sea.jpg");
    EXPECT_TRUE(state.restoreImageEnabled);
    EXPECT_EQ(state.textColor, kOldText);
    EXPECT_EQ(state.textBackgroundColor, kOldBackground);
    EXPECT_EQ(state.calls.count("SetTextColor"), 0u);
    EXPECT_EQ(state.calls.count("SetTextBackgroundColor"), 0u);
}

TEST_F(ReadSettings, BadBackgroundColourKeepsTheNewTextColour) {
    fs.AddFile(kIni, Ini("", "0x000000FF", "0x00FFFFZZ"));
    EXPECT_THROW(Read(), EConvertError);
    ExpectNoPicture(false);
    EXPECT_EQ(state.textColor, 0x0000FFu);
    EXPECT_EQ(state.textBackgroundColor, kOldBackground);
    EXPECT_EQ(state.calls.count("SetTextBackgroundColor"), 0u);
}

}  // namespace
}  // namespace quorvane
