#include "ui/Unit_About.h"

#include <stdexcept>

#include "folder_settings/UiTexts.h"
#include "platform/win32/WinText.h"
#include "ui/DialogTemplate.h"
#include "ui/Window.h"

namespace quorvane {
namespace {

constexpr int kClientWidth = 205;
constexpr int kClientHeight = 187;

}  // namespace

TAboutBox::TAboutBox(HWND owner, int dpi) : dpi_(dpi) {
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

INT_PTR TAboutBox::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        Build();
        return FALSE;
    case WM_COMMAND:
        // Esc arrives as IDCANCEL and is ignored: there is no cancel button.
        if (LOWORD(wParam) == IDOK) modalResult_ = IDOK;
        return TRUE;
    case WM_CLOSE:
        modalResult_ = IDCANCEL;
        return TRUE;
    default:
        return FALSE;
    }
}

void TAboutBox::Build() {
    font_ = win::CreateProgramFont(dpi_);
    win::SetFont(hwnd_, font_.get());
    RECT frame{0, 0, Scale(kClientWidth, dpi_), Scale(kClientHeight, dpi_)};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
    SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    auto s = [this](int v) { return Scale(v, dpi_); };
    okButton_ = win::CreateChild(L"BUTTON", win::Wide(text::kOk), WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0,
                                 {s(87), s(156), s(35), s(25)}, hwnd_, IDOK);
    win::SetFont(okButton_, font_.get());
}

// Over the owner, each halved difference truncated toward zero and kept
// on the screen's left and top.
void TAboutBox::CentreOverOwner() {
    RECT owner{};
    RECT box{};
    GetWindowRect(GetWindow(hwnd_, GW_OWNER), &owner);
    GetWindowRect(hwnd_, &box);
    int left = owner.left + ((owner.right - owner.left) - (box.right - box.left)) / 2;
    int top = owner.top + ((owner.bottom - owner.top) - (box.bottom - box.top)) / 2;
    if (left < 0) left = 0;
    if (top < 0) top = 0;
    SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int TAboutBox::ShowModal() {
    const HWND owner = GetWindow(hwnd_, GW_OWNER);
    if (!shownBefore_) {
        CentreOverOwner();
        shownBefore_ = true;
    }
    modalResult_ = 0;
    if (owner) EnableWindow(owner, FALSE);
    ShowWindow(hwnd_, SW_SHOW);
    SetFocus(okButton_);
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
