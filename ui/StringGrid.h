// A one-column grid of fixed-size cells with a vertical scroll bar: the
// icon column. Each row holds a text the grid itself never needs to show;
// the owner draws the cells and hears of every cell the user selects.
// Assistive technology reads it as a list with one item a row (the one
// empty row of a grid without texts is none), the current row selected.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "navigation/IconLibrary.h"
#include "ui/Accessible.h"
#include "ui/Window.h"

namespace quorvane::win {

class StringGrid : public Window, public IconGrid, public AccessibleSource {
public:
    struct DrawState {
        bool selected = false;  // the current cell
        bool focused = false;   // the current cell while the grid has the focus
    };
    // Paints a cell after the grid's own fill and before its focus frame.
    std::function<void(HDC dc, int column, int row, const RECT& cell, DrawState state)> onDrawCell;
    // Runs for every click on a cell, also on the current one, and every
    // keyboard move, before the cell becomes current; clearing `allow`
    // keeps the current cell. An exception keeps it too.
    std::function<void(int column, int row, bool& allow)> onSelectCell;
    // What a screen reader says of the grid and of a row (by default, its text).
    std::string accessibleName;
    std::function<std::string(int row)> rowName;

    void Create(HWND parent, const LayoutRect& rect, int id, int columnWidth, int rowHeight);
    // Another cell size (the DPI changed); the current row stays in view.
    void SetCellSize(int columnWidth, int rowHeight);

    int RowCount() const override { return static_cast<int>(cells_.size()); }
    void SetRowCount(int rows) override;
    std::string CellText(int row) const override;
    void SetCellText(int row, const std::string& text) override;
    void SetRows(std::vector<std::string> texts) override;

    int Row() const { return row_; }
    int TopRow() const { return topRow_; }
    // A cell's rectangle in client coordinates.
    RECT CellRect(int row) const;
    // Selects a row as a click on it does.
    void SelectCell(int row);

    // The list and its items (child k is row k - 1).
    std::optional<std::string> AccessibleName(long child) const override;
    std::optional<long> AccessibleRole(long child) const override;
    long AccessibleState(long child, long standard) const override;
    long AccessibleChildCount() const override;
    RECT AccessibleChildLocation(long child) const override;
    long AccessibleFocusedChild() const override;
    long AccessibleSelectedChild() const override { return AccessibleChildCount() > 0 ? row_ + 1 : 0; }
    long AccessibleChildAt(POINT screen) const override;
    bool AccessibleSelect(long child, long flags) override;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC dc);
    // The current row, which the user hears of while the grid has the focus.
    void AnnounceRow() const;
    int RowAt(int x, int y) const;
    int VisibleRows() const;  // rows that fit whole
    void UpdateScrollBar();
    void ScrollTo(int topRow);
    void MakeVisible(int row);
    void MoveBy(int delta);

    std::vector<std::string> cells_{std::string()};
    int row_ = 0;
    int topRow_ = 0;
    int columnWidth_ = 48;
    int rowHeight_ = 48;
    int wheelRemainder_ = 0;
    Accessibility accessibility_{*this};
};

}  // namespace quorvane::win
