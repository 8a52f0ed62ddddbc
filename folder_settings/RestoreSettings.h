// The four "Восстановить" buttons: each removes one setting from the
// current folder at once and resets its field of the editing state. None
// changes an attribute. With no current folder they touch nothing and say
// so, as "Применить" does.
#pragma once

#include "folder_settings/FolderView.h"
#include "platform/Platform.h"

namespace quorvane {

void RestorePicture(Platform& platform, FolderEditState& state, Messages& messages);
void RestoreIcon(Platform& platform, FolderEditState& state, FolderTree& tree, Messages& messages);
void RestoreTextColor(Platform& platform, FolderEditState& state, Messages& messages);
void RestoreTextBackgroundColor(Platform& platform, FolderEditState& state, Messages& messages);

}  // namespace quorvane
