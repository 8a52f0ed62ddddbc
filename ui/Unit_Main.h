// The main window.
#pragma once

#include <windows.h>

namespace quorvane {

class TfrmMain {
public:
    // Creates the window, hidden.
    explicit TfrmMain(HINSTANCE instance);
    HWND hwnd() const { return hwnd_; }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
};

}  // namespace quorvane
