// Applying and restoring a folder's settings against the in-memory
// platform: what is written, in which order, and what a failing step
// leaves behind.
#include <gtest/gtest.h>

#include <functional>

#include "folder_settings/ApplySettings.h"
#include "folder_settings/Jpeg.h"
#include "folder_settings/RestoreSettings.h"
#include "folder_settings/UiTexts.h"
#include "platform/Errors.h"
#include "tests/host/FakeFolderEditState.h"
#include "tests/host/FakeFolderTree.h"
#include "tests/host/FakePlatform.h"
#include "tests/host/IconBuilder.h"
#include "tests/host/IconVariants.h"
#include "tests/host/JpegSamples.h"

namespace quorvane {
namespace {

using test::FakeFolderEditState;
using test::FakeFolderTree;
using test::FakePlatform;

constexpr char kSection[] = "{BE098140-A513-11D0-A3A4-00C04FD706EC}";
constexpr char kFolder[] = "C:\\Photos\\";

Bytes SmallJpeg() { return test::SampleJpeg(8, 8); }

class RecordingMessages : public Messages {
public:
    void ShowInformation(const std::string& text) override { shown.push_back(text); }
    std::vector<std::string> shown;
};

class FolderOperations : public ::testing::Test {
protected:
    FolderOperations() {
        fs.AddDrive('C', drive::kFixed);
        fs.AddFolder("C:\\Photos");
        root = tree.AddRoot("C:");
        tree.SetImage(root, 1);
        node = tree.AddChild(root, "Photos");
        other = tree.AddChild(root, "Other");
        tree.Select(node);
        tree.SetCurrentFolderNode(node);
        state.folderPath = kFolder;
        state.textColor = 0x0000FF;
        state.textBackgroundColor = 0x00FF00;
    }

    void Apply() { ApplyFolderSettings(fs, state, tree, messages); }

    // A picture as the browse button leaves it: loaded from `path`.
    void ChoosePicture(const std::string& path, const Bytes& bytes) {
        fs.AddFile(path, bytes);
        TJPEGImage picture;
        picture.LoadFromFile(fs, path);
        state.SetPicture(picture);
        state.picturePath = path;
        state.pictureHint = path;
    }

    void ChooseIcon(const std::string& path) {
        fs.AddFile(path, test::BuildIcon());
        state.iconPath = path;
    }

    std::string Ini() const { return fs.Text(std::string(kFolder) + "desktop.ini"); }
    // The log from the first entry that starts with `from`.
    std::vector<std::string> Log() const { return fs.log; }

