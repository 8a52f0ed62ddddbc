#include "ui/StringGrid.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "platform/win32/WinText.h"

namespace quorvane::win {
namespace {

constexpr wchar_t kGridClass[] = L"QuorvaneStringGrid";
constexpr int kGridLineWidth = 1;

}  // namespace

void StringGrid::Create(HWND parent, const LayoutRect& rect, int id, int columnWidth, int rowHeight) {
    columnWidth_ = columnWidth;
    rowHeight_ = rowHeight > 0 ? rowHeight : 1;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterWindowClass(instance, kGridClass, nullptr, LoadCursorW(nullptr, IDC_ARROW), CS_DBLCLKS);
    CreateHandle(WS_EX_CLIENTEDGE, kGridClass, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_CLIPSIBLINGS,
                 rect, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance);
    UpdateScrollBar();
}

void StringGrid::SetCellSize(int columnWidth, int rowHeight) {
    columnWidth_ = columnWidth;
    rowHeight_ = rowHeight > 0 ? rowHeight : 1;
    UpdateScrollBar();
    MakeVisible(row_);
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void StringGrid::SetRowCount(int rows) {
    cells_.resize(static_cast<size_t>(std::max(rows, 1)));
    row_ = std::min(row_, RowCount() - 1);
    UpdateScrollBar();
    ScrollTo(topRow_);
    if (hwnd()) InvalidateRect(hwnd(), nullptr, FALSE);
}

void StringGrid::SetRows(std::vector<std::string> texts) {
    cells_ = std::move(texts);
    if (cells_.empty()) cells_.emplace_back();
    SetRowCount(RowCount());
}

std::string StringGrid::CellText(int row) const {
    if (row < 0 || row >= RowCount()) return {};
    return cells_[static_cast<size_t>(row)];
}

void StringGrid::SetCellText(int row, const std::string& text) {
    if (row < 0 || row >= RowCount()) return;
    cells_[static_cast<size_t>(row)] = text;
    if (hwnd()) {
        const RECT r = CellRect(row);
        InvalidateRect(hwnd(), &r, FALSE);
    }
}

RECT StringGrid::CellRect(int row) const {
    const int top = (row - topRow_) * rowHeight_;
    return {0, top, columnWidth_, top + rowHeight_};
}

int StringGrid::VisibleRows() const {
    RECT client{};
    if (hwnd()) GetClientRect(hwnd(), &client);
    return std::max(1, static_cast<int>(client.bottom - client.top) / rowHeight_);
}

void StringGrid::UpdateScrollBar() {
    if (!hwnd()) return;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = RowCount() - 1;
    info.nPage = static_cast<UINT>(VisibleRows());
    info.nPos = topRow_;
    // The bar shows only while some rows are out of sight.
    SetScrollInfo(hwnd(), SB_VERT, &info, TRUE);
}

void StringGrid::ScrollTo(int topRow) {
    const int maxTop = std::max(0, RowCount() - VisibleRows());
    topRow = std::clamp(topRow, 0, maxTop);
    if (topRow == topRow_) return;
    topRow_ = topRow;
    UpdateScrollBar();
    if (hwnd()) InvalidateRect(hwnd(), nullptr, FALSE);
}

void StringGrid::MakeVisible(int row) {
    if (row < topRow_) ScrollTo(row);
    else if (row >= topRow_ + VisibleRows()) ScrollTo(row - VisibleRows() + 1);
}

void StringGrid::SelectCell(int row) {
    if (row < 0 || row >= RowCount()) return;
    bool allow = true;
    if (onSelectCell) onSelectCell(0, row, allow);
    if (!allow) return;
    const RECT before = CellRect(row_);
    row_ = row;
    MakeVisible(row_);
    if (hwnd()) {
        InvalidateRect(hwnd(), &before, FALSE);
        const RECT after = CellRect(row_);
        InvalidateRect(hwnd(), &after, FALSE);
    }
    AnnounceRow();
}

void StringGrid::AnnounceRow() const {
    if (!hwnd() || GetFocus() != hwnd() || AccessibleChildCount() == 0) return;
    NotifyAccessible(EVENT_OBJECT_FOCUS, hwnd(), row_ + 1);
    NotifyAccessible(EVENT_OBJECT_SELECTION, hwnd(), row_ + 1);
}

int StringGrid::RowAt(int x, int y) const {
    const int row = topRow_ + y / rowHeight_;
    return x >= 0 && x < columnWidth_ && y >= 0 && row < RowCount() ? row : -1;
}

std::optional<std::string> StringGrid::AccessibleName(long child) const {
    if (child == CHILDID_SELF) return accessibleName;
    const int row = static_cast<int>(child - 1);
    return rowName ? rowName(row) : CellText(row);
}

std::optional<long> StringGrid::AccessibleRole(long child) const {
    return child == CHILDID_SELF ? ROLE_SYSTEM_LIST : ROLE_SYSTEM_LISTITEM;
}

long StringGrid::AccessibleState(long child, long standard) const {
    if (child == CHILDID_SELF) return standard;
    const int row = static_cast<int>(child - 1);
    long state = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    if (row == row_) state |= STATE_SYSTEM_SELECTED | (GetFocus() == hwnd() ? STATE_SYSTEM_FOCUSED : 0);
    if (row < topRow_ || row >= topRow_ + VisibleRows()) state |= STATE_SYSTEM_OFFSCREEN;
    return state;
}

long StringGrid::AccessibleChildCount() const {
    return RowCount() == 1 && cells_.front().empty() ? 0 : RowCount();
}

RECT StringGrid::AccessibleChildLocation(long child) const {
    RECT r = CellRect(static_cast<int>(child - 1));
    MapWindowPoints(hwnd(), HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

long StringGrid::AccessibleFocusedChild() const { return GetFocus() == hwnd() ? row_ + 1 : 0; }

long StringGrid::AccessibleChildAt(POINT screen) const {
    ScreenToClient(hwnd(), &screen);
    RECT client;
    GetClientRect(hwnd(), &client);
    return PtInRect(&client, screen) ? RowAt(screen.x, screen.y) + 1 : 0;
}

// As a click on the row: what the row's pick does (it may refuse) runs.
bool StringGrid::AccessibleSelect(long child, long flags) {
    if (flags & ~(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION)) return false;
    if (flags & SELFLAG_TAKEFOCUS) SetFocus(hwnd());
    if (flags & SELFLAG_TAKESELECTION) SelectCell(static_cast<int>(child - 1));
    return true;
}

void StringGrid::MoveBy(int delta) {
    const int target = std::clamp(row_ + delta, 0, RowCount() - 1);
    if (target != row_) SelectCell(target);
}

LRESULT StringGrid::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (LRESULT answer = 0; accessibility_.Handle(hwnd(), message, wParam, lParam, answer)) return answer;
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        const PaintDc paint(hwnd());
        Paint(paint.get());
        return 0;
    }
    case WM_SIZE:
        UpdateScrollBar();
        ScrollTo(topRow_);
        InvalidateRect(hwnd(), nullptr, FALSE);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        const RECT r = CellRect(row_);
        InvalidateRect(hwnd(), &r, FALSE);
        if (message == WM_SETFOCUS) AnnounceRow();
        return 0;
    }
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        SetFocus(hwnd());
        if (const int row = RowAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); row >= 0) SelectCell(row);
        return 0;
    }
    case WM_KEYDOWN:
        switch (wParam) {
        case VK_UP: MoveBy(-1); return 0;
        case VK_DOWN: MoveBy(1); return 0;
        case VK_PRIOR: MoveBy(-VisibleRows()); return 0;
        case VK_NEXT: MoveBy(VisibleRows()); return 0;
        case VK_HOME: MoveBy(-row_); return 0;
        case VK_END: MoveBy(RowCount() - 1 - row_); return 0;
        default: break;
        }
        break;
    case WM_VSCROLL: {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        GetScrollInfo(hwnd(), SB_VERT, &info);
        switch (LOWORD(wParam)) {
        case SB_LINEUP: ScrollTo(topRow_ - 1); break;
        case SB_LINEDOWN: ScrollTo(topRow_ + 1); break;
        case SB_PAGEUP: ScrollTo(topRow_ - VisibleRows()); break;
        case SB_PAGEDOWN: ScrollTo(topRow_ + VisibleRows()); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: ScrollTo(info.nTrackPos); break;
        case SB_TOP: ScrollTo(0); break;
        case SB_BOTTOM: ScrollTo(RowCount()); break;
        default: break;
        }
        return 0;
    }
    case WM_MOUSEWHEEL: {
        // The wheel scrolls; it picks nothing.
        wheelRemainder_ += GET_WHEEL_DELTA_WPARAM(wParam);
        const int steps = wheelRemainder_ / WHEEL_DELTA;
        wheelRemainder_ -= steps * WHEEL_DELTA;
        if (steps != 0) ScrollTo(topRow_ - steps);
        return 0;
    }
    default:
        break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

