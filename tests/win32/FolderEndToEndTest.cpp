// Choosing, applying and restoring on a real folder through the real
// platform: the files, keys and attributes the shell will see.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "folder_settings/ApplySettings.h"
#include "folder_settings/BackgroundPicture.h"
#include "folder_settings/ReadSettings.h"
#include "folder_settings/RestoreSettings.h"
#include "platform/Errors.h"
#include "platform/win32/Handle.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/WinText.h"
#include "tests/host/BmpBuilder.h"
#include "tests/host/FakeFolderEditState.h"
#include "tests/host/FakeFolderTree.h"
#include "tests/host/IconBuilder.h"
#include "tests/host/JpegSamples.h"
#include "tests/win32/TempFolder.h"

namespace quorvane {
namespace {

using test::ReadText;
using test::TempFolder;
using test::WriteText;

constexpr char kSection[] = "{BE098140-A513-11D0-A3A4-00C04FD706EC}";

DWORD AttributesOf(const std::string& path) { return GetFileAttributesW(win::Wide(path).c_str()); }
// The bits the shell looks at. Wine reports every file as archived, and
// keeps no read-only bit on folders, so those two are checked on the host.
constexpr DWORD kShown = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;

class NoMessages : public Messages {
public:
    void ShowInformation(const std::string& text) override { ADD_FAILURE() << "unexpected message " << text; }
};

class EndToEnd : public ::testing::Test {
protected:
    EndToEnd() {
        test::MakeFolder(folder);
        node = tree.AddChild(tree.AddRoot("C:"), "Photos");
        tree.Select(node);
        tree.SetCurrentFolderNode(node);
        state.folderPath = folder;
        state.textColor = kBlack;
        state.textBackgroundColor = kWhite;
    }
    void Apply() { ApplyFolderSettings(platform, state, tree, messages); }
    std::string Ini() const { return ReadText(folder + "desktop.ini"); }

