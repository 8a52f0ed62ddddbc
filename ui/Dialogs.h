// Every dialog the main window opens goes through one interface, so GUI
// tests can script the user's answers; the components that remember their
// state between uses (file name, colour, custom colours) sit on top of it.
#pragma once

#include <windows.h>

#include <array>
#include <string>

namespace quorvane::win {

using CustomColors = std::array<COLORREF, 16>;

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A modal file-open dialog. `filter` is "Description|patterns|..." with
    // the first entry selected; `fileName` is the starting name. Returns
    // true with the chosen full path in `fileName` when the user confirms,
    // false (and `fileName` unchanged) when the user cancels. The file need
    // not exist. `picturePreview` adds a preview of the selected picture.
    virtual bool OpenFile(HWND owner, const std::string& filter, bool picturePreview, std::string& fileName) = 0;

    // A modal colour dialog starting at `color` with `customColors`. Returns
    // true with both updated when the user confirms; cancelling leaves both
    // as they were.
    virtual bool PickColor(HWND owner, COLORREF& color, CustomColors& customColors) = 0;

    // The error box: a system message box with a stop icon and one OK.
    virtual void ShowError(HWND owner, const std::string& caption, const std::string& text) = 0;

    // The information message: no icon, one "OK"; Enter and Esc close it.
    virtual void ShowInformation(HWND owner, const std::string& caption, const std::string& text) = 0;
};

// An open dialog that offers its last chosen file name the next time.
class TOpenPictureDialog {
public:
    TOpenPictureDialog(std::string filter, bool picturePreview)
        : filter_(std::move(filter)), picturePreview_(picturePreview) {}

    // True with FileName() set when the user confirms.
    bool Execute(Dialogs& dialogs, HWND owner) {
        std::string name = fileName_;
        if (!dialogs.OpenFile(owner, filter_, picturePreview_, name)) return false;
        fileName_ = name;
        return true;
    }
    const std::string& FileName() const { return fileName_; }
    const std::string& Filter() const { return filter_; }

private:
    std::string filter_;
    bool picturePreview_;
    std::string fileName_;
};

// A colour dialog that starts from its last chosen colour (black at first)
// and keeps its sixteen custom colours for the rest of the run.
class TColorDialog {
public:
    TColorDialog() { customColors_.fill(RGB(255, 255, 255)); }

    bool Execute(Dialogs& dialogs, HWND owner) {
        COLORREF color = color_;
        CustomColors custom = customColors_;
        if (!dialogs.PickColor(owner, color, custom)) return false;
        color_ = color;
        customColors_ = custom;
        return true;
    }
    COLORREF Color() const { return color_; }
    const CustomColors& Custom() const { return customColors_; }

private:
    COLORREF color_ = RGB(0, 0, 0);
    CustomColors customColors_;
};

}  // namespace quorvane::win
