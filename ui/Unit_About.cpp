#include "ui/Unit_About.h"

#include <objbase.h>
#include <shellapi.h>

#include <stdexcept>
#include <string>
#include <utility>

#include "folder_settings/UiTexts.h"
#include "platform/win32/WinText.h"
#include "resource.h"
#include "ui/MessageText.h"
#include "ui/DialogTemplate.h"
#include "ui/Window.h"

namespace quorvane {
namespace {

constexpr int kClientWidth = 205;
constexpr int kClientHeight = 187;
constexpr int kProgramIconSize = 32;
constexpr int kProductNamePoints = 12;
constexpr COLORREF kLinkColor = RGB(0, 0, 255);

enum ControlId : int {
    idImgProgramIcon = 200,
    idProductName,
    idVersion,
    idLabel1,
    idLabel2,
    idLblMail,
    idLblURL,
};

void ShellExecuteQuietly(HWND owner, const wchar_t* operation, const wchar_t* file, const wchar_t* parameters,
                         const wchar_t* directory, int showCommand) {
    // The result is not looked at: an address nothing can open goes unreported.
    ShellExecuteW(owner, operation, file, parameters, directory, showCommand);
}

}  // namespace

LRESULT TBevelPanel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;  // painted whole in WM_PAINT
    case WM_PAINT: {
        const win::PaintDc paint(hwnd());
        Paint(paint.get());
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    default:
        return Panel::HandleMessage(message, wParam, lParam);
    }
}

void TBevelPanel::Paint(HDC dc) {
    RECT r;
    GetClientRect(hwnd(), &r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    // Outer ring lowered (shadow above and left), inner ring raised.
    DrawEdge(dc, &r, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_RECT);
}

TAboutBox::TAboutBox(HWND owner, int dpi, ShellOpen shellOpen)
    : mainWindow_(owner), dpi_(dpi), shellOpen_(shellOpen ? std::move(shellOpen) : ShellOpen(ShellExecuteQuietly)) {
    const win::DialogTemplate frame(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
                                    WS_EX_DLGMODALFRAME, win::Wide(text::kAboutCaption));
    CreateDialogIndirectParamW(GetModuleHandleW(nullptr), frame.get(), owner, DialogProc,
                               reinterpret_cast<LPARAM>(this));
    if (!hwnd_) throw std::runtime_error("cannot create the about box");
}

TAboutBox::~TAboutBox() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
        DestroyWindow(hwnd_);
    }
}

INT_PTR CALLBACK TAboutBox::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<TAboutBox*>(lParam);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    }
    auto* self = reinterpret_cast<TAboutBox*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!self) return FALSE;
    if (message == WM_NCDESTROY) {
        self->hwnd_ = nullptr;
        return FALSE;
    }
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // Nothing in the box is expected to fail; the system must not see it.
        return FALSE;
    }
}

