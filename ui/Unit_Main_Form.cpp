// The main window's controls: made, laid out and scaled to a new DPI from
// the form description (ui/MainForm.h).
#include "ui/Unit_Main.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>
#include <type_traits>
#include <utility>

#include "folder_settings/UiTexts.h"
#include "navigation/IconLibrary.h"
#include "platform/win32/WinText.h"
#include "resource.h"
#include "ui/Accessible.h"
#include "ui/MainLayout.h"
#include "ui/MessageText.h"

namespace quorvane {
namespace {

constexpr int kHintInitialMs = 500;
constexpr int kHintVisibleMs = 2500;

constexpr int kTreeIndent = 19;
constexpr int kGridCellSize = 48;
constexpr int kTreeImageSize = 16;
constexpr int kLibraryIconSize = 32;
constexpr int kImageListGrowth = 64;
constexpr int kGlyphSize = 16;

}  // namespace

// Both lists grow in large steps: each growth copies the whole list, and a
// library, or a tree of customised folders, holds hundreds of icons.
void TfrmMain::CreateImageLists() {
    TreeImageList = std::make_unique<win::TreeImageList>(Scale(kTreeImageSize, dpi_), 4, kImageListGrowth);
    TreeImageList->AppendResource(instance_, IDI_FOLDER);
    TreeImageList->AppendResource(instance_, IDI_DRIVE);
    imglstDefaultIcons = std::make_unique<win::TreeImageList>(Scale(kLibraryIconSize, dpi_), 4, kImageListGrowth);
}

template <typename Member>
HWND TfrmMain::Make(Member& control, const ControlRow& row, HWND parent, const LayoutRect& rect, int id) {
    if constexpr (std::is_same_v<Member, win::Panel> || std::is_same_v<Member, win::Splitter>) {
        control.Create(parent, rect);
    } else if constexpr (std::is_same_v<Member, win::SpeedButton>) {
        control.Create(parent, rect, id, win::LoadGlyph(instance_, IDB_INFO), Scale(kGlyphSize, dpi_));
    } else if constexpr (std::is_same_v<Member, win::PictureBox>) {
        control.Create(parent, rect, id);
    } else if constexpr (std::is_same_v<Member, win::StringGrid>) {
        control.Create(parent, rect, id, Scale(kGridCellSize, dpi_), Scale(kGridCellSize, dpi_));
    } else {
        const wchar_t* cls = L"BUTTON";
        DWORD style = WS_VISIBLE | WS_CLIPSIBLINGS;
        DWORD exStyle = 0;
        switch (row.kind) {
        case ControlKind::kTree:
            cls = WC_TREEVIEWW;
            style |= WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SINGLEEXPAND |
                     TVS_TRACKSELECT | TVS_DISABLEDRAGDROP;
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case ControlKind::kDriveList: cls = WC_COMBOBOXW; style = CBS_DROPDOWNLIST | WS_VSCROLL; break;
        case ControlKind::kGroupBox:
            style |= WS_CLIPCHILDREN | BS_GROUPBOX;
            exStyle = WS_EX_CONTROLPARENT;
            break;
        case ControlKind::kLabel:
        case ControlKind::kBoldLabel:
            cls = L"STATIC";
            style = WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY;
            break;
        case ControlKind::kCheckBox: style |= WS_TABSTOP | BS_AUTOCHECKBOX; break;
        default: style |= WS_TABSTOP | BS_PUSHBUTTON; break;
        }
        control = win::CreateChild(cls, win::Wide(row.text), style, exStyle, rect, parent, id);
        if (row.kind == ControlKind::kGroupBox) win::MakeContainer(control);
    }
    if constexpr (std::is_same_v<Member, HWND>) {
        return control;
    } else {
        return control.hwnd();
    }
}

void TfrmMain::CreateControls() {
    const MainLayout l = ComputeMainLayout(Scale(design::kClientWidth, dpi_), Scale(design::kClientHeight, dpi_),
                                           treeWidth_, dpi_);
    auto parentOf = [this](form::Index control) {
        const form::Index parent = kMainForm[control].parent;
        return parent == form::frmMain ? hwnd() : handles_[static_cast<size_t>(parent)];
    };
#define QUORVANE_FORM_MAKE(name, ...)                                                                 \
    handles_[form::name] =                                                                            \
        Make(name, kMainForm[form::name], parentOf(form::name), l[form::name], kFirstControlId + form::name);
    QUORVANE_MAIN_FORM(QUORVANE_FORM_MAKE)
#undef QUORVANE_FORM_MAKE

    std::vector<std::pair<int, HWND>> tabs;
    for (int i = 0; i < form::kControlCount; ++i) {
        if (kMainForm[i].tab > 0) tabs.emplace_back(kMainForm[i].tab, handles_[static_cast<size_t>(i)]);
    }
    std::sort(tabs.begin(), tabs.end());
    for (const auto& [position, handle] : tabs) tabOrder_.push_back(handle);
    ApplyFonts();
    WireControls();
}

// What the form description does not say: the tree's frame and model, the
// drive list, the grid's and buttons' handlers, the splitter's rules.
void TfrmMain::WireControls() {
    win::AddFlatBevel(TreeView);
    SetWindowPos(TreeView, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // After the image list, which sets an indent of its own.
    tree_ = std::make_unique<win::FolderTreeView>(TreeView, *TreeImageList);
    TreeView_SetIndent(TreeView, Scale(kTreeIndent, dpi_));
    FillDriveList();

    sgIcons.onDrawCell = [this](HDC dc, int column, int row, const RECT& cell, win::StringGrid::DrawState state) {
        sgIconsDrawCell(dc, column, row, cell, state);
    };
    sgIcons.onSelectCell = [this](int column, int row, bool& allow) { sgIconsSelectCell(column, row, allow); };
    SpeedButton1.onClick = [this] { SpeedButton1Click(); };

    Splitter1.currentWidth = [this] { return treeWidth_; };
    Splitter1.clampWidth = [this](int proposed) {
        RECT client;
        GetClientRect(hwnd(), &client);
        return SplitterTreeWidth(proposed, client.right, dpi_);
    };
    Splitter1.onMoved = [this](int width) {
        treeWidth_ = width;
        ApplyLayout();
    };
    DescribeControls();
}

// What a screen reader says of each control, where the form description
// gives a name; after every other Subclass of the system's controls. The
// colour labels keep their captions and tell their colours as values.
void TfrmMain::DescribeControls() {
    for (int i = 0; i < form::kControlCount; ++i) {
        const ControlRow& row = kMainForm[i];
        if (*row.accessibleName == '\0') continue;
        switch (row.kind) {
        case ControlKind::kTree:
        case ControlKind::kButton:
        case ControlKind::kCheckBox:
            win::DescribeSystemControl(handles_[static_cast<size_t>(i)], row.accessibleName);
            break;
        default: break;
        }
    }
    sgIcons.accessibleName = kMainForm[form::sgIcons].accessibleName;
    sgIcons.rowName = [this](int row) { return LibraryIconName(sgIcons.CellText(row)); };
    SpeedButton1.accessibleName = kMainForm[form::SpeedButton1].accessibleName;
    SpeedButton1.accessibleShortcut = text::kAboutKey;
    Image.SetAccessibleName(kMainForm[form::Image].accessibleName);
    imgIcon.SetAccessibleName(kMainForm[form::imgIcon].accessibleName);
    Image.SetAccessibleValue(text::kNothingShown);
    imgIcon.SetAccessibleValue(text::kNothingShown);
    win::DescribeSystemControl(lblTextColor, "", [this] { return ColorValueText(ResolveColor(textColor_)); });
    win::DescribeSystemControl(lblBckGrColor, "",
                               [this] { return ColorValueText(ResolveColor(textBackgroundColor_)); });
}

// The system's controls and the grid take the design font; labels are
// sized to their texts in it.
void TfrmMain::ApplyFonts() {
    for (int i = 0; i < form::kControlCount; ++i) {
        const ControlKind kind = kMainForm[i].kind;
        const HWND handle = handles_[static_cast<size_t>(i)];
        if (kind == ControlKind::kPanel || kind == ControlKind::kSplitter || kind == ControlKind::kSpeedButton ||
            kind == ControlKind::kPicture) {
            continue;
        }
        win::SetFont(handle, kind == ControlKind::kBoldLabel ? boldFont_.get() : font_.get());
        if (kind == ControlKind::kLabel || kind == ControlKind::kBoldLabel) win::AutoSizeLabel(handle);
    }
}

void TfrmMain::CreateHints() {
    hintWindow = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                                 instance_, nullptr);
    if (!hintWindow) throw std::runtime_error("cannot create the hint window");
    for (HWND tool : {lblDir, Image.hwnd(), imgIcon.hwnd(), btnBrowseImage}) {
        TTTOOLINFOW info{};
        info.cbSize = sizeof info;
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = hwnd();
        info.uId = reinterpret_cast<UINT_PTR>(tool);
        // Asked for each time it shows, so a hint is always the current one.
        info.lpszText = LPSTR_TEXTCALLBACKW;
        SendMessageW(hintWindow, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
    SendMessageW(hintWindow, TTM_SETDELAYTIME, TTDT_INITIAL, kHintInitialMs);
    SendMessageW(hintWindow, TTM_SETDELAYTIME, TTDT_AUTOPOP, kHintVisibleMs);
    // Moving on to another control while a hint shows shows its hint at once.
    SendMessageW(hintWindow, TTM_SETDELAYTIME, TTDT_RESHOW, 0);
    SendMessageW(hintWindow, TTM_SETMAXTIPWIDTH, 0, GetSystemMetrics(SM_CXSCREEN));
}

void TfrmMain::FillDriveList() {
    const uint32_t drives = platform_.LogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(drives & (1u << i))) continue;
        const std::string root{static_cast<char>('a' + i), ':', '\\'};
        const int type = platform_.DriveType(root);
        if (type < drive::kRemovable || type > drive::kRamDisk) continue;
        const std::wstring item = win::Wide(root.substr(0, 2));
        SendMessageW(DriveComboBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
}

void TfrmMain::ApplyLayout() {
    if (!hwnd()) return;
    RECT client;
    GetClientRect(hwnd(), &client);
    const MainLayout l = ComputeMainLayout(client.right, client.bottom, treeWidth_, dpi_);
    for (int i = 0; i < form::kControlCount; ++i) {
        const HWND handle = handles_[static_cast<size_t>(i)];
        const LayoutRect& r = l.rects[static_cast<size_t>(i)];
        const ControlKind kind = kMainForm[i].kind;
        if (kind == ControlKind::kLabel || kind == ControlKind::kBoldLabel) {
            SetWindowPos(handle, nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        } else {
            win::Place(handle, r);
        }
    }
    // Group boxes draw their frame from their size: a stretched box is
    // drawn afresh, children included.
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// Everything sized by the DPI is made again at the new one, as a window
// opened there would have it; the tree keeps its width in proportion.
void TfrmMain::ChangeDpi(int dpi, const RECT* suggested) {
    if (dpi <= 0 || dpi == dpi_) return;
    treeWidth_ = MulDiv(treeWidth_, dpi, dpi_);
    iconSize_ = MulDiv(iconSize_, dpi, dpi_);
    dpi_ = dpi;
    font_ = win::CreateProgramFont(dpi_);
    boldFont_ = win::CreateProgramFont(dpi_, true);
    SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    ApplyFonts();
    sgIcons.SetCellSize(Scale(kGridCellSize, dpi_), Scale(kGridCellSize, dpi_));
    SpeedButton1.SetGlyphSize(Scale(kGlyphSize, dpi_));
    TreeImageList->Resize(Scale(kTreeImageSize, dpi_), platform_);
    TreeView_SetImageList(TreeView, TreeImageList->Handle(), TVSIL_NORMAL);
    TreeView_SetIndent(TreeView, Scale(kTreeIndent, dpi_));
    if (!iconPath_.empty()) {
        try {
            imgIcon.SetGraphic(win::LoadPictureFile(platform_, iconPath_, iconSize_, dpi_));
        } catch (const std::exception&) {
            // Gone or changed since it was chosen: the box keeps the former size.
        }
    }
    if (suggested) {
        SetWindowPos(hwnd(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ApplyLayout();
    // The library's pictures come again as at start-up: those on screen now,
    // the rest in idle time, so a large library does not hold the window.
    libraryPictures_.Rescale(*imglstDefaultIcons, Scale(kLibraryIconSize, dpi_));
}

}  // namespace quorvane
