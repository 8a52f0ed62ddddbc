// What assistive technology (screen readers, through Active Accessibility
// or UI Automation's bridge to it) reads of the window's controls. A
// control answers WM_GETOBJECT with one object of its own over the
// system's standard object of its client area, which answers whatever the
// control leaves alone: role, state, place and actions of the system's
// controls, whose names (or values) alone change; the program's own
// controls also tell their role, state, actions and children.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <functional>
#include <optional>
#include <string>

namespace quorvane::win {

// What a control tells beyond its standard object. Child 0 (CHILDID_SELF)
// is the control itself, for which an empty answer leaves the question to
// the standard object. A source with children numbers them from 1 and
// answers everything about them; one without leaves its children, if any,
// to the standard object.
class AccessibleSource {
public:
    virtual ~AccessibleSource() = default;

    virtual std::optional<std::string> AccessibleName(long /*child*/) const { return std::nullopt; }
    virtual std::optional<std::string> AccessibleValue(long /*child*/) const { return std::nullopt; }
    virtual std::optional<long> AccessibleRole(long /*child*/) const { return std::nullopt; }
    // `standard` is the standard object's state for the control, 0 for a child.
    virtual long AccessibleState(long /*child*/, long standard) const { return standard; }
    virtual std::optional<std::string> AccessibleShortcut(long /*child*/) const { return std::nullopt; }
    virtual std::optional<std::string> AccessibleDefaultAction(long /*child*/) const { return std::nullopt; }
    // Starts the default action and returns at once; false when there is none.
    virtual bool AccessibleDoDefaultAction(long /*child*/) { return false; }

    virtual long AccessibleChildCount() const { return 0; }
    // A child's rectangle on the screen.
    virtual RECT AccessibleChildLocation(long /*child*/) const { return {}; }
    // The child that has the focus, the one selected, the one at a point
    // of the screen; 0 for none.
    virtual long AccessibleFocusedChild() const { return 0; }
    virtual long AccessibleSelectedChild() const { return 0; }
    virtual long AccessibleChildAt(POINT /*screen*/) const { return 0; }
    // SELFLAG_TAKEFOCUS and SELFLAG_TAKESELECTION on a child; false when
    // the flags ask for what the control cannot do.
    virtual bool AccessibleSelect(long /*child*/, long /*flags*/) { return false; }
};

class AccessibleObject;

// A control's one accessible object: made at the first WM_GETOBJECT and
// handed out again at every later one. When the control's window goes it
// is cut off from the control: a client that still holds it gets
// CO_E_OBJNOTCONNECTED from every call, and nothing of the window is
// touched.
class Accessibility {
public:
    explicit Accessibility(AccessibleSource& source) : source_(source) {}
    ~Accessibility() { Disconnect(); }
    Accessibility(const Accessibility&) = delete;
    Accessibility& operator=(const Accessibility&) = delete;

    // Answers WM_GETOBJECT for the client area (true, with `result`);
    // lets go of the object at WM_DESTROY (false: the message goes on).
    bool Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void Disconnect();

private:
    AccessibleSource& source_;
    AccessibleObject* object_ = nullptr;
    bool gone_ = false;
};

// Tells assistive technology that something of a control's client area
// changed (EVENT_OBJECT_FOCUS, _SELECTION, _VALUECHANGE, ...).
void NotifyAccessible(DWORD event, HWND window, long child = 0);

// Gives a system control another accessible name, and if `value` is given,
// a value read from it each time it is asked. The control keeps everything
// else its standard object says. Call it after the control's other
// Subclass, if any: its answers come through CallPreviousProc.
void DescribeSystemControl(HWND control, std::string name, std::function<std::string()> value = {});

// What CallPreviousProc asks first: the answer for a described control.
bool AnswerDescribed(HWND control, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

}  // namespace quorvane::win
