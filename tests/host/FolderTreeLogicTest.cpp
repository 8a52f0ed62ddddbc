// The drive and folder tree: roots, one-level-ahead listing, folder icons,
// the click, and what remains after a failure.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "folder_settings/IconFile.h"
#include "navigation/FolderTreeLogic.h"
#include "platform/Errors.h"
#include "tests/host/FakeFolderEditState.h"
#include "tests/host/FakeFolderTree.h"
#include "tests/host/FakePlatform.h"
#include "tests/host/IconBuilder.h"

namespace quorvane {
namespace {

using test::BuildIcon;
using test::IconSpec;
using Strings = std::vector<std::string>;

std::string IconIni(const std::string& value) { return "[.ShellClassInfo]\r\nIconFile=" + value + "\r\n"; }

// Counts the whole-file reads of each path, and keeps every file asked after.
class CountingPlatform : public test::FakePlatform {
public:
    FileResult ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) override {
        ++reads[path];
        return FakePlatform::ReadWholeFile(path, bytes);
    }
    bool FileExists(const std::string& path) override {
        asked.insert(path);
        return FakePlatform::FileExists(path);
    }
    std::map<std::string, int> reads;
    std::set<std::string> asked;
};

class FolderTreeTest : public ::testing::Test {
protected:
    // One fixed drive C with a few levels of folders.
    void SetUp() override {
        fs.AddDrive('C', drive::kFixed);
        fs.AddFolder("C:\\A\\A1\\A1x");
        fs.AddFolder("C:\\B");
        fs.AddFolder("C:\\Docs\\Work\\Deep");
    }

    void Click(NodeId node) {
        tree.Select(node);
        TreeViewClick(fs, tree, state);
    }
    NodeId Node(const Strings& texts) const {
        const NodeId node = tree.Find(texts);
        EXPECT_NE(node, kNoNode) << texts.back();
        return node;
    }
    // Lists since the last call, in order.
    Strings TakeListings() {
        Strings lists;
        for (const std::string& line : fs.log) {
            if (line.rfind("list ", 0) == 0) lists.push_back(line.substr(5));
        }
        fs.log.clear();
        return lists;
    }
    void AddIconFolder(const std::string& folder, const std::string& value) {
        fs.AddFolder(folder);
        fs.AddFile(folder + "\\desktop.ini", IconIni(value), attr::kHidden);
    }
    template <typename Action>
    std::string ErrorOf(Action action) {
        try {
            action();
        } catch (const Exception& e) {
            return e.what();
        }
        return "no error";
    }

