#include "ui/Unit_Main.h"

#include <commctrl.h>

#include <stdexcept>

#include "folder_settings/ApplySettings.h"
#include "folder_settings/BackgroundPicture.h"
#include "folder_settings/Jpeg.h"
#include "folder_settings/RestoreSettings.h"
#include "folder_settings/UiTexts.h"
#include "navigation/FirstFailure.h"
#include "navigation/FolderTreeLogic.h"
#include "navigation/IconLibrary.h"
#include "platform/win32/WinText.h"
#include "resource.h"
#include "ui/Application.h"
#include "ui/DialogKeys.h"
#include "ui/MainLayout.h"
#include "ui/MessageText.h"
#include "ui/Unit_About.h"
#include "Version.h"

namespace quorvane {
namespace {

constexpr wchar_t kClassName[] = L"TfrmMain";
// "Quorvane", the version, 38 blanks, "[Brantwick]".
constexpr wchar_t kCaption[] = L"Quorvane " QUORVANE_VERSION_SHORT L"                                      [Brantwick]";
static_assert(sizeof(kCaption) / sizeof(wchar_t) - 1 == sizeof("Quorvane " QUORVANE_VERSION_SHORT) - 1 + 38 + 11);

constexpr char kPictureFilter[] = "All (*.jpg;*.jpeg;*.bmp)|*.jpg;*.jpeg;*.bmp;";
constexpr char kIconFilter[] = "Icons (*.ico)|*.ico";

// The clicked node is the selected one only once the tree has finished
// handling the click, so the click is handled after it.
constexpr UINT kTreeClickMessage = WM_APP + 1;

// The window-text colour, as the GUI refers to a system colour.
constexpr Color kWindowTextColor = 0x80000000u | COLOR_WINDOWTEXT;

constexpr int kHintInitialMs = 500;
constexpr int kHintVisibleMs = 2500;

constexpr int kTreeIndent = 19;
constexpr int kGridCellSize = 48;
constexpr int kLibraryIconSize = 32;
constexpr int kImageListGrowth = 64;
constexpr int kGlyphSize = 16;

enum ControlId : int {
    idTreeView = 100,
    idDriveComboBox,
    idGroupBox2,
    idLblDir,
    idSpeedButton1,
    idGroupBox1,
    idImage,
    idBtnBrowseImage,
    idChboxCopyImage,
    idBtnRestoreImage,
    idGroupBox4,
    idLblTextColor,
    idBtnBrowseTextColor,
    idBtnRestoreTextColor,
    idLblBckGrColor,
    idBtnBrowseBckGrColor,
    idBtnRestoreBckGrColor,
    idGroupBox3,
    idImgIcon,
    idBtnBrowseIcon,
    idBtnRestoreIcon,
    idBtnApply,
    idBtnExit,
    idSgIcons,
};

win::UniqueIcon LoadResourceIcon(HINSTANCE instance, int id, int size) {
    win::UniqueIcon icon(
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    if (!icon) throw std::runtime_error("icon resource missing");
    return icon;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

COLORREF ResolveColor(Color color) {
    if (color & 0x80000000u) return GetSysColor(static_cast<int>(color & 0xFF));
    return color & 0x00FFFFFFu;
}

TfrmMain::TfrmMain(HINSTANCE instance, Platform& platform, win::Dialogs& dialogs, const Options& options)
    : instance_(instance),
      platform_(platform),
      dialogs_(dialogs),
      dpi_(options.dpi > 0 ? options.dpi : win::ScreenDpi()),
      quitOnClose_(options.quitOnClose),
      treeWidth_(Scale(design::kTreeWidth, dpi_)),
      iconSize_(GetSystemMetrics(SM_CXICON)),
      OpenPictureDialog(kPictureFilter, true),
      opdlgIcon(kIconFilter, true),
      textColor_(kWindowTextColor),
      textBackgroundColor_(kWindowTextColor) {
    const std::string executable = options.executablePath.empty() ? ExecutablePath() : options.executablePath;
    title_ = ProgramTitle(executable);
    executableFolder_ = FolderOf(executable);

    const auto icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, 0, 0,
                                                    LR_DEFAULTSIZE | LR_SHARED));
    const auto smallIcon = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                   GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    RegisterWindowClass(instance, kClassName, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)),
                        LoadCursorW(nullptr, IDC_ARROW), 0, icon, smallIcon);
    // The outer size is the design's; the client area is what the frame
    // leaves, and the layout follows it.
    CreateHandle(WS_EX_CONTROLPARENT, kClassName, kCaption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                 {static_cast<int>(CW_USEDEFAULT), static_cast<int>(CW_USEDEFAULT),
                  Scale(design::kWindowWidth, dpi_), Scale(design::kWindowHeight, dpi_)},
                 options.owner, nullptr, instance);

