#include "ui/Unit_Main.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>
#include <type_traits>
#include <utility>

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
constexpr int kTreeImageSize = 16;
constexpr int kLibraryIconSize = 32;
constexpr int kImageListGrowth = 64;
constexpr int kGlyphSize = 16;

// Control ids follow the form description's order.
constexpr int kFirstControlId = 100;
constexpr int IdOf(form::Index control) { return kFirstControlId + control; }

// The system DPI of windows that know no other; from Windows 10 (1607) on a
// per-monitor aware window asks for its own.
constexpr UINT kDpiChangedMessage = 0x02E0;  // WM_DPICHANGED, Windows 8.1 on

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
      treeWidth_(Scale(kMainForm[form::pnlTree].design.width, dpi_)),
      iconSize_(MulDiv(GetSystemMetrics(SM_CXICON), dpi_, win::ScreenDpi())),
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
    TreeImageList = std::make_unique<win::TreeImageList>(Scale(kTreeImageSize, dpi_), 4, kImageListGrowth);
    TreeImageList->AppendResource(instance, IDI_FOLDER);
    TreeImageList->AppendResource(instance, IDI_DRIVE);
    imglstDefaultIcons = std::make_unique<win::TreeImageList>(Scale(kLibraryIconSize, dpi_), 4, kImageListGrowth);

    CreateControls();
    CreateHints();
    ApplyLayout();
    // A window opened on a monitor of another scale than the system's.
    if (options.dpi <= 0) {
        if (const int own = win::WindowDpi(hwnd()); own > 0 && own != dpi_) ChangeDpi(own, nullptr);
    }
}

TfrmMain::~TfrmMain() {
    // The controls go while their objects still exist.
    if (hwnd()) {
        quitOnClose_ = false;
        DestroyHandle();
    }
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
#define QUORVANE_FORM_MAKE(name, ...) \
    handles_[form::name] = Make(name, kMainForm[form::name], parentOf(form::name), l[form::name], IdOf(form::name));
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
    imglstDefaultIcons->Resize(Scale(kLibraryIconSize, dpi_), platform_);
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
    const form::Index control = FormIndex(name);
    if (control == form::frmMain) return hwnd();
    return control < form::kControlCount ? handles_[static_cast<size_t>(control)] : nullptr;
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
    case kDpiChangedMessage:
        ChangeDpi(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
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
    switch (id - kFirstControlId) {
    case form::btnBrowseImage: btnBrowseImageClick(); break;
    case form::btnRestoreImage: btnRestoreImageClick(); break;
    case form::btnBrowseTextColor: btnBrowseTextColorClick(); break;
    case form::btnRestoreTextColor: btnRestoreTextColorClick(); break;
    case form::btnBrowseBckGrColor: btnBrowseBckGrColorClick(); break;
    case form::btnRestoreBckGrColor: btnRestoreBckGrColorClick(); break;
    case form::btnBrowseIcon: btnBrowseIconClick(); break;
    case form::btnRestoreIcon: btnRestoreIconClick(); break;
    case form::btnApply: btnApplyClick(); break;
    case form::btnExit: btnExitClick(); break;
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
        failure.Attempt([&] { ScanIconLibrary(platform_, sgIcons, *imglstDefaultIcons, library); });
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
    if (row < imglstDefaultIcons->Count()) {
        const int offset = (cell.right - cell.left - imglstDefaultIcons->Size()) / 2;
        ImageList_Draw(imglstDefaultIcons->Handle(), row, dc, cell.left + offset, cell.top + offset, ILD_NORMAL);
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
