// The picture box with JPEG pictures of any size: decoded at the size they
// are shown, again when the box grows, and a picture too large for the
// memory told to the user once.
#include <windows.h>

#include <jerror.h>

#include <string>

#include "folder_settings/Jpeg.h"
#include "tests/gui/GuiSupport.h"
#include "tests/host/JpegSamples.h"

namespace quorvane::test {
namespace {

// The picture box's bitmap, as kept by the picture it shows, or null.
const Dib* KeptBitmap(TfrmMain& form) { return form.Picture() ? form.Picture()->Bitmap() : nullptr; }

COLORREF PaintedPixel(HWND control, int x, int y) {
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const win::WindowDc dc(control);
    return GetPixel(dc.get(), x, y);
}

TEST_F(MainWindowTest, APanoramaShowsAtTheSizeOfTheBoxAndAPhotoDecodesAgainWhenTheBoxGrows) {
    // 20,000 x 10,000: 600 MB at full size, over the bitmap limit.
    const std::string panorama = temp / "panorama.jpg";
    WriteBytes(panorama, PanoramaJpeg(20000, 10000));
    CreateShown();
    SetClientSize(508, 408);
    dialogs.openAnswers = {panorama};
    Click(form->btnBrowseImage);
    EXPECT_EQ(form->Image.PictureRect(), (LayoutRect{0, 10, 165, 82}));
    const COLORREF sky = PaintedPixel(form->Image.hwnd(), 10, 15);
    EXPECT_GT(GetBValue(sky), 200);
    EXPECT_LT(GetRValue(sky), 150);
    ASSERT_NE(KeptBitmap(*form), nullptr);
    EXPECT_EQ(KeptBitmap(*form)->width, 2500);
    EXPECT_TRUE(dialogs.errors.empty());

    const std::string photo = temp / "photo.jpg";
    WriteBytes(photo, SampleJpeg(4000, 2000));
    dialogs.openAnswers = {photo};
    Click(form->btnBrowseImage);
    PaintedPixel(form->Image.hwnd(), 0, 0);
    EXPECT_EQ(KeptBitmap(*form)->width, 500);
    SetClientSize(1000, 700);  // the box 657 wide: more than an eighth gives
    PaintedPixel(form->Image.hwnd(), 0, 0);
    EXPECT_EQ(KeptBitmap(*form)->width, 1000);
    EXPECT_EQ(form->Picture()->Width(), 4000);
}

TEST_F(MainWindowTest, APictureTooLargeForTheMemoryIsToldOnceAndKeepsTheState) {
    // Progressive: libjpeg holds the whole stream's coefficients at any
    // scale, 1.2 GB here, over its working-memory limit.
    const std::string huge = temp / "huge.jpg";
    WriteBytes(huge, WithSize(SampleJpeg(16, 16, {.progressive = true}), 30000, 20000));
    CreateShown();
    dialogs.openAnswers = {huge};
    Click(form->btnBrowseImage);
    Pump(form.get());
    PaintedPixel(form->Image.hwnd(), 0, 0);
    Pump(form.get());
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_EQ(dialogs.errors[0].text, std::string("JPEG error #").append(std::to_string(JERR_NO_BACKING_STORE)).append("."));
    EXPECT_EQ(form->PicturePath(), huge);
    EXPECT_TRUE(form->RestoreImageEnabled());
}

}  // namespace
}  // namespace quorvane::test
