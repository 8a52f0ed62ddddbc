#include "ui/Window.h"

#include <commctrl.h>

#include <stdexcept>

#include "platform/win32/WinText.h"
#include "resource.h"
#include "ui/Accessible.h"
#include "ui/MessageText.h"

namespace quorvane::win {

Window::~Window() {
    // The derived parts are gone: no message may reach them any more.
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(std::exchange(hwnd_, nullptr));
    }
}

void Window::RegisterWindowClass(HINSTANCE instance, const wchar_t* className, HBRUSH background, HCURSOR cursor,
                                 UINT style, HICON icon, HICON smallIcon) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, className, &existing)) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = Procedure;
    wc.hInstance = instance;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.hIconSm = smallIcon;
    wc.lpszClassName = className;
    if (!RegisterClassExW(&wc)) throw std::runtime_error("cannot register a window class");
}

void Window::CreateHandle(DWORD exStyle, const wchar_t* className, const std::wstring& text, DWORD style,
                          const LayoutRect& rect, HWND parent, HMENU menuOrId, HINSTANCE instance) {
    CreateWindowExW(exStyle, className, text.c_str(), style, rect.left, rect.top, rect.width < 0 ? 0 : rect.width,
                    rect.height < 0 ? 0 : rect.height, parent, menuOrId, instance, this);
    if (!hwnd_) throw std::runtime_error("cannot create a window");
}

void Window::DestroyHandle() {
    if (hwnd_) DestroyWindow(hwnd_);
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Window::ShowException(const std::exception_ptr& error) {
    const HWND root = GetAncestor(hwnd_, GA_ROOT);
    if (root && root != hwnd_ &&
        SendMessageW(root, kShowExceptionMessage, 0, reinterpret_cast<LPARAM>(&error)) == 1) {
        return;
    }
    MessageBoxW(root, Wide(ExceptionMessage(error)).c_str(), nullptr, MB_ICONSTOP | MB_OK);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    // No exception may cross into the system's code: it is shown here and
    // the program goes on with whatever state the handler reached.
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        self->ShowException(std::current_exception());
        return 0;
    }
}

HWND CreateChild(const wchar_t* className, const std::wstring& text, DWORD style, DWORD exStyle,
                 const LayoutRect& rect, HWND parent, int id) {
    const HWND hwnd = CreateWindowExW(exStyle, className, text.c_str(), style | WS_CHILD, rect.left, rect.top,
                                      rect.width < 0 ? 0 : rect.width, rect.height < 0 ? 0 : rect.height, parent,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                      nullptr);
    if (!hwnd) throw std::runtime_error("cannot create a control");
    return hwnd;
}

void Place(HWND hwnd, const LayoutRect& rect) {
    SetWindowPos(hwnd, nullptr, rect.left, rect.top, rect.width < 0 ? 0 : rect.width,
                 rect.height < 0 ? 0 : rect.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

LayoutRect RectInParent(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

bool ForwardToTopLevel(HWND container, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_DRAWITEM:
    case WM_MEASUREITEM: {
        const HWND root = GetAncestor(container, GA_ROOT);
        if (!root || root == container) return false;
        result = SendMessageW(root, message, wParam, lParam);
        return true;
    }
    default:
        return false;
    }
}

namespace {

LRESULT CALLBACK ContainerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (ForwardToTopLevel(hwnd, message, wParam, lParam, result)) return result;
    if (message == WM_ERASEBKGND) {
        RECT r;
        GetClientRect(hwnd, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    return CallPreviousProc(hwnd, message, wParam, lParam);
}

}  // namespace

// Not comctl32's SetWindowSubclass: it finds its chain in a window property
// for every message, which under Wine is a round trip to the server, about
// 0.1 ms; the start-up's 1,500 tree insertions took 150 ms more through it.
// (XP's comctl32 also exports it by name only from version 6.)
void Subclass(HWND control, WNDPROC proc) {
    // A second one would take the first for the control's own procedure
    // and call itself for ever.
    if (GetWindowLongPtrW(control, GWLP_USERDATA) != 0) throw std::logic_error("a control takes one Subclass");
    const LONG_PTR previous = SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    SetWindowLongPtrW(control, GWLP_USERDATA, previous);
}

LRESULT CallPreviousProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    if (LRESULT answer = 0; AnswerDescribed(control, message, wParam, lParam, answer)) return answer;
    const auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        SetWindowLongPtrW(control, GWLP_USERDATA, 0);
    }
    return CallWindowProcW(previous, control, message, wParam, lParam);
}

void MakeContainer(HWND control) { Subclass(control, ContainerProc); }

namespace {

struct Forwarded {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

BOOL CALLBACK SendForwarded(HWND hwnd, LPARAM data) {
    const auto& m = *reinterpret_cast<const Forwarded*>(data);
    SendMessageW(hwnd, m.message, m.wParam, m.lParam);
    return TRUE;
}

}  // namespace

void SendToDescendants(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Forwarded forwarded{message, wParam, lParam};
    EnumChildWindows(window, SendForwarded, reinterpret_cast<LPARAM>(&forwarded));
}

namespace {

struct FontResourceTraits {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { RemoveFontMemResourceEx(h); }
};
using UniqueFontResource = UniqueHandle<FontResourceTraits>;

// The design face travels in the executable and is added for this process
// alone: neither Wine nor every Windows has "MS Sans Serif" with Cyrillic
// letters, and the face that stands in is wider than the layout. Should
// the system refuse it, that stand-in is still readable.
UniqueFontResource AddDesignFace() {
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(IDR_DESIGN_FONT), RT_RCDATA);
    const HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return {};
    DWORD faces = 0;
    return UniqueFontResource(AddFontMemResourceEx(bytes, SizeofResource(module, found), nullptr, &faces));
}

// A synthesised bold draws every letter again one overhang to the right,
// so its ink ends that far past the advance widths. Windows counts the
// overhang in each extent (two single letters then measure one overhang
// more than the pair); Wine leaves it out, which cuts a label's last column.
int OverhangLeftOut(HDC dc) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    if (metrics.tmOverhang <= 0) return 0;
    SIZE one{};
    SIZE two{};
    GetTextExtentPoint32W(dc, L"x", 1, &one);
    GetTextExtentPoint32W(dc, L"xx", 2, &two);
    const int counted = static_cast<int>(2 * one.cx - two.cx);
    return counted >= metrics.tmOverhang ? 0 : static_cast<int>(metrics.tmOverhang) - counted;
}

}  // namespace

