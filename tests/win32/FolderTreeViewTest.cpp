// The folder tree over a real tree view and image list, listing real
// folders: hidden and system folders, folder icons drawn at the list's
// size with their transparency, and a corrupt icon ending the listing.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "navigation/FolderTreeLogic.h"
#include "platform/Errors.h"
#include "platform/win32/Handle.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/WinText.h"
#include "tests/host/FakeFolderEditState.h"
#include "tests/host/IconBuilder.h"
#include "tests/win32/DrawnPixels.h"
#include "tests/win32/TempFolder.h"
#include "ui/FolderTreeView.h"
#include "ui/TreeImageList.h"

namespace quorvane {
namespace {

using test::BuildIcon;
using test::IconSpec;
using Strings = std::vector<std::string>;

constexpr COLORREF kBackground = RGB(0x10, 0x20, 0x30);

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    test::WriteText(path, std::string(bytes.begin(), bytes.end()));
}

void WriteIconIni(const std::string& folder, const std::string& value) {
    test::WriteText(folder + "desktop.ini", "[.ShellClassInfo]\r\nIconFile=" + value + "\r\n");
}

void SetAttributes(const std::string& path, DWORD attributes) {
    ASSERT_TRUE(SetFileAttributesW(win::Wide(path).c_str(), attributes)) << path;
}

// Draws one image of the list over a plain background and returns the
// pixel at (x, y) as a COLORREF.
COLORREF DrawnPixel(const win::TreeImageList& list, int index, int x, int y) {
    const int cx = list.Size(), cy = list.Size();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = cx;
    info.bmiHeader.biHeight = -cy;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    win::UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    win::UniqueDc dc(CreateCompatibleDC(nullptr));
    win::ScopedSelect select(dc.get(), bitmap.get());
    auto* pixels = static_cast<uint32_t*>(bits);
    const uint32_t bg = (GetRValue(kBackground) << 16) | (GetGValue(kBackground) << 8) | GetBValue(kBackground);
    std::fill(pixels, pixels + cx * cy, bg);
    list.Draw(index, dc.get(), 0, 0);
    GdiFlush();
    const uint32_t p = pixels[y * cx + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

COLORREF Rgb(uint32_t rgb) { return RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF); }

// Draws one image of the list over a background that differs from pixel
// to pixel, and returns every pixel (the background alone for index -1).
std::vector<uint32_t> DrawnOverPattern(HIMAGELIST list, int index) {
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list, &cx, &cy);
    return test::DrawnOverPattern(cx, cy, [&](HDC dc) {
        if (index >= 0) ImageList_Draw(list, index, dc, 0, 0, ILD_NORMAL);
    });
}

using test::FirstDifference;

class TreeOnDisk : public ::testing::Test {
protected:
    TreeOnDisk() : images(16) {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        frame = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 400, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        treeView = CreateWindowExW(0, WC_TREEVIEWW, L"",
                                   WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT,
                                   0, 0, 300, 400, frame, nullptr, GetModuleHandleW(nullptr), nullptr);
        // Stand-ins for the folder and drive images.
        images.AppendIcon(IconFile());
        images.AppendIcon(IconFile());
        tree = std::make_unique<win::FolderTreeView>(treeView, images);
        root = tree->AddRoot(dir.path().substr(0, dir.path().size() - 1));
    }
    ~TreeOnDisk() override {
        tree.reset();
        DestroyWindow(frame);
    }

