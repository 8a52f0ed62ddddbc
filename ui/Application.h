// The program as a whole: initialises the controls library and the JPEG
// defaults, owns the hidden window that stands for the program on the
// taskbar under its title, and runs the message loop.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "ui/Window.h"

namespace quorvane {

class TApplication : public win::Window {
public:
    // `executablePath` names the program; its title is taken from it.
    TApplication(HINSTANCE instance, const std::string& executablePath);

    const std::string& Title() const { return title_; }
    // The window that the taskbar entry brings back and the close command
    // closes.
    void SetMainForm(HWND mainForm) { mainForm_ = mainForm; }

    // Puts the program on the taskbar: shows its window, which has no size.
    void ShowTaskbarEntry();
    // Processes messages until WM_QUIT; each message passes `preTranslate`
    // first, which returns true when it handled it. While no message waits,
    // paint included, `idle` runs one short step after another until it
    // returns false (no work left) or a message comes. Returns the quit code.
    int Run(const std::function<bool(MSG&)>& preTranslate, const std::function<bool()>& idle = {});

    // Hides the main form and minimises the program to its taskbar entry.
    void Minimize();
    void Restore();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // For the program's whole run: screen readers reach the controls'
    // accessible objects through COM.
    win::ComApartment com_;
    std::string title_;
    HWND mainForm_ = nullptr;
};

// The full path of this process's executable.
std::string ExecutablePath();

}  // namespace quorvane
