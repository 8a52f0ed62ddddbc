#include "folder_settings/ReadSettings.h"

#include <exception>

#include "folder_settings/Jpeg.h"
#include "folder_settings/SettingsFile.h"
#include "platform/ProfileFile.h"

namespace quorvane {
namespace {

void ClearPicture(FolderEditState& state) {
    state.ClearPicture();
    state.SetPicturePath("");
    state.SetPictureHint("");
}

}  // namespace

void ReadFolderSettings(Platform& platform, FolderEditState& state, const std::string& folder) {
    state.SetRestoreImageEnabled(false);
    state.SetRestoreIconEnabled(false);

    const std::string settingsPath = SettingsFilePath(folder);
    if (!platform.FileExists(settingsPath)) {
        // White and an empty hint as for a file without the keys: otherwise
        // the next apply would write the previous folder's background colour.
        ClearPicture(state);
        state.SetTextColor(kBlack);
        state.SetTextBackgroundColor(kWhite);
        return;
    }

    ProfileFile file(platform, settingsPath);
    std::string path = file.ReadValue(settings::kIconAreaSection, settings::kPictureKey, "");
    state.SetPicturePath(path);
    if (path.empty()) {
        ClearPicture(state);
    } else {
        TJPEGImage picture;
        path = ResolvePathValue(folder, path);
        state.SetPicturePath(path);
        if (platform.FileExists(path)) {
            bool loaded = true;
            try {
                picture.LoadFromFile(platform, path);
            } catch (const std::exception&) {
                // Any picture that does not load is simply not shown.
                loaded = false;
            }
            if (loaded) {
                state.SetPicture(picture);
                state.SetPictureHint(path);
            } else {
                ClearPicture(state);
            }
            // Enabled after a failed load too, so the key can be removed.
            state.SetRestoreImageEnabled(true);
        } else {
            ClearPicture(state);
        }
    }

    state.SetTextColor(SettingTextToColor(
        file.ReadValue(settings::kIconAreaSection, settings::kTextColorKey, settings::kTextColorDefault)));
    state.SetTextBackgroundColor(SettingTextToColor(
        file.ReadValue(settings::kIconAreaSection, settings::kTextBackgroundKey, settings::kTextBackgroundDefault)));
}

}  // namespace quorvane
