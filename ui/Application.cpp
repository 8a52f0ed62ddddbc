#include "ui/Application.h"

#include <commctrl.h>

#include "folder_settings/IconFile.h"
#include "folder_settings/Jpeg.h"
#include "platform/win32/WinText.h"
#include "resource.h"
#include "ui/MessageText.h"

namespace quorvane {
namespace {

constexpr wchar_t kApplicationClass[] = L"QuorvaneApplication";

}  // namespace

std::string ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return win::Narrow(path);
        }
        path.resize(path.size() * 2);
    }
}

TApplication::TApplication(HINSTANCE instance, const std::string& executablePath)
    : title_(ProgramTitle(executablePath)) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    // Pictures decode to 8 bits per pixel on a screen of 256 colours or
    // fewer; icons are checked and drawn by the entries chosen at its depth.
    const win::WindowDc screen(nullptr);
    const int depth = GetDeviceCaps(screen.get(), BITSPIXEL) * GetDeviceCaps(screen.get(), PLANES);
    TJPEGImage::SetScreenColorDepth(depth);
    IconFile::SetScreenBits(depth);

    const auto icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, 0, 0,
                                                    LR_DEFAULTSIZE | LR_SHARED));
    const auto smallIcon = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                   GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    RegisterWindowClass(instance, kApplicationClass, nullptr, LoadCursorW(nullptr, IDC_ARROW), 0, icon, smallIcon);
    // No size of its own: it exists only to carry the title and the icon
    // on the taskbar, while the main form is the window the user sees.
    CreateHandle(0, kApplicationClass, win::Wide(title_),
                 WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                 {GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0}, nullptr, nullptr,
                 instance);
}

void TApplication::ShowTaskbarEntry() { ShowWindow(hwnd(), SW_SHOWNOACTIVATE); }

int TApplication::Run(const std::function<bool(MSG&)>& preTranslate, const std::function<bool()>& idle) {
    MSG msg{};
    for (;;) {
        // One thread: idle work goes in steps between the messages, each
        // bounded by the work itself, and no timer is needed to wake it.
        while (idle && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) && idle()) {
        }
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) break;
        if (preTranslate && preTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

void TApplication::Minimize() {
    if (mainForm_) ShowWindow(mainForm_, SW_HIDE);
    ShowWindow(hwnd(), SW_MINIMIZE);
}

void TApplication::Restore() {
    ShowWindow(hwnd(), SW_RESTORE);
    if (mainForm_) {
        ShowWindow(mainForm_, SW_SHOW);
        SetActiveWindow(GetLastActivePopup(mainForm_));
    }
}

LRESULT TApplication::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_MINIMIZE:
            Minimize();
            return 0;
        case SC_RESTORE:
            Restore();
            return 0;
        case SC_CLOSE:
            if (mainForm_) PostMessageW(mainForm_, WM_CLOSE, 0, 0);
            return 0;
        default:
            break;
        }
        break;
    case WM_CLOSE:
        if (mainForm_) PostMessageW(mainForm_, WM_CLOSE, 0, 0);
        return 0;
    case WM_SETFOCUS:
        // The taskbar entry was activated: the user means the main form, or
        // the modal box in front of it.
        if (mainForm_ && IsWindowVisible(mainForm_)) {
            const HWND target = GetLastActivePopup(mainForm_);
            if (target && IsWindowEnabled(target)) SetActiveWindow(target);
        }
        return 0;
    default:
        break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace quorvane
