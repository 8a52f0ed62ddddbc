// Every handler of the window wired to its control and doing its part:
// clicks on the real buttons, the tree and the icon column, with dialogs
// answering from a script, against real files in a temporary folder.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>

#include "folder_settings/Bitmap.h"
#include "folder_settings/Jpeg.h"
#include "folder_settings/SettingsFile.h"
#include "folder_settings/UiTexts.h"
#include "platform/ProfileFile.h"
#include "platform/win32/Handle.h"
#include "platform/win32/WinText.h"
#include "tests/gui/GuiSupport.h"
#include "tests/host/IconBuilder.h"
#include "ui/Unit_About.h"

namespace quorvane::test {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);

std::string Ini(const std::string& folder, const char* section, const char* key) {
    win::Win32Platform platform;
    return ProfileFile(platform, folder + "desktop.ini").ReadValue(section, key, "<none>");
}

class Handlers : public MainWindowTest {
protected:
    std::string MakeIcon(const std::string& name, uint32_t rgb = 0x00FF00) {
        const std::string path = temp / name;
        WriteBytes(path, BuildIcon(IconSpec{32, 32, 32, false, rgb}));
        return path;
    }
    std::string MakeBmp(const std::string& name, int width, int height, uint32_t rgb) {
        const std::string path = temp / name;
        WriteBytes(path, SolidBmp(width, height, rgb));
        return path;
    }
    // A pixel of the control as it is painted on the screen now.
    static COLORREF PaintedPixel(HWND control, int x, int y) {
        RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        const win::WindowDc dc(control);
        return GetPixel(dc.get(), x, y);
    }
};

// --- the picture ------------------------------------------------------------

TEST_F(Handlers, PictureButtonLoadsTheChosenFileIntoThePreview) {
    CreateShown();
    SetClientSize(508, 408);
    const std::string bmp = MakeBmp("scan.bmp", 50, 40, 0xFF0000);
    form->SetRestoreImageEnabled(false);
    dialogs.openAnswers = {bmp};
    Click(form->btnBrowseImage);

    ASSERT_EQ(dialogs.openCalls.size(), 1u);
    EXPECT_EQ(dialogs.openCalls[0].filter, "All (*.jpg;*.jpeg;*.bmp)|*.jpg;*.jpeg;*.bmp;");
    EXPECT_TRUE(dialogs.openCalls[0].picturePreview);
    EXPECT_EQ(dialogs.openCalls[0].startName, "");
    EXPECT_TRUE(dialogs.errors.empty());
    ASSERT_NE(form->Picture(), nullptr);
    EXPECT_EQ(form->Picture()->Width(), 50);
    EXPECT_EQ(form->PicturePath(), bmp);
    EXPECT_EQ(form->PictureHint(), bmp);
    EXPECT_TRUE(form->RestoreImageEnabled());
    // Smaller than the box: its own size, centred.
    EXPECT_EQ(form->Image.PictureRect(), (LayoutRect{57, 31, 50, 40}));

    // The picture is on the screen.
    EXPECT_EQ(PaintedPixel(form->Image.hwnd(), 57 + 25, 31 + 20), kRed);
    EXPECT_EQ(PaintedPixel(form->Image.hwnd(), 2, 2), GetSysColor(COLOR_BTNFACE));

    // Another picture replaces the one painted before, on the screen too.
    const std::string narrow = MakeBmp("narrow.bmp", 10, 40, 0x00FF00);
    dialogs.openAnswers = {narrow};
    Click(form->btnBrowseImage);
    EXPECT_EQ(form->Image.PictureRect(), (LayoutRect{77, 31, 10, 40}));
    EXPECT_EQ(PaintedPixel(form->Image.hwnd(), 77 + 5, 31 + 20), kGreen);
    EXPECT_EQ(PaintedPixel(form->Image.hwnd(), 57 + 5, 31 + 20), GetSysColor(COLOR_BTNFACE));
    ASSERT_EQ(dialogs.openCalls.size(), 2u);
    EXPECT_EQ(dialogs.openCalls[1].startName, bmp);

    // The dialog offers the last file the next time; cancelling changes nothing.
    dialogs.openAnswers = {std::nullopt};
    Click(form->btnBrowseImage);
    EXPECT_EQ(dialogs.openCalls[2].startName, narrow);
    EXPECT_EQ(form->PicturePath(), narrow);
    EXPECT_NE(form->Picture(), nullptr);
}

