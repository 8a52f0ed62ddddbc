#include "ui/TreeImageList.h"

#include <stdexcept>
#include <vector>

#include "platform/Errors.h"

namespace quorvane::win {
namespace {

constexpr char kInvalidIcon[] = "Icon image is not valid";
constexpr DWORD kIconFormatVersion = 0x00030000;

UniqueIcon IconOfEntry(const IconFile& icon, const IconFile::Entry& entry, int size) {
    // The loader takes a writable buffer; hand it a copy of the entry.
    const auto bytes = icon.EntryBytes(entry);
    std::vector<BYTE> copy(bytes.begin(), bytes.end());
    return UniqueIcon(CreateIconFromResourceEx(copy.data(), static_cast<DWORD>(copy.size()), TRUE,
                                               kIconFormatVersion, size, size, LR_DEFAULTCOLOR));
}

}  // namespace

UniqueIcon MakeIcon(const IconFile& icon, int size) {
    const IconFile::Entry* entry = icon.BestEntry(size);
    if (!entry) throw EInvalidGraphic(kInvalidIcon);
    UniqueIcon handle = IconOfEntry(icon, *entry, size);
    // Windows XP makes no icon of a PNG image (those came with Vista): the
    // file's best bitmap image stands in.
    if (!handle && entry->png) {
        if (const IconFile::Entry* bitmap = icon.BestEntry(size, IconFile::Images::kBitmapsOnly))
            handle = IconOfEntry(icon, *bitmap, size);
    }
    if (!handle) throw EInvalidGraphic(kInvalidIcon);
    return handle;
}

TreeImageList::TreeImageList(int size, int initial, int grow)
    : size_(size), list_(ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, initial, grow)) {
    if (!list_) throw std::runtime_error("cannot create an image list");
}

int TreeImageList::Count() const { return ImageList_GetImageCount(list_.get()); }

void TreeImageList::AppendIcon(const IconFile& icon) {
    if (icon.Empty()) {
        AppendBlank();
        return;
    }
    AppendIcon(MakeIcon(icon, size_).get());
}

void TreeImageList::AppendIcon(HICON icon) {
    if (ImageList_AddIcon(list_.get(), icon) < 0) throw EInvalidGraphic(kInvalidIcon);
}

// A fully transparent image: colour all zero, mask all set.
void TreeImageList::AppendBlank() {
    void* bits = nullptr;
    UniqueBitmap colour = CreateTopDownDib(nullptr, size_, size_, 32, &bits);
    const std::vector<BYTE> maskBits(static_cast<size_t>((size_ + 15) / 16 * 2 * size_), 0xFF);
    UniqueBitmap mask(CreateBitmap(size_, size_, 1, 1, maskBits.data()));
    if (!colour || !mask) throw std::runtime_error("cannot create a bitmap");
    if (ImageList_Add(list_.get(), colour.get(), mask.get()) < 0) throw std::runtime_error("cannot add an image");
}

}  // namespace quorvane::win
