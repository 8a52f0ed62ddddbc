// What a customised folder's desktop.ini holds and how its values read:
// section and key names, the colour text, the path-value rule, the names
// inside "Folder Settings" and the attribute values of an apply.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace quorvane {

namespace settings {
inline constexpr char kFileName[] = "desktop.ini";
// The attribute steps name the file with a capital D; names match without
// regard to case, so both reach the same file.
inline constexpr char kAttributeFileName[] = "Desktop.ini";

inline constexpr char kIconAreaSection[] = "{BE098140-A513-11D0-A3A4-00C04FD706EC}";
inline constexpr char kPictureKey[] = "iconarea_image";
inline constexpr char kTextColorKey[] = "IconArea_Text";
inline constexpr char kTextBackgroundKey[] = "IconArea_TextBackground";

inline constexpr char kClassInfoSection[] = ".ShellClassInfo";
inline constexpr char kIconFileKey[] = "IconFile";
inline constexpr char kIconIndexKey[] = "IconIndex";
// The key Explorer reads from Vista on, before "IconFile": "<path>,<index>".
inline constexpr char kIconResourceKey[] = "IconResource";

inline constexpr char kTextColorDefault[] = "0x00000000";
inline constexpr char kTextBackgroundDefault[] = "0x00FFFFFF";

inline constexpr char kSubfolder[] = "Folder Settings\\";
inline constexpr char kPictureValue[] = "Folder Settings\\BackGround.jpg";
inline constexpr char kIconCopyValue[] = "Folder Settings\\Icon.ico";

// Attribute values of an apply, in the order it sets them.
inline constexpr uint32_t kSubfolderUnlocked = 16;          // directory only
inline constexpr uint32_t kSubfolderLocked = 23;            // directory, system, hidden, read-only
inline constexpr uint32_t kFolderCustomised = 20;           // directory, system
inline constexpr uint32_t kFileHidden = 2;                  // hidden
}  // namespace settings

// Colours are 32-bit GUI colour values: RGB as 0x00BBGGRR, or, with the top
// bit set, a reference to the system colour numbered by the low byte.
using Color = uint32_t;
inline constexpr Color kBlack = 0x000000;
inline constexpr Color kWhite = 0xFFFFFF;

// "0x00" then blue, green and red as two upper-case hex digits each.
std::string ColorToSettingText(Platform& platform, Color color);

// Reads characters 5-10 as blue, green and red pairs; the first four and
// any after the tenth are not examined. A pair that is not two hex digits
// -- including one cut short by the end of the text -- raises EConvertError
// "'$xx' is not a valid integer value" with the pair's characters.
Color SettingTextToColor(std::string_view text);

// The value unchanged when its second character is ":" or it begins with
// two separators (a network path), otherwise the folder path, a "\"
// unless it already ends with one, and the value.
std::string ResolvePathValue(const std::string& folder, const std::string& value);

// The part of a path from the last "." that follows the last "\" or ":",
// or empty text.
std::string PathExtension(std::string_view path);

// The folder path followed by "desktop.ini", with exactly one "\" between.
std::string SettingsFilePath(const std::string& folder);

// The attributes that make an existing settings file writable before the
// first write: its own settable bits without read-only, or normal when no
// other is left. Nothing else: bits asked for here (temporary, offline)
// would stay on the file if the apply stopped part-way.
uint32_t WritableAttributes(uint32_t own);

// "IconResource" for an icon file: its path and index 0. XP and every
// later Windows then take the same icon.
std::string IconResourceValue(const std::string& iconPath);

// The path part of an "IconResource" value: the shell splits it at its last
// comma, so a path that holds commas stays whole, and then reads it as its
// parser does (PathParseIconLocation): blanks around it trimmed, one pair
// of enclosing quotes taken off. A value without a comma is all path.
std::string IconResourcePath(const std::string& value);

// Whether a path lies on a local fixed drive, each drive's type asked of
// the platform once: the only files a listing of folders opens. A path
// with two leading separators (a server's share) never does, nor one on a
// mapped network drive: a server that does not answer would hold the
// window for tens of seconds a folder, and one that does would receive
// the user's credentials.
class LocalDrives {
public:
    bool Hold(Platform& platform, const std::string& path);

private:
    std::map<char, bool> fixed_;
};

// The path of an existing ".ico" file named by the icon key that the running
// Windows reads: "IconResource" first, then "IconFile", from Vista on;
// "IconFile" alone on XP, which knows no other. Environment variables are
// expanded; empty text for none. With `local`, a file off the local fixed
// drives counts as none and is not asked for. Raises nothing of its own.
std::string FindFolderIcon(Platform& platform, const std::string& folder, LocalDrives* local = nullptr);

}  // namespace quorvane