    std::vector<NodeId> Children(NodeId node) const {
        std::vector<NodeId> out;
        for (NodeId c = tree->FirstChild(node); c != kNoNode; c = tree->NextSibling(c)) out.push_back(c);
        return out;
    }
    Strings SortedChildTexts(NodeId node) const {
        Strings out;
        for (NodeId c : Children(node)) out.push_back(tree->Text(c));
        std::sort(out.begin(), out.end());
        return out;
    }
    NodeId Child(NodeId node, const std::string& text) const {
        for (NodeId c : Children(node)) {
            if (tree->Text(c) == text) return c;
        }
        ADD_FAILURE() << "no node " << text;
        return kNoNode;
    }
    // What the control itself holds for the node.
    TVITEMW ControlItem(NodeId node, wchar_t* buffer, int size) const {
        TVITEMW item{};
        item.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        item.hItem = win::FolderTreeView::Item(node);
        item.pszText = buffer;
        item.cchTextMax = size;
        EXPECT_TRUE(SendMessageW(treeView, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        return item;
    }
    int ControlImage(NodeId node) const {
        wchar_t text[260];
        const TVITEMW item = ControlItem(node, text, 260);
        EXPECT_EQ(item.iImage, item.iSelectedImage);
        return item.iImage;
    }

    test::TempFolder dir;
    win::Win32Platform platform;
    win::TreeImageList images;
    HWND frame = nullptr;
    HWND treeView = nullptr;
    std::unique_ptr<win::FolderTreeView> tree;
    NodeId root = kNoNode;
};

TEST_F(TreeOnDisk, ListsVisibleFoldersOnlyWithTheirIcons) {
    test::MakeFolder(dir / "Plain");
    test::MakeFolder(dir / "Hidden");
    SetAttributes(dir / "Hidden", FILE_ATTRIBUTE_HIDDEN);
    test::MakeFolder(dir / "Customised");
    SetAttributes(dir / "Customised", FILE_ATTRIBUTE_SYSTEM);
    test::WriteText(dir / "file.txt", "not a folder");
    test::MakeFolder(dir / "Icons");
    WriteBytes(dir / "Icons\\blue.ico", BuildIcon({IconSpec{32, 32, 32, false, 0x00FF00}, IconSpec{16, 16, 32, false, 0x0000FF}}));
    WriteIconIni(dir / "Customised\\", dir / "Icons\\blue.ico");
    test::MakeFolder(dir / "Relative");
    test::MakeFolder(dir / "Relative\\Folder Settings");
    SetAttributes(dir / "Relative\\Folder Settings", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    WriteBytes(dir / "Relative\\Folder Settings\\Icon.ico", BuildIcon(IconSpec{16, 16, 8, false, 0xC08040}));
    WriteIconIni(dir / "Relative\\", "Folder Settings\\Icon.ico");
    test::MakeFolder(dir / "Library");
    WriteIconIni(dir / "Library\\", "C:\\windows\\system32\\shell32.dll");
    test::MakeFolder(dir / "Missing");
    WriteIconIni(dir / "Missing\\", dir / "Icons\\none.ico");
    test::MakeFolder(dir / "Png");
    WriteBytes(dir / "Png\\p.ico", BuildIcon(IconSpec{16, 16, 32, true, 0x8040C0}));
    WriteIconIni(dir / "Png\\", "p.ico");
    test::MakeFolder(dir / "Twin");
    WriteIconIni(dir / "Twin\\", dir / "Icons\\blue.ico");

    ExpandNode(platform, *tree, root);

    EXPECT_EQ(SortedChildTexts(root),
              (Strings{"Customised", "Icons", "Library", "Missing", "Plain", "Png", "Relative", "Twin"}));
    EXPECT_EQ(SortedChildTexts(Child(root, "Relative")), Strings{});  // its hidden subfolder is not shown
    ASSERT_EQ(images.Count(), 2 + 3);  // Customised and Twin share one file's; Relative, Png
    for (const char* plain : {"Plain", "Icons", "Library", "Missing"}) {
        EXPECT_EQ(tree->Image(Child(root, plain)), 0) << plain;
        EXPECT_EQ(ControlImage(Child(root, plain)), 0) << plain;
    }
    const struct {
        const char* folder;
        uint32_t rgb;
    } custom[] = {{"Customised", 0x0000FF}, {"Relative", 0xC08040}, {"Png", 0x8040C0}, {"Twin", 0x0000FF}};
    std::vector<int> used;
    for (const auto& c : custom) {
        const int image = tree->Image(Child(root, c.folder));
        EXPECT_GE(image, 2) << c.folder;
        EXPECT_EQ(ControlImage(Child(root, c.folder)), image) << c.folder;
        // The 16 x 16 entry, drawn with its transparent corner.
        EXPECT_EQ(DrawnPixel(images, image, 5, 5), Rgb(c.rgb)) << c.folder;
        EXPECT_EQ(DrawnPixel(images, image, 0, 0), kBackground) << c.folder;
        used.push_back(image);
    }
    // Two folders, one icon file: one image, read once for the listing.
    EXPECT_EQ(used[3], used[0]);
    used.pop_back();
    std::sort(used.begin(), used.end());
    EXPECT_EQ(std::unique(used.begin(), used.end()), used.end());
}

TEST_F(TreeOnDisk, ClickListsOneLevelAheadAndReadsTheFolder) {
    test::MakeFolder(dir / "A");
    test::MakeFolder(dir / "A\\Inner");
    test::MakeFolder(dir / "A\\Inner\\Deeper");
    test::MakeFolder(dir / "B");
    WriteBytes(dir / "A\\own.ico", BuildIcon());
    WriteIconIni(dir / "A\\", "own.ico");
    test::FakeFolderEditState state;

    tree->Select(root);
    TreeViewClick(platform, *tree, state);
    EXPECT_EQ(state.folderPath, dir.path());
    const NodeId a = Child(root, "A");
    EXPECT_EQ(SortedChildTexts(a), Strings{"Inner"});
    EXPECT_EQ(SortedChildTexts(Child(a, "Inner")), Strings{});
    // The control holds the same structure: A shows an expand button, B none.
    EXPECT_NE(TreeView_GetChild(treeView, win::FolderTreeView::Item(a)), nullptr);
    EXPECT_EQ(TreeView_GetChild(treeView, win::FolderTreeView::Item(Child(root, "B"))), nullptr);

    tree->Select(a);
    EXPECT_EQ(tree->Selected(), a);
    TreeViewClick(platform, *tree, state);
    EXPECT_EQ(state.folderPath, dir / "A\\");
    EXPECT_EQ(state.iconPath, dir / "A\\own.ico");
    EXPECT_TRUE(state.restoreIconEnabled);
    EXPECT_EQ(SortedChildTexts(Child(a, "Inner")), Strings{"Deeper"});

    TreeViewClick(platform, *tree, state);  // no duplicates
    EXPECT_EQ(SortedChildTexts(a), Strings{"Inner"});
    EXPECT_EQ(SortedChildTexts(root), (Strings{"A", "B"}));
}

TEST_F(TreeOnDisk, CorruptIconsKeepTheFolderImageAndTheListingGoesOnWithOneMessage) {
    test::MakeFolder(dir / "Bad");
    test::WriteText(dir / "Bad\\broken.ico", "this is not an icon");
    WriteIconIni(dir / "Bad\\", "broken.ico");
    test::MakeFolder(dir / "Empty");
    test::WriteText(dir / "Empty\\empty.ico", "");
    WriteIconIni(dir / "Empty\\", "empty.ico");

    std::string message;
    try {
        ListSubfolders(platform, *tree, dir.path(), root);
    } catch (const EInvalidGraphic& e) {
        message = e.what();
    }
    EXPECT_EQ(message, "Icon image is not valid");
    // Both folders are there, each showing the folder image; nothing was appended.
    const auto children = Children(root);
    ASSERT_EQ(children.size(), 2u);
    for (const NodeId child : children) EXPECT_EQ(ControlImage(child), 0);
    EXPECT_EQ(images.Count(), 2);
}

TEST_F(TreeOnDisk, ImageListsTakeTheEntryOfTheirSizeAndBlankImages) {
    const IconFile icon = IconFile::FromBytes(
        BuildIcon({IconSpec{16, 16, 32, false, 0xFF0000}, IconSpec{32, 32, 32, false, 0x00FF00},
                   IconSpec{48, 48, 8, false, 0x0000FF}}));
    win::TreeImageList library(32);
    library.AppendIcon(icon);
    library.AppendIcon(IconFile());
    images.AppendIcon(icon);
    ASSERT_EQ(library.Count(), 2);
    EXPECT_EQ(DrawnPixel(library, 0, 20, 20), Rgb(0x00FF00));
    EXPECT_EQ(DrawnPixel(library, 0, 0, 0), kBackground);
    EXPECT_EQ(DrawnPixel(images, images.Count() - 1, 10, 10), Rgb(0xFF0000));
    for (int xy : {0, 15, 31}) EXPECT_EQ(DrawnPixel(library, 1, xy, xy), kBackground);

    // An icon whose PNG image (chosen first, as the first of equals) the
    // system cannot decode, as XP cannot decode any: its bitmap image of the
    // same size stands in. The PNG keeps a valid header and its data chunk,
    // so the file itself is accepted; the data is no zlib stream, which no
    // decoder passes over.
    std::vector<uint8_t> vista =
        BuildIcon({IconSpec{32, 32, 32, true, 0x0000FF}, IconSpec{32, 32, 32, false, 0xFF0000}});
    const uint8_t idat[] = {'I', 'D', 'A', 'T'};
    const auto chunk = std::search(vista.begin(), vista.end(), std::begin(idat), std::end(idat));
    ASSERT_NE(chunk, vista.end());
    std::fill_n(chunk + 4, 2, 0xFF);
    const IconFile undecodable = IconFile::FromBytes(vista);
    ASSERT_TRUE(undecodable.BestEntry(32)->png);
    library.AppendIcon(undecodable);
    ASSERT_EQ(library.Count(), 3);
    EXPECT_EQ(DrawnPixel(library, 2, 20, 20), Rgb(0xFF0000));
    EXPECT_EQ(DrawnPixel(library, 2, 0, 0), kBackground);

    // A list in parts (of two here) counts and draws its images in order.
    win::TreeImageList parts(32, 1, 1, 2);
    const uint32_t colours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF};
    for (const uint32_t c : colours) parts.AppendIcon(IconFile::FromBytes(BuildIcon(IconSpec{32, 32, 32, false, c})));
    ASSERT_EQ(parts.Count(), 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(DrawnPixel(parts, i, 20, 20), Rgb(colours[i])) << i;
}

// An icon whose entry of the list's size is a bitmap goes in as its
// decoded pixels; drawn, it is the same to the pixel as the icon handle
// the list used to take, over any background, at every depth, with and
// without alpha. The others still take the icon handle's way.
TEST_F(TreeOnDisk, DecodedImagesDrawAsTheirIconHandlesDid) {
    const auto varied = [](int size, int bits) { return IconSpec{.width = size, .height = size, .bitCount = bits, .varied = true}; };
    IconSpec noAlpha = varied(16, 32);
    noAlpha.alpha = false;
    IconSpec inverting = varied(16, 4);
    inverting.inverts = true;
    const struct {
        const char* what;
        int listSize;
        std::vector<IconSpec> specs;
        bool direct;
    } cases[] = {
        {"1 bit", 16, {varied(16, 1)}, true},
        {"4 bits", 32, {varied(16, 4), varied(32, 4)}, true},
        {"8 bits", 16, {varied(16, 8), varied(32, 32)}, true},
        {"16 bits", 16, {varied(16, 16)}, true},
        {"24 bits", 32, {varied(32, 24)}, true},
        {"32 bits with alpha", 32, {varied(16, 32), varied(32, 32)}, true},
        {"32 bits, alpha 0 throughout", 16, {noAlpha}, true},
        {"a clear corner that is not black", 32, {IconSpec{32, 32, 8, false, 0x3060C0}}, false},
        {"pixels that invert", 16, {inverting}, false},
        {"only a larger size", 16, {varied(32, 32)}, false},
        {"PNG", 16, {IconSpec{16, 16, 32, true, 0x8040C0}}, false},
    };
    for (const auto& c : cases) {
        const IconFile icon = IconFile::FromBytes(BuildIcon(c.specs));
        EXPECT_EQ(win::ListPixels(icon, c.listSize).has_value(), c.direct) << c.what;
        win::TreeImageList list(c.listSize);
        list.AppendIcon(icon);
        list.AppendIcon(win::MakeIcon(icon, c.listSize).get());  // as every icon went in before
        ASSERT_EQ(list.Count(), 2) << c.what;
        const auto direct = DrawnOverPattern(list.Handle(), 0);
        EXPECT_NE(direct, DrawnOverPattern(list.Handle(), -1)) << c.what << ": nothing drawn";
        EXPECT_EQ(FirstDifference(direct, DrawnOverPattern(list.Handle(), 1), c.listSize), "") << c.what;
    }
}

// The system loads each size of every library icon from the file and
// draws it as the picture make-icons.py reads back from it (ctest makes
// those first): the bitmaps as stored, the 256-pixel PNG as Python's zlib
// inflates it, a decoding independent of the system's. Drawn over clear
// black, a pixel comes out as its colour times its alpha, with its alpha;
// the product may round either way.
TEST(LibraryIcons, SystemDrawsEverySizeAsStored) {
    const char* library = std::getenv("QUORVANE_ICON_LIBRARY");
    const char* pictures = std::getenv("QUORVANE_LIBRARY_PICTURES");
    ASSERT_TRUE(library && pictures) << "run through ctest, which names the library and decodes its pictures";
    const int sizes[] = {16, 20, 24, 32, 40, 48, 64, 256};
    int icons = 0;
    for (const std::string& name : test::Names(std::string(library) + "\\")) {
        if (name.size() < 4 || name.substr(name.size() - 4) != ".ico") continue;
        ++icons;
        const std::string path = std::string(library) + "\\" + name;
        const std::string reference =
            test::ReadText(std::string(pictures) + "\\" + name.substr(0, name.size() - 4) + ".rgba");
        size_t at = 0;
        for (const int size : sizes) {
            const auto count = static_cast<size_t>(size * size);
            ASSERT_GE(reference.size(), at + count * 4) << name;
            win::UniqueIcon icon(static_cast<HICON>(
                LoadImageW(nullptr, win::Wide(path).c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE)));
            ASSERT_TRUE(icon) << name << " " << size;
            void* bits = nullptr;
            win::UniqueBitmap bitmap = win::CreateTopDownDib(nullptr, size, size, 32, &bits);
            win::UniqueDc dc(CreateCompatibleDC(nullptr));
            win::ScopedSelect select(dc.get(), bitmap.get());
            ASSERT_TRUE(DrawIconEx(dc.get(), 0, 0, icon.get(), size, size, 0, nullptr, DI_NORMAL)) << name;
            GdiFlush();
            const auto* drawn = static_cast<const uint8_t*>(bits);
            size_t wrong = 0;
            std::string first;
            for (size_t p = 0; p < count; ++p) {
                const auto* rgba = reinterpret_cast<const uint8_t*>(reference.data() + at + p * 4);
                const uint8_t* bgra = drawn + p * 4;
                bool same = bgra[3] == rgba[3];
                for (int c = 0; c < 3; ++c) {
                    same = same && std::abs(bgra[c] - rgba[2 - c] * rgba[3] / 255.0) <= 1.0;
                }
                if (!same && wrong++ == 0) {
                    char text[96];
                    snprintf(text, sizeof text, "first at %d,%d: %02X%02X%02X/%02X for %02X%02X%02X/%02X",
                             static_cast<int>(p) % size, static_cast<int>(p) / size, bgra[2], bgra[1], bgra[0],
                             bgra[3], rgba[0], rgba[1], rgba[2], rgba[3]);
                    first = text;
                }
            }
            EXPECT_EQ(wrong, 0u) << name << " at " << size << " pixels, " << first;
            at += count * 4;
        }
    }
    EXPECT_EQ(icons, 24);
}

}  // namespace
}  // namespace quorvane
