#include "folder_settings/ApplySettings.h"

#include "folder_settings/IconFile.h"
#include "folder_settings/Jpeg.h"
#include "folder_settings/UiTexts.h"
#include "platform/ProfileFile.h"

namespace quorvane {
namespace {

// Saves the preview's picture as the folder's copy. A picture read from a
// JPEG file is written byte for byte; one made from a bitmap is encoded.
void CopyPicture(Platform& platform, const FolderEditState& state, const std::string& path) {
    TJPEGImage picture;
    if (const TJPEGImage* shown = state.Picture()) picture.Assign(*shown);
    picture.SaveToFile(platform, path);
}

// The icon as a tree image. A file that does not load gives an empty icon,
// which the list appends as a blank image: the node then shows nothing
// rather than another folder's icon.
IconFile LoadIconQuietly(Platform& platform, const std::string& path) {
    try {
        return IconFile::Load(platform, path);
    } catch (const std::exception&) {
        return IconFile();
    }
}

}  // namespace

void ApplyFolderSettings(Platform& platform, FolderEditState& state, FolderTree& tree, Messages& messages) {
    const std::string folder = state.FolderPath();
    if (folder.empty()) {
        messages.ShowInformation(text::kNoFolderSelected);
        return;
    }
    const std::string subfolder = folder + settings::kSubfolder;
    const std::string attributeFile = folder + settings::kAttributeFileName;

    // Clear read-only, hidden and system before a picture goes into it.
    if (platform.FolderExists(subfolder)) {
        platform.SetAttributes(subfolder, settings::kSubfolderUnlocked);
    } else {
        platform.CreateFolder(subfolder);
    }

    // Writable before its edit, and otherwise as it was: an apply that stops
    // part-way leaves no bit the file did not have. A file still to be made
    // needs nothing.
    if (const auto own = platform.ReadAttributes(attributeFile)) {
        platform.SetAttributes(attributeFile, WritableAttributes(*own));
    }

    // Every key of the apply goes into the file in one replacement: each
    // replacement wakes Explorer and the indexers, and a holder between two
    // of them would leave the folder with neither its former icon keys nor
    // the new ones.
    std::vector<ProfileChange> changes;
    if (!state.PicturePath().empty()) {
        if (state.CopyPicture()) {
            CopyPicture(platform, state, folder + settings::kPictureValue);
            // The hint keeps the absolute path the picture came from.
            state.SetPicturePath(settings::kPictureValue);
        }
        changes.push_back({settings::kIconAreaSection, settings::kPictureKey, state.PicturePath()});
    }

    platform.SetAttributes(subfolder, settings::kSubfolderLocked);

    changes.push_back(
        {settings::kIconAreaSection, settings::kTextColorKey, ColorToSettingText(platform, state.TextColor())});
    changes.push_back({settings::kIconAreaSection, settings::kTextBackgroundKey,
                       ColorToSettingText(platform, state.TextBackgroundColor())});
    const std::string icon = state.IconPath();
    if (!icon.empty()) {
        changes.push_back({settings::kClassInfoSection, settings::kIconFileKey, std::nullopt});
        changes.push_back({settings::kClassInfoSection, settings::kIconIndexKey, std::nullopt});
        changes.push_back({settings::kClassInfoSection, settings::kIconFileKey, icon});
        changes.push_back({settings::kClassInfoSection, settings::kIconIndexKey, "0"});
        // Explorer reads this one first from Vista on: left naming the former
        // icon, it would keep showing that one.
        changes.push_back({settings::kClassInfoSection, settings::kIconResourceKey, IconResourceValue(icon)});
    }
    ProfileFile(platform, folder + settings::kFileName).Edit(changes);

    if (!icon.empty()) {
        ImageList& images = tree.Images();
        // Whatever fails in making the picture, the steps below still run.
        try {
            images.AppendIcon(LoadIconQuietly(platform, icon));
        } catch (const std::exception&) {
            images.AppendIcon(IconFile());
        }
        // The node of the folder just written: after a keyboard move the
        // selected node may be another folder's.
        if (const NodeId node = tree.CurrentFolderNode(); node != kNoNode) tree.SetImage(node, images.Count() - 1);
    }

    platform.SetAttributes(folder, settings::kFolderCustomised);
    platform.SetAttributes(attributeFile, settings::kFileHidden);
}

}  // namespace quorvane
