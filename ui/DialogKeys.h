// What the dialog manager does with a dialog's keys, for a window that is
// not a dialog: Enter presses the focused push button, and the keyboard
// brings back the focus rectangles (and Alt the underlined letters) that
// the system hides until it is used.
#pragma once

#include <windows.h>

namespace quorvane::win {

// Looks at a message for `window` or one of its controls before it is
// dispatched. Returns true when it handled it; it must not be dispatched then.
bool HandleDialogKeys(HWND window, const MSG& msg);

}  // namespace quorvane::win
