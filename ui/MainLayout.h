// Where every control of the main window sits for a given client size and
// tree width. Portable, so the resizing rules are tested natively; the
// window only moves its controls to these rectangles.
#pragma once

namespace quorvane {

inline constexpr int kDesignDpi = 96;

// value * dpi / 96, rounded to the nearest integer (halves away from zero),
// as MulDiv does.
int Scale(int value, int dpi);

// Left, top, width and height relative to the control's parent.
struct LayoutRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const LayoutRect&, const LayoutRect&) = default;
};

// Design numbers at 96 dots per inch.
namespace design {
inline constexpr int kClientWidth = 508;
inline constexpr int kClientHeight = 408;
inline constexpr int kWindowWidth = 516;
inline constexpr int kWindowHeight = 442;
inline constexpr int kTreeWidth = 177;
inline constexpr int kSplitterWidth = 3;
inline constexpr int kIconColumnWidth = 78;
// The splitter collapses the tree at this width or less.
inline constexpr int kMinTreeWidth = 30;
// The area right of the splitter keeps at least this much.
inline constexpr int kMinRightArea = 30;
}  // namespace design

// One rectangle per control, each relative to its parent window.
struct MainLayout {
    // Children of the window.
    LayoutRect pnlTree, Splitter1, pnlGlobalConfig;
    // pnlTree.
    LayoutRect TreeView, DriveComboBox;
    // pnlGlobalConfig.
    LayoutRect pnlConfig, pnlIcons;
    // pnlIcons.
    LayoutRect sgIcons;
    // pnlConfig.
    LayoutRect pnlTop, pnlImage, pnlBottom;
    // pnlTop, and lblDir in GroupBox2 (its size follows its text).
    LayoutRect GroupBox2, lblDir, SpeedButton1;
    // pnlImage, and GroupBox1's children.
    LayoutRect GroupBox1, Image, btnBrowseImage, chboxCopyImage, btnRestoreImage;
    // pnlBottom.
    LayoutRect GroupBox4, GroupBox3, btnApply, btnExit;
    // GroupBox4 (the labels' sizes follow their texts).
    LayoutRect lblTextColor, btnBrowseTextColor, btnRestoreTextColor;
    LayoutRect lblBckGrColor, btnBrowseBckGrColor, btnRestoreBckGrColor;
    // GroupBox3.
    LayoutRect imgIcon, btnBrowseIcon, btnRestoreIcon;
};

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
