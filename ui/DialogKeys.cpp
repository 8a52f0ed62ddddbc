#include "ui/DialogKeys.h"

namespace quorvane::win {
namespace {

bool IsPushButton(HWND hwnd) {
    wchar_t name[8] = {};
    if (!GetClassNameW(hwnd, name, 8) || lstrcmpiW(name, L"Button") != 0) return false;
    const auto type = GetWindowLongPtrW(hwnd, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

// As the dialog manager does at each such key: the system passes it on to
// every control only when something was hidden.
void ShowCues(HWND window, WORD cues) { SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, cues), 0); }

}  // namespace

bool HandleDialogKeys(HWND window, const MSG& msg) {
    if (!window || (msg.hwnd != window && !IsChild(window, msg.hwnd))) return false;
    if (msg.message == WM_SYSKEYDOWN && msg.wParam == VK_MENU) {
        ShowCues(window, UISF_HIDEFOCUS | UISF_HIDEACCEL);
        return false;
    }
    if (msg.message != WM_KEYDOWN) return false;
    switch (msg.wParam) {
    case VK_TAB:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        // The key still does its own work: it only shows where the focus goes.
        ShowCues(window, UISF_HIDEFOCUS);
        return false;
    case VK_RETURN:
        // Not a default button: Enter means only the button that has the focus.
        if (msg.hwnd != GetFocus() || !IsPushButton(msg.hwnd) || !IsWindowEnabled(msg.hwnd)) return false;
        ShowCues(window, UISF_HIDEFOCUS);
        SendMessageW(msg.hwnd, BM_CLICK, 0, 0);
        return true;
    default:
        return false;
    }
}

}  // namespace quorvane::win
