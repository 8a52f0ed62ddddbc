#include "ui/MainLayout.h"

#include <cstdint>

namespace quorvane {
namespace {

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
    axis(design.left, design.width, parentDesign.width, parent.width, anchors & anchor::kLeft,
         anchors & anchor::kRight, r.left, r.width);
    axis(design.top, design.height, parentDesign.height, parent.height, anchors & anchor::kTop,
         anchors & anchor::kBottom, r.top, r.height);
    return r;
}

// Takes a docked control's strip off the parent's area still free.
LayoutRect Docked(Dock dock, LayoutRect design, LayoutRect& free, int treeWidth, int dpi) {
    LayoutRect r = free;
    switch (dock) {
    case Dock::kTreeWidth:
    case Dock::kLeft:
        r.width = dock == Dock::kTreeWidth ? treeWidth : Scale(design.width, dpi);
        free.left += r.width;
        free.width -= r.width;
        break;
    case Dock::kRight:
        r.width = Scale(design.width, dpi);
        r.left = free.left + free.width - r.width;
        free.width -= r.width;
        break;
    case Dock::kTop:
        r.height = Scale(design.height, dpi);
        free.top += r.height;
        free.height -= r.height;
        break;
    case Dock::kBottom:
        r.height = Scale(design.height, dpi);
        r.top = free.top + free.height - r.height;
        free.height -= r.height;
        break;
    case Dock::kFill:
    case Dock::kNone:
        break;
    }
    return r;
}

}  // namespace

int Scale(int value, int dpi) {
    const int64_t product = static_cast<int64_t>(value) * dpi;
    const int64_t half = kDesignDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kDesignDpi : -((-product + half) / kDesignDpi));
}

form::Index FormIndex(std::string_view name) {
    if (name == "frmMain") return form::frmMain;
    for (int i = 0; i < form::kControlCount; ++i) {
        if (name == kMainForm[i].name) return static_cast<form::Index>(i);
    }
    return form::kControlCount;
}

MainLayout ComputeMainLayout(int width, int height, int treeWidth, int dpi) {
    MainLayout l;
    // Each parent's children: the docked ones in their order, then the
    // anchored ones. Parents come first in the list, so each is placed
    // before its children.
    auto arrange = [&](form::Index parent, Size size, Size design) {
        LayoutRect free{0, 0, size.width, size.height};
        for (Dock dock : {Dock::kTop, Dock::kBottom, Dock::kTreeWidth, Dock::kLeft, Dock::kRight, Dock::kFill}) {
            for (int i = 0; i < form::kControlCount; ++i) {
                const ControlRow& row = kMainForm[i];
                if (row.parent == parent && row.dock == dock) {
                    l.rects[static_cast<size_t>(i)] = Docked(dock, row.design, free, treeWidth, dpi);
                }
            }
        }
        for (int i = 0; i < form::kControlCount; ++i) {
            const ControlRow& row = kMainForm[i];
            if (row.parent == parent && row.dock == Dock::kNone) {
                l.rects[static_cast<size_t>(i)] = Anchored(row.design, design, size, row.anchors, dpi);
            }
        }
    };
    arrange(form::frmMain, {width, height}, {design::kClientWidth, design::kClientHeight});
    for (int i = 0; i < form::kControlCount; ++i) {
        const LayoutRect& r = l.rects[static_cast<size_t>(i)];
        const LayoutRect& design = kMainForm[i].design;
        arrange(static_cast<form::Index>(i), {r.width, r.height}, {design.width, design.height});
    }
    return l;
}

int SplitterTreeWidth(int proposed, int clientWidth, int dpi) {
    const int maxWidth = clientWidth - Scale(kMainForm[form::Splitter1].design.width + design::kMinRightArea, dpi);
    const int width = proposed < maxWidth ? proposed : maxWidth;
    return width <= Scale(design::kMinTreeWidth, dpi) ? 0 : width;
}

}  // namespace quorvane
