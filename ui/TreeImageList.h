// An ImageList over a real HIMAGELIST of one square size, 32-bit colour
// with masks, so icons keep their transparency. An icon whose best entry is
// a bitmap of the list's size goes in as its decoded pixels; any other (a
// PNG, another size to be scaled) through an icon handle the system makes.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

#include "folder_settings/FolderView.h"
#include "folder_settings/IconFile.h"
#include "platform/win32/Handle.h"

namespace quorvane::win {

// An icon handle of the entry of `icon` that suits size x size best, drawn
// at that size; the best bitmap entry where the system cannot decode a PNG
// one. EInvalidGraphic when the system cannot make one of either.
UniqueIcon MakeIcon(const IconFile& icon, int size);

// The pixels a list of size x size takes from `icon` as they are: those of
// its best entry when that is a bitmap of exactly the size and has no
// pixel that inverts the screen. Nothing where the icon handle's way is
// needed.
std::optional<IconFile::Pixels> ListPixels(const IconFile& icon, int size);

class TreeImageList : public ImageList {
public:
    // Room for `initial` images at first, growing by `grow`. With `part`,
    // the images live in lists of at most that many each, so that no one
    // block of memory holds them all and a growth copies one part only: a
    // library of 20,000 icons at 144 DPI is 185 MB, which a 32-bit process
    // may not find in one piece. Such a list draws with Draw alone.
    explicit TreeImageList(int size, int initial = 4, int grow = 4, int part = 0);

    int Count() const override;
    void AppendIcon(const IconFile& icon) override;
    // A built-in image: an icon resource of the program.
    void AppendResource(HINSTANCE instance, int resourceId);
    // An icon handle as it is; at another size its image is blank.
    void AppendIcon(HICON icon);

    // Every image drawn afresh at another size, from the file or resource it
    // came from, in its place; one that no longer loads becomes blank. The
    // list's handle changes.
    void Resize(int size, Platform& platform);

    // The list, or of a list in parts, the first.
    HIMAGELIST Handle() const { return lists_.front().get(); }
    int Size() const { return size_; }
    void Draw(int index, HDC dc, int x, int y) const;

private:
    // What an image was made of: an icon file, a resource, or nothing.
    struct Source {
        std::string path;
        HINSTANCE instance = nullptr;
        int resourceId = 0;
    };
    void Add(const IconFile& icon);
    void AddResource(HINSTANCE instance, int resourceId);
    void AddHandle(HICON icon);
    void AppendBlank();
    void AppendPixels(const IconFile::Pixels& pixels);
    // The list the next image goes into; a new part when the last is full.
    HIMAGELIST Last();

    int size_;
    int grow_;
    int part_;
    std::vector<UniqueImageList> lists_;
    std::vector<Source> sources_;
};

}  // namespace quorvane::win