TEST_F(Handlers, ALargePictureIsScaledDownToTheBox) {
    CreateShown();
    SetClientSize(508, 408);
    const std::string tall = MakeBmp("tall.bmp", 100, 300, 0x0000FF);
    dialogs.openAnswers = {tall};
    Click(form->btnBrowseImage);
    EXPECT_EQ(form->Image.PictureRect(), (LayoutRect{65, 0, 34, 103}));
    EXPECT_EQ(PaintedPixel(form->Image.hwnd(), 70, 50), RGB(0, 0, 255));
    // In a bigger box it fits at its own size, and is painted there.
    SetClientSize(708, 608);
    EXPECT_EQ(form->Image.PictureRect(), (LayoutRect{132, 1, 100, 300}));
    EXPECT_EQ(PaintedPixel(form->Image.hwnd(), 70, 50), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(PaintedPixel(form->Image.hwnd(), 180, 200), RGB(0, 0, 255));
}

TEST_F(Handlers, AJpegPictureIsHeldAsJpegAndDrawn) {
    CreateShown();
    SetClientSize(508, 408);
    // A JPEG made the way the program makes one: from a bitmap, encoded.
    const std::string bmp = MakeBmp("source.bmp", 40, 30, 0x0000FF);
    TBitmap bitmap;
    bitmap.LoadFromFile(platform, bmp);
    TJPEGImage jpeg;
    jpeg.Assign(bitmap);
    const std::string path = temp / "photo.jpg";
    jpeg.SaveToFile(platform, path);

    dialogs.openAnswers = {path};
    Click(form->btnBrowseImage);
    ASSERT_NE(form->Picture(), nullptr);
    EXPECT_FALSE(form->Picture()->Data().empty());
    EXPECT_EQ(form->Image.PictureRect(), (LayoutRect{62, 36, 40, 30}));
    RedrawWindow(form->Image.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const HDC dc = GetDC(form->Image.hwnd());
    const COLORREF middle = GetPixel(dc, 62 + 20, 36 + 15);
    ReleaseDC(form->Image.hwnd(), dc);
    EXPECT_LT(GetRValue(middle), 30);
    EXPECT_LT(GetGValue(middle), 30);
    EXPECT_GT(GetBValue(middle), 220);
}

TEST_F(Handlers, APictureThatFailsToLoadShowsTheErrorAndChangesNothing) {
    Create();
    const std::string good = MakeBmp("good.bmp", 20, 20, 0x00FF00);
    dialogs.openAnswers = {good, temp / "missing.jpg"};
    Click(form->btnBrowseImage);
    Click(form->btnBrowseImage);
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_EQ(dialogs.errors[0].caption, "quorvane");
    EXPECT_EQ(dialogs.errors[0].text.rfind("Cannot open file \"" + temp / "missing.jpg" + "\". ", 0), 0u)
        << dialogs.errors[0].text;
    EXPECT_EQ(dialogs.errors[0].text.back(), '.');
    EXPECT_EQ(form->PicturePath(), good);
    EXPECT_EQ(form->Picture()->Width(), 20);
}

// --- the colours -------------------------------------------------------------

TEST_F(Handlers, ColourButtonsShareOneDialogThatStartsFromTheLastChoice) {
    Create();
    // A folder whose text colour is red does not start the dialog at red.
    form->SetTextColor(kRed);
    dialogs.colorAnswers = {kGreen, std::nullopt, RGB(1, 2, 3)};

    Click(form->btnBrowseTextColor);
    ASSERT_EQ(dialogs.colorStarts.size(), 1u);
    EXPECT_EQ(dialogs.colorStarts[0], RGB(0, 0, 0));
    EXPECT_EQ(form->TextColor(), kGreen);

    // The other button starts from the colour just chosen; cancel changes nothing.
    Click(form->btnBrowseBckGrColor);
    EXPECT_EQ(dialogs.colorStarts[1], kGreen);
    EXPECT_EQ(form->TextBackgroundColor(), 0x80000000u | COLOR_WINDOWTEXT);
    // The custom colours chosen in the first run are kept.
    EXPECT_EQ(dialogs.customStarts[1][0], kGreen);

    Click(form->btnBrowseBckGrColor);
    EXPECT_EQ(dialogs.colorStarts[2], kGreen);
    EXPECT_EQ(form->TextBackgroundColor(), RGB(1, 2, 3));
    EXPECT_EQ(form->TextColor(), kGreen);
    EXPECT_EQ(form->ColorDialogState().Color(), RGB(1, 2, 3));
}

TEST_F(Handlers, ColourLabelsDrawTheirCaptionsInTheirColours) {
    Create();
    form->SetTextColor(kRed);
    form->SetTextBackgroundColor(kGreen);
    const HDC dc = CreateCompatibleDC(nullptr);
    // The labels ask their group box, which asks the window.
    SendMessageW(form->GroupBox4, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(form->lblTextColor));
    EXPECT_EQ(GetTextColor(dc), kRed);
    SendMessageW(form->GroupBox4, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(form->lblBckGrColor));
    EXPECT_EQ(GetTextColor(dc), kGreen);
    // A system colour reference shows that colour's current value.
    form->SetTextColor(0x80000000u | COLOR_WINDOWTEXT);
    SendMessageW(form->GroupBox4, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(form->lblTextColor));
    EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_WINDOWTEXT));
    DeleteDC(dc);
}

// --- the icon ------------------------------------------------------------------