UniqueFont CreateProgramFont(int dpi, bool bold, int points, bool underline) {
    // Added before the first font is made: Wine keeps the face it chose for
    // a font description, so a font made earlier would keep the stand-in.
    static const UniqueFontResource designFace = AddDesignFace();
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(points, dpi, 72);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = underline ? TRUE : FALSE;
    // The interface is Russian: asking for the Cyrillic variant of the font
    // keeps it readable whatever the system's code page is.
    lf.lfCharSet = RUSSIAN_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH;
    lstrcpynW(lf.lfFaceName, L"MS Sans Serif", LF_FACESIZE);
    UniqueFont font(CreateFontIndirectW(&lf));
    if (!font) throw std::runtime_error("cannot create the font");
    return font;
}

void SetFont(HWND hwnd, HFONT font) { SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE); }

std::string WindowText(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), length + 1)));
    return Narrow(text);
}

void AutoSizeLabel(HWND label) {
    const auto font = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
    int width = 0;
    int height = 0;
    {
        const WindowDc dc(label);
        ScopedSelect select(dc.get(), font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
        std::wstring text = Wide(WindowText(label));
        RECT r{0, 0, 0, 0};
        // An empty caption still has the height of a line.
        DrawTextW(dc.get(), text.empty() ? L" " : text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        width = text.empty() ? 0 : r.right - r.left + OverhangLeftOut(dc.get());
        height = r.bottom - r.top;
    }
    SetWindowPos(label, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int ScreenDpi() {
    const WindowDc screen(nullptr);
    const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    return dpi > 0 ? dpi : kDesignDpi;
}

namespace {

// A function of user32 newer than XP, or null where it is missing.
template <typename Function>
Function User32(const char* name) {
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

}  // namespace

int WindowDpi(HWND window) {
    // Loaded by name: the program also runs on Windows that lack it.
    static const auto getDpiForWindow = User32<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    return getDpiForWindow ? static_cast<int>(getDpiForWindow(window)) : 0;
}

// AdjustWindowRectEx gives the frame at the system's DPI, which is not the
// frame of a per-monitor aware window on a monitor of another scale (the
// page says as much); AdjustWindowRectExForDpi (Windows 10 1607) takes the
// window's DPI. Where it is missing, the system's DPI is every window's.
void SetClientSize(HWND window, int width, int height) {
    using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = User32<AdjustForDpi>("AdjustWindowRectExForDpi");
    RECT frame{0, 0, width, height};
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    const int dpi = WindowDpi(window);
    if (!adjustForDpi || dpi <= 0 || !adjustForDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
        frame = {0, 0, width, height};
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    }
    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace quorvane::win
