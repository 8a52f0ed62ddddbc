// The window's own small controls: a plain panel, the splitter that sets
// the tree's width, and a tool button that never takes the focus.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/win32/Handle.h"
#include "ui/Accessible.h"
#include "ui/Window.h"

namespace quorvane::win {

// A flat container in the button-face colour: no bevel, no caption.
class Panel : public Window {
public:
    void Create(HWND parent, const LayoutRect& rect);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// A bevelled vertical splitter. Dragging shows an inverted halftone line at
// the width the release would give; the release applies it.
class Splitter : public Window {
public:
    // The width a drag to `proposed` gives.
    std::function<int(int proposed)> clampWidth;
    // The width of the panel the splitter sizes, at the start of a drag.
    std::function<int()> currentWidth;
    // The drag ended at this width.
    std::function<void(int width)> onMoved;

    void Create(HWND parent, const LayoutRect& rect);
    bool Dragging() const { return dragging_; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void BeginDrag(int x);
    void Track(int x);
    void EndDrag(bool apply);
    void InvertLine(int left);

    bool dragging_ = false;
    int startX_ = 0;
    int startWidth_ = 0;
    int lineLeft_ = -1;
    UniqueBrush halftone_;
};

// Frames a control that has a sunken edge in a flat lowered line, as the
// tree's bevel; takes the control's one Subclass.
void AddFlatBevel(HWND control);

// A push button for the mouse only, showing a 32-bit glyph with alpha.
// BM_CLICK clicks it as the mouse would. Assistive technology reads it as
// a push button whose default action clicks it.
class SpeedButton : public Window, public AccessibleSource {
public:
    std::function<void()> onClick;
    // What a screen reader says of it: its name and the key that also
    // clicks it, if any.
    std::string accessibleName;
    std::string accessibleShortcut;

    // `glyph` is a 32-bit top-down DIB section with premultiplied alpha;
    // the button keeps it.
    void Create(HWND parent, const LayoutRect& rect, int id, UniqueBitmap glyph, int glyphSize);
    void Click();
    // The glyph drawn at another size (the DPI changed).
    void SetGlyphSize(int glyphSize);

    std::optional<std::string> AccessibleName(long) const override { return accessibleName; }
    std::optional<long> AccessibleRole(long) const override { return ROLE_SYSTEM_PUSHBUTTON; }
    long AccessibleState(long child, long standard) const override;
    std::optional<std::string> AccessibleShortcut(long) const override;
    std::optional<std::string> AccessibleDefaultAction(long) const override;
    bool AccessibleDoDefaultAction(long child) override;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC dc);
    bool PointerInside(LPARAM lParam) const;

    UniqueBitmap glyph_;
    int glyphSize_ = 16;
    bool pressed_ = false;
    bool tracking_ = false;
    bool hot_ = false;
    Accessibility accessibility_{*this};
};

// A 32-bit bitmap resource as a top-down DIB section with premultiplied
// alpha; fully transparent pixels stay black.
UniqueBitmap LoadGlyph(HINSTANCE instance, int resourceId);

}  // namespace quorvane::win
