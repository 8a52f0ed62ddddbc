// An ImageList over a real HIMAGELIST of one square size, 32-bit colour
// with masks, so icons keep their transparency.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "folder_settings/FolderView.h"
#include "folder_settings/IconFile.h"
#include "platform/win32/Handle.h"

namespace quorvane::win {

// An icon handle of the entry of `icon` that suits size x size best, drawn
// at that size; the best bitmap entry where the system cannot decode a PNG
// one. EInvalidGraphic when the system cannot make one of either.
UniqueIcon MakeIcon(const IconFile& icon, int size);

class TreeImageList : public ImageList {
public:
    // Room for `initial` images at first, growing by `grow`.
    explicit TreeImageList(int size, int initial = 4, int grow = 4);

    int Count() const override;
    void AppendIcon(const IconFile& icon) override;
    // For the built-in images, which come as icon handles.
    void AppendIcon(HICON icon);

    HIMAGELIST Handle() const { return list_.get(); }
    int Size() const { return size_; }

private:
    void AppendBlank();

    int size_;
    UniqueImageList list_;
};

}  // namespace quorvane::win