INT_PTR TAboutBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        Build();
        FormCreate();
        return FALSE;
    case WM_COMMAND:
        // Esc arrives as IDCANCEL and is ignored: there is no cancel button.
        if (lParam != 0 && reinterpret_cast<HWND>(lParam) == lblURL) {
            if (HIWORD(wParam) == STN_CLICKED) lblURLClick();
        } else if (LOWORD(wParam) == IDOK) {
            modalResult_ = IDOK;
        }
        return TRUE;
    case WM_CTLCOLORSTATIC:
        return OnColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SETCURSOR:
        if (lblURL && reinterpret_cast<HWND>(wParam) == lblURL) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        modalResult_ = IDCANCEL;
        return TRUE;
    case win::kDpiChangedMessage:
        ChangeDpi(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return TRUE;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        // As in the main window: the button is a common control.
        win::SendToDescendants(hwnd_, message, wParam, lParam);
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR TAboutBox::OnColorStatic(HDC dc, HWND control) const {
    SetTextColor(dc, control == lblURL ? kLinkColor : GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
}

void TAboutBox::Build() {
    font_ = win::CreateProgramFont(dpi_);
    productNameFont_ = win::CreateProgramFont(dpi_, true, kProductNamePoints);
    linkFont_ = win::CreateProgramFont(dpi_, false, 8, true);
    win::SetFont(hwnd_, font_.get());
    win::SetClientSize(hwnd_, Scale(kClientWidth, dpi_), Scale(kClientHeight, dpi_));

    auto s = [this](int v) { return Scale(v, dpi_); };
    Panel1.Create(hwnd_, {s(8), s(8), s(190), s(145)});
    const HWND panel = Panel1.hwnd();

    // Labels take the size of their text; none takes the focus.
    auto label = [&](const char* caption, int left, int top, HFONT font, DWORD extraStyle, int id) {
        const HWND hwnd = win::CreateChild(L"STATIC", win::Wide(caption),
                                           WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX | extraStyle, 0,
                                           {s(left), s(top), 0, 0}, panel, id);
        win::SetFont(hwnd, font);
        win::AutoSizeLabel(hwnd);
        return hwnd;
    };
    // The control keeps its size and stretches the icon into it.
    imgProgramIcon = win::CreateChild(L"STATIC", L"", WS_VISIBLE | SS_ICON | SS_REALSIZECONTROL, 0,
                                      {s(8), s(8), s(kProgramIconSize), s(kProgramIconSize)}, panel,
                                      idImgProgramIcon);
    ProductName = label(text::kAboutProductName, 56, 13, productNameFont_.get(), 0, idProductName);
    Version = label(text::kAboutVersion, 57, 36, font_.get(), 0, idVersion);
    Label1 = label(text::kAboutDate, 8, 68, font_.get(), 0, idLabel1);
    Label2 = label(text::kAboutAuthor, 8, 84, font_.get(), 0, idLabel2);
    lblMail = label(text::kAboutMail, 8, 100, font_.get(), 0, idLblMail);
    // SS_NOTIFY: the link reports clicks and is found under the pointer.
    lblURL = label(text::kAboutUrl, 40, 120, linkFont_.get(), SS_NOTIFY, idLblURL);

    OKButton = win::CreateChild(L"BUTTON", win::Wide(text::kOk), WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0,
                                {s(87), s(156), s(35), s(25)}, hwnd_, IDOK);
    win::SetFont(OKButton, font_.get());
}

// The box is made again at the new DPI, where the system suggests; the
// focus stays on the button.
void TAboutBox::ChangeDpi(int dpi, const RECT& suggested) {
    if (dpi <= 0 || dpi == dpi_) return;
    const bool focused = GetFocus() == OKButton;
    dpi_ = dpi;
    DestroyWindow(Panel1.hwnd());
    DestroyWindow(OKButton);
    Build();
    FormCreate();
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (focused) SetFocus(OKButton);
}

void TAboutBox::FormCreate() {
    // The program's own icon, taken from the executable: the box keeps no
    // picture of its own.
    programIcon_.reset(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM),
                                                     IMAGE_ICON, kProgramIconSize, kProgramIconSize,
                                                     LR_DEFAULTCOLOR)));
    SendMessageW(imgProgramIcon, STM_SETICON, reinterpret_cast<WPARAM>(programIcon_.get()), 0);
}

void TAboutBox::lblURLClick() {
    // The text shown, with the scheme that makes it an address rather than
    // a file name; the box stays open whatever the shell does.
    const std::wstring target = win::Wide(LinkTarget(win::WindowText(lblURL)));
    const win::ComApartment com;
    shellOpen_(mainWindow_, nullptr, target.c_str(), L"", L"", SW_SHOW);
}

// Over the main window, each halved difference truncated toward zero and
// kept on the screen's left and top.
void TAboutBox::CentreOverOwner() {
    RECT owner{};
    RECT box{};
    GetWindowRect(mainWindow_, &owner);
    GetWindowRect(hwnd_, &box);
    int left = owner.left + ((owner.right - owner.left) - (box.right - box.left)) / 2;
    int top = owner.top + ((owner.bottom - owner.top) - (box.bottom - box.top)) / 2;
    if (left < 0) left = 0;
    if (top < 0) top = 0;
    SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int TAboutBox::ShowModal() {
    const HWND owner = mainWindow_;
    if (!shownBefore_) {
        CentreOverOwner();
        shownBefore_ = true;
    }
    modalResult_ = 0;
    if (owner) EnableWindow(owner, FALSE);
    ShowWindow(hwnd_, SW_SHOW);
    SetFocus(OKButton);
    MSG msg;
    while (modalResult_ == 0 && hwnd_) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // The program is ending: leave the quit request for the main loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            modalResult_ = IDCANCEL;
            break;
        }
        if (got < 0) break;
        if (!IsDialogMessageW(hwnd_, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    // The owner is enabled before the box hides, so the activation goes back to it.
    if (owner) EnableWindow(owner, TRUE);
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
    if (owner) SetActiveWindow(owner);
    return modalResult_;
}

}  // namespace quorvane
