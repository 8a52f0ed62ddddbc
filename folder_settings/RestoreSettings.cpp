#include "folder_settings/RestoreSettings.h"

#include "folder_settings/UiTexts.h"
#include "platform/ProfileFile.h"

namespace quorvane {
namespace {

// The folder path, or empty text after telling the user that no folder is
// selected: without a folder the file names would carry no folder at all.
std::string CurrentFolder(const FolderEditState& state, Messages& messages) {
    std::string folder = state.FolderPath();
    if (folder.empty()) messages.ShowInformation(text::kNoFolderSelected);
    return folder;
}

void RemoveSetting(Platform& platform, const std::string& folder, const char* section, const char* key) {
    ProfileFile file(platform, folder + settings::kFileName);
    file.RemoveKey(section, key);
}

// A key that cannot be removed from the file raises "Unable to write to"
// before anything is deleted: the folder must not go on naming a picture or
// an icon that is gone. A missing file or key is silent.

// Deleting is best effort: a file held open elsewhere simply stays.
void RemoveIfPresent(Platform& platform, const std::string& path) {
    if (platform.FileExists(path)) platform.RemoveFile(path);
}

}  // namespace

void RestorePicture(Platform& platform, FolderEditState& state, Messages& messages) {
    const std::string folder = CurrentFolder(state, messages);
    if (folder.empty()) return;
    {
        ProfileFile file(platform, folder + settings::kFileName);
        file.RemoveKey(settings::kIconAreaSection, settings::kPictureKey);
        // The copy an apply makes goes whatever the key named; a picture
        // named elsewhere by an absolute path is never deleted.
        RemoveIfPresent(platform, folder + settings::kPictureValue);
        state.ClearPicture();
        state.SetPicturePath("");
        state.SetPictureHint("");
    }
    state.SetRestoreImageEnabled(false);
}

void RestoreIcon(Platform& platform, FolderEditState& state, FolderTree& tree, Messages& messages) {
    const std::string folder = CurrentFolder(state, messages);
    if (folder.empty()) return;
    {
        ProfileFile file(platform, folder + settings::kFileName);
        // "IconIndex" stays; "IconResource" goes too, or Vista and later
        // would keep the custom icon.
        file.Edit({{settings::kClassInfoSection, settings::kIconFileKey, std::nullopt},
                   {settings::kClassInfoSection, settings::kIconResourceKey, std::nullopt}});
        RemoveIfPresent(platform, folder + settings::kIconCopyValue);
        state.ClearIconPicture();
        state.SetIconPath("");
        // The node of the folder just written, which a keyboard move may
        // have left unselected. Drive roots too get the plain folder image.
        if (const NodeId node = tree.CurrentFolderNode(); node != kNoNode) tree.SetImage(node, 0);
    }
    state.SetRestoreIconEnabled(false);
}

void RestoreTextColor(Platform& platform, FolderEditState& state, Messages& messages) {
    const std::string folder = CurrentFolder(state, messages);
    if (folder.empty()) return;
    RemoveSetting(platform, folder, settings::kIconAreaSection, settings::kTextColorKey);
    state.SetTextColor(kBlack);
}

void RestoreTextBackgroundColor(Platform& platform, FolderEditState& state, Messages& messages) {
    const std::string folder = CurrentFolder(state, messages);
    if (folder.empty()) return;
    RemoveSetting(platform, folder, settings::kIconAreaSection, settings::kTextBackgroundKey);
    state.SetTextBackgroundColor(kWhite);
}

}  // namespace quorvane
