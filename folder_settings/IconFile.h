// An .ico file, read and checked before anything is drawn from it. The
// reader takes what the system's file loader takes: it chooses an entry as
// the system does and refuses a file only when an entry chosen for 16 or
// 32 pixels cannot be drawn. Bitmap entries decode here into 32-bit pixels
// and the AND mask; PNG entries are only checked, their pixels left to the
// system.
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
        // The image's own size, from its header: 1..256 for a bitmap (half
        // the header's height, doubled or not), up to 4096 for a PNG.
        int width = 0;
        int height = 0;
        // What the directory says (0 there means 256), which the choice
        // goes by; writers often get it wrong, the image never.
        int listedWidth = 0;
        int listedHeight = 0;
        int bitCount = 0;  // of the image itself; a PNG image counts as 32
        bool png = false;
        // False for an entry the system's search sees but cannot draw
        // (an unknown header, rows past the end of the file): choosing it
        // fails, as it does for the system.
        bool valid = false;
        // A 40-byte header, a full palette and the AND mask: the layout
        // every writer agrees on. Other entries are still drawn, by rules
        // taken from the system's.
        bool plain = false;
        bool hasMask = false;
        uint32_t offset = 0;
        uint32_t size = 0;  // the image's bytes from offset, as far as they go

        bool operator==(const Entry&) const = default;
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
        // One byte a pixel: 1 where the AND mask is set. An entry without
        // a mask gets the system's: set where the alpha is not 255, else
        // clear throughout.
        std::vector<uint8_t> mask;
    };

    // An empty icon: no entries, draws nothing.
    IconFile() = default;

    // The depth of the screen icons are drawn on, which the choice of an
    // entry goes by: the program sets it once at start (until then 32).
    // Loading checks the entries chosen at that depth, and drawing
    // chooses at it, so a file taken is one that draws.
    static void SetScreenBits(int bitsPerPixelTimesPlanes);
    static int ScreenBits();

    // Reads and checks a file. EFOpenError when it cannot be read,
    // EInvalidGraphic "Icon image is not valid" when it is not an icon.
    static IconFile Load(Platform& platform, const std::string& path);
    // Checks bytes already read; EInvalidGraphic when they are not an icon.
    static IconFile FromBytes(std::vector<uint8_t> bytes);

    bool Empty() const { return entries_.empty(); }
    // Every entry the system's search sees, in the file's order, but one
    // whose record repeats the one before (the search never chooses it).
    const std::vector<Entry>& Entries() const { return entries_; }

    // Which entries BestEntry may choose: Windows before Vista cannot make
    // an icon of a PNG image, only of a bitmap one.
    enum class Images { kAny, kBitmapsOnly };

    // The entry the system chooses for an image of size x size pixels on a
    // screen of screenBits a pixel: the listed size nearest, then the depth
    // nearest the screen's, the first of equals. It may be invalid. With
    // kBitmapsOnly only valid bitmap entries count. Null for an empty icon,
    // or when no entry is of the images asked for.
    const Entry* BestEntry(int size, Images images = Images::kAny, int screenBits = 32) const;

    // The bytes of one valid entry (a DIB with whatever masks it has, or a
    // PNG stream); nothing for another icon's entry.
    std::span<const uint8_t> EntryBytes(const Entry& entry) const;

    // The entry as a resource loader takes it: a DIB always ends with its
    // AND mask (the system's own where the file has none), so no loader
    // that trusts the header reads past it.
    std::vector<uint8_t> LoaderBytes(const Entry& entry) const;

    // The pixels of a valid bitmap entry of this icon; nothing for a PNG
    // entry, an invalid one or an entry of another icon.
    std::optional<Pixels> Decode(const Entry& entry) const;

    // The file it was loaded from; empty for bytes checked in memory.
    const std::string& Path() const { return path_; }

private:
    bool Owns(const Entry& entry) const;

    std::string path_;
    std::vector<uint8_t> bytes_;
    std::vector<Entry> entries_;
};

}  // namespace quorvane
