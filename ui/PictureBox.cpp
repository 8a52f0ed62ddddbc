#include "ui/PictureBox.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "folder_settings/Bitmap.h"
#include "folder_settings/SettingsFile.h"
#include "platform/Errors.h"
#include "platform/Utf.h"
#include "ui/PictureFit.h"
#include "ui/TreeImageList.h"

namespace quorvane::win {
namespace {

constexpr wchar_t kPictureClass[] = L"QuorvaneImage";
constexpr UINT kShowDrawError = WM_APP + 1;
constexpr char kUnknownExtension[] = "Unknown picture file extension (.%s)";
constexpr char kInvalidMetafile[] = "Metafile is not valid";
constexpr char kOpenError[] = "Cannot open file \"%s\". %s";

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr size_t kPlaceableHeaderSize = 22;
constexpr int kHundredthMillimetresPerInch = 2540;

uint16_t U16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }
int16_t S16(const std::vector<uint8_t>& b, size_t at) { return static_cast<int16_t>(U16(b, at)); }
uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint32_t>(U16(b, at)) | (static_cast<uint32_t>(U16(b, at + 2)) << 16);
}
int32_t S32(const std::vector<uint8_t>& b, size_t at) { return static_cast<int32_t>(U32(b, at)); }

std::vector<uint8_t> ReadFile(Platform& platform, const std::string& path) {
    std::vector<uint8_t> bytes;
    const FileResult result = platform.ReadWholeFile(path, bytes);
    if (!result.ok) throw EFOpenError(FormatText(kOpenError, {path, result.error}));
    return bytes;
}

// A side of the frame in pixels. The corners are any 32-bit values, so
// their difference is taken in 64 bits; one that no int holds gets
// MulDiv's own answer to an overflow, -1.
int FrameSide(int32_t from, int32_t to, int dpi) {
    const int64_t side = int64_t{to} - from;
    if (side < INT32_MIN || side > INT32_MAX) return -1;
    return MulDiv(static_cast<int>(side), dpi, kHundredthMillimetresPerInch);
}

std::unique_ptr<Graphic> LoadEnhancedMetafile(const std::vector<uint8_t>& bytes, int dpi) {
    // ENHMETAHEADER: record type, size, bounds, frame (0.01 mm), signature.
    if (bytes.size() < 88 || U32(bytes, 0) != EMR_HEADER || U32(bytes, 40) != ENHMETA_SIGNATURE) {
        throw EInvalidGraphic(kInvalidMetafile);
    }
    UniqueEnhMetafile metafile(SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), bytes.data()));
    if (!metafile) throw EInvalidGraphic(kInvalidMetafile);
    const int width = FrameSide(S32(bytes, 24), S32(bytes, 32), dpi);
    const int height = FrameSide(S32(bytes, 28), S32(bytes, 36), dpi);
    return std::make_unique<MetafileGraphic>(std::move(metafile), width, height);
}

// A Windows metafile needs the placeable header in front: it alone says how
// large the picture is.
std::unique_ptr<Graphic> LoadWindowsMetafile(const std::vector<uint8_t>& bytes, int dpi) {
    if (bytes.size() <= kPlaceableHeaderSize + 18 || U32(bytes, 0) != kPlaceableKey) {
        throw EInvalidGraphic(kInvalidMetafile);
    }
    const int left = S16(bytes, 6);
    const int top = S16(bytes, 8);
    const int right = S16(bytes, 10);
    const int bottom = S16(bytes, 12);
    const int inch = U16(bytes, 14);
    if (inch == 0 || right <= left || bottom <= top) throw EInvalidGraphic(kInvalidMetafile);
    METAFILEPICT picture{};
    picture.mm = MM_ANISOTROPIC;
    picture.xExt = MulDiv(right - left, kHundredthMillimetresPerInch, inch);
    picture.yExt = MulDiv(bottom - top, kHundredthMillimetresPerInch, inch);
    UniqueEnhMetafile metafile(SetWinMetaFileBits(static_cast<UINT>(bytes.size() - kPlaceableHeaderSize),
                                                  bytes.data() + kPlaceableHeaderSize, nullptr, &picture));
    if (!metafile) throw EInvalidGraphic(kInvalidMetafile);
    return std::make_unique<MetafileGraphic>(std::move(metafile), MulDiv(right - left, dpi, inch),
                                             MulDiv(bottom - top, dpi, inch));
}

}  // namespace

