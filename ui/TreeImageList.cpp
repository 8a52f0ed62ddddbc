#include "ui/TreeImageList.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "platform/Errors.h"

namespace quorvane::win {
namespace {

constexpr char kInvalidIcon[] = "Icon image is not valid";
constexpr DWORD kIconFormatVersion = 0x00030000;

UniqueIcon IconOfEntry(const IconFile& icon, const IconFile::Entry& entry, int size) {
    // The loader takes a writable buffer, and every mask the header implies.
    std::vector<BYTE> copy = icon.LoaderBytes(entry);
    if (copy.empty()) return UniqueIcon();
    return UniqueIcon(CreateIconFromResourceEx(copy.data(), static_cast<DWORD>(copy.size()), TRUE,
                                               kIconFormatVersion, size, size, LR_DEFAULTCOLOR));
}

// The system chooses an icon's entry by the screen's depth too: the one
// the loading checked at, asked once at start (a screen DC costs 0.1 ms
// under Wine, a start-up's worth with a large library).
int ScreenBits() { return IconFile::ScreenBits(); }

}  // namespace

UniqueIcon MakeIcon(const IconFile& icon, int size) {
    const IconFile::Entry* entry = icon.BestEntry(size, IconFile::Images::kAny, ScreenBits());
    if (!entry || !entry->valid) throw EInvalidGraphic(kInvalidIcon);
    UniqueIcon handle = IconOfEntry(icon, *entry, size);
    // Windows XP makes no icon of a PNG image (those came with Vista): the
    // file's best bitmap image stands in.
    if (!handle && entry->png) {
        if (const IconFile::Entry* bitmap = icon.BestEntry(size, IconFile::Images::kBitmapsOnly, ScreenBits()))
            handle = IconOfEntry(icon, *bitmap, size);
    }
    if (!handle) throw EInvalidGraphic(kInvalidIcon);
    return handle;
}

// A pixel that is set in the mask and not black in colour inverts the
// screen when an icon draws; what a list makes of that differs between
// systems, so such an image keeps the icon's way, and so does any entry
// laid out other than plainly: the system's reading of it decides.
std::optional<IconFile::Pixels> ListPixels(const IconFile& icon, int size) {
    const IconFile::Entry* best = icon.BestEntry(size, IconFile::Images::kAny, ScreenBits());
    if (!best || !best->plain || best->width != size || best->height != size) return std::nullopt;
    auto pixels = icon.Decode(*best);
    if (pixels && !pixels->hasAlpha) {
        for (size_t i = 0; i < pixels->mask.size(); ++i) {
            const uint8_t* bgr = &pixels->bgra[i * 4];
            if (pixels->mask[i] && (bgr[0] | bgr[1] | bgr[2])) return std::nullopt;
        }
    }
    return pixels;
}

namespace {

UniqueImageList CreateList(int size, int initial, int grow) {
    UniqueImageList list(ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, initial, grow));
    if (!list) throw std::runtime_error("cannot create an image list");
    return list;
}

}  // namespace

TreeImageList::TreeImageList(int size, int initial, int grow, int part) : size_(size), grow_(grow), part_(part) {
    lists_.push_back(CreateList(size, part > 0 ? std::min(initial, part) : initial, grow));
}

int TreeImageList::Count() const {
    int count = 0;
    for (const UniqueImageList& list : lists_) count += ImageList_GetImageCount(list.get());
    return count;
}

void TreeImageList::Draw(int index, HDC dc, int x, int y) const {
    const size_t list = part_ > 0 ? static_cast<size_t>(index / part_) : 0;
    if (index < 0 || list >= lists_.size()) return;
    ImageList_Draw(lists_[list].get(), part_ > 0 ? index % part_ : index, dc, x, y, ILD_NORMAL);
}

HIMAGELIST TreeImageList::Last() {
    if (part_ > 0 && ImageList_GetImageCount(lists_.back().get()) >= part_) {
        lists_.push_back(CreateList(size_, grow_, grow_));
    }
    return lists_.back().get();
}

void TreeImageList::AppendIcon(const IconFile& icon) {
    Add(icon);
    sources_.push_back({icon.Path()});
}

