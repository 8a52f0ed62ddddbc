// The colour text of desktop.ini both ways. Any text either reads as the
// colour its characters 5-10 spell as blue, green and red hex pairs, or
// raises the conversion error naming the first pair that is not hex; the
// reader never looks past the text's end. The first four bytes, taken as a
// colour, are written and must read back (through the system colour when
// the top bit asks for one).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "folder_settings/SettingsFile.h"
#include "platform/Errors.h"
#include "tests/host/FakePlatform.h"

namespace {

int Hex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quorvane;
    // An exact-size copy, so reading past the end is a sanitizer error.
    std::unique_ptr<char[]> copy(new char[size == 0 ? 1 : size]);
    if (size != 0) std::memcpy(copy.get(), data, size);
    const std::string_view text(copy.get(), size);

    // The first pair (characters 5-6, 7-8, 9-10) that is not two hex digits.
    size_t bad = 0;
    Color expected = 0;
    for (size_t first : {4, 6, 8}) {
        const int high = first < size ? Hex(text[first]) : -1;
        const int low = first + 1 < size ? Hex(text[first + 1]) : -1;
        if (high < 0 || low < 0) {
            bad = first + 1;
            break;
        }
        expected |= static_cast<Color>(high * 16 + low) << (16 - 4 * (first - 4));
    }
    try {
        const Color color = SettingTextToColor(text);
        if (bad != 0 || color != expected) std::abort();
    } catch (const EConvertError& e) {
        if (bad == 0) std::abort();
        const std::string pair(bad - 1 < size ? text.substr(bad - 1, 2) : std::string_view());
        // The message is shown as C text, which ends at a zero byte.
        const std::string message = "'$" + pair + "' is not a valid integer value";
        if (e.what() != message.substr(0, message.find('\0'))) std::abort();
    }

    if (size >= 4) {
        Color color;
        std::memcpy(&color, data, sizeof color);
        test::FakePlatform platform;
        platform.systemColors[static_cast<int>(color & 0xFF)] = color ^ 0x00A5A5A5u;
        const std::string written = ColorToSettingText(platform, color);
        if (written.size() != 10 || written.compare(0, 4, "0x00") != 0) std::abort();
        const Color shown = (color & 0x80000000u) ? platform.SystemColor(static_cast<int>(color & 0xFF)) : color;
        if (SettingTextToColor(written) != (shown & 0xFFFFFFu)) std::abort();
    }
    return 0;
}
