// The real dialogs: the system's file-open dialog with a picture preview of
// our own, the colour chooser, a system message box for errors and a small
// dialog of our own for the information message.
#pragma once

#include "platform/Platform.h"
#include "ui/Dialogs.h"

namespace quorvane::win {

class SystemDialogs : public Dialogs {
public:
    // The preview reads pictures through `platform`.
    SystemDialogs(Platform& platform, int dpi) : platform_(platform), dpi_(dpi) {}

    bool OpenFile(HWND owner, const std::string& filter, bool picturePreview, std::string& fileName) override;
    bool PickColor(HWND owner, COLORREF& color, CustomColors& customColors) override;
    void ShowError(HWND owner, const std::string& caption, const std::string& text) override;
    void ShowInformation(HWND owner, const std::string& caption, const std::string& text) override;

private:
    Platform& platform_;
    int dpi_;
};

// "A|a;b|..." as the system's filter list: entries separated and ended by
// a null character, the list ended by a second one.
std::wstring FilterList(const std::string& filter);

// The information message dialog. Its layout follows the text, wrapped at
// half the screen width; it is centred on the screen.
void ShowInformationMessage(HWND owner, const std::string& caption, const std::string& text, int dpi);

}  // namespace quorvane::win
