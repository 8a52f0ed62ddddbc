#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "ui/MainLayout.h"

namespace quorvane {
namespace {

using Named = std::pair<std::string, LayoutRect>;

// Every control the layout sizes; labels follow their texts.
std::vector<Named> All(const MainLayout& l) {
    std::vector<Named> all;
    for (int i = 0; i < form::kControlCount; ++i) {
        const ControlKind kind = kMainForm[i].kind;
        if (kind != ControlKind::kLabel && kind != ControlKind::kBoldLabel) {
            all.emplace_back(kMainForm[i].name, l.rects[static_cast<size_t>(i)]);
        }
    }
    return all;
}

// The design layout, control by control, as the window was drawn.
std::vector<Named> DesignTable() {
    return {{"pnlTree", {0, 0, 177, 408}},
            {"Splitter1", {177, 0, 3, 408}},
            {"pnlGlobalConfig", {180, 0, 328, 408}},
            {"TreeView", {4, 4, 171, 400}},
            {"DriveComboBox", {96, 40, 89, 19}},
            {"pnlConfig", {0, 0, 250, 408}},
            {"pnlIcons", {250, 0, 78, 408}},
            {"sgIcons", {4, 4, 70, 367}},
            {"pnlTop", {0, 0, 250, 33}},
            {"pnlImage", {0, 33, 250, 167}},
            {"pnlBottom", {0, 200, 250, 208}},
            {"GroupBox2", {4, 0, 215, 33}},
            {"SpeedButton1", {223, 7, 24, 24}},
            {"GroupBox1", {4, 0, 245, 163}},
            {"Image", {4, 16, 165, 103}},
            {"btnBrowseImage", {176, 8, 66, 151}},
            {"chboxCopyImage", {6, 123, 123, 17}},
            {"btnRestoreImage", {4, 140, 125, 18}},
            {"GroupBox4", {4, 0, 245, 57}},
            {"GroupBox3", {4, 64, 245, 107}},
            {"btnApply", {3, 177, 75, 25}},
            {"btnExit", {173, 177, 75, 25}},
            {"btnBrowseTextColor", {88, 10, 25, 41}},
            {"btnRestoreTextColor", {4, 32, 76, 18}},
            {"btnBrowseBckGrColor", {219, 10, 23, 41}},
            {"btnRestoreBckGrColor", {136, 32, 76, 18}},
            {"imgIcon", {8, 16, 64, 64}},
            {"btnBrowseIcon", {176, 8, 66, 95}},
            {"btnRestoreIcon", {4, 84, 125, 18}}};
}

// The resizing table in closed form for client W x H and tree width T.
std::vector<Named> FormulaTable(int W, int H, int T) {
    const int S = W - T - 3 - 78;
    return {{"pnlTree", {0, 0, T, H}},
            {"Splitter1", {T, 0, 3, H}},
            {"pnlGlobalConfig", {T + 3, 0, W - T - 3, H}},
            {"TreeView", {4, 4, T - 6, H - 8}},
            {"DriveComboBox", {96, 40, 89, 19}},
            {"pnlConfig", {0, 0, S, H}},
            {"pnlIcons", {S, 0, 78, H}},
            {"sgIcons", {4, 4, 70, H - 41}},
            {"pnlTop", {0, 0, S, 33}},
            {"pnlImage", {0, 33, S, H - 241}},
            {"pnlBottom", {0, H - 208, S, 208}},
            {"GroupBox2", {4, 0, S - 35, 33}},
            {"SpeedButton1", {S - 27, 7, 24, 24}},
            {"GroupBox1", {4, 0, S - 5, H - 245}},
            {"Image", {4, 16, S - 85, H - 305}},
            {"btnBrowseImage", {S - 74, 8, 66, H - 257}},
            {"chboxCopyImage", {6, H - 285, 123, 17}},
            {"btnRestoreImage", {4, H - 268, 125, 18}},
            {"GroupBox4", {4, 0, S - 5, 57}},
            {"GroupBox3", {4, 64, S - 5, 107}},
            {"btnApply", {S - 247, 177, 75, 25}},
            {"btnExit", {S - 77, 177, 75, 25}},
            {"btnBrowseTextColor", {88, 10, 25, 41}},
            {"btnRestoreTextColor", {4, 32, 76, 18}},
            {"btnBrowseBckGrColor", {219, 10, 23, 41}},
            {"btnRestoreBckGrColor", {136, 32, 76, 18}},
            {"imgIcon", {8, 16, 64, 64}},
            {"btnBrowseIcon", {S - 74, 8, 66, 95}},
            {"btnRestoreIcon", {4, 84, 125, 18}}};
}

void ExpectTable(const MainLayout& layout, const std::vector<Named>& expected, const std::string& where) {
    ASSERT_EQ(All(layout).size(), expected.size());
    for (const auto& [name, e] : expected) {
        const LayoutRect& a = layout[FormIndex(name)];
        EXPECT_EQ(a, e) << where << " " << a.left << "," << a.top << " " << a.width << "x" << a.height << " for "
                        << name << ", expected " << e.left << "," << e.top << " " << e.width << "x" << e.height;
    }
}

TEST(MainLayout, DesignSizeGivesTheDesignLayout) {
    ExpectTable(ComputeMainLayout(508, 408, 177, 96), DesignTable(), "design");
    const MainLayout l = ComputeMainLayout(508, 408, 177, 96);
    EXPECT_EQ(l[form::lblDir].left, 8);
    EXPECT_EQ(l[form::lblDir].top, 14);
    EXPECT_EQ(l[form::lblTextColor].left, 6);
    EXPECT_EQ(l[form::lblTextColor].top, 13);
    EXPECT_EQ(l[form::lblBckGrColor].left, 139);
    EXPECT_EQ(l[form::lblBckGrColor].top, 13);
}

TEST(MainLayout, FollowsTheResizingTableAtManySizes) {
    for (int W : {400, 508, 640, 777, 1024}) {
        for (int H : {300, 408, 555, 800}) {
            for (int T : {0, 60, 177, 250}) {
                ExpectTable(ComputeMainLayout(W, H, T, 96), FormulaTable(W, H, T),
                            std::to_string(W) + "x" + std::to_string(H) + " T" + std::to_string(T));
            }
        }
    }
}

TEST(MainLayout, WiderWindowGrowsOnlyTheSettingsColumn) {
    const MainLayout design = ComputeMainLayout(508, 408, 177, 96);
    const MainLayout wide = ComputeMainLayout(708, 408, 177, 96);
    EXPECT_EQ(wide[form::pnlIcons].width, 78);
    EXPECT_EQ(wide[form::sgIcons].width, 70);
    EXPECT_EQ(wide[form::pnlConfig].width, design[form::pnlConfig].width + 200);
    EXPECT_EQ(wide[form::Image].width, design[form::Image].width + 200);
    EXPECT_EQ(wide[form::Image].height, design[form::Image].height);
    // The "..." buttons keep their distance to the right edge of their box.
    EXPECT_EQ(wide[form::GroupBox1].width - (wide[form::btnBrowseImage].left + wide[form::btnBrowseImage].width),
              design[form::GroupBox1].width - (design[form::btnBrowseImage].left + design[form::btnBrowseImage].width));
    EXPECT_EQ(wide[form::GroupBox3].width - (wide[form::btnBrowseIcon].left + wide[form::btnBrowseIcon].width), 3);
    // Apply and Exit move right together, 95 pixels apart.
    EXPECT_EQ(wide[form::btnApply].left, design[form::btnApply].left + 200);
    EXPECT_EQ(wide[form::btnExit].left - (wide[form::btnApply].left + wide[form::btnApply].width), 95);
    EXPECT_EQ(wide[form::TreeView], design[form::TreeView]);
}

TEST(MainLayout, TallerWindowGrowsThePictureBoxAndTheColumns) {
    const MainLayout design = ComputeMainLayout(508, 408, 177, 96);
    const MainLayout tall = ComputeMainLayout(508, 600, 177, 96);
    EXPECT_EQ(tall[form::TreeView].height, 592);
    EXPECT_EQ(tall[form::sgIcons].height, 559);
    EXPECT_EQ(tall[form::pnlImage].height, design[form::pnlImage].height + 192);
    EXPECT_EQ(tall[form::Image].height, design[form::Image].height + 192);
    EXPECT_EQ(tall[form::pnlBottom].top, design[form::pnlBottom].top + 192);
    EXPECT_EQ(tall[form::pnlBottom].height, 208);
    // The check box and the restore button stay at the bottom of their box.
    EXPECT_EQ(tall[form::chboxCopyImage].top, design[form::chboxCopyImage].top + 192);
    EXPECT_EQ(tall[form::btnRestoreImage].top, design[form::btnRestoreImage].top + 192);
    // The colour and icon boxes never change height.
    EXPECT_EQ(tall[form::GroupBox4].height, 57);
    EXPECT_EQ(tall[form::GroupBox3].height, 107);
    EXPECT_EQ(tall[form::btnApply].top, 177);
}

TEST(MainLayout, CollapsedTreeLeavesTheSplitterAtTheLeftEdge) {
    const MainLayout l = ComputeMainLayout(508, 408, 0, 96);
    EXPECT_EQ(l[form::pnlTree].width, 0);
    EXPECT_EQ(l[form::Splitter1].left, 0);
    EXPECT_EQ(l[form::pnlGlobalConfig].left, 3);
    EXPECT_EQ(l[form::pnlConfig].width, 508 - 3 - 78);
}

TEST(MainLayout, ScalesInProportionAtOtherDpi) {
    for (int dpi : {120, 144, 192}) {
        const int W = Scale(508, dpi);
        const int H = Scale(408, dpi);
        const MainLayout scaled = ComputeMainLayout(W, H, Scale(177, dpi), dpi);
        for (const auto& [name, d] : DesignTable()) {
            const LayoutRect& a = scaled[FormIndex(name)];
            // Each edge within two pixels of the design edge scaled: the
            // distances are rounded one by one.
            const double f = dpi / 96.0;
            EXPECT_LE(std::abs(a.left - d.left * f), 2.0) << name << " at " << dpi;
            EXPECT_LE(std::abs(a.top - d.top * f), 2.0) << name << " at " << dpi;
            EXPECT_LE(std::abs(a.left + a.width - (d.left + d.width) * f), 2.0) << name << " at " << dpi;
            EXPECT_LE(std::abs(a.top + a.height - (d.top + d.height) * f), 2.0) << name << " at " << dpi;
        }
        // The fixed-size parts scale exactly.
        EXPECT_EQ(scaled[form::pnlIcons].width, Scale(78, dpi));
        EXPECT_EQ(scaled[form::pnlBottom].height, Scale(208, dpi));
        EXPECT_EQ(scaled[form::imgIcon].width, Scale(64, dpi));
    }
}

TEST(MainLayout, ScaleRoundsLikeMulDiv) {
    EXPECT_EQ(Scale(177, 96), 177);
    EXPECT_EQ(Scale(177, 120), 221);  // 221.25
    EXPECT_EQ(Scale(3, 144), 5);      // 4.5 rounds away from zero
    EXPECT_EQ(Scale(-3, 144), -5);
    EXPECT_EQ(Scale(1, 143), 1);      // 1.49
    EXPECT_EQ(Scale(0, 192), 0);
}

TEST(MainLayout, SplitterKeepsRoomOnTheRightAndCollapsesSmallTrees) {
    const int W = 508;
    EXPECT_EQ(SplitterTreeWidth(177, W, 96), 177);
    EXPECT_EQ(SplitterTreeWidth(31, W, 96), 31);
    EXPECT_EQ(SplitterTreeWidth(30, W, 96), 0);
    EXPECT_EQ(SplitterTreeWidth(1, W, 96), 0);
    EXPECT_EQ(SplitterTreeWidth(-40, W, 96), 0);
    EXPECT_EQ(SplitterTreeWidth(W - 33, W, 96), W - 33);
    EXPECT_EQ(SplitterTreeWidth(W - 32, W, 96), W - 33);
    EXPECT_EQ(SplitterTreeWidth(5000, W, 96), W - 33);
    // With no room for the right-hand area the tree collapses.
    EXPECT_EQ(SplitterTreeWidth(50, 60, 96), 0);
    // At 144 dots per inch the limits scale too.
    EXPECT_EQ(SplitterTreeWidth(45, 762, 144), 0);
    EXPECT_EQ(SplitterTreeWidth(46, 762, 144), 46);
    EXPECT_EQ(SplitterTreeWidth(800, 762, 144), 762 - 50);
}

}  // namespace
}  // namespace quorvane