    FakePlatform fs;
    FakeFolderTree tree;
    FakeFolderEditState state;
    RecordingMessages messages;
    NodeId root{}, node{}, other{};
};

TEST_F(FolderOperations, ApplyWithoutAFolderOnlyShowsTheMessage) {
    state.folderPath = "";
    Apply();
    EXPECT_EQ(messages.shown, std::vector<std::string>{text::kNoFolderSelected});
    EXPECT_TRUE(fs.log.empty());
}

TEST_F(FolderOperations, FreshFolderGetsTheColourKeysHiddenSubfolderAndAttributes) {
    state.textColor = kBlack;
    state.textBackgroundColor = kWhite;
    Apply();
    EXPECT_EQ(Ini(), std::string("[") + kSection + "]\r\nIconArea_Text=0x00000000\r\nIconArea_TextBackground=0x00FFFFFF\r\n");
    EXPECT_EQ(fs.Attributes("C:\\Photos\\Folder Settings"),
              attr::kDirectory | attr::kReadOnly | attr::kHidden | attr::kSystem);
    EXPECT_EQ(fs.Attributes("C:\\Photos"), attr::kDirectory | attr::kSystem);
    EXPECT_EQ(fs.Attributes("C:\\Photos\\desktop.ini"), attr::kHidden);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(tree.Images().Count(), 2);
}

TEST_F(FolderOperations, EffectsComeInTheirOrder) {
    fs.AddFolder("C:\\Photos\\Folder Settings", attr::kDirectory | attr::kHidden);
    ChoosePicture("C:\\pic.jpg", SmallJpeg());
    state.copyPicture = true;
    ChooseIcon("D:\\sea.ico");
    fs.log.clear();
    Apply();
    const std::vector<std::string> expected = {
        "attr C:\\Photos\\Folder Settings\\ 16",
        // desktop.ini is still to be made: nothing to make writable.
        "save C:\\Photos\\Folder Settings\\BackGround.jpg",
        "attr C:\\Photos\\Folder Settings\\ 23",
        // Every key in one replacement of the file.
        std::string("write C:\\Photos\\desktop.ini [") + kSection + "] iconarea_image=Folder Settings\\BackGround.jpg",
        std::string("write C:\\Photos\\desktop.ini [") + kSection + "] IconArea_Text=0x000000FF",
        std::string("write C:\\Photos\\desktop.ini [") + kSection + "] IconArea_TextBackground=0x0000FF00",
        "remove C:\\Photos\\desktop.ini [.ShellClassInfo] IconFile",
        "remove C:\\Photos\\desktop.ini [.ShellClassInfo] IconIndex",
        "write C:\\Photos\\desktop.ini [.ShellClassInfo] IconFile=D:\\sea.ico",
        "write C:\\Photos\\desktop.ini [.ShellClassInfo] IconIndex=0",
        "write C:\\Photos\\desktop.ini [.ShellClassInfo] IconResource=D:\\sea.ico,0",
        "attr C:\\Photos\\ 20",
        "attr C:\\Photos\\Desktop.ini 2",
    };
    EXPECT_EQ(fs.log, expected);
    EXPECT_EQ(fs.profileReplacements, 1);
}

TEST_F(FolderOperations, CopiedJpegIsByteForByteAndTheKeyBecomesRelative) {
    const Bytes jpeg = SmallJpeg();
    ChoosePicture("C:\\pic.jpg", jpeg);
    state.copyPicture = true;
    Apply();
    EXPECT_EQ(fs.Contents("C:\\Photos\\Folder Settings\\BackGround.jpg"), jpeg);
    EXPECT_EQ(state.picturePath, "Folder Settings\\BackGround.jpg");
    EXPECT_EQ(state.pictureHint, "C:\\pic.jpg");
    EXPECT_NE(Ini().find("iconarea_image=Folder Settings\\BackGround.jpg\r\n"), std::string::npos);
    // A second run with the flag still set saves the same picture again.
    fs.log.clear();
    Apply();
    EXPECT_EQ(fs.Contents("C:\\Photos\\Folder Settings\\BackGround.jpg"), jpeg);
    EXPECT_EQ(std::count(fs.log.begin(), fs.log.end(), "save C:\\Photos\\Folder Settings\\BackGround.jpg"), 1);
}

TEST_F(FolderOperations, WithoutTheCopyFlagTheAbsolutePathIsWrittenAndNothingSaved) {
    ChoosePicture("C:\\pic.jpg", SmallJpeg());
    Apply();
    EXPECT_NE(Ini().find("iconarea_image=C:\\pic.jpg\r\n"), std::string::npos);
    EXPECT_FALSE(fs.Exists("C:\\Photos\\Folder Settings\\BackGround.jpg"));
    EXPECT_EQ(state.picturePath, "C:\\pic.jpg");
}

TEST_F(FolderOperations, KeysTheStateDoesNotOverrideStay) {
    fs.AddFile("C:\\Photos\\desktop.ini", std::string("[") + kSection + "]\r\niconarea_image=C:\\old.jpg\r\n"
                                          "[.ShellClassInfo]\r\nIconFile=C:\\old.ico\r\nInfoTip=keep me\r\n");
    Apply();
    EXPECT_NE(Ini().find("iconarea_image=C:\\old.jpg"), std::string::npos);
    EXPECT_NE(Ini().find("IconFile=C:\\old.ico"), std::string::npos);
    EXPECT_NE(Ini().find("InfoTip=keep me"), std::string::npos);
}

TEST_F(FolderOperations, FormerAttributesAreReplacedNotCombined) {
    fs.AddFolder("C:\\Photos", attr::kDirectory | attr::kHidden | attr::kReadOnly);
    // A read-only settings file with no other bit is made writable as
    // normal, then hidden.
    fs.AddFile("C:\\Photos\\desktop.ini", "[A]\r\n", attr::kReadOnly);
    Apply();
    EXPECT_EQ(fs.Attributes("C:\\Photos"), attr::kDirectory | attr::kSystem);
    EXPECT_NE(std::find(fs.log.begin(), fs.log.end(), "attr C:\\Photos\\Desktop.ini 128"), fs.log.end());
    EXPECT_NE(Ini().find("IconArea_Text=0x000000FF"), std::string::npos);
    EXPECT_EQ(fs.Attributes("C:\\Photos\\desktop.ini"), attr::kHidden);
}

TEST_F(FolderOperations, SystemColourIsWrittenAsItsCurrentRgb) {
    fs.systemColors[8] = 0x123456;
    state.textColor = 0x80000008;
    Apply();
    EXPECT_NE(Ini().find("IconArea_Text=0x00123456"), std::string::npos);
}

TEST_F(FolderOperations, IconIsShownOnTheNodeOfTheWrittenFolderEvenAfterAKeyboardMove) {
    ChooseIcon("C:\\sea.ico");
    tree.Select(other);  // moved with the keyboard: no click, same current folder
    Apply();
    ASSERT_EQ(tree.Images().Count(), 3);
    EXPECT_EQ(tree.Image(node), 2);
    EXPECT_EQ(tree.Image(other), 0);
    EXPECT_NE(Ini().find("[.ShellClassInfo]\r\nIconFile=C:\\sea.ico\r\nIconIndex=0\r\n"), std::string::npos);
    // The same icon again appends another image.
    Apply();
    EXPECT_EQ(tree.Images().Count(), 4);
    EXPECT_EQ(tree.Image(node), 3);
}

// Not an icon, not drawable at 16 bits, no image made: blank, and the rest runs.
TEST_F(FolderOperations, AnIconThatDoesNotLoadShowsABlankImageWithoutAnError) {
    fs.AddFile("C:\\bad.ico", "not an icon");
    fs.AddFile("C:\\deep.ico", test::DeepEntryPastTheEnd());
    ChooseIcon("C:\\good.ico");
    IconFile::SetScreenBits(16);
    for (const std::string icon : {"C:\\bad.ico", "C:\\deep.ico", "C:\\good.ico"}) {
        tree.Images().refuseIcons = icon == "C:\\good.ico";
        fs.SetAttributes("C:\\Photos\\desktop.ini", attr::kSystem);
        state.iconPath = icon;
        EXPECT_NO_THROW(Apply()) << icon;
        EXPECT_EQ(tree.Images().images.back().label, "blank") << icon;
        EXPECT_EQ(tree.Image(node), tree.Images().Count() - 1) << icon;
        EXPECT_EQ(fs.Attributes("C:\\Photos\\desktop.ini"), attr::kHidden) << icon;
    }
    IconFile::SetScreenBits(32);
}

TEST_F(FolderOperations, DriveRootIsWrittenAtTheRoot) {
    state.folderPath = "C:\\";
    tree.SetCurrentFolderNode(root);
    Apply();
    EXPECT_TRUE(fs.Exists("C:\\desktop.ini"));
    EXPECT_TRUE(fs.Exists("C:\\Folder Settings"));
    EXPECT_NE(std::find(fs.log.begin(), fs.log.end(), "attr C:\\ 20"), fs.log.end());
}

// Each failing step: the error, what stayed, and that nothing after it ran.
TEST_F(FolderOperations, PictureThatCannotBeSavedEndsTheRun) {
    ChoosePicture("C:\\pic.jpg", SmallJpeg());
    state.copyPicture = true;
    fs.lockedFiles.insert("C:\\Photos\\Folder Settings\\BackGround.jpg");
    fs.AddFile("C:\\Photos\\desktop.ini", "[A]\r\n", attr::kReadOnly | attr::kHidden | attr::kSystem | attr::kArchive);
    try {
        Apply();
        FAIL() << "no error";
    } catch (const EFCreateError& e) {
        EXPECT_STREQ(e.what(), "Cannot create file \"C:\\Photos\\Folder Settings\\BackGround.jpg\". "
                               "The process cannot access the file because it is being used by another process");
    }
    EXPECT_EQ(state.picturePath, "C:\\pic.jpg");
    EXPECT_EQ(Ini(), "[A]\r\n");
    // desktop.ini keeps the attributes of the unlocking step, its own but
    // read-only and nothing more (no temporary or offline bit left behind);
    // the folder is untouched.
    EXPECT_NE(std::find(fs.log.begin(), fs.log.end(), "attr C:\\Photos\\Desktop.ini 38"), fs.log.end());
    EXPECT_EQ(fs.Attributes("C:\\Photos\\desktop.ini"), attr::kHidden | attr::kSystem | attr::kArchive);
    EXPECT_EQ(fs.Attributes("C:\\Photos"), attr::kDirectory);
    EXPECT_EQ(fs.log.back(), "save C:\\Photos\\Folder Settings\\BackGround.jpg");
}

// The keys go in one replacement, so a refused one leaves the file as it was.
TEST_F(FolderOperations, RefusedSettingsFileEndsTheRunAfterTheCopyWithNoKeyWritten) {
    ChoosePicture("C:\\pic.jpg", SmallJpeg());
    state.copyPicture = true;
    fs.refuseWrites.insert("C:\\Photos\\desktop.ini");
    EXPECT_THROW(
        {
            try {
                Apply();
            } catch (const EIniFileException& e) {
                EXPECT_STREQ(e.what(), "Unable to write to C:\\Photos\\desktop.ini");
                throw;
            }
        },
        EIniFileException);
    EXPECT_TRUE(fs.Exists("C:\\Photos\\Folder Settings\\BackGround.jpg"));
    EXPECT_EQ(state.picturePath, "Folder Settings\\BackGround.jpg");
    EXPECT_FALSE(fs.Exists("C:\\Photos\\desktop.ini"));
    EXPECT_EQ(fs.Attributes("C:\\Photos"), attr::kDirectory);
}

TEST_F(FolderOperations, RefusedColourKeyEndsTheRunAfterTheSubfolderIsLocked) {
    fs.AddFile("C:\\Photos\\desktop.ini", std::string("[") + kSection + "]\r\nIconArea_Text=0x00000000\r\n");
    fs.refuseWriteKeys.insert("IconArea_TextBackground");
    EXPECT_THROW(Apply(), EIniFileException);
    EXPECT_EQ(Ini(), std::string("[") + kSection + "]\r\nIconArea_Text=0x00000000\r\n");
    EXPECT_EQ(fs.Attributes("C:\\Photos\\Folder Settings") & attr::kHidden, attr::kHidden);
    EXPECT_EQ(fs.log.back(), std::string("write C:\\Photos\\desktop.ini [") + kSection +
                                 "] IconArea_TextBackground=0x0000FF00");
}

TEST_F(FolderOperations, RefusedIconKeyEndsTheRunBeforeTheTreeAndAttributes) {
    ChooseIcon("C:\\sea.ico");
    fs.refuseWriteKeys.insert("IconIndex");
    EXPECT_THROW(Apply(), EIniFileException);
    EXPECT_FALSE(fs.Exists("C:\\Photos\\desktop.ini"));
    EXPECT_EQ(tree.Images().Count(), 2);
    EXPECT_EQ(tree.Image(node), 0);
    EXPECT_EQ(fs.Attributes("C:\\Photos"), attr::kDirectory);
}

TEST_F(FolderOperations, SubfolderThatCannotBeCreatedIsNotReported) {
    fs.refuseCreateFolder.insert("C:\\Photos\\Folder Settings\\");
    EXPECT_NO_THROW(Apply());
    EXPECT_FALSE(fs.Exists("C:\\Photos\\Folder Settings"));
    EXPECT_EQ(fs.Attributes("C:\\Photos"), attr::kDirectory | attr::kSystem);
}

// Every whole-file write stopped part-way, by a full disk or by a swap that
// fails: the former file stays byte for byte, no temporary file is left
// beside it, and the user sees the usual message, a restore too.
TEST_F(FolderOperations, WritesThatStopPartWayLeaveTheFormerFileWhole) {
    const std::string ini = std::string(kFolder) + "desktop.ini";
    const std::string copy = std::string(kFolder) + "Folder Settings\\BackGround.jpg";
    const std::string foreign = "[.ShellClassInfo]\r\nInfoTip=from the shell\r\n";
    const Bytes formerPicture = test::SampleJpeg(16, 8, {.quality = 50});
    const std::string full = "There is not enough space on the disk";
    const std::string inUse = "The process cannot access the file because it is being used by another process";
    enum Operation { kApplyCopy, kApply, kRestore };
    struct Case {
        const char* name;
        Operation operation;
        std::string target;
        bool swapFails;  // otherwise the disk is full after a few bytes
        std::string message;
    };
    const Case cases[] = {
        {"picture, disk full", kApplyCopy, copy, false, "Cannot create file \"" + copy + "\". " + full},
        {"picture, swap fails", kApplyCopy, copy, true, "Cannot create file \"" + copy + "\". " + inUse},
        {"profile write, disk full", kApply, ini, false, "Unable to write to " + ini},
        {"profile write, swap fails", kApply, ini, true, "Unable to write to " + ini},
        {"profile removal, disk full", kRestore, ini, false, "Unable to write to " + ini},
        {"profile removal, swap fails", kRestore, ini, true, "Unable to write to " + ini},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs.AddFile(ini, foreign + "[" + kSection + "]\r\nIconArea_Text=0x00000000\r\n", attr::kHidden | attr::kSystem);
        fs.AddFile(copy, formerPicture);
        const Bytes former = fs.Contents(c.target);
        ChoosePicture("C:\\pic.jpg", SmallJpeg());
        state.copyPicture = c.operation == kApplyCopy;
        fs.diskFullAfter.clear();
        fs.refuseSwap.clear();
        if (c.swapFails) {
            fs.refuseSwap.insert(c.target);
        } else {
            fs.diskFullAfter[c.target] = 5;
        }

        std::string message;
        try {
            if (c.operation == kRestore) {
                RestoreTextColor(fs, state, messages);
            } else {
                Apply();
            }
        } catch (const Exception& e) {
            message = e.what();
        }
        EXPECT_EQ(message, c.message);
        EXPECT_EQ(fs.Contents(c.target), former);
        std::vector<std::string> names;
        for (const std::string& folder : {std::string(kFolder), std::string(kFolder) + "Folder Settings\\"}) {
            for (const FolderEntry& e : fs.ListFolder(folder + "*.*")) {
                if (e.name != "." && e.name != "..") names.push_back(e.name);
            }
        }
        EXPECT_EQ(names, (std::vector<std::string>{"desktop.ini", "Folder Settings", "BackGround.jpg"}));
        if (c.operation == kApplyCopy) {
            EXPECT_EQ(state.picturePath, "C:\\pic.jpg");
        }
    }
}

class Restore : public FolderOperations {
protected:
    // A folder as a full apply with copy and icon leaves it.
    void Customise() {
        ChoosePicture("C:\\pic.jpg", SmallJpeg());
        state.copyPicture = true;
        ChooseIcon("C:\\sea.ico");
        fs.AddFile("C:\\Photos\\Folder Settings\\Icon.ico", test::BuildIcon());
        Apply();
        state.restoreImageEnabled = true;
        state.restoreIconEnabled = true;
        fs.log.clear();
    }
    void ExpectNoAttributeChanges() const {
        for (const std::string& entry : fs.log) EXPECT_NE(entry.rfind("attr ", 0), 0u) << entry;
    }
};

TEST_F(Restore, PictureRemovesTheKeyAndTheCopyAndResetsThePreview) {
    Customise();
    RestorePicture(fs, state, messages);
    EXPECT_EQ(Ini().find("iconarea_image"), std::string::npos);
    EXPECT_FALSE(fs.Exists("C:\\Photos\\Folder Settings\\BackGround.jpg"));
    EXPECT_EQ(fs.Attributes("C:\\Photos\\Folder Settings"),
              attr::kDirectory | attr::kReadOnly | attr::kHidden | attr::kSystem);
    EXPECT_EQ(state.picture, nullptr);
    EXPECT_EQ(state.picturePath, "");
    EXPECT_EQ(state.pictureHint, "");
    EXPECT_FALSE(state.restoreImageEnabled);
    ExpectNoAttributeChanges();
}

TEST_F(Restore, PictureNamedElsewhereStaysButAnOldCopyGoes) {
    fs.AddFile("D:\\pics\\sea.jpg", SmallJpeg());
    fs.AddFile("C:\\Photos\\Folder Settings\\BackGround.jpg", SmallJpeg());
    fs.AddFile("C:\\Photos\\desktop.ini", std::string("[") + kSection + "]\r\niconarea_image=D:\\pics\\sea.jpg\r\n");
    RestorePicture(fs, state, messages);
    EXPECT_TRUE(fs.Exists("D:\\pics\\sea.jpg"));
    EXPECT_FALSE(fs.Exists("C:\\Photos\\Folder Settings\\BackGround.jpg"));
    EXPECT_EQ(Ini(), std::string("[") + kSection + "]\r\n");
}

TEST_F(Restore, IconRemovesIconFileKeepsIconIndexAndShowsTheFolderImage) {
    Customise();
    tree.Select(other);
    RestoreIcon(fs, state, tree, messages);
    EXPECT_EQ(Ini().find("IconFile"), std::string::npos);
    EXPECT_EQ(Ini().find("IconResource"), std::string::npos);
    EXPECT_NE(Ini().find("IconIndex=0"), std::string::npos);
    EXPECT_FALSE(fs.Exists("C:\\Photos\\Folder Settings\\Icon.ico"));
    EXPECT_TRUE(fs.Exists("C:\\sea.ico"));
    EXPECT_EQ(state.iconPath, "");
    EXPECT_FALSE(state.iconShown);
    EXPECT_EQ(tree.Image(node), 0);
    EXPECT_FALSE(state.restoreIconEnabled);
    ExpectNoAttributeChanges();
}

TEST_F(Restore, IconOfADriveRootShowsTheFolderImageNotTheDrive) {
    state.folderPath = "C:\\";
    tree.SetCurrentFolderNode(root);
    RestoreIcon(fs, state, tree, messages);
    EXPECT_EQ(tree.Image(root), 0);
}

TEST_F(Restore, ColoursRemoveTheirKeyAndResetToTheReadingDefaults) {
    Customise();
    state.textBackgroundColor = 0x123456;
    RestoreTextColor(fs, state, messages);
    RestoreTextColor(fs, state, messages);
    EXPECT_EQ(state.textColor, kBlack);
    EXPECT_EQ(Ini().find("IconArea_Text="), std::string::npos);
    RestoreTextBackgroundColor(fs, state, messages);
    EXPECT_EQ(state.textBackgroundColor, kWhite);
    EXPECT_EQ(Ini().find("IconArea_TextBackground"), std::string::npos);
    EXPECT_EQ(state.calls.count("SetRestoreImageEnabled"), 0u);
    // The folder stays customised, desktop.ini hidden.
    EXPECT_EQ(fs.Attributes("C:\\Photos"), attr::kDirectory | attr::kSystem);
    EXPECT_EQ(fs.Attributes("C:\\Photos\\desktop.ini"), attr::kHidden);
    ExpectNoAttributeChanges();
}

TEST_F(Restore, NoneCreatesASettingsFile) {
    RestorePicture(fs, state, messages);
    RestoreIcon(fs, state, tree, messages);
    RestoreTextColor(fs, state, messages);
    RestoreTextBackgroundColor(fs, state, messages);
    EXPECT_FALSE(fs.Exists("C:\\Photos\\desktop.ini"));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Restore, WithoutAFolderNothingIsTouchedAndTheUserIsTold) {
    state.folderPath = "";
    state.textColor = 0x123456;
    RestorePicture(fs, state, messages);
    RestoreIcon(fs, state, tree, messages);
    RestoreTextColor(fs, state, messages);
    RestoreTextBackgroundColor(fs, state, messages);
    EXPECT_TRUE(fs.log.empty());
    EXPECT_EQ(messages.shown.size(), 4u);
    EXPECT_EQ(state.textColor, 0x123456u);
    EXPECT_TRUE(state.calls.empty());
}

TEST_F(Restore, ACopyThatCannotBeDeletedStaysSilently) {
    Customise();
    fs.lockedFiles.insert("C:\\Photos\\Folder Settings\\BackGround.jpg");
    EXPECT_NO_THROW(RestorePicture(fs, state, messages));
    EXPECT_TRUE(fs.Exists("C:\\Photos\\Folder Settings\\BackGround.jpg"));
    EXPECT_EQ(Ini().find("iconarea_image"), std::string::npos);
    EXPECT_EQ(state.picturePath, "");
}

// As Explorer's Customize tab on Windows 7 to 11 leaves a folder: one
// "IconResource" among lines of its own. Apply and restore keep both icon
// keys naming the same icon, and every other line as it was.
TEST_F(Restore, ExplorerWrittenIconKeysEndInAgreement) {
    fs.AddFile("C:\\Photos\\desktop.ini",
               "[.ShellClassInfo]\r\nIconResource=C:\\old.ico,0\r\n[ViewState]\r\nMode=\r\nFolderType=Pictures\r\n");
    ChooseIcon("C:\\new,1.ico");
    Apply();
    EXPECT_EQ(Ini(), std::string("[.ShellClassInfo]\r\nIconResource=C:\\new,1.ico,0\r\nIconFile=C:\\new,1.ico\r\n"
                                 "IconIndex=0\r\n[ViewState]\r\nMode=\r\nFolderType=Pictures\r\n[") +
                         kSection + "]\r\nIconArea_Text=0x000000FF\r\nIconArea_TextBackground=0x0000FF00\r\n");
    for (const bool vista : {true, false}) {
        fs.vistaOrLater = vista;
        EXPECT_EQ(FindFolderIcon(fs, kFolder), "C:\\new,1.ico") << vista;
    }
    RestoreIcon(fs, state, tree, messages);
    EXPECT_EQ(Ini(), std::string("[.ShellClassInfo]\r\nIconIndex=0\r\n[ViewState]\r\nMode=\r\n"
                                 "FolderType=Pictures\r\n[") +
                         kSection + "]\r\nIconArea_Text=0x000000FF\r\nIconArea_TextBackground=0x0000FF00\r\n");
}

// A folder whose desktop.ini cannot be written keeps naming its picture and
// icon: the restore says so and deletes neither copy.
TEST_F(Restore, AKeyThatCannotBeRemovedIsReportedAndNothingIsDeleted) {
    Customise();
    const std::string ini = std::string(kFolder) + "desktop.ini";
    const std::string former = Ini();
    fs.AddFile(ini, former, attr::kReadOnly | attr::kHidden);
    const std::function<void()> restores[] = {[this] { RestorePicture(fs, state, messages); },
                                              [this] { RestoreIcon(fs, state, tree, messages); }};
    for (const auto& restore : restores) {
        try {
            restore();
            ADD_FAILURE() << "no error";
        } catch (const EIniFileException& e) {
            EXPECT_EQ(e.what(), "Unable to write to " + ini);
        }
    }
    EXPECT_EQ(Ini(), former);
    EXPECT_TRUE(fs.Exists("C:\\Photos\\Folder Settings\\BackGround.jpg"));
    EXPECT_TRUE(fs.Exists("C:\\Photos\\Folder Settings\\Icon.ico"));
    EXPECT_EQ(state.iconPath, "C:\\sea.ico");
}

}  // namespace
}  // namespace quorvane
