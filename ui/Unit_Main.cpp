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
#include "ui/Accessible.h"
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
    // A window that opens on a monitor of another scale than the system's
    // (the scale changed since signing in, or a second screen) is made at
    // that monitor's DPI from the start, sized as a fresh start there.
    if (options.dpi <= 0) {
        const int own = options.monitorDpi > 0 ? options.monitorDpi : win::WindowDpi(hwnd());
        if (own > 0 && own != dpi_) {
            dpi_ = own;
            win::SetClientSize(hwnd(), Scale(design::kClientWidth, dpi_), Scale(design::kClientHeight, dpi_));
        }
    }
    treeWidth_ = Scale(kMainForm[form::pnlTree].design.width, dpi_);
    iconSize_ = MulDiv(GetSystemMetrics(SM_CXICON), dpi_, win::ScreenDpi());

    font_ = win::CreateProgramFont(dpi_);
    boldFont_ = win::CreateProgramFont(dpi_, true);
    SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);

    CreateImageLists();
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
    // F1 opens the about box from anywhere in the window, as the about
    // button does (posted: the box's loop runs outside this one's step).
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_F1 && hwnd() &&
        (msg.hwnd == hwnd() || IsChild(hwnd(), msg.hwnd)) && GetKeyState(VK_CONTROL) >= 0 &&
        GetKeyState(VK_MENU) >= 0 && GetKeyState(VK_SHIFT) >= 0) {
        PostMessageW(SpeedButton1.hwnd(), BM_CLICK, 0, 0);
        return true;
    }
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
    if (control == btnBrowseImage) return text::kChoosePicture;
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
    case win::kDpiChangedMessage:
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
        const int offset = (cell.right - cell.left - imglstDefaultIcons->Size()) / 2;
        imglstDefaultIcons->Draw(image, dc, cell.left + offset, cell.top + offset);
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

// A picture box tells a screen reader what its hint tells the mouse.
void TfrmMain::SetPictureHint(const std::string& hint) {
    pictureHint_ = hint;
    Image.SetAccessibleValue(hint.empty() ? text::kNothingShown : hint);
}

void TfrmMain::SetIconPath(const std::string& path) {
    iconPath_ = path;
    imgIcon.SetAccessibleValue(path.empty() ? text::kNothingShown : path);
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
    win::NotifyAccessible(EVENT_OBJECT_VALUECHANGE, lblTextColor);
}

void TfrmMain::SetTextBackgroundColor(Color color) {
    textBackgroundColor_ = color;
    InvalidateRect(lblBckGrColor, nullptr, TRUE);
    win::NotifyAccessible(EVENT_OBJECT_VALUECHANGE, lblBckGrColor);
}

bool TfrmMain::CopyPicture() const { return SendMessageW(chboxCopyImage, BM_GETCHECK, 0, 0) == BST_CHECKED; }

bool TfrmMain::RestoreImageEnabled() const { return IsWindowEnabled(btnRestoreImage) != FALSE; }

void TfrmMain::SetRestoreImageEnabled(bool enabled) { EnableWindow(btnRestoreImage, enabled); }

bool TfrmMain::RestoreIconEnabled() const { return IsWindowEnabled(btnRestoreIcon) != FALSE; }

void TfrmMain::SetRestoreIconEnabled(bool enabled) { EnableWindow(btnRestoreIcon, enabled); }

void TfrmMain::ShowInformation(const std::string& text) { dialogs_.ShowInformation(hwnd(), title_, text); }

}  // namespace quorvane