    win::Win32Platform platform;
    TempFolder dir;
    std::string folder = dir / "Photos\\";
    test::FakeFolderTree tree;
    test::FakeFolderEditState state;
    NoMessages messages;
    NodeId node{};
};

TEST_F(EndToEnd, FreshFolderWithoutPictureOrIcon) {
    Apply();
    EXPECT_EQ(Ini(), std::string("[") + kSection +
                         "]\r\nIconArea_Text=0x00000000\r\nIconArea_TextBackground=0x00FFFFFF\r\n");
    const std::string sub = folder + "Folder Settings";
    EXPECT_EQ(AttributesOf(sub) & kShown,
              DWORD{FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM});
    EXPECT_EQ(platform.ListFolder(sub + "\\*.*").size(), 2u);  // only "." and ".."
    EXPECT_EQ(AttributesOf(folder) & kShown, DWORD{FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM});
    EXPECT_EQ(AttributesOf(folder + "desktop.ini") & kShown, DWORD{FILE_ATTRIBUTE_HIDDEN});
}

TEST_F(EndToEnd, CopiedBitmapBecomesABaselineColourJpegNamedRelatively) {
    test::BmpParts parts;
    parts.width = 4;
    parts.height = 2;
    parts.pixels.assign(4 * 3 * 2, 0x80);
    const test::ByteVector bmp = test::BuildBmp(parts);
    WriteText(dir / "pic.bmp", std::string(bmp.begin(), bmp.end()));
    LoadBackgroundPicture(platform, state, dir / "pic.bmp");
    state.copyPicture = true;
    Apply();
    const std::string text = ReadText(folder + "Folder Settings\\BackGround.jpg");
    const std::vector<uint8_t> jpeg(text.begin(), text.end());
    ASSERT_GE(jpeg.size(), 4u);
    // Baseline sequential, three components (colour), quality 90.
    const size_t frame = test::FindSegment(jpeg, 0xC0);
    ASSERT_NE(frame, 0u);
    EXPECT_EQ(jpeg[frame + 9], 3);
    EXPECT_EQ(test::QuantTableMismatches(jpeg, 90), std::vector<std::string>{});
    EXPECT_NE(Ini().find("iconarea_image=Folder Settings\\BackGround.jpg\r\n"), std::string::npos);
    EXPECT_EQ(state.picturePath, "Folder Settings\\BackGround.jpg");
    EXPECT_EQ(state.pictureHint, dir / "pic.bmp");

    // Reading the folder back finds the copy and resolves it.
    test::FakeFolderEditState reread;
    ReadFolderSettings(platform, reread, folder);
    EXPECT_EQ(reread.picturePath, folder + "Folder Settings\\BackGround.jpg");
    ASSERT_NE(reread.picture, nullptr);
    EXPECT_EQ(reread.picture->Width(), 4);
    EXPECT_TRUE(reread.restoreImageEnabled);
}

TEST_F(EndToEnd, CopiedJpegIsByteForByteTheChosenFile) {
    const std::vector<uint8_t> sample = test::SampleJpeg(24, 16, {.quality = 60});
    const std::string original(sample.begin(), sample.end());
    WriteText(dir / "photo.jpg", original);

    LoadBackgroundPicture(platform, state, dir / "photo.jpg");
    state.copyPicture = true;
    Apply();
    EXPECT_EQ(ReadText(folder + "Folder Settings\\BackGround.jpg"), original);
    // Applied again over its own copy: the same bytes.
    Apply();
    EXPECT_EQ(ReadText(folder + "Folder Settings\\BackGround.jpg"), original);
    // Neither the new file nor its replacement took the hidden bit of the
    // temporary copy, and no copy is left.
    EXPECT_EQ(AttributesOf(folder + "Folder Settings\\BackGround.jpg") & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(test::Names(folder + "Folder Settings\\"), std::vector<std::string>{"BackGround.jpg"});
}

TEST_F(EndToEnd, ForeignLinesSurviveApplyAndEveryRestore) {
    // Explorer's own icon key, as Windows 7 to 11 write it.
    const std::string foreign = "[.ShellClassInfo]\r\nConfirmFileOp = 0\r\nInfoTip=Семейный архив\r\n"
                                "IconResource=%SystemRoot%\\system32\\imageres.dll,-112\r\n"
                                "\r\n; kept\r\n[ViewState]\r\nMode=\r\nVid=\r\nFolderType=Pictures\r\n";
    WriteText(folder + "desktop.ini", foreign);
    const test::ByteVector icon = test::BuildIcon();
    WriteText(dir / "sea.ico", std::string(icon.begin(), icon.end()));
    state.iconPath = dir / "sea.ico";
    Apply();
    // Both icon keys name the new icon, as the system's own reader sees them.
    auto key = [&](const wchar_t* name) {
        wchar_t value[MAX_PATH] = L"";
        GetPrivateProfileStringW(L".ShellClassInfo", name, L"", value, MAX_PATH,
                                 win::Wide(folder + "desktop.ini").c_str());
        return win::Narrow(value);
    };
    EXPECT_EQ(key(L"IconFile"), state.iconPath);
    EXPECT_EQ(key(L"IconResource"), state.iconPath + ",0");
    EXPECT_EQ(FindFolderIcon(platform, folder), state.iconPath);
    // The shell marks the file system as well; every restore rewrites the
    // file, and both bits must survive that.
    SetFileAttributesW(win::Wide(folder + "desktop.ini").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    RestoreTextColor(platform, state, messages);
    RestoreTextBackgroundColor(platform, state, messages);
    RestoreIcon(platform, state, tree, messages);
    RestorePicture(platform, state, messages);
    // Only the keys this program owns came and went; IconIndex stays by design.
    EXPECT_EQ(Ini(), "[.ShellClassInfo]\r\nConfirmFileOp = 0\r\nInfoTip=Семейный архив\r\nIconIndex=0\r\n"
                     "\r\n; kept\r\n[ViewState]\r\nMode=\r\nVid=\r\nFolderType=Pictures\r\n"
                     "[" + std::string(kSection) + "]\r\n");
    // No restore touched an attribute.
    EXPECT_EQ(AttributesOf(folder) & kShown, DWORD{FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM});
    EXPECT_EQ(AttributesOf(folder + "desktop.ini") & kShown, DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM});
    EXPECT_EQ(tree.Image(node), 0);
}

TEST_F(EndToEnd, HiddenReadOnlyFolderEndsUpSystemOnly) {
    SetFileAttributesW(win::Wide(folder).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    Apply();
    EXPECT_EQ(AttributesOf(folder) & kShown, DWORD{FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM});
}

TEST_F(EndToEnd, RestoreInAFolderWithoutSettingsCreatesNothing) {
    RestorePicture(platform, state, messages);
    RestoreIcon(platform, state, tree, messages);
    RestoreTextColor(platform, state, messages);
    RestoreTextBackgroundColor(platform, state, messages);
    EXPECT_EQ(AttributesOf(folder + "desktop.ini"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(AttributesOf(folder + "Folder Settings"), INVALID_FILE_ATTRIBUTES);
}

// Another program holds desktop.ini through the apply and the next read,
// by a real second handle: an indexer or scanner that shares it for
// reading, writing and deleting is no obstacle; one that shares nothing is
// waited for, here letting go once the platform has paused 300 ms, and one
// that holds on past the waiting gets the usual message and loses nothing.
// The pauses are counted, not slept, so the let-go comes at the same point
// of the waiting on every run.
TEST_F(EndToEnd, SettingsFileHeldByAnotherProgram) {
    constexpr DWORD kNever = 0xFFFFFFFF;
    struct Case {
        const char* name;
        DWORD share;
        DWORD releaseAfterMs;
        bool applies;
    };
    const Case cases[] = {
        {"reader sharing everything", FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, kNever, true},
        {"reader sharing nothing, for 300 ms", 0, 300, true},
        {"reader sharing nothing, for longer", 0, kNever, false},
    };
    const std::string ini = folder + "desktop.ini";
    const std::string former = "[.ShellClassInfo]\r\nInfoTip=kept\r\n[" + std::string(kSection) +
                               "]\r\nIconArea_Text=0x00000000\r\nIconArea_TextBackground=0x00FFFFFF\r\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteText(ini, former);
        SetFileAttributesW(win::Wide(ini).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        win::UniqueFile holder(CreateFileW(win::Wide(ini).c_str(), GENERIC_READ, c.share, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(holder);
        DWORD waited = 0;
        win::Win32Platform held(win::FolderListing::kStandard, GetLogicalDrives, [&](DWORD ms) {
            waited += ms;
            if (waited >= c.releaseAfterMs) holder.reset();
        });
        state.textColor = 0x0000FF;
        state.textBackgroundColor = 0x00FF00;

        std::string message;
        try {
            ApplyFolderSettings(held, state, tree, messages);
        } catch (const Exception& e) {
            message = e.what();
        }
        test::FakeFolderEditState reread;
        std::string readMessage;
        try {
            ReadFolderSettings(held, reread, folder);
        } catch (const EFOpenError& e) {
            readMessage = e.what();
        }
        const bool stillHeld = static_cast<bool>(holder);
        holder.reset();

        if (c.applies) {
            EXPECT_EQ(message, "");
            EXPECT_EQ(Ini(), "[.ShellClassInfo]\r\nInfoTip=kept\r\n[" + std::string(kSection) +
                                 "]\r\nIconArea_Text=0x000000FF\r\nIconArea_TextBackground=0x0000FF00\r\n");
            EXPECT_EQ(AttributesOf(ini) & kShown, DWORD{FILE_ATTRIBUTE_HIDDEN});
            EXPECT_EQ(readMessage, "");
            EXPECT_EQ(reread.textColor, 0x0000FFu);
        } else {
            EXPECT_EQ(message, "Unable to write to " + ini);
            EXPECT_EQ(Ini(), former);
            // The folder's colours are not read as the defaults either.
            EXPECT_EQ(readMessage,
                      "Cannot open file \"" + ini + "\". " + win::SystemErrorText(ERROR_SHARING_VIOLATION));
        }
        if (c.releaseAfterMs == kNever) {
            EXPECT_TRUE(stillHeld);
            // Sharing everything needs no waiting; sharing nothing is waited
            // for a second by the write and a second by the read.
            EXPECT_EQ(waited, c.share != 0 ? 0u : 2000u);
        } else {
            EXPECT_GE(waited, c.releaseAfterMs);
            EXPECT_LT(waited, 1000u);
        }
        std::vector<std::string> names = test::Names(folder);
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"Folder Settings", "desktop.ini"})) << "a temporary file was left";
    }
}

// Writes until the file system refuses; true when it refused for want of space.
bool FillDisk(const std::string& path) {
    win::UniqueFile file(CreateFileW(win::Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    const std::vector<char> chunk(4096, 'x');
    for (DWORD size = static_cast<DWORD>(chunk.size()); size > 0; size /= 2) {
        DWORD put = 0;
        while (WriteFile(file.get(), chunk.data(), size, &put, nullptr) && put == size) {
        }
    }
    return GetLastError() == ERROR_DISK_FULL;
}

// A full disk: the tiny file system that CTest mounts for this test alone
// (scripts/small-disk.sh) and names in QUORVANE_SMALL_DISK. Each write that
// fails there must leave the former file byte for byte and nothing beside it.
TEST(FullDisk, FormerSettingsAndPictureStayWholeAndNoTemporaryFileIsLeft) {
    const char* disk = std::getenv("QUORVANE_SMALL_DISK");
    if (!disk || !*disk) GTEST_SKIP() << "QUORVANE_SMALL_DISK names no small file system (CTest's win32_full_disk does)";
    const std::string root = disk;
    ULARGE_INTEGER available{}, total{}, unused{};
    if (!GetDiskFreeSpaceExW(win::Wide(root).c_str(), &available, &total, &unused) || total.QuadPart > (1u << 20)) {
        GTEST_SKIP() << "no small file system at " << root << ": "
                     << ReadText(root.substr(0, root.size() - 1) + ".why");
    }

    TempFolder dir(root);
    const std::string folder = dir / "Photos\\";
    const std::string ini = folder + "desktop.ini";
    const std::string copy = folder + "Folder Settings\\BackGround.jpg";
    test::MakeFolder(folder);
    test::MakeFolder(folder + "Folder Settings");
    const std::string formerIni = std::string("[.ShellClassInfo]\r\nInfoTip=kept whole\r\n[") + kSection +
                                  "]\r\nIconArea_Text=0x00000000\r\n";
    const std::vector<uint8_t> formerJpeg = test::SampleJpeg(16, 16, {.quality = 40});
    WriteText(ini, formerIni);
    WriteText(copy, std::string(formerJpeg.begin(), formerJpeg.end()));
    SetFileAttributesW(win::Wide(ini).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);

    win::Win32Platform platform;
    test::FakeFolderTree tree;
    test::FakeFolderEditState state;
    NoMessages messages;
    const NodeId node = tree.AddChild(tree.AddRoot("Z:"), "Photos");
    tree.Select(node);
    tree.SetCurrentFolderNode(node);
    state.folderPath = folder;
    TempFolder source;  // the new picture comes from a disk with room
    const std::vector<uint8_t> photo = test::SampleJpeg(32, 24, {.quality = 80});
    WriteText(source / "photo.jpg", std::string(photo.begin(), photo.end()));
    LoadBackgroundPicture(platform, state, source / "photo.jpg");
    ASSERT_TRUE(FillDisk(dir / "filler"));

    state.copyPicture = true;
    try {
        ApplyFolderSettings(platform, state, tree, messages);
        ADD_FAILURE() << "the picture was saved on a full disk";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot create file \"" + copy + "\". " + win::SystemErrorText(ERROR_DISK_FULL));
    }
    state.copyPicture = false;
    try {
        ApplyFolderSettings(platform, state, tree, messages);
        ADD_FAILURE() << "the settings were written on a full disk";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + ini);
    }
    EXPECT_THROW(RestoreTextColor(platform, state, messages), EIniFileException);  // a restore says so too

    EXPECT_EQ(ReadText(ini), formerIni);
    EXPECT_EQ(ReadText(copy), std::string(formerJpeg.begin(), formerJpeg.end()));
    EXPECT_EQ(AttributesOf(ini) & 0x6, DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM});
    std::vector<std::string> names = test::Names(folder);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Folder Settings", "desktop.ini"}));
    EXPECT_EQ(test::Names(folder + "Folder Settings\\"), std::vector<std::string>{"BackGround.jpg"});
}

}  // namespace
}  // namespace quorvane
