// Any bytes either read as an icon whose entries chosen at 16 and 32
// pixels are valid, whose every valid entry lies inside the file and whose
// every valid bitmap entry decodes to a picture of its size, or raise the
// invalid-icon error; nothing else may happen.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "folder_settings/IconFile.h"
#include "platform/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using quorvane::IconFile;
    try {
        const IconFile icon = IconFile::FromBytes(std::vector<uint8_t>(data, data + size));
        if (icon.Empty()) std::abort();
        for (const IconFile::Entry& entry : icon.Entries()) {
            const auto bytes = icon.EntryBytes(entry);
            const auto pixels = icon.Decode(entry);
            if (!entry.valid) {
                if (!bytes.empty() || pixels) std::abort();
                continue;
            }
            const int limit = entry.png ? 4096 : 256;
            if (entry.width < 1 || entry.width > limit || entry.height < 1 || entry.height > limit) std::abort();
            if (bytes.size() != entry.size || uint64_t{entry.offset} + entry.size > size) std::abort();
            if (pixels.has_value() == entry.png) std::abort();
            const auto count = static_cast<size_t>(entry.width) * static_cast<size_t>(entry.height);
            if (pixels && (pixels->bgra.size() != count * 4 || pixels->mask.size() != count)) std::abort();
            const auto loader = icon.LoaderBytes(entry);
            if (loader.size() < bytes.size() || (entry.hasMask && loader.size() != bytes.size())) std::abort();
        }
        for (int side : {16, 32}) {
            const IconFile::Entry* best = icon.BestEntry(side);
            if (!best || !best->valid) std::abort();
            const auto bytes = icon.EntryBytes(*best);
            // Touch both ends so a sanitizer sees any read past the entry.
            volatile uint8_t sink = bytes.front();
            sink = bytes.back();
            (void)sink;
        }
    } catch (const quorvane::EInvalidGraphic&) {
    }
    return 0;
}
