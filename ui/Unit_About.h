// The about box: a fixed dialog created hidden at start-up, shown modally
// each time it is asked for, keeping its own position after the first time.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/win32/Handle.h"
#include "ui/Controls.h"

namespace quorvane {

// Hands a target to the shell with the arguments of ShellExecuteW, on a
// thread where COM is initialised. The box does not look at the outcome, so
// nothing is returned.
using ShellOpen = std::function<void(HWND owner, const wchar_t* operation, const wchar_t* file,
                                     const wchar_t* parameters, const wchar_t* directory, int showCommand)>;

// A panel in the box's colour framed by a lowered outer and a raised inner
// bevel, one pixel each, drawn inside its own rectangle.
class TBevelPanel : public win::Panel {
protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC dc);
};

class TAboutBox {
public:
    // Creates the box hidden, owned by the main window `owner`; `dpi` scales
    // its layout. `shellOpen` opens the link; empty takes the system shell.
    TAboutBox(HWND owner, int dpi, ShellOpen shellOpen = {});
    ~TAboutBox();
    TAboutBox(const TAboutBox&) = delete;
    TAboutBox& operator=(const TAboutBox&) = delete;

    // Shows the box and returns when it is closed: IDOK by "OK" or Enter,
    // IDCANCEL by the close box or Alt+F4. The owner is disabled meanwhile.
    int ShowModal();

    HWND hwnd() const { return hwnd_; }
    // The icon imgProgramIcon shows; the box owns it.
    HICON ProgramIcon() const { return programIcon_.get(); }

    // Event handlers.
    void FormCreate();
    void lblURLClick();

    // The controls, by their names.
    TBevelPanel Panel1;
    HWND imgProgramIcon = nullptr;
    HWND ProductName = nullptr;
    HWND Version = nullptr;
    HWND Label1 = nullptr;
    HWND Label2 = nullptr;
    HWND lblMail = nullptr;
    HWND lblURL = nullptr;
    HWND OKButton = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Build();
    void ChangeDpi(int dpi, const RECT& suggested);
    void CentreOverOwner();
    INT_PTR OnColorStatic(HDC dc, HWND control) const;

    HWND hwnd_ = nullptr;
    HWND mainWindow_;
    int dpi_;
    ShellOpen shellOpen_;
    win::UniqueFont font_;
    win::UniqueFont productNameFont_;
    win::UniqueFont linkFont_;
    win::UniqueIcon programIcon_;
    bool shownBefore_ = false;
    int modalResult_ = 0;
};

}  // namespace quorvane
