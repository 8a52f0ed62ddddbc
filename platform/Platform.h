// The operations the portable logic needs from the operating system, and
// nothing more. Paths and texts are UTF-8; the Windows implementation
// converts to UTF-16 at the API call.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvane {

// Attribute bits as the file system reports and takes them.
namespace attr {
inline constexpr uint32_t kReadOnly = 0x1;
inline constexpr uint32_t kHidden = 0x2;
inline constexpr uint32_t kSystem = 0x4;
inline constexpr uint32_t kDirectory = 0x10;
inline constexpr uint32_t kArchive = 0x20;
// A file without any other attribute; taken only alone.
inline constexpr uint32_t kNormal = 0x80;
// The bits SetFileAttributes can set (FILE_ATTRIBUTE_VALID_SET_FLAGS):
// read-only, hidden, system, archive, normal, temporary, offline and
// not-content-indexed. Directory, compressed, encrypted, sparse and
// reparse-point are the file system's own.
inline constexpr uint32_t kSettable = 0x31A7;
}  // namespace attr

// Drive types as GetDriveType reports them.
namespace drive {
inline constexpr int kRemovable = 2;
inline constexpr int kFixed = 3;
inline constexpr int kRemote = 4;
inline constexpr int kCdRom = 5;
inline constexpr int kRamDisk = 6;
}  // namespace drive

// One change of a profile edit: the key set to `value`, or removed (every
// line of it in its section) when there is none.
struct ProfileChange {
    std::string section;
    std::string key;
    std::optional<std::string> value;
};

struct FolderEntry {
    std::string name;
    uint32_t attributes = 0;
};

// Outcome of a whole-file read or write. On failure `error` holds the
// system's own description of the cause (as FormatMessage gives it).
struct FileResult {
    bool ok = false;
    std::string error;
};

// Reads and writes of a file's bytes (the profile service's and the whole
// files') try again for about a second while another program holds the
// file for a moment (a search indexer, a virus scanner, Explorer reading
// desktop.ini between two edits) before they give up.
class Platform {
public:
    virtual ~Platform() = default;

    // Profile (INI) service. Section and key names match without regard to
    // case. Reads never create the file; writes and removals replace it
    // whole, as ReplaceWholeFile does.
    // `values` gets one entry a key, from one read of the file: the key's
    // value, or nothing when the file, its section or the key is missing,
    // or the file cannot be read. Only a file that another program still
    // holds when the waiting ends fails: a default would stand in for
    // settings that are there.
    virtual FileResult ProfileRead(const std::string& path, const std::string& section,
                                   const std::vector<std::string>& keys,
                                   std::vector<std::optional<std::string>>& values) = 0;
    // Makes the changes in their order and replaces the file once, or not
    // at all: false when it cannot be written, the file as it was. A write
    // creates the file and the section when missing; a removal of a key, a
    // section or a file that is not there changes nothing, so an edit that
    // changes nothing writes nothing.
    virtual bool ProfileEdit(const std::string& path, const std::vector<ProfileChange>& changes) = 0;
    // Asks the service to write out any cached copy; never creates the file.
    virtual void ProfileFlush(const std::string& path) = 0;

    // True for an existing file; a folder does not count.
    virtual bool FileExists(const std::string& path) = 0;
    // True for an existing folder; a file does not count.
    virtual bool FolderExists(const std::string& path) = 0;
    // The attribute bits of an existing file or folder.
    virtual std::optional<uint32_t> ReadAttributes(const std::string& path) = 0;
    // Replaces the whole attribute set of a path; false when refused.
    virtual bool SetAttributes(const std::string& path, uint32_t attributes) = 0;
    virtual bool CreateFolder(const std::string& path) = 0;
    virtual bool RemoveFile(const std::string& path) = 0;

    // Every entry matching `pattern` (such as "C:\Docs\*.*"), in the
    // platform's order, "." and ".." included when the platform returns
    // them. A folder that cannot be listed yields nothing.
    virtual std::vector<FolderEntry> ListFolder(const std::string& pattern) = 0;

    // Reads a whole file; others may read it meanwhile but not write it.
    virtual FileResult ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) = 0;
    // Makes the file hold exactly `bytes`, or leaves it as it was: the new
    // content goes to a temporary file beside it, reaches the disk, and only
    // then takes the file's place. A replaced file keeps its attributes; a
    // new one gets none but archive. No temporary file outlives the call.
    // Every whole-file write goes through here: profile edits and pictures.
    virtual FileResult ReplaceWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) = 0;

    // Bit 0 for A: up to bit 25 for Z:.
    virtual uint32_t LogicalDrives() = 0;
    // The type of a root path such as "C:\".
    virtual int DriveType(const std::string& rootPath) = 0;

    // Current RGB (0x00BBGGRR) of a system colour by its number.
    virtual uint32_t SystemColor(int index) = 0;

    // True from Windows Vista on, whose Explorer reads a folder's
    // "IconResource" before its "IconFile"; XP reads "IconFile" first.
    virtual bool ShellReadsIconResourceFirst() = 0;
    // The text with every %NAME% of the environment replaced by its value,
    // as the shell expands the paths in desktop.ini; unknown names stay.
    virtual std::string ExpandEnvironment(const std::string& text) = 0;
};

}  // namespace quorvane
