#include "ui/MessageText.h"

#include <new>
#include <stdexcept>

#include "folder_settings/UiTexts.h"
#include "platform/Errors.h"
#include "platform/Utf.h"

namespace quorvane {

char32_t LowerCodePoint(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + 0x20;
    if (c < 0xC0) return c;
    if (c <= 0xDE) return c == 0xD7 ? c : c + 0x20;
    // Latin Extended-A: mostly capital/small pairs; the dotted I and the
    // dotless i have no plain partner.
    if ((c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) {
        return (c % 2 == 0) ? c + 1 : c;
    }
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c % 2 == 1) ? c + 1 : c;
    if (c == 0x178) return 0xFF;
    // Greek.
    if ((c >= 0x391 && c <= 0x3A1) || (c >= 0x3A3 && c <= 0x3AB)) return c + 0x20;
    if (c == 0x386) return 0x3AC;
    if (c >= 0x388 && c <= 0x38A) return c + 0x25;
    if (c == 0x38C) return 0x3CC;
    if (c == 0x38E || c == 0x38F) return c + 0x3F;
    // Cyrillic.
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;
    if ((c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF) || (c >= 0x4D0 && c <= 0x4FF)) {
        return (c % 2 == 0) ? c + 1 : c;
    }
    if (c == 0x4C0) return 0x4CF;
    if (c >= 0x4C1 && c <= 0x4CE) return (c % 2 == 1) ? c + 1 : c;
    return c;
}

std::string ProgramTitle(std::string_view executablePath) {
    const size_t slash = executablePath.find_last_of("\\/:");
    std::string_view name = slash == std::string_view::npos ? executablePath : executablePath.substr(slash + 1);
    name = name.substr(0, name.find('.'));
    std::u16string wide = Utf8ToUtf16(name);
    // The first character keeps its case; surrogate pairs (outside the
    // planes that have case here) are left alone.
    for (size_t i = 1; i < wide.size(); ++i) {
        const char16_t c = wide[i];
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        wide[i] = static_cast<char16_t>(LowerCodePoint(c));
    }
    return Utf16ToUtf8(wide);
}

std::string ExceptionMessage(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        return "Out of memory";
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "Unknown error";
    }
}

std::string ErrorBoxText(std::string_view message) {
    std::string text(message);
    // Every byte of a multi-byte UTF-8 character is above "." too, so the
    // last byte decides as the last character would.
    if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.')) text += '.';
    return text;
}

}  // namespace quorvane

namespace quorvane {
namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

// A scheme is a letter, then letters, digits, "+", "-" or ".", then ":"; a
// colon followed by a digit is a port ("host.example:8080") instead.
bool HasScheme(std::string_view text) {
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon < 2 || !IsAsciiLetter(text[0])) return false;
    for (size_t i = 1; i < colon; ++i) {
        const char c = text[i];
        if (!IsAsciiLetter(c) && !IsAsciiDigit(c) && c != '+' && c != '-' && c != '.') return false;
    }
    return colon + 1 >= text.size() || !IsAsciiDigit(text[colon + 1]);
}

}  // namespace

std::string ColorValueText(uint32_t rgb) {
    return FormatText(text::kColorValue, {std::to_string(rgb & 0xFF), std::to_string((rgb >> 8) & 0xFF),
                                          std::to_string((rgb >> 16) & 0xFF)});
}

std::string LinkTarget(std::string_view caption) {
    // A drive path ("C:\...") names a file, which the shell opens as it is.
    const bool drivePath = caption.size() >= 2 && IsAsciiLetter(caption[0]) && caption[1] == ':';
    if (caption.empty() || drivePath || HasScheme(caption)) return std::string(caption);
    const size_t at = caption.find('@');
    const bool mail = at != std::string_view::npos && caption.find('/') > at;
    return (mail ? "mailto:" : "http://") + std::string(caption);
}

}  // namespace quorvane
