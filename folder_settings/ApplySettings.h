// "Применить": writes the whole editing state into the current folder.
#pragma once

#include "folder_settings/FolderView.h"
#include "platform/Platform.h"

namespace quorvane {

// Writes the picture key (and copies the picture when asked), both colour
// keys, the icon keys, and sets the attributes the shell needs. A failing
// step raises and ends the run; what was done before it stays.
void ApplyFolderSettings(Platform& platform, FolderEditState& state, FolderTree& tree, Messages& messages);

}  // namespace quorvane
