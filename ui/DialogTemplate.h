// Dialog templates built in memory. The program's dialogs place their
// controls in pixels when they start, so a template carries little more
// than the frame's style and caption.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace quorvane::win {

class DialogTemplate {
public:
    // Sizes are in dialog units. With DS_SETFONT in `style` the dialog uses
    // "MS Sans Serif" 8.
    DialogTemplate(DWORD style, DWORD exStyle, const std::wstring& caption, short cx = 0, short cy = 0);

    // Adds a control of a predefined class (0x0080 button, 0x0082 static).
    void AddItem(WORD classAtom, const std::wstring& text, DWORD style, short x, short y, short cx, short cy, WORD id);

    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }
    size_t SizeInBytes() const { return words_.size() * sizeof(WORD); }

private:
    void Align();
    void PushDword(DWORD value);
    void PushString(const std::wstring& text);

    std::vector<WORD> words_;
};

}  // namespace quorvane::win
