#include "folder_settings/SettingsFile.h"

#include <cctype>

#include "platform/Errors.h"
#include "platform/ProfileFile.h"
#include "platform/Utf.h"

namespace quorvane {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Characters `first` and `first + 1` (counted from 1) as one hex byte.
uint32_t ReadPair(std::string_view text, size_t first) {
    const std::string_view pair = first - 1 < text.size() ? text.substr(first - 1, 2) : std::string_view();
    if (pair.size() == 2) {
        const int high = HexDigit(pair[0]), low = HexDigit(pair[1]);
        if (high >= 0 && low >= 0) return static_cast<uint32_t>(high * 16 + low);
    }
    throw EConvertError(FormatText("'%s' is not a valid integer value", {"$" + std::string(pair)}));
}

bool EndsWithSeparator(const std::string& path) { return !path.empty() && path.back() == '\\'; }

}  // namespace

std::string ColorToSettingText(Platform& platform, Color color) {
    if (color & 0x80000000u) color = platform.SystemColor(static_cast<int>(color & 0xFF));
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text = "0x00";
    for (int shift : {16, 8, 0}) {
        const uint32_t channel = (color >> shift) & 0xFF;
        text += kDigits[channel >> 4];
        text += kDigits[channel & 0xF];
    }
    return text;
}

Color SettingTextToColor(std::string_view text) {
    const uint32_t blue = ReadPair(text, 5);
    const uint32_t green = ReadPair(text, 7);
    const uint32_t red = ReadPair(text, 9);
    return red + 256 * green + 65536 * blue;
}

// A network path (\\server\share\...) is written as it was chosen, so it
// must read back as itself; one leading separator stays relative.
std::string ResolvePathValue(const std::string& folder, const std::string& value) {
    const auto separator = [](char c) { return c == '\\' || c == '/'; };
    if (value.size() >= 2 && (value[1] == ':' || (separator(value[0]) && separator(value[1])))) return value;
    return EndsWithSeparator(folder) ? folder + value : folder + "\\" + value;
}

std::string PathExtension(std::string_view path) {
    const size_t dot = path.rfind('.');
    if (dot == std::string_view::npos) return {};
    const size_t separator = path.find_last_of("\\:");
    if (separator != std::string_view::npos && separator > dot) return {};
    return std::string(path.substr(dot));
}

std::string SettingsFilePath(const std::string& folder) {
    return EndsWithSeparator(folder) ? folder + settings::kFileName : folder + "\\" + settings::kFileName;
}

uint32_t WritableAttributes(uint32_t own) {
    const uint32_t kept = own & attr::kSettable & ~(attr::kReadOnly | attr::kNormal);
    return kept != 0 ? kept : attr::kNormal;
}

std::string IconResourceValue(const std::string& iconPath) { return iconPath + ",0"; }

std::string IconResourcePath(const std::string& value) {
    const auto unblank = [](std::string_view s) {
        while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
        while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
        return s;
    };
    std::string_view path = unblank(std::string_view(value).substr(0, value.rfind(',')));
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = unblank(path.substr(1, path.size() - 2));
    return std::string(path);
}

bool LocalDrives::Hold(Platform& platform, const std::string& path) {
    const auto separator = [](char c) { return c == '\\' || c == '/'; };
    if (path.size() < 3 || path[1] != ':' || !separator(path[2])) return false;
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(path[0])));
    const auto [it, first] = fixed_.try_emplace(letter, false);
    if (first) it->second = platform.DriveType(std::string{letter, ':', '\\'}) == drive::kFixed;
    return it->second;
}

std::string FindFolderIcon(Platform& platform, const std::string& folder, LocalDrives* local) {
    // Runs for every folder a listing adds: both keys come from one read.
    ProfileFile file(platform, SettingsFilePath(folder));
    std::string value;
    try {
        const auto keys =
            file.ReadValues(settings::kClassInfoSection, {settings::kIconResourceKey, settings::kIconFileKey});
        const std::string resource = IconResourcePath(keys[0].value_or(""));
        const std::string iconFile = keys[1].value_or("");
        value = platform.ShellReadsIconResourceFirst() && !resource.empty() ? resource : iconFile;
    } catch (const EFOpenError&) {
        // Held by another program: no icon shown, and none written back,
        // since an apply writes the icon keys only for a chosen icon.
        return {};
    }
    value = platform.ExpandEnvironment(value);
    if (AsciiLower(PathExtension(value)) != ".ico") return {};
    const std::string path = ResolvePathValue(folder, value);
    if (local && !local->Hold(platform, path)) return {};
    return platform.FileExists(path) ? path : std::string();
}

}  // namespace quorvane