void TreeImageList::AppendResource(HINSTANCE instance, int resourceId) {
    AddResource(instance, resourceId);
    sources_.push_back({{}, instance, resourceId});
}

void TreeImageList::Resize(int size, Platform& platform) {
    TreeImageList resized(size, static_cast<int>(sources_.size()) + 1, grow_, part_);
    for (const Source& source : sources_) {
        if (source.resourceId != 0) {
            resized.AddResource(source.instance, source.resourceId);
            continue;
        }
        IconFile icon;
        try {
            if (!source.path.empty()) icon = IconFile::Load(platform, source.path);
            resized.Add(icon);
        } catch (const std::exception&) {
            resized.AppendBlank();
        }
    }
    size_ = size;
    lists_ = std::move(resized.lists_);
}

// Making an icon handle and letting the list draw it took most of the
// start-up with a large library; the pixels are already at hand.
void TreeImageList::Add(const IconFile& icon) {
    if (icon.Empty()) {
        AppendBlank();
        return;
    }
    if (const auto pixels = ListPixels(icon, size_)) {
        AppendPixels(*pixels);
        return;
    }
    AddHandle(MakeIcon(icon, size_).get());
}

void TreeImageList::AppendIcon(HICON icon) {
    AddHandle(icon);
    sources_.push_back({});
}

void TreeImageList::AddHandle(HICON icon) {
    if (ImageList_AddIcon(Last(), icon) < 0) throw EInvalidGraphic(kInvalidIcon);
}

void TreeImageList::AddResource(HINSTANCE instance, int resourceId) {
    const UniqueIcon icon(static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON, size_, size_, LR_DEFAULTCOLOR)));
    if (!icon) throw std::runtime_error("icon resource missing");
    AddHandle(icon.get());
}

// The colour goes in as a 32-bit DIB section, which comctl32 6 reads with
// its alpha: the entry's own where it has one, else all zero, so that the
// mask decides, as it does for the icon.
void TreeImageList::AppendPixels(const IconFile::Pixels& pixels) {
    const size_t count = pixels.mask.size();
    void* bits = nullptr;
    UniqueBitmap colour = CreateTopDownDib(nullptr, size_, size_, 32, &bits);
    if (!colour) throw EInvalidGraphic(kInvalidIcon);
    auto* out = static_cast<BYTE*>(bits);
    std::copy(pixels.bgra.begin(), pixels.bgra.end(), out);
    if (!pixels.hasAlpha) {
        for (size_t i = 0; i < count; ++i) out[i * 4 + 3] = 0;
    }
    // A monochrome bitmap's rows are padded to 16 bits; a set bit lets the
    // background through, as in the icon's AND mask.
    const auto side = static_cast<size_t>(size_);
    const size_t stride = (side + 15) / 16 * 2;
    std::vector<BYTE> maskBits(stride * side, 0);
    for (size_t y = 0; y < side; ++y) {
        for (size_t x = 0; x < side; ++x) {
            if (pixels.mask[y * side + x]) maskBits[y * stride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
        }
    }
    UniqueBitmap mask(CreateBitmap(size_, size_, 1, 1, maskBits.data()));
    if (!mask) throw EInvalidGraphic(kInvalidIcon);
    if (ImageList_Add(Last(), colour.get(), mask.get()) < 0) throw EInvalidGraphic(kInvalidIcon);
}

// A fully transparent image: colour all zero, mask all set.
void TreeImageList::AppendBlank() {
    void* bits = nullptr;
    UniqueBitmap colour = CreateTopDownDib(nullptr, size_, size_, 32, &bits);
    const std::vector<BYTE> maskBits(static_cast<size_t>((size_ + 15) / 16 * 2 * size_), 0xFF);
    UniqueBitmap mask(CreateBitmap(size_, size_, 1, 1, maskBits.data()));
    if (!colour || !mask) throw std::runtime_error("cannot create a bitmap");
    if (ImageList_Add(Last(), colour.get(), mask.get()) < 0) throw std::runtime_error("cannot add an image");
}

}  // namespace quorvane::win
