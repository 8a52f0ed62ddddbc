#include <gtest/gtest.h>

#include "ui/PictureFit.h"

namespace quorvane {
namespace {

TEST(PictureFit, APictureThatFitsKeepsItsSizeAndIsCentred) {
    EXPECT_EQ(FitPicture(50, 40, 165, 103), (LayoutRect{57, 31, 50, 40}));
    EXPECT_EQ(FitPicture(165, 103, 165, 103), (LayoutRect{0, 0, 165, 103}));
    // Never enlarged.
    EXPECT_EQ(FitPicture(10, 10, 64, 64), (LayoutRect{27, 27, 10, 10}));
    // Offsets are half the free space, rounded down.
    EXPECT_EQ(FitPicture(51, 41, 64, 64), (LayoutRect{6, 11, 51, 41}));
}

TEST(PictureFit, AWidePictureStartsFromTheWidth) {
    // 400 x 100: width 165, height 165 / 4 = 41.25, truncated.
    EXPECT_EQ(FitPicture(400, 100, 165, 103), (LayoutRect{0, 31, 165, 41}));
    // Only too wide: the height scales with it.
    EXPECT_EQ(FitPicture(330, 60, 165, 103), (LayoutRect{0, 36, 165, 30}));
}

TEST(PictureFit, AWidePictureThatWouldBeTooHighIsFittedByTheHeight) {
    // 200 x 190: height 165 / 1.0526 = 156 does not fit; height 103 and
    // width 103 * 1.0526 = 108.4, truncated.
    EXPECT_EQ(FitPicture(200, 190, 165, 103), (LayoutRect{28, 0, 108, 103}));
}

TEST(PictureFit, ATallOrSquarePictureStartsFromTheHeight) {
    EXPECT_EQ(FitPicture(100, 300, 165, 103), (LayoutRect{65, 0, 34, 103}));
    EXPECT_EQ(FitPicture(128, 128, 64, 64), (LayoutRect{0, 0, 64, 64}));
    // Square but only too wide for a tall box: from the height the width
    // overflows, so the width decides.
    EXPECT_EQ(FitPicture(90, 90, 40, 100), (LayoutRect{0, 30, 40, 40}));
    // 90 x 100 in 40 x 100: width 90 overflows; 40 wide, 40 / 0.9 = 44.4 high.
    EXPECT_EQ(FitPicture(90, 100, 40, 100), (LayoutRect{0, 28, 40, 44}));
}

TEST(PictureFit, EmptyPicturesAndBoxesDrawNothing) {
    EXPECT_EQ(FitPicture(0, 0, 165, 103), LayoutRect{});
    EXPECT_EQ(FitPicture(0, 50, 165, 103), LayoutRect{});
    EXPECT_EQ(FitPicture(50, 40, 0, 103), LayoutRect{});
    EXPECT_EQ(FitPicture(50, 40, -20, -5), LayoutRect{});
}

}  // namespace
}  // namespace quorvane
