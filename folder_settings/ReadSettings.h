// Loading a folder's stored picture and caption colours into the window.
#pragma once

#include <string>

#include "folder_settings/FolderView.h"
#include "platform/Platform.h"

namespace quorvane {

// Reads the picture, the text colour and the text background colour from
// the folder's desktop.ini. A picture that does not load is dropped
// silently; a malformed colour text raises EConvertError, and a settings
// file that another program holds past the platform's waiting raises
// EFOpenError, leaving the fields not yet read as they were. `folder` ends
// with "\".
void ReadFolderSettings(Platform& platform, FolderEditState& state, const std::string& folder);

}  // namespace quorvane