void DrawDib(HDC dc, const RECT& target, const Dib& image) {
    if (image.Empty()) return;
    std::vector<uint8_t> buffer(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD), 0);
    auto* info = reinterpret_cast<BITMAPINFO*>(buffer.data());
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = image.width;
    info->bmiHeader.biHeight = -image.height;  // rows run top down
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = static_cast<WORD>(image.bitsPerPixel);
    info->bmiHeader.biCompression = BI_RGB;
    if (image.bitsPerPixel == 8) {
        const size_t colours = image.palette.size() < 256 ? image.palette.size() : 256;
        info->bmiHeader.biClrUsed = static_cast<DWORD>(colours);
        std::memcpy(info->bmiColors, image.palette.data(), colours * sizeof(RGBQUAD));
    }
    const int oldMode = SetStretchBltMode(dc, HALFTONE);
    POINT oldOrigin;
    SetBrushOrgEx(dc, 0, 0, &oldOrigin);
    StretchDIBits(dc, target.left, target.top, target.right - target.left, target.bottom - target.top, 0, 0,
                  image.width, image.height, image.pixels.data(), info, DIB_RGB_COLORS, SRCCOPY);
    SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
    SetStretchBltMode(dc, oldMode);
}

void JpegGraphic::Draw(HDC dc, const RECT& target) {
    if (broken_) return;
    try {
        DrawDib(dc, target, image_->DecodedBitmap(target.right - target.left, target.bottom - target.top));
    } catch (const EJPEG& e) {
        // Data past a valid header that does not decode: the preview stays
        // empty, as it always has. A picture too large for the memory is
        // whole, and the user hears why it does not show.
        broken_ = true;
        if (JpegTooLarge(e)) tooLarge_ = std::current_exception();
    } catch (const Exception&) {
        broken_ = true;
    }
}

void BitmapGraphic::Draw(HDC dc, const RECT& target) { DrawDib(dc, target, image_); }

void IconGraphic::Draw(HDC dc, const RECT& target) {
    if (!icon_) return;
    DrawIconEx(dc, target.left, target.top, icon_.get(), target.right - target.left, target.bottom - target.top, 0,
               nullptr, DI_NORMAL);
}

void MetafileGraphic::Draw(HDC dc, const RECT& target) { PlayEnhMetaFile(dc, metafile_.get(), &target); }

std::unique_ptr<Graphic> MakeIconGraphic(const IconFile& icon, int size) {
    if (icon.Empty()) return std::make_unique<IconGraphic>(UniqueIcon(), size);
    return std::make_unique<IconGraphic>(MakeIcon(icon, size), size);
}

std::unique_ptr<Graphic> LoadPictureFile(Platform& platform, const std::string& path, int iconSize, int dpi) {
    std::string extension = PathExtension(path);
    if (!extension.empty()) extension.erase(0, 1);
    const std::string kind = AsciiLower(extension);
    if (kind == "ico") return MakeIconGraphic(IconFile::Load(platform, path), iconSize);
    if (kind == "bmp") {
        TBitmap bitmap;
        bitmap.LoadFromFile(platform, path);
        return std::make_unique<BitmapGraphic>(bitmap.Image());
    }
    if (kind == "jpg" || kind == "jpeg") {
        auto image = std::make_unique<TJPEGImage>();
        image->LoadFromFile(platform, path);
        return std::make_unique<JpegGraphic>(std::move(image));
    }
    if (kind == "emf") return LoadEnhancedMetafile(ReadFile(platform, path), dpi);
    if (kind == "wmf") return LoadWindowsMetafile(ReadFile(platform, path), dpi);
    throw EInvalidGraphicOperation(FormatText(kUnknownExtension, {extension}));
}