void StringGrid::Paint(HDC dc) {
    RECT client;
    GetClientRect(hwnd(), &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    const bool focused = GetFocus() == hwnd();
    const auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0));
    int bottom = 0;
    for (int row = topRow_; row < RowCount(); ++row) {
        const RECT cell = CellRect(row);
        if (cell.top >= client.bottom) break;
        bottom = cell.bottom;
        const bool current = row == row_;
        // The grid's own drawing, which the owner may cover.
        FillRect(dc, &cell, GetSysColorBrush(current && !focused ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        if (!cells_[static_cast<size_t>(row)].empty()) {
            ScopedSelect select(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, GetSysColor(current && !focused ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
            RECT text = cell;
            InflateRect(&text, -2, -2);
            const std::wstring wide = Wide(cells_[static_cast<size_t>(row)]);
            DrawTextW(dc, wide.c_str(), -1, &text, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
        if (onDrawCell) {
            const int saved = SaveDC(dc);
            onDrawCell(dc, 0, row, cell, DrawState{current, current && focused});
            RestoreDC(dc, saved);
        }
        if (current && focused) DrawFocusRect(dc, &cell);
    }
    // Vertical grid line only: the cells stand one above the other.
    const RECT line{columnWidth_, 0, columnWidth_ + kGridLineWidth, bottom};
    FillRect(dc, &line, GetSysColorBrush(COLOR_BTNFACE));
}

}  // namespace quorvane::win
