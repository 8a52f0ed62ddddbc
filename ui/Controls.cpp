#include "ui/Controls.h"

#include <windowsx.h>
#include <uxtheme.h>
#include <vssym32.h>

#include <cstring>
#include <stdexcept>

#include "folder_settings/UiTexts.h"

namespace quorvane::win {
namespace {

constexpr wchar_t kPanelClass[] = L"QuorvanePanel";
constexpr wchar_t kSplitterClass[] = L"QuorvaneSplitter";
constexpr wchar_t kSpeedButtonClass[] = L"QuorvaneSpeedButton";

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

HBRUSH FaceBrush() { return reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)); }

LRESULT CALLBACK FlatBevelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCALCSIZE:
        if (wParam) {
            auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
            InflateRect(&params->rgrc[0], -1, -1);
        }
        break;
    case WM_NCPAINT: {
        const LRESULT result = CallPreviousProc(hwnd, message, wParam, lParam);
        const WindowDc windowDc(hwnd, GetWindowDC(hwnd));
        const HDC dc = windowDc.get();
        RECT r;
        GetWindowRect(hwnd, &r);
        OffsetRect(&r, -r.left, -r.top);
        FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
        InflateRect(&r, -1, -1);
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
        return result;
    }
    default:
        break;
    }
    return CallPreviousProc(hwnd, message, wParam, lParam);
}

}  // namespace

// Panel ---------------------------------------------------------------------

void Panel::Create(HWND parent, const LayoutRect& rect) {
    RegisterWindowClass(Instance(), kPanelClass, FaceBrush(), LoadCursorW(nullptr, IDC_ARROW));
    CreateHandle(WS_EX_CONTROLPARENT, kPanelClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                 rect, parent, nullptr, Instance());
}

LRESULT Panel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (ForwardToTopLevel(hwnd(), message, wParam, lParam, result)) return result;
    return Window::HandleMessage(message, wParam, lParam);
}

// Splitter ------------------------------------------------------------------

void Splitter::Create(HWND parent, const LayoutRect& rect) {
    RegisterWindowClass(Instance(), kSplitterClass, FaceBrush(), LoadCursorW(nullptr, IDC_SIZEWE));
    CreateHandle(0, kSplitterClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, rect, parent, nullptr, Instance());
    // The classic dotted drag pattern: every other pixel.
    const WORD pattern[8] = {0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA};
    UniqueBitmap bits(CreateBitmap(8, 8, 1, 1, pattern));
    halftone_.reset(CreatePatternBrush(bits.get()));
}

LRESULT Splitter::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        const PaintDc paint(hwnd());
        const HDC dc = paint.get();
        RECT r;
        GetClientRect(hwnd(), &r);
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
        // Bevelled: light on the left, shadow on the right.
        RECT left{r.left, r.top, r.left + 1, r.bottom};
        RECT right{r.right - 1, r.top, r.right, r.bottom};
        FillRect(dc, &left, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
        if (r.right - r.left > 1) FillRect(dc, &right, GetSysColorBrush(COLOR_BTNSHADOW));
        return 0;
    }
    case WM_LBUTTONDOWN:
        BeginDrag(GET_X_LPARAM(lParam));
        return 0;
    case WM_MOUSEMOVE:
        if (dragging_) Track(GET_X_LPARAM(lParam));
        return 0;
    case WM_LBUTTONUP:
        if (dragging_) {
            Track(GET_X_LPARAM(lParam));
            EndDrag(true);
        }
        return 0;
    case WM_CAPTURECHANGED:
        if (dragging_) EndDrag(false);
        return 0;
    default:
        return Window::HandleMessage(message, wParam, lParam);
    }
}

void Splitter::BeginDrag(int x) {
    if (!currentWidth || !clampWidth) return;
    dragging_ = true;
    startX_ = x;
    startWidth_ = currentWidth();
    lineLeft_ = -1;
    SetCapture(hwnd());
    Track(x);
}

void Splitter::Track(int x) {
    const int width = clampWidth(startWidth_ + (x - startX_));
    if (width == lineLeft_) return;
    if (lineLeft_ >= 0) InvertLine(lineLeft_);
    lineLeft_ = width;
    InvertLine(lineLeft_);
}

void Splitter::EndDrag(bool apply) {
    dragging_ = false;
    const int width = lineLeft_;
    if (lineLeft_ >= 0) InvertLine(lineLeft_);
    lineLeft_ = -1;
    if (GetCapture() == hwnd()) ReleaseCapture();
    if (apply && width >= 0 && onMoved) onMoved(width);
}

// Drawn straight onto the parent, over its other children; drawing it
// twice at the same place removes it.
void Splitter::InvertLine(int left) {
    const HWND parent = GetParent(hwnd());
    RECT r;
    GetClientRect(hwnd(), &r);
    const WindowDc dc(parent, GetDCEx(parent, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS | DCX_LOCKWINDOWUPDATE));
    if (!dc.get()) return;
    ScopedSelect brush(dc.get(), halftone_.get());
    PatBlt(dc.get(), left, 0, r.right - r.left, r.bottom - r.top, PATINVERT);
}

void AddFlatBevel(HWND control) { Subclass(control, FlatBevelProc); }

// SpeedButton ---------------------------------------------------------------

void SpeedButton::Create(HWND parent, const LayoutRect& rect, int id, UniqueBitmap glyph, int glyphSize) {
    glyph_ = std::move(glyph);
    glyphSize_ = glyphSize;
    RegisterWindowClass(Instance(), kSpeedButtonClass, FaceBrush(), LoadCursorW(nullptr, IDC_ARROW));
    CreateHandle(0, kSpeedButtonClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, rect, parent,
                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance());
}

