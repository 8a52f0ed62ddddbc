// The about box: a fixed dialog created hidden at start-up, shown modally
// each time it is asked for, keeping its own position after the first time.
#pragma once

#include <windows.h>

#include "platform/win32/Handle.h"

namespace quorvane {

class TAboutBox {
public:
    // Creates the box hidden, owned by `owner`; `dpi` scales its layout.
    TAboutBox(HWND owner, int dpi);
    ~TAboutBox();
    TAboutBox(const TAboutBox&) = delete;
    TAboutBox& operator=(const TAboutBox&) = delete;

    // Shows the box and returns when it is closed: IDOK by "OK" or Enter,
    // IDCANCEL by the close box or Alt+F4. The owner is disabled meanwhile.
    int ShowModal();

    HWND hwnd() const { return hwnd_; }
    HWND OKButton() const { return okButton_; }

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Build();
    void CentreOverOwner();

    HWND hwnd_ = nullptr;
    HWND okButton_ = nullptr;
    int dpi_;
    win::UniqueFont font_;
    bool shownBefore_ = false;
    int modalResult_ = 0;
};

}  // namespace quorvane