    font_ = win::CreateProgramFont(dpi_);
    boldFont_ = win::CreateProgramFont(dpi_, true);
    SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);

    // Both lists grow in large steps: each growth copies the whole list, and
    // a library, or a tree of customised folders, holds hundreds of icons.
    TreeImageList = std::make_unique<win::TreeImageList>(16, 4, kImageListGrowth);
    TreeImageList->AppendIcon(LoadResourceIcon(instance, IDI_FOLDER, 16).get());
    TreeImageList->AppendIcon(LoadResourceIcon(instance, IDI_DRIVE, 16).get());
    imglstDefaultIcons = std::make_unique<win::TreeImageList>(kLibraryIconSize, 4, kImageListGrowth);

    CreateControls();
    CreateHints();
    ApplyLayout();
}

TfrmMain::~TfrmMain() {
    // The controls go while their objects still exist.
    if (hwnd()) {
        quitOnClose_ = false;
        DestroyHandle();
    }
}

void TfrmMain::CreateControls() {
    const MainLayout l = ComputeMainLayout(Scale(design::kClientWidth, dpi_), Scale(design::kClientHeight, dpi_),
                                           treeWidth_, dpi_);
    const HFONT font = font_.get();
    auto control = [font](const wchar_t* cls, const std::string& text, DWORD style, DWORD exStyle,
                          const LayoutRect& rect, HWND parent, int id) {
        const HWND hwnd = win::CreateChild(cls, win::Wide(text), style, exStyle, rect, parent, id);
        win::SetFont(hwnd, font);
        return hwnd;
    };
    auto button = [&control](const std::string& text, const LayoutRect& rect, HWND parent, int id) {
        return control(L"BUTTON", text, WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | BS_PUSHBUTTON, 0, rect, parent,
                       id);
    };
    auto groupBox = [&control](const std::string& text, const LayoutRect& rect, HWND parent, int id) {
        const HWND box = control(L"BUTTON", text, WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | BS_GROUPBOX,
                                 WS_EX_CONTROLPARENT, rect, parent, id);
        win::MakeContainer(box);
        return box;
    };
    auto label = [&control](const std::string& text, const LayoutRect& rect, HWND parent, int id) {
        const HWND hwnd =
            control(L"STATIC", text, WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY, 0, rect, parent, id);
        win::AutoSizeLabel(hwnd);
        return hwnd;
    };

    // Docked left to right.
    pnlTree.Create(hwnd(), l.pnlTree);
    Splitter1.Create(hwnd(), l.Splitter1);
    pnlGlobalConfig.Create(hwnd(), l.pnlGlobalConfig);

    TreeView = control(WC_TREEVIEWW, "",
                       WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT |
                           TVS_SINGLEEXPAND | TVS_TRACKSELECT | TVS_DISABLEDRAGDROP,
                       WS_EX_CLIENTEDGE, l.TreeView, pnlTree.hwnd(), idTreeView);
    win::AddFlatBevel(TreeView);
    SetWindowPos(TreeView, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    TreeView_SetIndent(TreeView, Scale(kTreeIndent, dpi_));
    tree_ = std::make_unique<win::FolderTreeView>(TreeView, *TreeImageList);
    // Hidden and never shown; the drive list it would offer comes from the
    // platform's drive mask.
    DriveComboBox = control(WC_COMBOBOXW, "", CBS_DROPDOWNLIST | WS_VSCROLL, 0, l.DriveComboBox, pnlTree.hwnd(),
                            idDriveComboBox);
    FillDriveList();

    pnlConfig.Create(pnlGlobalConfig.hwnd(), l.pnlConfig);
    pnlIcons.Create(pnlGlobalConfig.hwnd(), l.pnlIcons);
    sgIcons.Create(pnlIcons.hwnd(), l.sgIcons, idSgIcons, Scale(kGridCellSize, dpi_), Scale(kGridCellSize, dpi_));
    win::SetFont(sgIcons.hwnd(), font);
    sgIcons.onDrawCell = [this](HDC dc, int column, int row, const RECT& cell, win::StringGrid::DrawState state) {
        sgIconsDrawCell(dc, column, row, cell, state);
    };
    sgIcons.onSelectCell = [this](int column, int row, bool& allow) { sgIconsSelectCell(column, row, allow); };

    pnlTop.Create(pnlConfig.hwnd(), l.pnlTop);
    pnlImage.Create(pnlConfig.hwnd(), l.pnlImage);
    pnlBottom.Create(pnlConfig.hwnd(), l.pnlBottom);

    GroupBox2 = groupBox(text::kPathGroup, l.GroupBox2, pnlTop.hwnd(), idGroupBox2);
    lblDir = label("", l.lblDir, GroupBox2, idLblDir);
    SpeedButton1.Create(pnlTop.hwnd(), l.SpeedButton1, idSpeedButton1, win::LoadGlyph(instance_, IDB_INFO),
                        Scale(kGlyphSize, dpi_));
    SpeedButton1.onClick = [this] { SpeedButton1Click(); };

    GroupBox1 = groupBox(text::kPictureGroup, l.GroupBox1, pnlImage.hwnd(), idGroupBox1);
    Image.Create(GroupBox1, l.Image, idImage);
    btnBrowseImage = button(text::kBrowse, l.btnBrowseImage, GroupBox1, idBtnBrowseImage);
    chboxCopyImage = control(L"BUTTON", text::kCopyToFolder, WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | BS_AUTOCHECKBOX,
                             0, l.chboxCopyImage, GroupBox1, idChboxCopyImage);
    btnRestoreImage = button(text::kRestore, l.btnRestoreImage, GroupBox1, idBtnRestoreImage);

    GroupBox4 = groupBox(text::kColorGroup, l.GroupBox4, pnlBottom.hwnd(), idGroupBox4);
    lblTextColor = label(text::kTextColor, l.lblTextColor, GroupBox4, idLblTextColor);
    btnBrowseTextColor = button(text::kBrowse, l.btnBrowseTextColor, GroupBox4, idBtnBrowseTextColor);
    btnRestoreTextColor = button(text::kRestore, l.btnRestoreTextColor, GroupBox4, idBtnRestoreTextColor);
    lblBckGrColor = label(text::kBackgroundColor, l.lblBckGrColor, GroupBox4, idLblBckGrColor);
    btnBrowseBckGrColor = button(text::kBrowse, l.btnBrowseBckGrColor, GroupBox4, idBtnBrowseBckGrColor);
    btnRestoreBckGrColor = button(text::kRestore, l.btnRestoreBckGrColor, GroupBox4, idBtnRestoreBckGrColor);
    for (HWND bold : {lblTextColor, lblBckGrColor}) {
        win::SetFont(bold, boldFont_.get());
        win::AutoSizeLabel(bold);
    }

    GroupBox3 = groupBox(text::kIconGroup, l.GroupBox3, pnlBottom.hwnd(), idGroupBox3);
    imgIcon.Create(GroupBox3, l.imgIcon, idImgIcon);
    btnBrowseIcon = button(text::kBrowse, l.btnBrowseIcon, GroupBox3, idBtnBrowseIcon);
    btnRestoreIcon = button(text::kRestore, l.btnRestoreIcon, GroupBox3, idBtnRestoreIcon);
    btnApply = button(text::kApply, l.btnApply, pnlBottom.hwnd(), idBtnApply);
    btnExit = button(text::kExit, l.btnExit, pnlBottom.hwnd(), idBtnExit);

    tabOrder_ = {TreeView,           sgIcons.hwnd(),      btnExit,
                 btnApply,           btnBrowseIcon,       btnRestoreIcon,
                 btnBrowseTextColor, btnBrowseBckGrColor, btnRestoreTextColor,
                 btnRestoreBckGrColor, btnBrowseImage,    chboxCopyImage,
                 btnRestoreImage};

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
    auto move = [](HWND hwnd, const LayoutRect& r) { win::Place(hwnd, r); };
    auto moveOnly = [](HWND hwnd, const LayoutRect& r) {
        SetWindowPos(hwnd, nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
    move(pnlTree.hwnd(), l.pnlTree);
    move(Splitter1.hwnd(), l.Splitter1);
    move(pnlGlobalConfig.hwnd(), l.pnlGlobalConfig);
    move(TreeView, l.TreeView);
    move(DriveComboBox, l.DriveComboBox);
    move(pnlConfig.hwnd(), l.pnlConfig);
    move(pnlIcons.hwnd(), l.pnlIcons);
    move(sgIcons.hwnd(), l.sgIcons);
    move(pnlTop.hwnd(), l.pnlTop);
    move(pnlImage.hwnd(), l.pnlImage);
    move(pnlBottom.hwnd(), l.pnlBottom);
    move(GroupBox2, l.GroupBox2);
    moveOnly(lblDir, l.lblDir);
    move(SpeedButton1.hwnd(), l.SpeedButton1);
    move(GroupBox1, l.GroupBox1);
    move(Image.hwnd(), l.Image);
    move(btnBrowseImage, l.btnBrowseImage);
    move(chboxCopyImage, l.chboxCopyImage);
    move(btnRestoreImage, l.btnRestoreImage);
    move(GroupBox4, l.GroupBox4);
    moveOnly(lblTextColor, l.lblTextColor);
    move(btnBrowseTextColor, l.btnBrowseTextColor);
    move(btnRestoreTextColor, l.btnRestoreTextColor);
    moveOnly(lblBckGrColor, l.lblBckGrColor);
    move(btnBrowseBckGrColor, l.btnBrowseBckGrColor);
    move(btnRestoreBckGrColor, l.btnRestoreBckGrColor);
    move(GroupBox3, l.GroupBox3);
    move(imgIcon.hwnd(), l.imgIcon);
    move(btnBrowseIcon, l.btnBrowseIcon);
    move(btnRestoreIcon, l.btnRestoreIcon);
    move(btnApply, l.btnApply);
    move(btnExit, l.btnExit);
    // Group boxes draw their frame from their size: a stretched box is
    // drawn afresh, children included.
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TfrmMain::Show(int showCommand) {
    RECT r;
    GetWindowRect(hwnd(), &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    SetWindowPos(hwnd(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Before the first paint; a failure is shown and the window opens anyway.
    try {
        FormShow();
    } catch (...) {
        ShowException(std::current_exception());
    }
    ShowWindow(hwnd(), showCommand);
    UpdateWindow(hwnd());
}

HWND TfrmMain::NextTabStop(HWND from, bool backward) const {
    const int count = static_cast<int>(tabOrder_.size());
    int index = -1;
    for (int i = 0; i < count; ++i) {
        if (tabOrder_[static_cast<size_t>(i)] == from || IsChild(tabOrder_[static_cast<size_t>(i)], from)) index = i;
    }
    for (int step = 1; step <= count; ++step) {
        const int next = index < 0 ? (backward ? count - step : step - 1)
                                   : ((index + (backward ? -step : step)) % count + count) % count;
        const HWND candidate = tabOrder_[static_cast<size_t>(next)];
        if (IsWindowVisible(candidate) && IsWindowEnabled(candidate)) return candidate;
    }
    return nullptr;
}

bool TfrmMain::PreTranslateMessage(const MSG& msg) {
    if (win::HandleDialogKeys(hwnd(), msg)) return true;
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || !hwnd()) return false;
    if (msg.hwnd != hwnd() && !IsChild(hwnd(), msg.hwnd)) return false;
    if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
    if (const HWND next = NextTabStop(GetFocus(), GetKeyState(VK_SHIFT) < 0)) SetFocus(next);
    return true;
}

HWND TfrmMain::Control(std::string_view name) const {
    const std::pair<std::string_view, HWND> controls[] = {
        {"frmMain", hwnd()},
        {"pnlTree", pnlTree.hwnd()},
        {"Splitter1", Splitter1.hwnd()},
        {"pnlGlobalConfig", pnlGlobalConfig.hwnd()},
        {"TreeView", TreeView},
        {"DriveComboBox", DriveComboBox},
        {"pnlConfig", pnlConfig.hwnd()},
        {"pnlIcons", pnlIcons.hwnd()},
        {"sgIcons", sgIcons.hwnd()},
        {"pnlTop", pnlTop.hwnd()},
        {"pnlImage", pnlImage.hwnd()},
        {"pnlBottom", pnlBottom.hwnd()},
        {"GroupBox2", GroupBox2},
        {"lblDir", lblDir},
        {"SpeedButton1", SpeedButton1.hwnd()},
        {"GroupBox1", GroupBox1},
        {"Image", Image.hwnd()},
        {"btnBrowseImage", btnBrowseImage},
        {"chboxCopyImage", chboxCopyImage},
        {"btnRestoreImage", btnRestoreImage},
        {"GroupBox4", GroupBox4},
        {"lblTextColor", lblTextColor},
        {"btnBrowseTextColor", btnBrowseTextColor},
        {"btnRestoreTextColor", btnRestoreTextColor},
        {"lblBckGrColor", lblBckGrColor},
        {"btnBrowseBckGrColor", btnBrowseBckGrColor},
        {"btnRestoreBckGrColor", btnRestoreBckGrColor},
        {"GroupBox3", GroupBox3},
        {"imgIcon", imgIcon.hwnd()},
        {"btnBrowseIcon", btnBrowseIcon},
        {"btnRestoreIcon", btnRestoreIcon},
        {"btnApply", btnApply},
        {"btnExit", btnExit},
    };
    for (const auto& [controlName, handle] : controls) {
        if (controlName == name) return handle;
    }
    return nullptr;
}

std::string TfrmMain::Hint(HWND control) const {
    if (control == lblDir) return folderHint_;
    if (control == Image.hwnd()) return pictureHint_;
    if (control == imgIcon.hwnd()) return iconPath_;
    if (control == btnBrowseImage) return text::kChoosePictureHint;
    return {};
}

LRESULT TfrmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        ApplyLayout();
        return 0;
    case WM_COMMAND:
        if (lParam != 0 && HIWORD(wParam) == BN_CLICKED) OnCommand(LOWORD(wParam));
        return 0;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return OnColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case kTreeClickMessage:
        TreeViewClick();
        return 0;
    case win::kShowExceptionMessage:
        ShowException(*reinterpret_cast<const std::exception_ptr*>(lParam));
        return 1;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            if (focus && IsChild(hwnd(), focus)) lastFocus_ = focus;
        }
        break;
    case WM_SETFOCUS: {
        // Back to the control that had the focus, or the next one that can
        // take it now.
        HWND target = lastFocus_ && IsWindow(lastFocus_) ? lastFocus_ : nullptr;
        if (!target || !IsWindowEnabled(target) || !IsWindowVisible(target)) target = NextTabStop(target, false);
        if (target) SetFocus(target);
        return 0;
    }
    case WM_SYSCOMMAND:
        // Minimising goes through the program's taskbar entry, which stands
        // for this window.
        if ((wParam & 0xFFF0) == SC_MINIMIZE) {
            if (const HWND owner = GetWindow(hwnd(), GW_OWNER)) {
                SendMessageW(owner, WM_SYSCOMMAND, SC_MINIMIZE, 0);
                return 0;
            }
        }
        break;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
    case WM_THEMECHANGED:
        OnSystemChange(message, wParam, lParam);
        return 0;
    case WM_DESTROY:
        if (quitOnClose_) PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

// Colours and settings reach only top-level windows; the controls, the tree
// view's cached colours among them, hear of them from here. A theme change
// the system sends to every window itself. The hint window keeps the info
// colours it was made with, so it is given the new ones. Then all is drawn
// afresh.
void TfrmMain::OnSystemChange(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_THEMECHANGED) win::SendToDescendants(hwnd(), message, wParam, lParam);
    if (message == WM_SYSCOLORCHANGE) {
        SendMessageW(hintWindow, TTM_SETTIPBKCOLOR, GetSysColor(COLOR_INFOBK), 0);
        SendMessageW(hintWindow, TTM_SETTIPTEXTCOLOR, GetSysColor(COLOR_INFOTEXT), 0);
    }
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TfrmMain::OnCommand(int id) {
    switch (id) {
    case idBtnBrowseImage: btnBrowseImageClick(); break;
    case idBtnRestoreImage: btnRestoreImageClick(); break;
    case idBtnBrowseTextColor: btnBrowseTextColorClick(); break;
    case idBtnRestoreTextColor: btnRestoreTextColorClick(); break;
    case idBtnBrowseBckGrColor: btnBrowseBckGrColorClick(); break;
    case idBtnRestoreBckGrColor: btnRestoreBckGrColorClick(); break;
    case idBtnBrowseIcon: btnBrowseIconClick(); break;
    case idBtnRestoreIcon: btnRestoreIconClick(); break;
    case idBtnApply: btnApplyClick(); break;
    case idBtnExit: btnExitClick(); break;
    default: break;
    }
}

LRESULT TfrmMain::OnNotify(const NMHDR& header) {
    if (header.hwndFrom == TreeView && header.code == NM_CLICK) {
        PostMessageW(hwnd(), kTreeClickMessage, 0, 0);
        return 0;
    }
    if (header.hwndFrom == hintWindow && header.code == TTN_GETDISPINFOW) {
        auto& info = const_cast<NMTTDISPINFOW&>(reinterpret_cast<const NMTTDISPINFOW&>(header));
        hintBuffer_ = win::Wide(Hint(reinterpret_cast<HWND>(info.hdr.idFrom)));
        info.lpszText = hintBuffer_.data();
        info.szText[0] = L'\0';
        info.hinst = nullptr;
        return 0;
    }
    return 0;
}

LRESULT TfrmMain::OnColorStatic(HDC dc, HWND control) {
    COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
    if (control == lblTextColor) text = ResolveColor(textColor_);
    if (control == lblBckGrColor) text = ResolveColor(textBackgroundColor_);
    ::SetTextColor(dc, text);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

void TfrmMain::ShowException(const std::exception_ptr& error) {
    dialogs_.ShowError(hwnd(), title_, ErrorBoxText(ExceptionMessage(error)));
}

// Handlers ------------------------------------------------------------------

// Both steps run whatever the other met: a bad icon in one folder must not
// cost the later drives their roots or the library its column. The first
// failure is shown once.
void TfrmMain::FormShow() {
    FirstFailure failure;
    failure.Attempt([&] { BuildDriveRoots(platform_, *tree_, *this); });
    const std::string library = executableFolder_ + "Icons";
    if (platform_.FolderExists(library)) {
        failure.Attempt([&] { libraryPictures_.Open(platform_, sgIcons, *imglstDefaultIcons, library); });
    }
    failure.RaiseIfAny();
}

void TfrmMain::TreeViewClick() { quorvane::TreeViewClick(platform_, *tree_, *this); }

void TfrmMain::btnBrowseImageClick() {
    if (OpenPictureDialog.Execute(dialogs_, hwnd())) {
        LoadBackgroundPicture(platform_, *this, OpenPictureDialog.FileName());
    }
}

void TfrmMain::btnRestoreImageClick() { RestorePicture(platform_, *this, *this); }

void TfrmMain::btnBrowseTextColorClick() {
    if (ColorDialog.Execute(dialogs_, hwnd())) SetTextColor(ColorDialog.Color());
}

void TfrmMain::btnRestoreTextColorClick() { RestoreTextColor(platform_, *this, *this); }

void TfrmMain::btnBrowseBckGrColorClick() {
    if (ColorDialog.Execute(dialogs_, hwnd())) SetTextBackgroundColor(ColorDialog.Color());
}

void TfrmMain::btnRestoreBckGrColorClick() { RestoreTextBackgroundColor(platform_, *this, *this); }

void TfrmMain::btnBrowseIconClick() {
    if (!opdlgIcon.Execute(dialogs_, hwnd())) return;
    // The picture is read completely before anything changes, so a failure
    // leaves the former icon and its path.
    auto picture = win::LoadPictureFile(platform_, opdlgIcon.FileName(), iconSize_, dpi_);
    imgIcon.SetGraphic(std::move(picture));
    SetIconPath(opdlgIcon.FileName());
}

void TfrmMain::btnRestoreIconClick() { RestoreIcon(platform_, *this, *tree_, *this); }

void TfrmMain::btnApplyClick() { ApplyFolderSettings(platform_, *this, *tree_, *this); }

void TfrmMain::btnExitClick() { PostMessageW(hwnd(), WM_CLOSE, 0, 0); }

void TfrmMain::SpeedButton1Click() {
    if (aboutBox_) aboutBox_->ShowModal();
}

void TfrmMain::sgIconsDrawCell(HDC dc, int, int row, const RECT& cell, win::StringGrid::DrawState) {
    // White over the grid's own text and selection colour: only the focus
    // frame shows which cell is current.
    const win::UniqueBrush white(CreateSolidBrush(RGB(255, 255, 255)));
    FillRect(dc, &cell, white.get());
    if (const int image = libraryPictures_.ImageOf(row); image >= 0) {
        const int offset = (cell.right - cell.left - kLibraryIconSize) / 2;
        ImageList_Draw(imglstDefaultIcons->Handle(), image, dc, cell.left + offset, cell.top + offset, ILD_NORMAL);
    }
}

void TfrmMain::sgIconsSelectCell(int, int row, bool&) { quorvane::sgIconsSelectCell(platform_, sgIcons, *this, row); }

// FolderEditState -----------------------------------------------------------

std::string TfrmMain::FolderPath() const { return win::WindowText(lblDir); }

void TfrmMain::SetFolderPath(const std::string& path) {
    SetWindowTextW(lblDir, win::Wide(path).c_str());
    win::AutoSizeLabel(lblDir);
    folderHint_ = path;
}

const TJPEGImage* TfrmMain::Picture() const {
    const auto* shown = dynamic_cast<const win::JpegGraphic*>(Image.Picture());
    return shown ? &shown->Image() : nullptr;
}

void TfrmMain::SetPicture(const TJPEGImage& picture) {
    auto copy = std::make_unique<TJPEGImage>();
    copy->Assign(picture);
    Image.SetGraphic(std::make_unique<win::JpegGraphic>(std::move(copy)));
}

void TfrmMain::SetIconPicture(const IconFile& icon) { imgIcon.SetGraphic(win::MakeIconGraphic(icon, iconSize_)); }

void TfrmMain::SetTextColor(Color color) {
    textColor_ = color;
    InvalidateRect(lblTextColor, nullptr, TRUE);
}

void TfrmMain::SetTextBackgroundColor(Color color) {
    textBackgroundColor_ = color;
    InvalidateRect(lblBckGrColor, nullptr, TRUE);
}

bool TfrmMain::CopyPicture() const { return SendMessageW(chboxCopyImage, BM_GETCHECK, 0, 0) == BST_CHECKED; }

bool TfrmMain::RestoreImageEnabled() const { return IsWindowEnabled(btnRestoreImage) != FALSE; }

void TfrmMain::SetRestoreImageEnabled(bool enabled) { EnableWindow(btnRestoreImage, enabled); }

bool TfrmMain::RestoreIconEnabled() const { return IsWindowEnabled(btnRestoreIcon) != FALSE; }

void TfrmMain::SetRestoreIconEnabled(bool enabled) { EnableWindow(btnRestoreIcon, enabled); }

void TfrmMain::ShowInformation(const std::string& text) { dialogs_.ShowInformation(hwnd(), title_, text); }

}  // namespace quorvane
