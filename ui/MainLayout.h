// Where every control of the main window sits for a given client size and
// tree width, from the form description. Portable, so the resizing rules
// are tested natively; the window only moves its controls there.
#pragma once

#include <array>
#include <string_view>

#include "ui/MainForm.h"

namespace quorvane {

inline constexpr int kDesignDpi = 96;

// value * dpi / 96, rounded to the nearest integer (halves away from zero),
// as MulDiv does.
int Scale(int value, int dpi);

// Design numbers at 96 dots per inch.
namespace design {
inline constexpr int kClientWidth = 508;
inline constexpr int kClientHeight = 408;
inline constexpr int kWindowWidth = 516;
inline constexpr int kWindowHeight = 442;
// The splitter collapses the tree at this width or less.
inline constexpr int kMinTreeWidth = 30;
// The area right of the splitter keeps at least this much.
inline constexpr int kMinRightArea = 30;
}  // namespace design

// One rectangle per control of the form description, each relative to its
// parent window. Labels get their place only: their size follows their text.
struct MainLayout {
    std::array<LayoutRect, form::kControlCount> rects;

    const LayoutRect& operator[](form::Index control) const { return rects[static_cast<size_t>(control)]; }
};

// The control of that name in the form description, frmMain for the
// window itself, kControlCount for none.
form::Index FormIndex(std::string_view name);

// The layout for a client area of width x height with the tree panel
// treeWidth wide, all three in device pixels, design numbers scaled to dpi.
// Sizes may come out negative when the window is smaller than its fixed
// parts; the window shows such controls with no size.
MainLayout ComputeMainLayout(int width, int height, int treeWidth, int dpi);

// The tree width that a splitter drag to `proposed` gives in a client area
// `clientWidth` wide: held to the room the right-hand area needs, and
// collapsed to 0 at the minimum width or less.
int SplitterTreeWidth(int proposed, int clientWidth, int dpi);

}  // namespace quorvane
