// The small pieces every window of the program shares: a C++ object bound
// to its HWND, the exception boundary of a window procedure, the program's
// font and the forwarding of child notifications through containers.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <exception>
#include <string>

#include "platform/win32/Handle.h"
#include "ui/MainLayout.h"

namespace quorvane::win {

// Sent to a top-level window with a std::exception_ptr* in lParam: an
// exception escaped a handler of one of its children. Returns 1 when shown.
inline constexpr UINT kShowExceptionMessage = WM_APP + 0x100;

// WM_DPICHANGED (Windows 8.1 on; the headers define it only for newer
// targets): a per-monitor aware window moved to a monitor of another scale,
// or the scale changed. LOWORD(wParam) is the new DPI, lParam points to the
// window rectangle the system suggests.
inline constexpr UINT kDpiChangedMessage = 0x02E0;

// A window whose messages go to HandleMessage of its C++ object. The object
// binds itself at WM_NCCREATE and lets go at WM_NCDESTROY. Copying is off.
class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND hwnd() const { return hwnd_; }

protected:
    // Registers a class whose procedure serves Window objects; a class
    // already registered is kept.
    static void RegisterWindowClass(HINSTANCE instance, const wchar_t* className, HBRUSH background,
                                    HCURSOR cursor, UINT style = 0, HICON icon = nullptr, HICON smallIcon = nullptr);
    // Creates the window bound to this object; throws when the system refuses.
    void CreateHandle(DWORD exStyle, const wchar_t* className, const std::wstring& text, DWORD style,
                      const LayoutRect& rect, HWND parent, HMENU menuOrId, HINSTANCE instance);
    // Destroys the window now (children first); safe to call twice.
    void DestroyHandle();

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // An exception left HandleMessage. By default the top-level window
    // shows it; a top-level window without a presenter shows a plain box.
    virtual void ShowException(const std::exception_ptr& error);

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
};

// COM for this thread while it lives, single-threaded and without OLE1
// DDE, as the shell asks ("ShellExecute") and as Active Accessibility
// needs to hand a control's object to a screen reader in another process.
// A thread that has COM already keeps it.
class ComApartment {
public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT result_;
};

// Creates a child window of a system class.
HWND CreateChild(const wchar_t* className, const std::wstring& text, DWORD style, DWORD exStyle,
                 const LayoutRect& rect, HWND parent, int id);

// Moves a window to a rectangle of its parent; negative sizes become 0.
void Place(HWND hwnd, const LayoutRect& rect);

// The rectangle of a window relative to its parent's client area.
LayoutRect RectInParent(HWND hwnd);

// Puts `proc` in front of a system control's window procedure; `proc`
// passes on what it does not handle with CallPreviousProc, which also puts
// the control's own procedure back at WM_NCDESTROY. The previous procedure
// is kept in the control's GWLP_USERDATA, which system classes leave to the
// program, so a control takes one such procedure. CallPreviousProc answers
// first for a control given an accessible name (ui/Accessible.h).
void Subclass(HWND control, WNDPROC proc);
LRESULT CallPreviousProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

// Lets a system control hold children: their notifications and colour
// requests go on to the top-level window, and the control fills its own
// background, since its container does not paint beneath it.
void MakeContainer(HWND control);

// Sends a container's child notifications on to the top-level window.
// Returns true with `result` set when the message was one of them.
bool ForwardToTopLevel(HWND container, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

// Sends a message to every window inside `window`, children of children
// included: the system tells only top-level windows of a colour or setting
// change, and the common controls among their children must hear of it too.
void SendToDescendants(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// "MS Sans Serif", 8 points at `dpi`, Cyrillic; bold, another size or
// underlined on request. The first call adds the program's own copy of the
// face for this process.
UniqueFont CreateProgramFont(int dpi, bool bold = false, int points = 8, bool underline = false);

void SetFont(HWND hwnd, HFONT font);

// The window's text in UTF-8.
std::string WindowText(HWND hwnd);

// Resizes a label to its text in its font (single line, no prefixes),
// the overhang of a synthesised bold included.
void AutoSizeLabel(HWND label);

// The number of dots per inch of the screen: the system's DPI.
int ScreenDpi();

// The DPI of the monitor a per-monitor aware window is on (Windows 10, 1607
// on); 0 where the system cannot say.
int WindowDpi(HWND window);

// Sizes a window so that its client area is width x height inside the frame
// the system draws at the window's own DPI.
void SetClientSize(HWND window, int width, int height);

}  // namespace quorvane::win
