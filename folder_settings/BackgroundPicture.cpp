#include "folder_settings/BackgroundPicture.h"

#include "folder_settings/Bitmap.h"
#include "folder_settings/Jpeg.h"
#include "folder_settings/SettingsFile.h"

namespace quorvane {

void LoadBackgroundPicture(Platform& platform, FolderEditState& state, const std::string& fileName) {
    TJPEGImage picture;
    // Byte for byte: "SCAN.BMP" is read as JPEG data.
    if (PathExtension(fileName) == ".bmp") {
        TBitmap bitmap;
        bitmap.LoadFromFile(platform, fileName);
        picture.Assign(bitmap);
    } else {
        picture.LoadFromFile(platform, fileName);
    }
    state.SetPicture(picture);
    state.SetPicturePath(fileName);
    state.SetPictureHint(fileName);
    state.SetRestoreImageEnabled(true);
}

}  // namespace quorvane
