// An .ico file, read and checked completely before anything is drawn from
// it. Bitmap entries decode here into 32-bit pixels and the AND mask; PNG
// entries are only checked, their pixels left to the system.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace quorvane {

class IconFile {
public:
    struct Entry {
        int width = 0;     // pixels, 1..256
        int height = 0;
        int bitCount = 0;  // of the image itself; a PNG image counts as 32
        bool png = false;
        uint32_t offset = 0;
        uint32_t size = 0;
    };

    // The picture of a bitmap entry, rows top down.
    struct Pixels {
        int width = 0;
        int height = 0;
        // True for a 32-bit entry whose alpha is not 0 throughout: its alpha
        // is the picture's. Every other entry is opaque where the AND mask
        // is clear and transparent where it is set, as the system draws it.
        bool hasAlpha = false;
        // Four bytes a pixel: blue, green, red, alpha. Colours are kept as
        // stored, under a set mask bit too.
        std::vector<uint8_t> bgra;
        // One byte a pixel: 1 where the AND mask is set.
        std::vector<uint8_t> mask;
    };

    // An empty icon: no entries, draws nothing.
    IconFile() = default;

    // Reads and checks a file. EFOpenError when it cannot be read,
    // EInvalidGraphic "Icon image is not valid" when it is not an icon.
    static IconFile Load(Platform& platform, const std::string& path);
    // Checks bytes already read; EInvalidGraphic when they are not an icon.
    static IconFile FromBytes(std::vector<uint8_t> bytes);

    bool Empty() const { return entries_.empty(); }
    const std::vector<Entry>& Entries() const { return entries_; }

    // Which entries BestEntry may choose: Windows before Vista cannot make
    // an icon of a PNG image, only of a bitmap one.
    enum class Images { kAny, kBitmapsOnly };

    // The entry that suits an image of size x size pixels best: the exact
    // size, else the smallest larger, else the largest smaller; more colours
    // win among equal sizes. Null for an empty icon, or when no entry is of
    // the images asked for.
    const Entry* BestEntry(int size, Images images = Images::kAny) const;

    // The bytes of one entry (a DIB with its masks, or a PNG stream), as a
    // resource loader takes them.
    std::span<const uint8_t> EntryBytes(const Entry& entry) const;

    // The pixels of a bitmap entry of this icon (1, 4, 8, 16, 24 or 32
    // bits); nothing for a PNG entry or an entry of another icon.
    std::optional<Pixels> Decode(const Entry& entry) const;

private:
    std::vector<uint8_t> bytes_;
    std::vector<Entry> entries_;
};

}  // namespace quorvane
