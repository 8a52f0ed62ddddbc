// Where a picture is drawn inside its control: at its own size when it
// fits, otherwise scaled down with its aspect ratio kept; never enlarged;
// centred, the offsets being half the free space rounded down.
#pragma once

#include "ui/MainLayout.h"

namespace quorvane {

// The picture's rectangle relative to the box. An empty picture or box
// gives an empty rectangle.
LayoutRect FitPicture(int pictureWidth, int pictureHeight, int boxWidth, int boxHeight);

}  // namespace quorvane