void SpeedButton::SetGlyphSize(int glyphSize) {
    glyphSize_ = glyphSize;
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void SpeedButton::Click() {
    if (onClick) onClick();
}

long SpeedButton::AccessibleState(long, long standard) const {
    return (standard & ~STATE_SYSTEM_FOCUSABLE) | (pressed_ ? STATE_SYSTEM_PRESSED : 0);
}

std::optional<std::string> SpeedButton::AccessibleShortcut(long) const {
    if (accessibleShortcut.empty()) return std::nullopt;
    return accessibleShortcut;
}

std::optional<std::string> SpeedButton::AccessibleDefaultAction(long) const { return std::string(text::kPress); }

// Posted, so the caller returns before the click's own work (a modal box)
// begins.
bool SpeedButton::AccessibleDoDefaultAction(long) {
    return PostMessageW(hwnd(), BM_CLICK, 0, 0) != FALSE;
}

bool SpeedButton::PointerInside(LPARAM lParam) const {
    RECT r;
    GetClientRect(hwnd(), &r);
    const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    return PtInRect(&r, p) != FALSE;
}

LRESULT SpeedButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (LRESULT answer = 0; accessibility_.Handle(hwnd(), message, wParam, lParam, answer)) return answer;
    switch (message) {
    case WM_PAINT: {
        const PaintDc paint(hwnd());
        Paint(paint.get());
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        // Never takes the focus: the focused control keeps it.
        SetCapture(hwnd());
        pressed_ = true;
        InvalidateRect(hwnd(), nullptr, FALSE);
        return 0;
    case WM_MOUSEMOVE: {
        if (!tracking_) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd(), 0};
            tracking_ = TrackMouseEvent(&track) != FALSE;
        }
        const bool inside = PointerInside(lParam);
        const bool pressed = GetCapture() == hwnd() && inside;
        if (inside != hot_ || pressed != pressed_) {
            hot_ = inside;
            pressed_ = pressed;
            InvalidateRect(hwnd(), nullptr, FALSE);
        }
        return 0;
    }
    case WM_MOUSELEAVE:
        tracking_ = false;
        hot_ = false;
        InvalidateRect(hwnd(), nullptr, FALSE);
        return 0;
    case WM_LBUTTONUP: {
        const bool click = GetCapture() == hwnd() && PointerInside(lParam);
        pressed_ = false;
        if (GetCapture() == hwnd()) ReleaseCapture();
        InvalidateRect(hwnd(), nullptr, FALSE);
        if (click) Click();
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (pressed_) {
            pressed_ = false;
            InvalidateRect(hwnd(), nullptr, FALSE);
        }
        return 0;
    case BM_CLICK:
        Click();
        return 0;
    default:
        return Window::HandleMessage(message, wParam, lParam);
    }
}

void SpeedButton::Paint(HDC dc) {
    RECT r;
    GetClientRect(hwnd(), &r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    const bool enabled = IsWindowEnabled(hwnd()) != FALSE;
    if (HTHEME theme = OpenThemeData(hwnd(), L"BUTTON")) {
        const int state = !enabled ? PBS_DISABLED : pressed_ ? PBS_PRESSED : hot_ ? PBS_HOT : PBS_NORMAL;
        DrawThemeBackground(theme, dc, BP_PUSHBUTTON, state, &r, nullptr);
        CloseThemeData(theme);
    } else {
        DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed_ ? DFCS_PUSHED : 0));
    }
    if (!glyph_) return;
    BITMAP info{};
    GetObjectW(glyph_.get(), sizeof info, &info);
    const int offset = pressed_ ? 1 : 0;
    const int x = (r.right - r.left - glyphSize_) / 2 + offset;
    const int y = (r.bottom - r.top - glyphSize_) / 2 + offset;
    const UniqueDc memory(CreateCompatibleDC(dc));
    ScopedSelect select(memory.get(), glyph_.get());
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(enabled ? 255 : 128), AC_SRC_ALPHA};
    AlphaBlend(dc, x, y, glyphSize_, glyphSize_, memory.get(), 0, 0, info.bmWidth, info.bmHeight, blend);
}

UniqueBitmap LoadGlyph(HINSTANCE instance, int resourceId) {
    const HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(2) /* RT_BITMAP */);
    const HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
    const auto* data = static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
    const DWORD size = resource ? SizeofResource(instance, resource) : 0;
    if (!data || size < sizeof(BITMAPINFOHEADER)) throw std::runtime_error("glyph resource missing");
    BITMAPINFOHEADER header;
    std::memcpy(&header, data, sizeof header);
    const int width = header.biWidth;
    const int height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    if (header.biBitCount != 32 || header.biCompression != BI_RGB || width <= 0 || height <= 0 ||
        header.biSize + rowBytes * static_cast<size_t>(height) > size) {
        throw std::runtime_error("glyph resource is not a 32-bit bitmap");
    }
    const BYTE* pixels = data + header.biSize;

    void* bits = nullptr;
    UniqueBitmap bitmap = CreateTopDownDib(nullptr, width, height, 32, &bits);
    if (!bitmap) throw std::runtime_error("cannot create the glyph");
    auto* out = static_cast<BYTE*>(bits);
    for (int y = 0; y < height; ++y) {
        const int sourceRow = header.biHeight > 0 ? height - 1 - y : y;
        const BYTE* in = pixels + rowBytes * static_cast<size_t>(sourceRow);
        BYTE* row = out + rowBytes * static_cast<size_t>(y);
        for (int x = 0; x < width; ++x) {
            const BYTE alpha = in[x * 4 + 3];
            for (int c = 0; c < 3; ++c) row[x * 4 + c] = static_cast<BYTE>(in[x * 4 + c] * alpha / 255);
            row[x * 4 + 3] = alpha;
        }
    }
    GdiFlush();
    return bitmap;
}

}  // namespace quorvane::win
