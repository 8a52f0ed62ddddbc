#include "ui/DialogTemplate.h"

namespace quorvane::win {

DialogTemplate::DialogTemplate(DWORD style, DWORD exStyle, const std::wstring& caption, short cx, short cy) {
    PushDword(style);
    PushDword(exStyle);
    words_.push_back(0);  // item count, raised by AddItem
    words_.push_back(0);  // x
    words_.push_back(0);  // y
    words_.push_back(static_cast<WORD>(cx));
    words_.push_back(static_cast<WORD>(cy));
    words_.push_back(0);  // no menu
    words_.push_back(0);  // the standard dialog class
    PushString(caption);
    if (style & DS_SETFONT) {
        words_.push_back(8);
        PushString(L"MS Sans Serif");
    }
}

void DialogTemplate::AddItem(WORD classAtom, const std::wstring& text, DWORD style, short x, short y, short cx,
                             short cy, WORD id) {
    Align();
    PushDword(style);
    PushDword(0);
    words_.push_back(static_cast<WORD>(x));
    words_.push_back(static_cast<WORD>(y));
    words_.push_back(static_cast<WORD>(cx));
    words_.push_back(static_cast<WORD>(cy));
    words_.push_back(id);
    words_.push_back(0xFFFF);
    words_.push_back(classAtom);
    PushString(text);
    words_.push_back(0);  // no creation data
    ++words_[4];          // cdit follows the two DWORD styles
}

void DialogTemplate::Align() {
    if (words_.size() % 2) words_.push_back(0);
}

void DialogTemplate::PushDword(DWORD value) {
    words_.push_back(LOWORD(value));
    words_.push_back(HIWORD(value));
}

void DialogTemplate::PushString(const std::wstring& text) {
    for (wchar_t c : text) words_.push_back(static_cast<WORD>(c));
    words_.push_back(0);
}

}  // namespace quorvane::win