TEST_F(Handlers, IconButtonLoadsAnIconAndOnlyThenSetsThePath) {
    Create();
    const std::string icon = MakeIcon("a.ico");
    form->SetRestoreIconEnabled(false);
    dialogs.openAnswers = {icon};
    Click(form->btnBrowseIcon);
    ASSERT_EQ(dialogs.openCalls.size(), 1u);
    EXPECT_EQ(dialogs.openCalls[0].filter, "Icons (*.ico)|*.ico");
    EXPECT_TRUE(dialogs.openCalls[0].picturePreview);
    EXPECT_TRUE(dialogs.errors.empty());
    ASSERT_NE(form->imgIcon.Picture(), nullptr);
    EXPECT_NE(dynamic_cast<win::IconGraphic*>(form->imgIcon.Picture()), nullptr);
    EXPECT_EQ(form->imgIcon.Picture()->Width(), GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(form->IconPath(), icon);
    // The restore button is not the icon button's business.
    EXPECT_FALSE(form->RestoreIconEnabled());
    // A 32 x 32 icon is centred in the 64 x 64 box.
    EXPECT_EQ(form->imgIcon.PictureRect(), (LayoutRect{16, 16, 32, 32}));

    dialogs.openAnswers = {std::nullopt};
    Click(form->btnBrowseIcon);
    EXPECT_EQ(dialogs.openCalls[1].startName, icon);
    EXPECT_EQ(form->IconPath(), icon);
}

TEST_F(Handlers, IconButtonTakesThePictureKindFromTheExtensionInAnyCase) {
    Create();
    const std::string upper = MakeIcon("B.ICO");
    const std::string bmp = MakeBmp("Picture.BmP", 80, 20, 0xFF0000);
    dialogs.openAnswers = {upper, bmp};
    Click(form->btnBrowseIcon);
    EXPECT_NE(dynamic_cast<win::IconGraphic*>(form->imgIcon.Picture()), nullptr);
    EXPECT_EQ(form->IconPath(), upper);
    Click(form->btnBrowseIcon);
    ASSERT_NE(dynamic_cast<win::BitmapGraphic*>(form->imgIcon.Picture()), nullptr);
    EXPECT_EQ(form->imgIcon.PictureRect(), (LayoutRect{0, 24, 64, 16}));
    EXPECT_EQ(form->IconPath(), bmp);
    EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(Handlers, IconButtonLoadsMetafiles) {
    Create();
    const std::string emf = temp / "drawing.emf";
    {
        // 20 x 10 mm at 96 dots per inch: 76 x 38 pixels.
        const RECT frame{0, 0, 2000, 1000};
        const HDC dc = CreateEnhMetaFileW(nullptr, win::Wide(emf).c_str(), &frame, nullptr);
        ASSERT_NE(dc, nullptr);
        Rectangle(dc, 0, 0, 50, 25);
        DeleteEnhMetaFile(CloseEnhMetaFile(dc));
    }
    dialogs.openAnswers = {emf};
    Click(form->btnBrowseIcon);
    EXPECT_TRUE(dialogs.errors.empty()) << (dialogs.errors.empty() ? "" : dialogs.errors[0].text);
    ASSERT_NE(dynamic_cast<win::MetafileGraphic*>(form->imgIcon.Picture()), nullptr);
    EXPECT_NEAR(form->imgIcon.Picture()->Width(), 76, 1);
    EXPECT_EQ(form->IconPath(), emf);

    // A Windows metafile without its placeable header is not a picture.
    const std::string wmf = MakeBmp("plain.wmf", 4, 4, 0);
    dialogs.openAnswers = {wmf};
    Click(form->btnBrowseIcon);
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_EQ(dialogs.errors[0].text, "Metafile is not valid.");
    EXPECT_EQ(form->IconPath(), emf);
}

TEST_F(Handlers, AFailedIconLoadLeavesTheFormerIconAndPath) {
    Create();
    const std::string icon = MakeIcon("good.ico");
    const std::string text = temp / "notes.txt";
    WriteText(text, "hello");
    const std::string corrupt = temp / "bad.ico";
    WriteText(corrupt, "not an icon at all");
    const std::string bare = temp / "iconfile";
    WriteText(bare, "x");
    dialogs.openAnswers = {icon, text, corrupt, bare, temp / "gone.ico"};
    Click(form->btnBrowseIcon);
    win::Graphic* const before = form->imgIcon.Picture();
    ASSERT_NE(before, nullptr);

    for (int i = 0; i < 4; ++i) {
        Click(form->btnBrowseIcon);
        EXPECT_EQ(form->imgIcon.Picture(), before);
        EXPECT_EQ(form->IconPath(), icon);
    }
    ASSERT_EQ(dialogs.errors.size(), 4u);
    // Ends in ")": no full stop is added.
    EXPECT_EQ(dialogs.errors[0].text, "Unknown picture file extension (.txt)");
    EXPECT_EQ(dialogs.errors[1].text, "Icon image is not valid.");
    EXPECT_EQ(dialogs.errors[2].text, "Unknown picture file extension (.)");
    EXPECT_EQ(dialogs.errors[3].text.rfind("Cannot open file \"" + temp / "gone.ico" + "\". ", 0), 0u);
    for (const auto& error : dialogs.errors) EXPECT_EQ(error.caption, "quorvane");
}

// --- apply, restore, exit -------------------------------------------------------

TEST_F(Handlers, ApplyAndRestoreButtonsWithoutAFolderSaySo) {
    Create();
    for (HWND button : {form->btnApply, form->btnRestoreImage, form->btnRestoreTextColor,
                        form->btnRestoreBckGrColor, form->btnRestoreIcon}) {
        dialogs.informations.clear();
        Click(button);
        ASSERT_EQ(dialogs.informations.size(), 1u) << Text(button);
        EXPECT_EQ(dialogs.informations[0].caption, "quorvane");
        EXPECT_EQ(dialogs.informations[0].text, text::kNoFolderSelected);
    }
    EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(Handlers, EachRestoreButtonRemovesItsOwnSetting) {
    Create();
    const std::string folder = temp.path();
    WriteText(folder + "desktop.ini",
              "[{BE098140-A513-11D0-A3A4-00C04FD706EC}]\r\n"
              "iconarea_image=C:\\pic.jpg\r\n"
              "IconArea_Text=0x000000FF\r\n"
              "IconArea_TextBackground=0x0000FF00\r\n"
              "[.ShellClassInfo]\r\n"
              "IconFile=C:\\a.ico\r\n"
              "IconIndex=0\r\n");
    form->SetFolderPath(folder);
    const char* area = settings::kIconAreaSection;

    Click(form->btnRestoreTextColor);
    EXPECT_EQ(Ini(folder, area, settings::kTextColorKey), "<none>");
    EXPECT_EQ(Ini(folder, area, settings::kTextBackgroundKey), "0x0000FF00");
    EXPECT_EQ(form->TextColor(), kBlack);

    Click(form->btnRestoreBckGrColor);
    EXPECT_EQ(Ini(folder, area, settings::kTextBackgroundKey), "<none>");
    EXPECT_EQ(Ini(folder, area, settings::kPictureKey), "C:\\pic.jpg");
    EXPECT_EQ(form->TextBackgroundColor(), kWhite);

    Click(form->btnRestoreImage);
    EXPECT_EQ(Ini(folder, area, settings::kPictureKey), "<none>");
    EXPECT_EQ(Ini(folder, settings::kClassInfoSection, settings::kIconFileKey), "C:\\a.ico");
    EXPECT_FALSE(form->RestoreImageEnabled());

    Click(form->btnRestoreIcon);
    EXPECT_EQ(Ini(folder, settings::kClassInfoSection, settings::kIconFileKey), "<none>");
    EXPECT_FALSE(form->RestoreIconEnabled());
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_TRUE(dialogs.informations.empty());
}

TEST_F(Handlers, ApplyWritesTheEditedStateIntoTheFolder) {
    Create();
    form->SetFolderPath(temp.path());
    dialogs.colorAnswers = {kRed};
    Click(form->btnBrowseTextColor);
    // Nothing is written before "Применить".
    EXPECT_EQ(Ini(temp.path(), settings::kIconAreaSection, settings::kTextColorKey), "<none>");
    Click(form->btnApply);
    EXPECT_TRUE(dialogs.errors.empty()) << (dialogs.errors.empty() ? "" : dialogs.errors[0].text);
    EXPECT_EQ(Ini(temp.path(), settings::kIconAreaSection, settings::kTextColorKey), "0x000000FF");
}

TEST_F(Handlers, ExitClosesTheWindowWithoutWriting) {
    CreateShown();
    form->SetFolderPath(temp.path());
    dialogs.colorAnswers = {kRed};
    Click(form->btnBrowseTextColor);
    const HWND window = form->hwnd();
    Click(form->btnExit);
    EXPECT_TRUE(PumpUntil([window] { return !IsWindow(window); }));
    EXPECT_FALSE(platform.FileExists(temp / "desktop.ini"));
}

// --- the tree ------------------------------------------------------------------

TEST_F(Handlers, AClickInTheTreeMakesTheClickedFolderCurrent) {
    CreateShown();
    SetClientSize(508, 408);
    MakeFolder(temp / "Photos");
    MakeFolder(temp / "Photos\\2006");
    WriteText(temp / "Photos\\desktop.ini",
              "[{BE098140-A513-11D0-A3A4-00C04FD706EC}]\r\nIconArea_Text=0x000000FF\r\n");
    std::string rootText = temp.path();
    rootText.pop_back();
    FolderTree& tree = form->Tree();
    const NodeId root = tree.AddRoot(rootText);
    const NodeId photos = tree.AddChild(root, "Photos");
    TreeView_Expand(form->TreeView, win::FolderTreeView::Item(root), TVE_EXPAND);
    Pump(form.get());

    RECT item{};
    ASSERT_TRUE(TreeView_GetItemRect(form->TreeView, win::FolderTreeView::Item(photos), &item, TRUE));
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    // The tree waits for the release before it reports the click.
    PostMessageW(form->TreeView, WM_LBUTTONUP, 0, at);
    SendMessageW(form->TreeView, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ASSERT_TRUE(PumpUntil([this] { return !form->FolderPath().empty(); }, form.get()));

    EXPECT_EQ(form->FolderPath(), temp / "Photos\\");
    EXPECT_EQ(form->Hint(form->lblDir), temp / "Photos\\");
    EXPECT_EQ(form->TextColor(), kRed);
    EXPECT_EQ(tree.Text(tree.FirstChild(photos)), "2006");
    EXPECT_TRUE(dialogs.errors.empty());
}

// --- apply and restore on folders reached through the tree ----------------------

// A root for the temporary folder showing the drive image, as the roots of
// the drives do, with two subfolders; folders are made current by real
// clicks on their nodes.
class ApplyThroughTheTree : public Handlers {
protected:
    void SetUp() override {
        CreateShown();
        SetClientSize(508, 408);
        MakeFolder(temp / "Photos");
        MakeFolder(temp / "Music");
        std::string rootText = temp.path();
        rootText.pop_back();
        FolderTree& tree = form->Tree();
        root = tree.AddRoot(rootText);
        tree.SetImage(root, 1);
        photos = tree.AddChild(root, "Photos");
        music = tree.AddChild(root, "Music");
        TreeView_Expand(form->TreeView, win::FolderTreeView::Item(root), TVE_EXPAND);
        Pump(form.get());
    }

    void ClickNode(NodeId node, const std::string& expectedFolder) {
        RECT item{};
        ASSERT_TRUE(TreeView_GetItemRect(form->TreeView, win::FolderTreeView::Item(node), &item, TRUE));
        const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
        // The tree waits for the release before it reports the click.
        PostMessageW(form->TreeView, WM_LBUTTONUP, 0, at);
        SendMessageW(form->TreeView, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ASSERT_TRUE(PumpUntil([&] { return form->FolderPath() == expectedFolder; }, form.get()))
            << form->FolderPath();
        ASSERT_EQ(form->Tree().Selected(), node);
    }

    // The image and the selected image the control shows for a node.
    std::pair<int, int> NodeImages(NodeId node) const {
        TVITEMW item{};
        item.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        item.hItem = win::FolderTreeView::Item(node);
        SendMessageW(form->TreeView, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return {item.iImage, item.iSelectedImage};
    }
    static std::pair<int, int> Both(int index) { return {index, index}; }

    // The middle pixel of an image of the tree's list, drawn on white.
    COLORREF ImageMiddle(int index) const {
        const HDC screen = GetDC(nullptr);
        const HDC dc = CreateCompatibleDC(screen);
        const win::UniqueBitmap bitmap(CreateCompatibleBitmap(screen, 16, 16));
        ReleaseDC(nullptr, screen);
        const HGDIOBJ old = SelectObject(dc, bitmap.get());
        const RECT all{0, 0, 16, 16};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        ImageList_Draw(form->TreeImageList->Handle(), index, dc, 0, 0, ILD_NORMAL);
        const COLORREF middle = GetPixel(dc, 8, 8);
        SelectObject(dc, old);
        DeleteDC(dc);
        return middle;
    }

    int ImageCount() const { return form->TreeImageList->Count(); }

    void ChooseIcon(const std::string& path) {
        dialogs.openAnswers.push_back(path);
        Click(form->btnBrowseIcon);
        ASSERT_EQ(form->IconPath(), path);
    }

    NodeId root = kNoNode;
    NodeId photos = kNoNode;
    NodeId music = kNoNode;
};

TEST_F(ApplyThroughTheTree, AnAppliedIconGoesToTheClickedFoldersNodeEvenAfterAKeyboardMove) {
    ClickNode(photos, temp / "Photos\\");
    const int before = ImageCount();
    ASSERT_EQ(before, 2);
    const std::string green = MakeIcon("green.ico", 0x00FF00);
    ChooseIcon(green);
    // Choosing changes only the window: the tree waits for "Применить".
    EXPECT_EQ(ImageCount(), before);
    EXPECT_EQ(NodeImages(photos), Both(0));

    Click(form->btnApply);
    ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors[0].text;
    EXPECT_EQ(ImageCount(), before + 1);
    EXPECT_EQ(NodeImages(photos), Both(ImageCount() - 1));
    EXPECT_EQ(ImageMiddle(ImageCount() - 1), kGreen);
    EXPECT_EQ(NodeImages(music), Both(0));
    EXPECT_EQ(NodeImages(root), Both(1));
    EXPECT_EQ(Ini(temp / "Photos\\", settings::kClassInfoSection, settings::kIconFileKey), green);

    // The arrow key selects the next folder but reads nothing: "Применить"
    // still writes the clicked folder, and its node shows the icon.
    SendMessageW(form->TreeView, WM_KEYDOWN, VK_DOWN, 0);
    Pump(form.get());
    ASSERT_EQ(form->Tree().Selected(), music);
    ASSERT_EQ(form->FolderPath(), temp / "Photos\\");
    const std::string red = MakeIcon("red.ico", 0xFF0000);
    ChooseIcon(red);
    Click(form->btnApply);
    ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors[0].text;
    EXPECT_EQ(ImageCount(), before + 2);
    EXPECT_EQ(NodeImages(photos), Both(before + 1));
    EXPECT_EQ(ImageMiddle(before + 1), kRed);
    EXPECT_EQ(NodeImages(music), Both(0));
    EXPECT_EQ(Ini(temp / "Photos\\", settings::kClassInfoSection, settings::kIconFileKey), red);
    EXPECT_FALSE(platform.FileExists(temp / "Music\\desktop.ini"));

    // Restoring, too, goes to the clicked folder's node, and the list keeps
    // every image it was given.
    Click(form->btnRestoreIcon);
    EXPECT_EQ(NodeImages(photos), Both(0));
    EXPECT_EQ(NodeImages(music), Both(0));
    EXPECT_EQ(NodeImages(root), Both(1));
    EXPECT_EQ(ImageCount(), before + 2);
    EXPECT_EQ(Ini(temp / "Photos\\", settings::kClassInfoSection, settings::kIconFileKey), "<none>");
    EXPECT_EQ(Ini(temp / "Photos\\", settings::kClassInfoSection, settings::kIconIndexKey), "0");
    EXPECT_EQ(form->IconPath(), "");
    EXPECT_EQ(form->imgIcon.Picture(), nullptr);
    EXPECT_FALSE(form->RestoreIconEnabled());
    EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(ApplyThroughTheTree, ARootNodeGetsTheAppliedIconAndTheFolderImageOnRestore) {
    // The root folder has an icon of its own, so its restore button is on.
    const std::string own = MakeIcon("own.ico", 0x0000FF);
    WriteText(temp / "desktop.ini", "[.ShellClassInfo]\r\nIconFile=" + own + "\r\nIconIndex=0\r\n");
    ClickNode(root, temp.path());
    EXPECT_EQ(form->IconPath(), own);
    ASSERT_TRUE(form->RestoreIconEnabled());
    EXPECT_EQ(NodeImages(root), Both(1));

    // The drive image gives way to the plain folder, not back to the drive.
    Click(form->btnRestoreIcon);
    EXPECT_EQ(NodeImages(root), Both(0));
    EXPECT_FALSE(form->RestoreIconEnabled());
    EXPECT_EQ(Ini(temp.path(), settings::kClassInfoSection, settings::kIconFileKey), "<none>");

    const int before = ImageCount();
    ChooseIcon(MakeIcon("green.ico", 0x00FF00));
    Click(form->btnApply);
    ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors[0].text;
    EXPECT_EQ(ImageCount(), before + 1);
    EXPECT_EQ(NodeImages(root), Both(before));
    EXPECT_EQ(ImageMiddle(before), kGreen);
    EXPECT_EQ(NodeImages(photos), Both(0));
    // The icon button does not turn the restore button on; the next click does.
    EXPECT_FALSE(form->RestoreIconEnabled());
    ClickNode(photos, temp / "Photos\\");
    ClickNode(root, temp.path());
    EXPECT_TRUE(form->RestoreIconEnabled());

    Click(form->btnRestoreIcon);
    EXPECT_EQ(NodeImages(root), Both(0));
    EXPECT_EQ(ImageCount(), before + 1);
}

TEST_F(ApplyThroughTheTree, ApplyLeavesTheStateAsItWasButACopiedPictureIsNamedRelatively) {
    ClickNode(photos, temp / "Photos\\");
    const std::string bmp = MakeBmp("sea.bmp", 30, 20, 0x0000FF);
    const std::string icon = MakeIcon("green.ico", 0x00FF00);
    dialogs.openAnswers = {bmp};
    dialogs.colorAnswers = {kRed, kGreen};
    Click(form->btnBrowseImage);
    Click(form->chboxCopyImage);
    Click(form->btnBrowseTextColor);
    Click(form->btnBrowseBckGrColor);
    ChooseIcon(icon);
    ASSERT_TRUE(form->CopyPicture());
    const TJPEGImage* preview = form->Picture();
    ASSERT_NE(preview, nullptr);
    const auto previewData = preview->Data();
    const win::Graphic* iconPicture = form->imgIcon.Picture();
    ASSERT_NE(iconPicture, nullptr);
    const LayoutRect shownAt = form->Image.PictureRect();

    Click(form->btnApply);
    ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors[0].text;
    const std::string folder = temp / "Photos\\";
    EXPECT_TRUE(platform.FileExists(folder + "Folder Settings\\BackGround.jpg"));
    EXPECT_EQ(Ini(folder, settings::kIconAreaSection, settings::kPictureKey), "Folder Settings\\BackGround.jpg");

    // Only the picture path changes: relative now, while the hint keeps
    // the file the picture came from.
    EXPECT_EQ(form->PicturePath(), "Folder Settings\\BackGround.jpg");
    EXPECT_EQ(form->PictureHint(), bmp);
    EXPECT_EQ(form->Hint(form->Image.hwnd()), bmp);
    EXPECT_EQ(form->Picture(), preview);
    EXPECT_EQ(form->Picture()->Data(), previewData);
    EXPECT_EQ(form->Image.PictureRect(), shownAt);
    EXPECT_EQ(form->TextColor(), kRed);
    EXPECT_EQ(form->TextBackgroundColor(), kGreen);
    EXPECT_EQ(form->IconPath(), icon);
    EXPECT_EQ(form->imgIcon.Picture(), iconPicture);
    EXPECT_TRUE(form->CopyPicture());
    EXPECT_EQ(form->FolderPath(), folder);
    EXPECT_TRUE(form->RestoreImageEnabled());
    EXPECT_FALSE(form->RestoreIconEnabled());

    // A second run saves the preview again under the same relative name.
    DeleteFileW(win::Wide(folder + "Folder Settings\\BackGround.jpg").c_str());
    Click(form->btnApply);
    EXPECT_TRUE(platform.FileExists(folder + "Folder Settings\\BackGround.jpg"));
    EXPECT_EQ(form->PicturePath(), "Folder Settings\\BackGround.jpg");
    EXPECT_EQ(Ini(folder, settings::kIconAreaSection, settings::kPictureKey), "Folder Settings\\BackGround.jpg");
}

TEST_F(ApplyThroughTheTree, WithoutTheCopyFlagThePictureKeepsItsAbsolutePath) {
    ClickNode(music, temp / "Music\\");
    const std::string bmp = MakeBmp("sky.bmp", 10, 10, 0x00FF00);
    dialogs.openAnswers = {bmp};
    Click(form->btnBrowseImage);
    ASSERT_FALSE(form->CopyPicture());
    Click(form->btnApply);
    ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors[0].text;
    EXPECT_EQ(form->PicturePath(), bmp);
    EXPECT_EQ(form->PictureHint(), bmp);
    EXPECT_EQ(Ini(temp / "Music\\", settings::kIconAreaSection, settings::kPictureKey), bmp);
    EXPECT_FALSE(platform.FileExists(temp / "Music\\Folder Settings\\BackGround.jpg"));
    // No icon chosen: the tree is not touched.
    EXPECT_EQ(ImageCount(), 2);
    EXPECT_EQ(NodeImages(music), Both(0));
}

TEST_F(ApplyThroughTheTree, EachRestoreLeavesTheRestoreButtonsAsTheyShouldBe) {
    // Reading shows JPEG pictures only.
    TBitmap bitmap;
    bitmap.LoadFromFile(platform, MakeBmp("pic.bmp", 8, 8, 0xFF0000));
    TJPEGImage jpeg;
    jpeg.Assign(bitmap);
    const std::string picture = temp / "pic.jpg";
    jpeg.SaveToFile(platform, picture);
    const std::string icon = MakeIcon("folder.ico", 0x00FF00);
    WriteText(temp / "Photos\\desktop.ini",
              "[{BE098140-A513-11D0-A3A4-00C04FD706EC}]\r\n"
              "iconarea_image=" + picture + "\r\n"
              "IconArea_Text=0x000000FF\r\n"
              "IconArea_TextBackground=0x0000FF00\r\n"
              "[.ShellClassInfo]\r\nIconFile=" + icon + "\r\nIconIndex=0\r\n");
    ClickNode(photos, temp / "Photos\\");
    ASSERT_TRUE(form->RestoreImageEnabled());
    ASSERT_TRUE(form->RestoreIconEnabled());
    ASSERT_NE(form->Picture(), nullptr);
    auto enabled = [this](HWND button) { return IsWindowEnabled(button) != FALSE; };

    Click(form->btnRestoreTextColor);
    EXPECT_EQ(form->TextColor(), kBlack);
    EXPECT_TRUE(enabled(form->btnRestoreTextColor));
    EXPECT_TRUE(form->RestoreImageEnabled());
    EXPECT_TRUE(form->RestoreIconEnabled());

    Click(form->btnRestoreBckGrColor);
    EXPECT_EQ(form->TextBackgroundColor(), kWhite);
    EXPECT_TRUE(enabled(form->btnRestoreBckGrColor));
    EXPECT_TRUE(form->RestoreImageEnabled());
    EXPECT_TRUE(form->RestoreIconEnabled());

    Click(form->btnRestoreImage);
    EXPECT_FALSE(form->RestoreImageEnabled());
    EXPECT_TRUE(form->RestoreIconEnabled());
    EXPECT_EQ(form->Picture(), nullptr);
    EXPECT_EQ(form->PicturePath(), "");
    EXPECT_EQ(form->Hint(form->Image.hwnd()), "");
    // The picture named by an absolute path stays where it is.
    EXPECT_TRUE(platform.FileExists(picture));

    Click(form->btnRestoreIcon);
    EXPECT_FALSE(form->RestoreImageEnabled());
    EXPECT_FALSE(form->RestoreIconEnabled());
    EXPECT_TRUE(enabled(form->btnRestoreTextColor));
    EXPECT_TRUE(enabled(form->btnRestoreBckGrColor));
    EXPECT_TRUE(platform.FileExists(icon));

    // Only a loaded picture turns its button on again; a chosen icon does not.
    dialogs.openAnswers = {picture};
    Click(form->btnBrowseImage);
    EXPECT_TRUE(form->RestoreImageEnabled());
    ChooseIcon(icon);
    EXPECT_FALSE(form->RestoreIconEnabled());
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_TRUE(dialogs.informations.empty());
}

// --- start-up and the icon library ---------------------------------------------

TEST_F(Handlers, FormShowBuildsTheDrivesAndReadsTheIconLibrary) {
    MakeFolder(temp / "Icons");
    WriteBytes(temp / "Icons\\a.ico", BuildIcon(IconSpec{32, 32, 32, false, 0xFF0000}));
    WriteBytes(temp / "Icons\\B.ICO", BuildIcon(IconSpec{32, 32, 32, false, 0x0000FF}));
    WriteText(temp / "Icons\\notes.txt", "not an icon");
    Create();
    form->Show(SW_SHOW);
    Pump(form.get());

    EXPECT_TRUE(dialogs.errors.empty()) << (dialogs.errors.empty() ? "" : dialogs.errors[0].text);
    EXPECT_TRUE(IsWindowVisible(form->hwnd()));
    const NodeId first = form->Tree().FirstRoot();
    ASSERT_NE(first, kNoNode);
    EXPECT_EQ(form->Tree().Text(first).size(), 2u);
    EXPECT_EQ(form->FolderPath(), form->Tree().Text(first) + "\\");
    EXPECT_EQ(form->sgIcons.RowCount(), 2);
    EXPECT_EQ(form->imglstDefaultIcons->Count(), 2);
    for (int row = 0; row < 2; ++row) {
        const std::string cell = form->sgIcons.CellText(row);
        EXPECT_TRUE(cell == temp / "Icons\\a.ico" || cell == temp / "Icons\\B.ICO") << cell;
    }
}

TEST_F(Handlers, FormShowWithoutAnIconLibraryIsQuiet) {
    Create();
    form->Show(SW_SHOW);
    Pump(form.get());
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_EQ(form->sgIcons.RowCount(), 1);
    EXPECT_EQ(form->imglstDefaultIcons->Count(), 0);
}

// What the program should show of the machine: every fixed drive, and the
// folders a listing of the first one gives.
std::vector<std::string> FixedDriveTexts() {
    std::vector<std::string> texts;
    const DWORD mask = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        const wchar_t root[] = {static_cast<wchar_t>(L'A' + i), L':', L'\\', 0};
        if ((mask & (1u << i)) && GetDriveTypeW(root) == DRIVE_FIXED) texts.push_back(win::Narrow(root).substr(0, 2));
    }
    return texts;
}

std::vector<std::string> VisibleSubfolders(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW data;
    win::UniqueFind find(FindFirstFileW(win::Wide(folder + "*").c_str(), &data));
    if (!find) return names;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L".." || (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN)) continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) names.push_back(win::Narrow(name));
    } while (FindNextFileW(find.get(), &data));
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> SortedChildTexts(const FolderTree& tree, NodeId node) {
    std::vector<std::string> texts;
    for (NodeId child = tree.FirstChild(node); child != kNoNode; child = tree.NextSibling(child)) {
        texts.push_back(tree.Text(child));
    }
    std::sort(texts.begin(), texts.end());
    return texts;
}

TEST_F(Handlers, BadIconsAtStartUpAreShownOnceAndHideNothing) {
    // A folder in the first drive's root names a file that is no icon, and
    // so do two files of the library between good ones.
    const std::vector<std::string> drives = FixedDriveTexts();
    ASSERT_FALSE(drives.empty());
    WriteText(temp / "broken.ico", "garbage");
    TempFolder custom(drives[0] + "\\");
    MakeFolder(custom / "Inside");
    WriteText(custom / "desktop.ini", "[.ShellClassInfo]\r\nIconFile=" + (temp / "broken.ico") + "\r\n");
    MakeFolder(temp / "Icons");
    WriteText(temp / "Icons\\1.ico", "garbage");
    WriteBytes(temp / "Icons\\2.ico", BuildIcon(IconSpec{32, 32, 32, false, 0xFF0000}));
    WriteText(temp / "Icons\\3.ico", "");
    WriteBytes(temp / "Icons\\4.ico", BuildIcon(IconSpec{32, 32, 32, false, 0x0000FF}));
    Create();
    form->Show(SW_SHOW);
    Pump(form.get());

    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_EQ(dialogs.errors[0].caption, "quorvane");
    EXPECT_EQ(dialogs.errors[0].text, "Icon image is not valid.");
    EXPECT_TRUE(IsWindowVisible(form->hwnd()));

    const FolderTree& tree = form->Tree();
    std::vector<std::string> roots;
    for (NodeId root = tree.FirstRoot(); root != kNoNode; root = tree.NextSibling(root)) roots.push_back(tree.Text(root));
    EXPECT_EQ(roots, drives);
    const NodeId first = tree.FirstRoot();
    ASSERT_NE(first, kNoNode);
    EXPECT_EQ(SortedChildTexts(tree, first), VisibleSubfolders(drives[0] + "\\"));
    EXPECT_EQ(form->FolderPath(), drives[0] + "\\");
    // The folder with the bad icon shows the folder image, and its own
    // folders were listed a level ahead like every other's.
    const std::string customName = custom.path().substr(drives[0].size() + 1, custom.path().size() - drives[0].size() - 2);
    NodeId customNode = kNoNode;
    for (NodeId child = tree.FirstChild(first); child != kNoNode; child = tree.NextSibling(child)) {
        if (tree.Text(child) == customName) customNode = child;
    }
    ASSERT_NE(customNode, kNoNode) << customName;
    EXPECT_EQ(tree.Image(customNode), 0);
    EXPECT_EQ(SortedChildTexts(tree, customNode), std::vector<std::string>{"Inside"});

    // Every library file has its row and its image, the bad ones blank.
    ASSERT_EQ(form->sgIcons.RowCount(), 4);
    EXPECT_EQ(form->imglstDefaultIcons->Count(), 4);
}

TEST_F(Handlers, PickingACellMakesItsIconTheFolderIcon) {
    MakeFolder(temp / "Icons");
    WriteBytes(temp / "Icons\\one.ico", BuildIcon(IconSpec{32, 32, 32, false, 0xFF0000}));
    WriteBytes(temp / "Icons\\two.ico", BuildIcon(IconSpec{32, 32, 32, false, 0x00FF00}));
    WriteBytes(temp / "Icons\\three.ico", BuildIcon(IconSpec{32, 32, 32, false, 0x0000FF}));
    Create();
    form->Show(SW_SHOW);
    Pump(form.get());
    ASSERT_EQ(form->sgIcons.RowCount(), 3);
    const HWND grid = form->sgIcons.hwnd();
    form->SetRestoreIconEnabled(false);

    // A click on the second cell.
    SendMessageW(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 48 + 10));
    EXPECT_EQ(form->sgIcons.Row(), 1);
    EXPECT_EQ(form->IconPath(), form->sgIcons.CellText(1));
    EXPECT_NE(form->imgIcon.Picture(), nullptr);
    EXPECT_FALSE(form->RestoreIconEnabled());
    EXPECT_EQ(GetFocus(), grid);

    // Clicking the current cell again picks its icon again.
    form->SetIconPath("");
    form->ClearIconPicture();
    SendMessageW(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 48 + 10));
    EXPECT_EQ(form->IconPath(), form->sgIcons.CellText(1));
    EXPECT_NE(form->imgIcon.Picture(), nullptr);

    // The arrow keys pick each icon in turn.
    SendMessageW(grid, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(form->sgIcons.Row(), 2);
    EXPECT_EQ(form->IconPath(), form->sgIcons.CellText(2));
    SendMessageW(grid, WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(form->IconPath(), form->sgIcons.CellText(0));
    // Past the end nothing moves and nothing is picked.
    form->SetIconPath("");
    SendMessageW(grid, WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(form->IconPath(), "");
    EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(Handlers, APickThatFailsKeepsTheCurrentCell) {
    MakeFolder(temp / "Icons");
    WriteBytes(temp / "Icons\\one.ico", BuildIcon(IconSpec{32, 32, 32, false, 0xFF0000}));
    WriteBytes(temp / "Icons\\two.ico", BuildIcon(IconSpec{32, 32, 32, false, 0x00FF00}));
    Create();
    form->Show(SW_SHOW);
    Pump(form.get());
    ASSERT_EQ(form->sgIcons.RowCount(), 2);
    const std::string second = form->sgIcons.CellText(1);
    WriteText(second, "deleted and replaced by garbage");
    SendMessageW(form->sgIcons.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 48 + 10));
    EXPECT_EQ(form->sgIcons.Row(), 0);
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_EQ(dialogs.errors[0].text, "Icon image is not valid.");
    // The path is set before the load, so it names the failed file.
    EXPECT_EQ(form->IconPath(), second);
}

TEST_F(Handlers, GridCellsAreWhiteWithTheIconInTheMiddle) {
    MakeFolder(temp / "Icons");
    WriteBytes(temp / "Icons\\red.ico", BuildIcon(IconSpec{32, 32, 32, false, 0xFF0000}));
    Create();
    form->Show(SW_SHOW);
    Pump(form.get());
    SetFocus(form->TreeView);
    const HWND grid = form->sgIcons.hwnd();
    RedrawWindow(grid, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const HDC dc = GetDC(grid);
    EXPECT_EQ(GetPixel(dc, 2, 2), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 24, 24), kRed);
    EXPECT_EQ(GetPixel(dc, 45, 45), RGB(255, 255, 255));
    ReleaseDC(grid, dc);
}

// --- the about box --------------------------------------------------------------

TEST_F(Handlers, TheToolButtonShowsTheAboutBoxModally) {
    CreateShown();
    TAboutBox about(form->hwnd(), 96);
    form->SetAboutBox(&about);
    bool mainDisabled = false;
    bool escapeIgnored = false;
    ModalScript script({
        [&] {
            if (!IsWindowVisible(about.hwnd())) return false;
            mainDisabled = !IsWindowEnabled(form->hwnd());
            EXPECT_EQ(Text(about.hwnd()), "О программе...");
            PostMessageW(about.OKButton, WM_KEYDOWN, VK_ESCAPE, 0);
            return true;
        },
        [&] {
            escapeIgnored = IsWindowVisible(about.hwnd()) != FALSE;
            PostMessageW(about.OKButton, WM_KEYDOWN, VK_RETURN, 0);
            return true;
        },
        [&] { return !IsWindowVisible(about.hwnd()) && PostMessageW(form->btnApply, WM_KEYDOWN, VK_F1, 0); },  // F1 too
        [&] { return IsWindowVisible(about.hwnd()) && PostMessageW(about.OKButton, WM_KEYDOWN, VK_RETURN, 0); },
    });
    SetFocus(form->btnApply);
    Click(form->SpeedButton1.hwnd());
    PumpUntil([&] { return script.Finished(); }, form.get());
    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(mainDisabled);
    EXPECT_TRUE(escapeIgnored);
    EXPECT_FALSE(IsWindowVisible(about.hwnd()));
    EXPECT_TRUE(IsWindowEnabled(form->hwnd()));
    form->SetAboutBox(nullptr);
}

}  // namespace
}  // namespace quorvane::test
