// The picture box with JPEG pictures of any size: decoded at the size they
// are shown, again when the box grows, and one too large for the memory
// told to the user once.
#include <windows.h>

#include <jerror.h>

#include <string>

#include "tests/gui/GuiSupport.h"
#include "tests/host/JpegSamples.h"

namespace quorvane::test {
namespace {

// The width of the bitmap the shown picture keeps, once the box is painted.
int KeptWidth(TfrmMain& form) {
    RedrawWindow(form.Image.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return form.Picture() && form.Picture()->Bitmap() ? form.Picture()->Bitmap()->width : -1;
}

TEST_F(MainWindowTest, JpegPicturesShowAtTheSizeOfTheBoxWhateverTheirSize) {
    CreateShown();
    SetClientSize(508, 408);
    // 20,000 x 10,000 (its data cut short, which shows as grey): 600 MB at
    // full size, over the bitmap limit.
    const std::string panorama = temp / "panorama.jpg", photo = temp / "photo.jpg";
    WriteBytes(panorama, WithSize(SampleJpeg(16, 16), 20000, 10000));
    WriteBytes(photo, SampleJpeg(4000, 2000));
    dialogs.openAnswers = {panorama, photo};
    Click(form->btnBrowseImage);
    EXPECT_EQ(form->Image.PictureRect(), (LayoutRect{0, 10, 165, 82}));
    EXPECT_EQ(KeptWidth(*form), 2500);
    const win::WindowDc dc(form->Image.hwnd());
    EXPECT_NE(GetPixel(dc.get(), 80, 50), GetSysColor(COLOR_BTNFACE));

    Click(form->btnBrowseImage);
    EXPECT_EQ(KeptWidth(*form), 500);
    SetClientSize(1000, 700);  // a box 657 wide: more than an eighth gives
    EXPECT_EQ(KeptWidth(*form), 1000);

    // Progressive: libjpeg holds all of the stream's coefficients at any
    // scale, 1.8 GB here, over its working-memory limit. Told once.
    const std::string huge = temp / "huge.jpg";
    WriteBytes(huge, WithSize(SampleJpeg(16, 16, {.progressive = true}), 30000, 20000));
    dialogs.openAnswers = {huge};
    Click(form->btnBrowseImage);
    for (int paint = 0; paint < 2; ++paint) {
        KeptWidth(*form);
        Pump(form.get());
    }
    ASSERT_EQ(dialogs.errors.size(), 1u);  // the panorama's and the photo's none
    EXPECT_EQ(dialogs.errors[0].text, std::string("JPEG error #").append(std::to_string(JERR_NO_BACKING_STORE)).append("."));
    EXPECT_EQ(form->PicturePath(), huge);
    EXPECT_TRUE(form->RestoreImageEnabled());
}

}  // namespace
}  // namespace quorvane::test
