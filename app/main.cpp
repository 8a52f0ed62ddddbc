// Start-up: create the windows, show the main one and run the message loop
// until it closes.
#include <windows.h>
#include <commctrl.h>

#include "ui/Unit_Main.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    quorvane::TfrmMain frmMain(instance);
    ShowWindow(frmMain.hwnd(), showCommand);
    UpdateWindow(frmMain.hwnd());

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