void PictureBox::Create(HWND parent, const LayoutRect& rect, int id) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    // The picture is centred, so any change of size moves all of it.
    RegisterWindowClass(instance, kPictureClass, nullptr, LoadCursorW(nullptr, IDC_ARROW), CS_HREDRAW | CS_VREDRAW);
    CreateHandle(0, kPictureClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, rect, parent,
                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance);
}

void PictureBox::SetGraphic(std::unique_ptr<Graphic> graphic) {
    graphic_ = std::move(graphic);
    cache_.reset();
    if (hwnd()) InvalidateRect(hwnd(), nullptr, TRUE);
}

LayoutRect PictureBox::PictureRect() const {
    if (!graphic_ || !hwnd()) return {};
    RECT client;
    GetClientRect(hwnd(), &client);
    return FitPicture(graphic_->Width(), graphic_->Height(), client.right, client.bottom);
}

void PictureBox::RenderCache(HDC screen, int width, int height) {
    // In the pictures' own 24-bit format: a stretch between two formats
    // first converts the whole source (Wine does, into a copy larger than
    // the picture's own bitmap), a stretch within one format does not.
    void* bits = nullptr;
    cache_ = CreateTopDownDib(screen, width, height, 24, &bits);
    cacheWidth_ = width;
    cacheHeight_ = height;
    if (!cache_) return;
    const UniqueDc memoryDc(CreateCompatibleDC(screen));
    const HDC memory = memoryDc.get();
    const ScopedSelect select(memory, cache_.get());
    const RECT client{0, 0, width, height};
    FillRect(memory, &client, GetSysColorBrush(COLOR_BTNFACE));
    const LayoutRect at = PictureRect();
    if (graphic_ && at.width > 0 && at.height > 0) {
        graphic_->Draw(memory, RECT{at.left, at.top, at.left + at.width, at.top + at.height});
        // Shown once the paint is over, not from inside it.
        if ((drawError_ = graphic_->TakeDrawError())) PostMessageW(hwnd(), kShowDrawError, 0, 0);
    }
}

void PictureBox::SetAccessibleValue(std::string value) {
    if (value == accessibleValue_) return;
    accessibleValue_ = std::move(value);
    NotifyAccessible(EVENT_OBJECT_VALUECHANGE, hwnd());
}

LRESULT PictureBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (LRESULT answer = 0; accessibility_.Handle(hwnd(), message, wParam, lParam, answer)) return answer;
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case kShowDrawError:
        if (drawError_) ShowException(std::exchange(drawError_, nullptr));
        return 0;
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
        // The cache holds the background in the former button-face colour.
        cache_.reset();
        InvalidateRect(hwnd(), nullptr, FALSE);
        return 0;
    case WM_PAINT: {
        const PaintDc paint(hwnd());
        const HDC dc = paint.get();
        RECT client;
        GetClientRect(hwnd(), &client);
        if (client.right <= 0 || client.bottom <= 0) return 0;
        if (!cache_ || cacheWidth_ != client.right || cacheHeight_ != client.bottom) {
            RenderCache(dc, client.right, client.bottom);
        }
        if (!cache_) return 0;
        const UniqueDc memoryDc(CreateCompatibleDC(dc));
        const ScopedSelect select(memoryDc.get(), cache_.get());
        BitBlt(dc, 0, 0, client.right, client.bottom, memoryDc.get(), 0, 0, SRCCOPY);
        return 0;
    }
    default:
        return Window::HandleMessage(message, wParam, lParam);
    }
}

}  // namespace quorvane::win