    CountingPlatform fs;
    test::FakeFolderTree tree;
    test::FakeFolderEditState state;
};

TEST_F(FolderTreeTest, RootsAreFixedDrivesInLetterOrderWithUpperCaseTexts) {
    fs.AddDrive('A', drive::kRemovable);
    fs.AddDrive('D', drive::kCdRom);
    fs.AddDrive('E', drive::kFixed);
    fs.AddDrive('F', drive::kRemote);
    fs.AddDrive('G', drive::kRamDisk);
    fs.AddDrive('Z', drive::kFixed);
    fs.AddFolder("E:\\Music\\Old");
    fs.AddFolder("D:\\Disc");
    fs.AddFile("C:\\desktop.ini", "[{BE098140-A513-11D0-A3A4-00C04FD706EC}]\r\nIconArea_Text=0x00563412\r\n");

    BuildDriveRoots(fs, tree, state);

    EXPECT_EQ(tree.RootTexts(), (Strings{"C:", "E:", "Z:"}));
    for (NodeId root : tree.Roots()) EXPECT_EQ(tree.Image(root), 1);
    // Every root lists its first level; only the first one goes a level deeper.
    EXPECT_EQ(tree.ChildTexts(Node({"E:"})), (Strings{"Music"}));
    EXPECT_EQ(tree.ChildTexts(Node({"E:", "Music"})), Strings{});
    EXPECT_EQ(tree.ChildTexts(Node({"C:", "A"})), (Strings{"A1"}));
    // The first fixed drive is selected and handled as a click.
    EXPECT_EQ(tree.Selected(), Node({"C:"}));
    EXPECT_EQ(tree.CurrentFolderNode(), Node({"C:"}));
    EXPECT_EQ(state.folderPath, "C:\\");
    EXPECT_EQ(state.textColor, 0x563412u);  // read from C:\desktop.ini
    EXPECT_EQ(tree.updateDepth, 0);
}

TEST_F(FolderTreeTest, WithoutAFixedDriveTheTreeAndStateStayEmpty) {
    test::FakePlatform noDisks;
    noDisks.AddDrive('D', drive::kCdRom);
    noDisks.AddFolder("D:\\Disc");
    EXPECT_NO_THROW(BuildDriveRoots(noDisks, tree, state));
    EXPECT_EQ(tree.NodeCount(), 0);
    EXPECT_EQ(state.calls.size(), 0u);
    // A click on the empty tree has nothing to work on.
    EXPECT_NO_THROW(TreeViewClick(noDisks, tree, state));
    EXPECT_EQ(state.calls.size(), 0u);
    EXPECT_EQ(noDisks.listCount, 0);
}

TEST_F(FolderTreeTest, ListingSkipsHiddenEntriesFilesAndDotsAndKeepsPlatformOrder) {
    fs.AddFolder("C:\\L\\zeta");
    fs.AddFolder("C:\\L\\Hidden", attr::kHidden);
    fs.AddFolder("C:\\L\\Folder Settings", attr::kHidden | attr::kSystem | attr::kReadOnly);
    fs.AddFolder("C:\\L\\Customised", attr::kSystem);
    fs.AddFolder("C:\\L\\Locked", attr::kReadOnly | attr::kArchive);
    fs.AddFile("C:\\L\\notes.txt", "x");
    fs.AddFolder("C:\\L\\alpha");
    const NodeId root = tree.AddRoot("C:");
    const NodeId l = tree.AddChild(root, "L");

    ListSubfolders(fs, tree, "C:\\L", l);  // trailing "\" added

    EXPECT_EQ(tree.ChildTexts(l), (Strings{"zeta", "Customised", "Locked", "alpha"}));
    for (NodeId child : tree.Children(l)) EXPECT_EQ(tree.Image(child), 0);
    EXPECT_EQ(TakeListings(), (Strings{"C:\\L\\*.*"}));

    // A folder that cannot be listed adds nothing and reports nothing.
    EXPECT_NO_THROW(ListSubfolders(fs, tree, "C:\\Gone\\", l));
    EXPECT_EQ(tree.ChildTexts(l).size(), 4u);
}

TEST_F(FolderTreeTest, ClicksListOneLevelAheadAndNeverTwice) {
    const NodeId c = tree.AddRoot("C:");
    ListSubfolders(fs, tree, "C:", c);
    fs.log.clear();

    Click(c);  // C: has children: only the children are listed
    EXPECT_EQ(TakeListings(), (Strings{"C:\\A\\*.*", "C:\\B\\*.*", "C:\\Docs\\*.*"}));
    EXPECT_EQ(tree.ChildTexts(Node({"C:", "Docs"})), (Strings{"Work"}));
    EXPECT_EQ(tree.ChildTexts(Node({"C:", "Docs", "Work"})), Strings{});

    Click(Node({"C:", "Docs"}));
    EXPECT_EQ(TakeListings(), (Strings{"C:\\Docs\\Work\\*.*"}));
    EXPECT_EQ(state.folderPath, "C:\\Docs\\");
    EXPECT_EQ(tree.CurrentFolderNode(), Node({"C:", "Docs"}));

    // Listed nodes are not listed again; a node without subfolders is
    // enumerated afresh each time it comes up.
    Click(Node({"C:", "Docs"}));
    EXPECT_EQ(TakeListings(), Strings{});
    Click(Node({"C:", "B"}));
    EXPECT_EQ(TakeListings(), (Strings{"C:\\B\\*.*"}));
    Click(c);
    EXPECT_EQ(TakeListings(), (Strings{"C:\\B\\*.*"}));

    // A folder first reached by a click lists itself and its children.
    Click(Node({"C:", "Docs", "Work", "Deep"}));
    EXPECT_EQ(TakeListings(), (Strings{"C:\\Docs\\Work\\Deep\\*.*"}));
    EXPECT_EQ(tree.NodeCount(), 1 + 3 + 1 + 1 + 1);  // C:, A B Docs, A1, Work, Deep
    EXPECT_EQ(tree.ChildTexts(c), (Strings{"A", "B", "Docs"}));
    EXPECT_EQ(state.folderPath, "C:\\Docs\\Work\\Deep\\");
}

TEST_F(FolderTreeTest, FolderIconsAreAppendedOnceForEachListingThatMeetsThem) {
    fs.AddFile("C:\\Icons\\shared.ico", BuildIcon({IconSpec{32, 32}, IconSpec{16, 16, 8}}));
    AddIconFolder("C:\\P\\Abs", "C:\\Icons\\shared.ico");
    AddIconFolder("C:\\P\\Rel", "Folder.ICO");
    AddIconFolder("C:\\P\\Library", "C:\\Windows\\shell32.dll");
    AddIconFolder("C:\\P\\Missing", "C:\\Icons\\none.ico");
    AddIconFolder("C:\\P\\Again", "C:\\Icons\\shared.ico");
    // Nothing off the local fixed drives is opened: a share, a mapped drive.
    AddIconFolder("C:\\P\\Share", "\\\\server\\share\\x.ico");
    AddIconFolder("C:\\P\\Mapped", "N:\\x.ico");
    fs.AddDrive('N', drive::kRemote);
    fs.AddFile("N:\\x.ico", BuildIcon(IconSpec{16, 16}));
    fs.AddFile("C:\\P\\Rel\\Folder.ICO", BuildIcon(IconSpec{24, 24}));
    const NodeId p = tree.AddChild(tree.AddRoot("C:"), "P");

    ListSubfolders(fs, tree, "C:\\P\\", p);

    auto& images = tree.Images().images;
    ASSERT_EQ(images.size(), 4u);  // folder, drive, Abs and Again, Rel
    EXPECT_EQ(images[0].label, "folder");
    EXPECT_EQ(images[1].label, "drive");
    const IconFile shared = IconFile::FromBytes(fs.Contents("C:\\Icons\\shared.ico"));
    const auto small = shared.EntryBytes(shared.Entries()[1]);
    EXPECT_EQ(images[2].data, std::vector<uint8_t>(small.begin(), small.end()));
    EXPECT_EQ(images[3].width, 24);
    EXPECT_EQ(tree.Image(Node({"C:", "P", "Abs"})), 2);
    EXPECT_EQ(tree.Image(Node({"C:", "P", "Rel"})), 3);
    EXPECT_EQ(tree.Image(Node({"C:", "P", "Library"})), 0);
    EXPECT_EQ(tree.Image(Node({"C:", "P", "Missing"})), 0);
    EXPECT_EQ(tree.Image(Node({"C:", "P", "Again"})), 2);
    EXPECT_EQ(tree.Image(Node({"C:", "P", "Share"})), 0);
    EXPECT_EQ(tree.Image(Node({"C:", "P", "Mapped"})), 0);
    for (const std::string& path : fs.asked) EXPECT_EQ(path.substr(0, 2), "C:") << path;
    // The shared file is read once for the listing, and again by the next.
    EXPECT_EQ(fs.reads["C:\\Icons\\shared.ico"], 1);

    // Listing the same folders again under another node appends again.
    ListSubfolders(fs, tree, "C:\\P", tree.AddRoot("X:"));
    EXPECT_EQ(images.size(), 6u);
    EXPECT_EQ(fs.reads["C:\\Icons\\shared.ico"], 2);
}

TEST_F(FolderTreeTest, AddIconFromFileAppendsOnlyExistingFilesAtTheListSize) {
    fs.AddFile("C:\\i.ico", BuildIcon({IconSpec{16, 16}, IconSpec{48, 48}, IconSpec{32, 32, 4}}));
    test::FakeImageList library(32);
    AddIconFromFile(fs, "C:\\none.ico", library);
    AddIconFromFile(fs, "C:\\A", library);  // a folder is no file
    EXPECT_EQ(library.Count(), 0);
    AddIconFromFile(fs, "C:\\i.ico", library);
    ASSERT_EQ(library.Count(), 1);
    EXPECT_EQ(library.images[0].width, 32);
}

TEST_F(FolderTreeTest, ClickShowsTheFolderIconOrClearsIt) {
    fs.AddFile("C:\\Icons\\two.ico", BuildIcon({IconSpec{16, 16}, IconSpec{32, 32}}));
    AddIconFolder("C:\\Docs", "C:\\Icons\\two.ico");
    AddIconFolder("C:\\B\\Custom", "own.ico");
    fs.AddFile("C:\\B\\Custom\\own.ico", BuildIcon({IconSpec{16, 16}, IconSpec{32, 32}, IconSpec{48, 48}}));
    BuildDriveRoots(fs, tree, state);
    EXPECT_FALSE(state.iconShown);
    EXPECT_FALSE(state.restoreIconEnabled);

    Click(Node({"C:", "Docs"}));
    EXPECT_EQ(state.iconPath, "C:\\Icons\\two.ico");
    EXPECT_TRUE(state.iconShown);
    EXPECT_EQ(state.iconEntries, 2u);
    EXPECT_TRUE(state.restoreIconEnabled);

    Click(Node({"C:", "B", "Custom"}));
    EXPECT_EQ(state.iconPath, "C:\\B\\Custom\\own.ico");
    EXPECT_EQ(state.iconEntries, 3u);

    Click(Node({"C:", "A"}));
    EXPECT_EQ(state.iconPath, "");
    EXPECT_FALSE(state.iconShown);
    EXPECT_FALSE(state.restoreIconEnabled);
}

TEST_F(FolderTreeTest, CorruptIconWhileListingKeepsTheFolderImageAndTheListingGoesOn) {
    fs.AddFile("C:\\bad.ico", std::string("MZ not an icon"));
    fs.AddFile("C:\\good.ico", BuildIcon());
    BuildDriveRoots(fs, tree, state);
    // A folder first listed by a click: its children P, Q and S (bad icons), R.
    fs.AddFolder("C:\\Fresh\\P\\P1");
    AddIconFolder("C:\\Fresh\\Q", "C:\\bad.ico");
    AddIconFolder("C:\\Fresh\\R", "C:\\good.ico");
    AddIconFolder("C:\\Fresh\\S", "C:\\bad.ico");
    const NodeId fresh = tree.AddChild(Node({"C:"}), "Fresh");
    const size_t imagesBefore = tree.Images().images.size();
    state.calls.clear();
    fs.log.clear();

    // One message for the listing, however many folders are bad.
    EXPECT_EQ(ErrorOf([&] { Click(fresh); }), "Icon image is not valid");
    EXPECT_EQ(tree.ChildTexts(fresh), (Strings{"P", "Q", "R", "S"}));
    EXPECT_EQ(tree.Image(Node({"C:", "Fresh", "Q"})), 0);
    EXPECT_EQ(tree.Image(Node({"C:", "Fresh", "S"})), 0);
    ASSERT_EQ(tree.Images().images.size(), imagesBefore + 1);
    EXPECT_EQ(tree.Image(Node({"C:", "Fresh", "R"})), static_cast<int>(imagesBefore));
    // The click went on: every child listed, the folder made current.
    EXPECT_EQ(tree.ChildTexts(Node({"C:", "Fresh", "P"})), (Strings{"P1"}));
    EXPECT_EQ(state.folderPath, "C:\\Fresh\\");
    EXPECT_EQ(tree.CurrentFolderNode(), fresh);
    EXPECT_EQ(tree.updateDepth, 0);
}

TEST_F(FolderTreeTest, CorruptIconInAGrandchildLeavesTheOtherChildrenListed) {
    fs.AddFile("C:\\bad.ico", std::string());
    AddIconFolder("C:\\A\\A1\\Bad", "C:\\bad.ico");
    fs.AddFolder("C:\\A\\A1\\Later");
    fs.AddFolder("C:\\A\\A2\\Sub");
    const NodeId c = tree.AddRoot("C:");
    ListSubfolders(fs, tree, "C:\\", c);
    Click(c);
    ASSERT_EQ(tree.ChildTexts(Node({"C:", "A"})), (Strings{"A1", "A2"}));
    fs.log.clear();

    EXPECT_EQ(ErrorOf([&] { Click(Node({"C:", "A"})); }), "Icon image is not valid");
    EXPECT_EQ(tree.ChildTexts(Node({"C:", "A", "A1"})), (Strings{"A1x", "Bad", "Later"}));
    EXPECT_EQ(tree.ChildTexts(Node({"C:", "A", "A2"})), (Strings{"Sub"}));
    EXPECT_EQ(TakeListings(), (Strings{"C:\\A\\A1\\*.*", "C:\\A\\A2\\*.*"}));
    EXPECT_EQ(state.folderPath, "C:\\A\\");
}

TEST_F(FolderTreeTest, CorruptIconAtStartUpInARootListingCostsNoDrive) {
    fs.AddDrive('E', drive::kFixed);
    fs.AddDrive('F', drive::kFixed);
    fs.AddFile("C:\\bad.ico", std::string("x"));
    AddIconFolder("E:\\Bad", "C:\\bad.ico");
    fs.AddFolder("E:\\Later");
    AddIconFolder("F:\\AlsoBad", "C:\\bad.ico");

    EXPECT_EQ(ErrorOf([&] { BuildDriveRoots(fs, tree, state); }), "Icon image is not valid");
    EXPECT_EQ(tree.RootTexts(), (Strings{"C:", "E:", "F:"}));
    EXPECT_EQ(tree.ChildTexts(Node({"E:"})), (Strings{"Bad", "Later"}));
    EXPECT_EQ(tree.ChildTexts(Node({"F:"})), (Strings{"AlsoBad"}));
    // The first drive is still selected and read as a click.
    EXPECT_EQ(tree.Selected(), Node({"C:"}));
    EXPECT_EQ(state.folderPath, "C:\\");
    EXPECT_EQ(tree.CurrentFolderNode(), Node({"C:"}));
    EXPECT_EQ(tree.updateDepth, 0);
}

TEST_F(FolderTreeTest, CorruptIconAtStartUpInTheFirstClick) {
    fs.AddDrive('E', drive::kFixed);
    fs.AddFolder("E:\\Music");
    fs.AddFile("C:\\bad.ico", std::string("x"));
    AddIconFolder("C:\\B\\Bad", "C:\\bad.ico");

    EXPECT_EQ(ErrorOf([&] { BuildDriveRoots(fs, tree, state); }), "Icon image is not valid");
    EXPECT_EQ(tree.RootTexts(), (Strings{"C:", "E:"}));
    EXPECT_EQ(tree.ChildTexts(Node({"E:"})), (Strings{"Music"}));
    EXPECT_EQ(tree.ChildTexts(Node({"C:", "B"})), (Strings{"Bad"}));
    EXPECT_EQ(tree.Selected(), Node({"C:"}));
    EXPECT_EQ(state.folderPath, "C:\\");
}

TEST_F(FolderTreeTest, CorruptIconOfTheClickedFolderKeepsTheFormerIcon) {
    fs.AddFile("C:\\good.ico", BuildIcon());
    fs.AddFile("C:\\bad.ico", std::string("x"));
    fs.AddFile("C:\\desktop.ini", IconIni("C:\\good.ico"));
    const NodeId c = tree.AddRoot("C:");
    Click(c);
    ASSERT_EQ(state.iconPath, "C:\\good.ico");
    // Docs names the bad icon only after it was listed.
    fs.AddFile("C:\\Docs\\desktop.ini",
               IconIni("C:\\bad.ico") + "[{BE098140-A513-11D0-A3A4-00C04FD706EC}]\r\nIconArea_Text=0x000000FF\r\n");

    EXPECT_EQ(ErrorOf([&] { Click(Node({"C:", "Docs"})); }), "Icon image is not valid");
    EXPECT_EQ(state.folderPath, "C:\\Docs\\");
    EXPECT_EQ(state.textColor, 0x0000FFu);
    EXPECT_EQ(state.iconPath, "C:\\good.ico");
    EXPECT_TRUE(state.iconShown);
    EXPECT_FALSE(state.restoreIconEnabled);
}

// An icon file that disappears between the lookup and the load appends
// nothing; the folder must not take over the last image of the list.
TEST_F(FolderTreeTest, IconThatVanishesBeforeLoadingLeavesTheFolderImage) {
    class VanishingIcon : public test::FakePlatform {
    public:
        bool FileExists(const std::string& path) override {
            if (path == "C:\\v.ico" && ++asked > 1) return false;
            return FakePlatform::FileExists(path);
        }
        int asked = 0;
    } disk;
    disk.AddDrive('C', drive::kFixed);
    disk.AddFile("C:\\v.ico", BuildIcon());
    disk.AddFolder("C:\\F");
    disk.AddFile("C:\\F\\desktop.ini", IconIni("C:\\v.ico"));
    const NodeId c = tree.AddRoot("C:");
    ListSubfolders(disk, tree, "C:\\", c);
    ASSERT_EQ(disk.asked, 2);
    EXPECT_EQ(tree.Images().Count(), 2);
    EXPECT_EQ(tree.Image(tree.Find({"C:", "F"})), 0);
}

}  // namespace
}  // namespace quorvane
