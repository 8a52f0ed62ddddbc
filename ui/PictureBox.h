// The pictures the window shows and the control that shows one: centred,
// scaled down to fit with its aspect ratio kept, never enlarged.
#pragma once

#include <windows.h>

#include <exception>
#include <memory>
#include <string>
#include <utility>

#include "folder_settings/Dib.h"
#include "folder_settings/IconFile.h"
#include "folder_settings/Jpeg.h"
#include "platform/Platform.h"
#include "platform/win32/Handle.h"
#include "ui/Accessible.h"
#include "ui/Window.h"

namespace quorvane::win {

// A picture of one kind: its size in pixels and how it draws itself into a
// rectangle of that size or smaller.
class Graphic {
public:
    virtual ~Graphic() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void Draw(HDC dc, const RECT& target) = 0;
    // What the last Draw could not draw and the user should hear of; once.
    virtual std::exception_ptr TakeDrawError() { return nullptr; }
};

// The background picture: a TJPEGImage, decoded when first drawn, at the
// size it is drawn at, and again when it is drawn larger.
class JpegGraphic : public Graphic {
public:
    explicit JpegGraphic(std::unique_ptr<TJPEGImage> image) : image_(std::move(image)) {}
    int Width() const override { return image_->Width(); }
    int Height() const override { return image_->Height(); }
    void Draw(HDC dc, const RECT& target) override;
    std::exception_ptr TakeDrawError() override { return std::exchange(tooLarge_, nullptr); }
    const TJPEGImage& Image() const { return *image_; }

private:
    std::unique_ptr<TJPEGImage> image_;
    // A picture whose data does not decode is not tried again on every paint.
    bool broken_ = false;
    // Why a whole picture could not be shown: too large for the memory.
    std::exception_ptr tooLarge_;
};

class BitmapGraphic : public Graphic {
public:
    explicit BitmapGraphic(Dib image) : image_(std::move(image)) {}
    int Width() const override { return image_.width; }
    int Height() const override { return image_.height; }
    void Draw(HDC dc, const RECT& target) override;

private:
    Dib image_;
};

// An icon at one size; an empty icon draws nothing.
class IconGraphic : public Graphic {
public:
    IconGraphic(UniqueIcon icon, int size) : icon_(std::move(icon)), size_(icon_ ? size : 0) {}
    int Width() const override { return size_; }
    int Height() const override { return size_; }
    void Draw(HDC dc, const RECT& target) override;
    HICON Handle() const { return icon_.get(); }

private:
    UniqueIcon icon_;
    int size_;
};

struct EnhMetafileTraits {
    using Type = HENHMETAFILE;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { DeleteEnhMetaFile(h); }
};
using UniqueEnhMetafile = UniqueHandle<EnhMetafileTraits>;

// A Windows or enhanced metafile, played into the target rectangle.
class MetafileGraphic : public Graphic {
public:
    MetafileGraphic(UniqueEnhMetafile metafile, int width, int height)
        : metafile_(std::move(metafile)), width_(width), height_(height) {}
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void Draw(HDC dc, const RECT& target) override;

private:
    UniqueEnhMetafile metafile_;
    int width_;
    int height_;
};

// Draws a Dib (24 or 8 bits per pixel) stretched into `target`.
void DrawDib(HDC dc, const RECT& target, const Dib& image);

// The icon's entry that suits `size` best, as a picture of that size. An
// empty icon gives a picture that draws nothing.
std::unique_ptr<Graphic> MakeIconGraphic(const IconFile& icon, int size);

// Loads a picture of the kind its extension names, compared without regard
// to case: "ico" (drawn at iconSize), "bmp", "jpg"/"jpeg", "wmf"/"emf".
// Any other extension raises EInvalidGraphicOperation "Unknown picture file
// extension (.%s)"; the loaders raise their own errors.
std::unique_ptr<Graphic> LoadPictureFile(Platform& platform, const std::string& path, int iconSize, int dpi);

// Shows one Graphic by the display rule. The picture is scaled once, when
// it or the control's size changes, into a DIB section of the whole
// control; a repaint is one blit of that, so a large photograph costs no more
// to repaint than a small one; a change of the system's colours or theme
// drops it. A hint, if any, is the owner's business (see
// the window's tooltips). Assistive technology reads it as a graphic with
// a name and, as its value, what it shows in words (the owner says).
class PictureBox : public Window, public AccessibleSource {
public:
    void Create(HWND parent, const LayoutRect& rect, int id);
    void SetAccessibleName(std::string name) { accessibleName_ = std::move(name); }
    // Tells assistive technology when the words change.
    void SetAccessibleValue(std::string value);
    void SetGraphic(std::unique_ptr<Graphic> graphic);
    void Clear() { SetGraphic(nullptr); }
    Graphic* Picture() const { return graphic_.get(); }
    // Where the picture lands in the control's client area now; empty
    // without a picture.
    LayoutRect PictureRect() const;

    std::optional<std::string> AccessibleName(long) const override { return accessibleName_; }
    std::optional<std::string> AccessibleValue(long) const override { return accessibleValue_; }
    std::optional<long> AccessibleRole(long) const override { return ROLE_SYSTEM_GRAPHIC; }
    long AccessibleState(long, long standard) const override { return standard & ~STATE_SYSTEM_FOCUSABLE; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Draws the background and the picture into the cache, sized as the
    // client area.
    void RenderCache(HDC screen, int width, int height);

    std::unique_ptr<Graphic> graphic_;
    UniqueBitmap cache_;
    int cacheWidth_ = 0;
    int cacheHeight_ = 0;
    std::string accessibleName_;
    std::string accessibleValue_;
    // A drawing error waiting to be shown once the paint is over.
    std::exception_ptr drawError_;
    Accessibility accessibility_{*this};
};

}  // namespace quorvane::win
