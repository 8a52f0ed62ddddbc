#include "platform/ProfileFile.h"

#include "platform/Errors.h"
#include "platform/Utf.h"

namespace quorvane {
namespace {
// The service reads through a 2048-character buffer, one kept for the
// terminating zero.
constexpr size_t kMaxValueLength = 2047;
}  // namespace

ProfileFile::ProfileFile(Platform& platform, std::string path)
    : platform_(platform), path_(std::move(path)) {}

ProfileFile::~ProfileFile() {
    try {
        platform_.ProfileFlush(path_);
    } catch (...) {
        // A destructor must not throw; a failed flush changes nothing.
    }
}

std::string ProfileFile::ReadValue(const std::string& section, const std::string& key,
                                   const std::string& defaultValue) const {
    return ReadValues(section, {key}).front().value_or(Utf8Prefix(defaultValue, kMaxValueLength));
}

std::vector<std::optional<std::string>> ProfileFile::ReadValues(const std::string& section,
                                                                const std::vector<std::string>& keys) const {
    std::vector<std::optional<std::string>> values;
    const FileResult read = platform_.ProfileRead(path_, section, keys, values);
    if (!read.ok) throw EFOpenError(FormatText("Cannot open file \"%s\". %s", {path_, read.error}));
    for (auto& value : values) {
        if (value) value = Utf8Prefix(*value, kMaxValueLength);
    }
    return values;
}

void ProfileFile::WriteValue(const std::string& section, const std::string& key,
                             const std::string& value) {
    Edit({{section, key, value}});
}

void ProfileFile::WriteNumber(const std::string& section, const std::string& key, long number) {
    WriteValue(section, key, std::to_string(number));
}

void ProfileFile::RemoveKey(const std::string& section, const std::string& key) {
    Edit({{section, key, std::nullopt}});
}

void ProfileFile::Edit(const std::vector<ProfileChange>& changes) {
    if (!platform_.ProfileEdit(path_, changes)) {
        throw EIniFileException(FormatText("Unable to write to %s", {path_}));
    }
}

}  // namespace quorvane
