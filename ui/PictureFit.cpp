#include "ui/PictureFit.h"

namespace quorvane {

LayoutRect FitPicture(int pictureWidth, int pictureHeight, int boxWidth, int boxHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0 || boxWidth <= 0 || boxHeight <= 0) return {};
    int w = pictureWidth;
    int h = pictureHeight;
    if (w > boxWidth || h > boxHeight) {
        const double aspect = static_cast<double>(w) / h;
        // Start from the longer side; if the other one then overflows, fit
        // that one instead.
        if (w > h) {
            w = boxWidth;
            h = static_cast<int>(boxWidth / aspect);
            if (h > boxHeight) {
                h = boxHeight;
                w = static_cast<int>(boxHeight * aspect);
            }
        } else {
            h = boxHeight;
            w = static_cast<int>(boxHeight * aspect);
            if (w > boxWidth) {
                w = boxWidth;
                h = static_cast<int>(boxWidth / aspect);
            }
        }
    }
    return {(boxWidth - w) / 2, (boxHeight - h) / 2, w, h};
}

}  // namespace quorvane
