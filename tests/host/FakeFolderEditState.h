// The FolderEditState as plain fields, for tests of the folder operations.
// Every setter call is counted by name so tests can tell a field that was
// left alone from one that was set to the same value.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "folder_settings/FolderView.h"
#include "folder_settings/IconFile.h"
#include "folder_settings/Jpeg.h"

namespace quorvane::test {

class FakeFolderEditState : public FolderEditState {
public:
    std::string folderPath;
    std::string picturePath;
    std::string pictureHint;
    std::unique_ptr<TJPEGImage> picture;  // null: the preview is empty
    std::string iconPath;
    bool iconShown = false;
    // The icon last shown, as an identity only (never dereferenced by the
    // fake), and how many entries it had.
    const IconFile* iconIdentity = nullptr;
    size_t iconEntries = 0;
    Color textColor = kBlack;
    Color textBackgroundColor = kWhite;
    bool copyPicture = false;
    bool restoreImageEnabled = false;
    bool restoreIconEnabled = false;
    std::map<std::string, int> calls;

    std::string FolderPath() const override { return folderPath; }
    void SetFolderPath(const std::string& path) override { ++calls["SetFolderPath"]; folderPath = path; }

    std::string PicturePath() const override { return picturePath; }
    void SetPicturePath(const std::string& path) override { ++calls["SetPicturePath"]; picturePath = path; }
    std::string PictureHint() const override { return pictureHint; }
    void SetPictureHint(const std::string& hint) override { ++calls["SetPictureHint"]; pictureHint = hint; }
    const TJPEGImage* Picture() const override { return picture.get(); }
    void SetPicture(const TJPEGImage& image) override {
        ++calls["SetPicture"];
        auto copy = std::make_unique<TJPEGImage>();
        copy->Assign(image);
        picture = std::move(copy);
    }
    void ClearPicture() override { ++calls["ClearPicture"]; picture.reset(); }

    std::string IconPath() const override { return iconPath; }
    void SetIconPath(const std::string& path) override { ++calls["SetIconPath"]; iconPath = path; }
    void SetIconPicture(const IconFile& icon) override {
        ++calls["SetIconPicture"];
        iconShown = true;
        iconIdentity = &icon;
        iconEntries = icon.Entries().size();
    }
    void ClearIconPicture() override {
        ++calls["ClearIconPicture"];
        iconShown = false;
        iconIdentity = nullptr;
        iconEntries = 0;
    }

    Color TextColor() const override { return textColor; }
    void SetTextColor(Color color) override { ++calls["SetTextColor"]; textColor = color; }
    Color TextBackgroundColor() const override { return textBackgroundColor; }
    void SetTextBackgroundColor(Color color) override { ++calls["SetTextBackgroundColor"]; textBackgroundColor = color; }

    bool CopyPicture() const override { return copyPicture; }

    bool RestoreImageEnabled() const override { return restoreImageEnabled; }
    void SetRestoreImageEnabled(bool enabled) override { ++calls["SetRestoreImageEnabled"]; restoreImageEnabled = enabled; }
    bool RestoreIconEnabled() const override { return restoreIconEnabled; }
    void SetRestoreIconEnabled(bool enabled) override { ++calls["SetRestoreIconEnabled"]; restoreIconEnabled = enabled; }
};

}  // namespace quorvane::test
