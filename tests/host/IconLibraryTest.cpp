// The icon library scan and pick: rows and images stay in line.
#include <gtest/gtest.h>

#include "navigation/IconLibrary.h"
#include "navigation/LibraryLoading.h"
#include "platform/Errors.h"
#include "tests/host/FakeFolderEditState.h"
#include "tests/host/FakeFolderTree.h"
#include "tests/host/FakePlatform.h"
#include "tests/host/IconBuilder.h"

namespace quorvane {
namespace {

using test::BuildIcon;
using test::FakeFolderEditState;
using test::FakeImageList;
using test::FakePlatform;
using test::IconSpec;

class FakeIconGrid : public IconGrid {
public:
    std::vector<std::string> rows{""};
    int RowCount() const override { return static_cast<int>(rows.size()); }
    void SetRowCount(int count) override { rows.resize(static_cast<size_t>(std::max(count, 1))); }
    std::string CellText(int row) const override { return rows.at(static_cast<size_t>(row)); }
    void SetCellText(int row, const std::string& text) override { rows.at(static_cast<size_t>(row)) = text; }
    void SetRows(std::vector<std::string> texts) override {
        rows = texts.empty() ? std::vector<std::string>{""} : std::move(texts);
    }
};

class IconLibrary : public ::testing::Test {
protected:
    void Icon(const std::string& name, uint32_t rgb, uint32_t attributes = attr::kArchive) {
        fs.AddFile(kLib + ("\\" + name), BuildIcon(IconSpec{32, 32, 32, false, rgb}), attributes);
    }
    void Scan() { ScanIconLibrary(fs, grid, images, kLib); }
    // The colour of the icon an image was made from, by its data.
    static constexpr char kLib[] = "D:\\Tools\\Icons";
    FakePlatform fs;
    FakeIconGrid grid;
    FakeImageList images{32};
};

TEST_F(IconLibrary, ListsOnlyIconFilesInThePlatformsOrderHiddenOnesToo) {
    Icon("a.ico", 0xFF0000);
    fs.AddFile("D:\\Tools\\Icons\\notes.txt", "text");
    Icon("B.ICO", 0x00FF00, attr::kHidden | attr::kSystem);
    fs.AddFile("D:\\Tools\\Icons\\sea.ico.bak", "x");
    // The names alone first: no picture yet.
    EXPECT_EQ(ListIconLibrary(fs, grid, kLib), 2);
    EXPECT_EQ(grid.rows, (std::vector<std::string>{"D:\\Tools\\Icons\\a.ico", "D:\\Tools\\Icons\\B.ICO"}));
    EXPECT_EQ(images.Count(), 0);
    grid.rows = {""};
    Scan();
    EXPECT_EQ(grid.rows, (std::vector<std::string>{"D:\\Tools\\Icons\\a.ico", "D:\\Tools\\Icons\\B.ICO"}));
    ASSERT_EQ(images.Count(), 2);
    EXPECT_EQ(images.images[0].data, test::IconEntryBytes(IconSpec{32, 32, 32, false, 0xFF0000}));
    EXPECT_EQ(images.images[1].data, test::IconEntryBytes(IconSpec{32, 32, 32, false, 0x00FF00}));
}

TEST_F(IconLibrary, EmptyLibraryKeepsOneEmptyRow) {
    fs.AddFolder(kLib);
    fs.AddFile("D:\\Tools\\Icons\\readme.txt", "x");
    Scan();
    EXPECT_EQ(grid.rows, std::vector<std::string>{""});
    EXPECT_EQ(images.Count(), 0);
    FakeFolderEditState state;
    sgIconsSelectCell(fs, grid, state, 0);
    EXPECT_TRUE(state.calls.empty());
}

TEST_F(IconLibrary, TrailingSeparatorMakesNoDifference) {
    Icon("a.ico", 0xFF0000);
    ScanIconLibrary(fs, grid, images, std::string(kLib) + "\\");
    EXPECT_EQ(grid.rows, std::vector<std::string>{"D:\\Tools\\Icons\\a.ico"});
}

TEST_F(IconLibrary, CorruptIconsGetBlankCellsAndTheScanGoesOn) {
    Icon("1.ico", 0xFF0000);
    Icon("2.ico", 0x00FF00);
    fs.AddFile("D:\\Tools\\Icons\\3.ico", "garbage");
    Icon("4.ico", 0x0000FF);
    fs.AddFile("D:\\Tools\\Icons\\5.ico", "");
    try {
        Scan();
        FAIL() << "no error";
    } catch (const EInvalidGraphic& e) {
        EXPECT_STREQ(e.what(), "Icon image is not valid");
    }
    EXPECT_EQ(grid.rows, (std::vector<std::string>{"D:\\Tools\\Icons\\1.ico", "D:\\Tools\\Icons\\2.ico",
                                                   "D:\\Tools\\Icons\\3.ico", "D:\\Tools\\Icons\\4.ico",
                                                   "D:\\Tools\\Icons\\5.ico"}));
    // Row k and image k stay the same file's: the bad ones are blank.
    ASSERT_EQ(images.Count(), 5);
    EXPECT_TRUE(images.images[2].data.empty());
    EXPECT_EQ(images.images[3].data, test::IconEntryBytes(IconSpec{32, 32, 32, false, 0x0000FF}));
    EXPECT_TRUE(images.images[4].data.empty());
}

TEST_F(IconLibrary, FolderNamedLikeAnIconIsLeftOutSoRowsStayInLine) {
    Icon("a.ico", 0xFF0000);
    fs.AddFolder("D:\\Tools\\Icons\\sub.ico");
    Icon("b.ico", 0x00FF00);
    Scan();
    EXPECT_EQ(grid.rows, (std::vector<std::string>{"D:\\Tools\\Icons\\a.ico", "D:\\Tools\\Icons\\b.ico"}));
    ASSERT_EQ(images.Count(), 2);
    EXPECT_EQ(images.images[1].data, test::IconEntryBytes(IconSpec{32, 32, 32, false, 0x00FF00}));
}

TEST_F(IconLibrary, PickSetsThePathThenThePreviewAndLeavesTheRestoreButton) {
    Icon("a.ico", 0xFF0000);
    Icon("b.ico", 0x00FF00);
    Scan();
    FakeFolderEditState state;
    state.restoreIconEnabled = true;
    sgIconsSelectCell(fs, grid, state, 1);
    EXPECT_EQ(state.iconPath, "D:\\Tools\\Icons\\b.ico");
    EXPECT_TRUE(state.iconShown);
    EXPECT_TRUE(state.restoreIconEnabled);
    EXPECT_EQ(state.calls.count("SetRestoreIconEnabled"), 0u);
    // Picking the same row again picks it again.
    state.iconPath = "C:\\other.ico";
    sgIconsSelectCell(fs, grid, state, 1);
    EXPECT_EQ(state.iconPath, "D:\\Tools\\Icons\\b.ico");
    EXPECT_EQ(state.calls["SetIconPicture"], 2);
}

TEST_F(IconLibrary, FailingPickNamesThePathButKeepsThePreview) {
    Icon("a.ico", 0xFF0000);
    Scan();
    fs.RemoveFile("D:\\Tools\\Icons\\a.ico");
    FakeFolderEditState state;
    EXPECT_THROW(sgIconsSelectCell(fs, grid, state, 0), EFOpenError);
    EXPECT_EQ(state.iconPath, "D:\\Tools\\Icons\\a.ico");
    EXPECT_EQ(state.calls.count("SetIconPicture"), 0u);
}

// The pictures after the names: the rows on screen, a row scrolled into
// view, then the rest in order in steps within their budget, and one
// message for the library at the first bad row the pass comes to.
TEST(LibraryLoadingOrder, ScreenFirstThenThePassInBoundedSteps) {
    LibraryLoading::Microseconds now = 0;
    std::vector<int> loaded;
    const auto load = [&](int row) {
        loaded.push_back(row);
        now += row == 7 ? 4000 : 1000;  // one slow file
        if (row == 3 || row == 20) throw EInvalidGraphic("Icon image is not valid");
    };
    LibraryLoading loading(30, load, [&] { return now; }, 10000);

    loading.LoadNow(0, 5);  // before the first paint, bad row 3 among them
    loading.LoadNow(3, 4);  // drawn again: tried already
    EXPECT_EQ(loaded, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_THROW(loading.Advance(), EInvalidGraphic);
    loading.LoadNow(25, 28);  // scrolled into view before its turn
    EXPECT_TRUE(loading.Tried(27));
    EXPECT_FALSE(loading.Tried(5));

    std::vector<LibraryLoading::Microseconds> steps;
    for (bool more = true; more;) {
        const LibraryLoading::Microseconds start = now;
        more = loading.Step();  // row 20 fails too: never raised
        steps.push_back(now - start);
    }
    std::vector<int> expected{0, 1, 2, 3, 4, 25, 26, 27};
    for (int row = 5; row < 30; ++row)
        if (row < 25 || row > 27) expected.push_back(row);
    EXPECT_EQ(loaded, expected);
    // Rows 5 to 8 in the first step: another 4 ms file would overrun it.
    EXPECT_EQ(steps.front(), 7000);
    for (LibraryLoading::Microseconds spent : steps) EXPECT_LE(spent, 10000);
    EXPECT_TRUE(loading.Done());
    EXPECT_FALSE(loading.Step());
    EXPECT_EQ(loaded.size(), 30u);
}

}  // namespace
}  // namespace quorvane
