// Start-up: initialise, create the main window and the about box, show the
// main window and process messages until it closes.
#include <windows.h>

#include "platform/win32/Win32Platform.h"
#include "platform/win32/WinText.h"
#include "ui/Application.h"
#include "ui/SystemDialogs.h"
#include "ui/Unit_About.h"
#include "ui/Unit_Main.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    using namespace quorvane;
    try {
        TApplication Application(instance, ExecutablePath());
        win::Win32Platform platform;
        win::SystemDialogs dialogs(platform, win::ScreenDpi());

        TfrmMain::Options options;
        options.owner = Application.hwnd();
        TfrmMain frmMain(instance, platform, dialogs, options);
        Application.SetMainForm(frmMain.hwnd());
        TAboutBox AboutBox(frmMain.hwnd(), frmMain.Dpi());
        frmMain.SetAboutBox(&AboutBox);

        Application.ShowTaskbarEntry();
        const bool minimised =
            showCommand == SW_SHOWMINIMIZED || showCommand == SW_MINIMIZE || showCommand == SW_SHOWMINNOACTIVE;
        frmMain.Show(minimised ? SW_SHOWNORMAL : showCommand);
        if (minimised) Application.Minimize();
        return Application.Run([&frmMain](MSG& msg) { return frmMain.PreTranslateMessage(msg); },
                               [&frmMain] { return frmMain.Idle(); });
    } catch (const std::exception& e) {
        // Only the start-up itself can end here: no window could be made.
        MessageBoxW(nullptr, win::Wide(e.what()).c_str(), L"Quorvane", MB_ICONSTOP | MB_OK);
        return 1;
    }
}
