// Choosing a background picture for the current folder.
#pragma once

#include <string>

#include "folder_settings/FolderView.h"
#include "platform/Platform.h"

namespace quorvane {

// Puts the picture in fileName into the preview, as the picture path and as
// the preview's hint, and enables btnRestoreImage. A name ending exactly in
// ".bmp" is read as a bitmap, any other as JPEG data. Nothing is written to
// disk. Errors propagate and leave the state as it was.
void LoadBackgroundPicture(Platform& platform, FolderEditState& state, const std::string& fileName);

}  // namespace quorvane
