// Access to one desktop.ini through the platform's profile service. Holds
// no copy of the contents: every call reaches the file at once.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace quorvane {

class ProfileFile {
public:
    // Stores the path; the file is not touched.
    ProfileFile(Platform& platform, std::string path);
    // Asks the service to flush its cached copy; failures are ignored.
    ~ProfileFile();
    ProfileFile(const ProfileFile&) = delete;
    ProfileFile& operator=(const ProfileFile&) = delete;

    const std::string& path() const { return path_; }

    // The key's value, cut to 2047 characters, or `defaultValue` when the
    // file, section or key is missing or the file cannot be read. A file
    // that another program holds past the platform's waiting raises
    // EFOpenError("Cannot open file \"<path>\". <system text>"): a default
    // there would be written over the real settings by the next apply.
    std::string ReadValue(const std::string& section, const std::string& key,
                          const std::string& defaultValue) const;
    // Several keys of one section from one read of the file, each cut as
    // above, or nothing for a missing one; raises as ReadValue does.
    std::vector<std::optional<std::string>> ReadValues(const std::string& section,
                                                       const std::vector<std::string>& keys) const;
    // Each throws EIniFileException("Unable to write to <path>") when the
    // file cannot be written. A missing file or key is no failure of a removal.
    void WriteValue(const std::string& section, const std::string& key, const std::string& value);
    void WriteNumber(const std::string& section, const std::string& key, long number);
    void RemoveKey(const std::string& section, const std::string& key);
    // Several changes in their order, written in one replacement of the file.
    void Edit(const std::vector<ProfileChange>& changes);

private:
    Platform& platform_;
    std::string path_;
};

}  // namespace quorvane
