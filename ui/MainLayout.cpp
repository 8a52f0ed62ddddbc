#include "ui/MainLayout.h"

#include <cstdint>

namespace quorvane {
namespace {

enum Anchor : unsigned { kLeft = 1, kTop = 2, kRight = 4, kBottom = 8 };
constexpr unsigned kAll = kLeft | kTop | kRight | kBottom;

struct Size {
    int width;
    int height;
};

// A control placed at `design` inside a parent of design size `parentDesign`,
// in a parent that is now `parent` in size. For each anchored edge the
// control keeps its design distance to that edge (scaled); with both edges
// of an axis anchored it stretches, with only the far edge it moves, and
// otherwise it keeps its near distance and size.
LayoutRect Anchored(LayoutRect design, Size parentDesign, Size parent, unsigned anchors, int dpi) {
    auto axis = [dpi](int pos, int size, int parentDesignSize, int parentSize, bool nearEdge, bool farEdge,
                      int& outPos, int& outSize) {
        const int farDistance = Scale(parentDesignSize - pos - size, dpi);
        if (nearEdge && farEdge) {
            outPos = Scale(pos, dpi);
            outSize = parentSize - outPos - farDistance;
        } else if (farEdge) {
            outSize = Scale(size, dpi);
            outPos = parentSize - farDistance - outSize;
        } else {
            outPos = Scale(pos, dpi);
            outSize = Scale(size, dpi);
        }
    };
    LayoutRect r;
    axis(design.left, design.width, parentDesign.width, parent.width, anchors & kLeft, anchors & kRight, r.left,
         r.width);
    axis(design.top, design.height, parentDesign.height, parent.height, anchors & kTop, anchors & kBottom, r.top,
         r.height);
    return r;
}

LayoutRect Fixed(LayoutRect design, int dpi) {
    return {Scale(design.left, dpi), Scale(design.top, dpi), Scale(design.width, dpi), Scale(design.height, dpi)};
}

Size SizeOf(const LayoutRect& r) { return {r.width, r.height}; }

}  // namespace

int Scale(int value, int dpi) {
    const int64_t product = static_cast<int64_t>(value) * dpi;
    const int64_t half = kDesignDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kDesignDpi : -((-product + half) / kDesignDpi));
}

MainLayout ComputeMainLayout(int width, int height, int treeWidth, int dpi) {
    using namespace design;
    auto s = [dpi](int v) { return Scale(v, dpi); };
    MainLayout l;

    // Docked left to right: the tree panel, the splitter, then the rest.
    l.pnlTree = {0, 0, treeWidth, height};
    l.Splitter1 = {treeWidth, 0, s(kSplitterWidth), height};
    const int rightLeft = treeWidth + s(kSplitterWidth);
    l.pnlGlobalConfig = {rightLeft, 0, width - rightLeft, height};

    l.TreeView = Anchored({4, 4, 171, 400}, {kTreeWidth, kClientHeight}, SizeOf(l.pnlTree), kAll, dpi);
    l.DriveComboBox = Fixed({96, 40, 89, 19}, dpi);

    // The settings column is docked left and also anchored right, so the
    // icon column that fills the rest keeps its width.
    const int globalDesignWidth = kClientWidth - kTreeWidth - kSplitterWidth;
    const int configDesignWidth = globalDesignWidth - kIconColumnWidth;
    l.pnlConfig = {0, 0, l.pnlGlobalConfig.width - s(kIconColumnWidth), height};
    l.pnlIcons = {l.pnlConfig.width, 0, l.pnlGlobalConfig.width - l.pnlConfig.width, height};
    l.sgIcons = Anchored({4, 4, 70, 367}, {kIconColumnWidth, kClientHeight}, SizeOf(l.pnlIcons),
                         kTop | kRight | kBottom, dpi);

    // The settings column: a strip on top, one at the bottom, the picture
    // box between them.
    const int columnWidth = l.pnlConfig.width;
    constexpr int kTopHeight = 33;
    constexpr int kBottomHeight = 208;
    l.pnlTop = {0, 0, columnWidth, s(kTopHeight)};
    l.pnlBottom = {0, height - s(kBottomHeight), columnWidth, s(kBottomHeight)};
    l.pnlImage = {0, l.pnlTop.height, columnWidth, l.pnlBottom.top - l.pnlTop.height};

    const Size topDesign{configDesignWidth, kTopHeight};
    l.GroupBox2 = Anchored({4, 0, 215, 33}, topDesign, SizeOf(l.pnlTop), kAll, dpi);
    l.lblDir = Fixed({8, 14, 0, 0}, dpi);
    l.SpeedButton1 = Anchored({223, 7, 24, 24}, topDesign, SizeOf(l.pnlTop), kTop | kRight, dpi);

    const Size imageDesign{configDesignWidth, kClientHeight - kTopHeight - kBottomHeight};
    l.GroupBox1 = Anchored({4, 0, 245, 163}, imageDesign, SizeOf(l.pnlImage), kAll, dpi);
    const Size box1Design{245, 163};
    const Size box1 = SizeOf(l.GroupBox1);
    l.Image = Anchored({4, 16, 165, 103}, box1Design, box1, kAll, dpi);
    l.btnBrowseImage = Anchored({176, 8, 66, 151}, box1Design, box1, kTop | kRight | kBottom, dpi);
    l.chboxCopyImage = Anchored({6, 123, 123, 17}, box1Design, box1, kLeft | kBottom, dpi);
    l.btnRestoreImage = Anchored({4, 140, 125, 18}, box1Design, box1, kLeft | kBottom, dpi);

    const Size bottomDesign{configDesignWidth, kBottomHeight};
    const Size bottom = SizeOf(l.pnlBottom);
    l.GroupBox4 = Anchored({4, 0, 245, 57}, bottomDesign, bottom, kAll, dpi);
    l.GroupBox3 = Anchored({4, 64, 245, 107}, bottomDesign, bottom, kAll, dpi);
    l.btnApply = Anchored({3, 177, 75, 25}, bottomDesign, bottom, kRight | kBottom, dpi);
    l.btnExit = Anchored({173, 177, 75, 25}, bottomDesign, bottom, kRight | kBottom, dpi);

    // The colour box keeps its children where they were designed.
    l.lblTextColor = Fixed({6, 13, 0, 0}, dpi);
    l.btnBrowseTextColor = Fixed({88, 10, 25, 41}, dpi);
    l.btnRestoreTextColor = Fixed({4, 32, 76, 18}, dpi);
    l.lblBckGrColor = Fixed({139, 13, 0, 0}, dpi);
    l.btnBrowseBckGrColor = Fixed({219, 10, 23, 41}, dpi);
    l.btnRestoreBckGrColor = Fixed({136, 32, 76, 18}, dpi);

    const Size box3Design{245, 107};
    const Size box3 = SizeOf(l.GroupBox3);
    l.imgIcon = Fixed({8, 16, 64, 64}, dpi);
    l.btnBrowseIcon = Anchored({176, 8, 66, 95}, box3Design, box3, kTop | kRight | kBottom, dpi);
    l.btnRestoreIcon = Anchored({4, 84, 125, 18}, box3Design, box3, kLeft | kBottom, dpi);
    return l;
}

int SplitterTreeWidth(int proposed, int clientWidth, int dpi) {
    const int maxWidth = clientWidth - Scale(design::kSplitterWidth + design::kMinRightArea, dpi);
    const int width = proposed < maxWidth ? proposed : maxWidth;
    return width <= Scale(design::kMinTreeWidth, dpi) ? 0 : width;
}

}  // namespace quorvane
