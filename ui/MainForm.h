// The main window's form description: every control once, with its kind,
// parent, text, how it docks or which edges it keeps, its rectangle at the
// design size and its place in the tab order. The window's members, its
// creation, layout, DPI changes, the names the tests use and the tab order
// all come from this one list. Portable, so the layout is tested natively.
#pragma once

#include "folder_settings/UiTexts.h"

namespace quorvane {

// What a control is; the window makes each kind with its class and style.
enum class ControlKind {
    kPanel,
    kSplitter,
    kTree,
    kDriveList,  // hidden: the drive list comes from the platform's drive mask
    kGroupBox,
    kLabel,      // sized to its text
    kBoldLabel,  // sized to its text, in the bold font
    kSpeedButton,
    kPicture,
    kButton,
    kCheckBox,
    kGrid,
};

// How a control takes its place. Docked controls share their parent's
// client area in the order top, bottom, left, right, then fill, each in the
// list's order; kTreeWidth docks left as wide as the splitter makes it.
// The others keep their design distances to their anchored edges.
enum class Dock { kNone, kTreeWidth, kLeft, kTop, kBottom, kRight, kFill };

namespace anchor {
inline constexpr unsigned kNone = 0, kLeft = 1, kTop = 2, kRight = 4, kBottom = 8;
inline constexpr unsigned kLT = kLeft | kTop, kAll = kLeft | kTop | kRight | kBottom;
inline constexpr unsigned kTR = kTop | kRight, kTRB = kTop | kRight | kBottom;
inline constexpr unsigned kLB = kLeft | kBottom, kRB = kRight | kBottom;
}  // namespace anchor

// name, kind, parent, text, accessible name (what a screen reader says of
// it where its text says too little or it has none; empty: the system's),
// dock, design left, top, width, height (96 DPI, in the parent at its
// design size), anchors, tab position (0: none).
// Parents come before their children, in the order of creation.
#define QUORVANE_MAIN_FORM(X)                                                                                                   \
    X(pnlTree, kPanel, frmMain, "", "", kTreeWidth, 0, 0, 177, 408, kNone, 0)                                                   \
    X(Splitter1, kSplitter, frmMain, "", "", kLeft, 177, 0, 3, 408, kNone, 0)                                                   \
    X(pnlGlobalConfig, kPanel, frmMain, "", "", kFill, 180, 0, 328, 408, kNone, 0)                                              \
    X(TreeView, kTree, pnlTree, "", text::kFolders, kNone, 4, 4, 171, 400, kAll, 1)                                             \
    X(DriveComboBox, kDriveList, pnlTree, "", "", kNone, 96, 40, 89, 19, kLT, 0)                                                \
    X(pnlConfig, kPanel, pnlGlobalConfig, "", "", kFill, 0, 0, 250, 408, kNone, 0)                                              \
    X(pnlIcons, kPanel, pnlGlobalConfig, "", "", kRight, 250, 0, 78, 408, kNone, 0)                                             \
    X(sgIcons, kGrid, pnlIcons, "", text::kIconLibrary, kNone, 4, 4, 70, 367, kTRB, 2)                                          \
    X(pnlTop, kPanel, pnlConfig, "", "", kTop, 0, 0, 250, 33, kNone, 0)                                                         \
    X(pnlImage, kPanel, pnlConfig, "", "", kFill, 0, 33, 250, 167, kNone, 0)                                                    \
    X(pnlBottom, kPanel, pnlConfig, "", "", kBottom, 0, 200, 250, 208, kNone, 0)                                                \
    X(GroupBox2, kGroupBox, pnlTop, text::kPathGroup, "", kNone, 4, 0, 215, 33, kAll, 0)                                        \
    X(lblDir, kLabel, GroupBox2, "", "", kNone, 8, 14, 0, 0, kLT, 0)                                                            \
    X(SpeedButton1, kSpeedButton, pnlTop, "", text::kAbout, kNone, 223, 7, 24, 24, kTR, 0)                                      \
    X(GroupBox1, kGroupBox, pnlImage, text::kPictureGroup, "", kNone, 4, 0, 245, 163, kAll, 0)                                  \
    X(Image, kPicture, GroupBox1, "", text::kPictureGroup, kNone, 4, 16, 165, 103, kAll, 0)                                     \
    X(btnBrowseImage, kButton, GroupBox1, text::kBrowse, text::kChoosePicture, kNone, 176, 8, 66, 151, kTRB, 11)                \
    X(chboxCopyImage, kCheckBox, GroupBox1, text::kCopyToFolder, "", kNone, 6, 123, 123, 17, kLB, 12)                           \
    X(btnRestoreImage, kButton, GroupBox1, text::kRestore, text::kRestorePicture, kNone, 4, 140, 125, 18, kLB, 13)              \
    X(GroupBox4, kGroupBox, pnlBottom, text::kColorGroup, "", kNone, 4, 0, 245, 57, kAll, 0)                                    \
    X(lblTextColor, kBoldLabel, GroupBox4, text::kTextColor, "", kNone, 6, 13, 0, 0, kLT, 0)                                    \
    X(btnBrowseTextColor, kButton, GroupBox4, text::kBrowse, text::kChooseTextColor, kNone, 88, 10, 25, 41, kLT, 7)             \
    X(btnRestoreTextColor, kButton, GroupBox4, text::kRestore, text::kRestoreTextColor, kNone, 4, 32, 76, 18, kLT, 9)           \
    X(lblBckGrColor, kBoldLabel, GroupBox4, text::kBackgroundColor, "", kNone, 139, 13, 0, 0, kLT, 0)                           \
    X(btnBrowseBckGrColor, kButton, GroupBox4, text::kBrowse, text::kChooseBackgroundColor, kNone, 219, 10, 23, 41, kLT, 8)     \
    X(btnRestoreBckGrColor, kButton, GroupBox4, text::kRestore, text::kRestoreBackgroundColor, kNone, 136, 32, 76, 18, kLT, 10) \
    X(GroupBox3, kGroupBox, pnlBottom, text::kIconGroup, "", kNone, 4, 64, 245, 107, kAll, 0)                                   \
    X(imgIcon, kPicture, GroupBox3, "", text::kIconGroup, kNone, 8, 16, 64, 64, kLT, 0)                                         \
    X(btnBrowseIcon, kButton, GroupBox3, text::kBrowse, text::kChooseIcon, kNone, 176, 8, 66, 95, kTRB, 5)                      \
    X(btnRestoreIcon, kButton, GroupBox3, text::kRestore, text::kRestoreIcon, kNone, 4, 84, 125, 18, kLB, 6)                    \
    X(btnApply, kButton, pnlBottom, text::kApply, "", kNone, 3, 177, 75, 25, kRB, 4)                                            \
    X(btnExit, kButton, pnlBottom, text::kExit, "", kNone, 173, 177, 75, 25, kRB, 3)

// Each control's index in the list; the window itself is frmMain.
namespace form {
#define QUORVANE_FORM_INDEX(name, ...) name,
enum Index : int { frmMain = -1, QUORVANE_MAIN_FORM(QUORVANE_FORM_INDEX) kControlCount };
#undef QUORVANE_FORM_INDEX
}  // namespace form

// Left, top, width and height relative to the control's parent.
struct LayoutRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const LayoutRect&, const LayoutRect&) = default;
};

struct ControlRow {
    const char* name;
    ControlKind kind;
    form::Index parent;
    const char* text;
    const char* accessibleName;
    Dock dock;
    LayoutRect design;
    unsigned anchors;
    int tab;
};

#define QUORVANE_FORM_ROW(name, kind, parent, text, accessibleName, dock, left, top, width, height, anchors, tab) \
    {#name, ControlKind::kind, form::parent, text, accessibleName, Dock::dock, {left, top, width, height},           \
     anchor::anchors, tab},
inline constexpr ControlRow kMainForm[] = {QUORVANE_MAIN_FORM(QUORVANE_FORM_ROW)};
#undef QUORVANE_FORM_ROW
static_assert(sizeof kMainForm / sizeof kMainForm[0] == form::kControlCount);

}  // namespace quorvane
