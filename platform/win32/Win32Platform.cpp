#include "platform/win32/Win32Platform.h"

#include <new>

#include "platform/ProfileText.h"
#include "platform/win32/Handle.h"

namespace quorvane::win {
namespace {

bool ReadAll(HANDLE file, Bytes& bytes) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) return false;
    if (size.QuadPart > 0x7FFFFFFF) {
        SetLastError(ERROR_FILE_TOO_LARGE);
        return false;
    }
    try {
        bytes.resize(static_cast<size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        // A 32-bit process cannot hold every file; say so like any other failure.
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        if (!ReadFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got, nullptr)) return false;
        if (got == 0) break;
        done += got;
    }
    bytes.resize(done);
    return true;
}

// Writes `bytes` from the start of an open file and cuts it there.
bool Rewrite(HANDLE file, const Bytes& bytes) {
    if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return false;
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD put = 0;
        if (!WriteFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &put, nullptr) || put == 0)
            return false;
        done += put;
    }
    return SetEndOfFile(file) != FALSE;
}

// Opens for a read-modify-write. OPEN_ALWAYS rather than CREATE_ALWAYS: the
// latter refuses an existing hidden or system file.
UniqueFile OpenForEdit(const std::string& path, DWORD disposition) {
    return UniqueFile(CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

DWORD Attributes(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()); }

// Reads a whole file that others may read but not write meanwhile; the
// error code on failure. Callers that show the failure format it.
DWORD ReadShared(const std::string& path, Bytes& bytes) {
    UniqueFile file(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || !ReadAll(file.get(), bytes)) return GetLastError();
    return ERROR_SUCCESS;
}

}  // namespace

std::string Win32Platform::ProfileRead(const std::string& path, const std::string& section, const std::string& key,
                                       const std::string& defaultValue) {
    // Runs for every folder a listing adds: a missing file costs one failed
    // open and nothing more.
    Bytes bytes;
    if (ReadShared(path, bytes) != ERROR_SUCCESS) return defaultValue;
    return ProfileLookup(bytes, section, key, codec_).value_or(defaultValue);
}

bool Win32Platform::ProfileWrite(const std::string& path, const std::string& section, const std::string& key,
                                 const std::string& value) {
    UniqueFile file = OpenForEdit(path, OPEN_ALWAYS);
    Bytes bytes;
    if (!file || !ReadAll(file.get(), bytes)) return false;
    return Rewrite(file.get(), ProfileWithValue(bytes, section, key, value, codec_));
}

void Win32Platform::ProfileRemoveKey(const std::string& path, const std::string& section, const std::string& key) {
    UniqueFile file = OpenForEdit(path, OPEN_EXISTING);  // never creates the file
    Bytes bytes;
    if (!file || !ReadAll(file.get(), bytes)) return;
    if (auto edited = ProfileWithoutKey(bytes, section, key, codec_)) Rewrite(file.get(), *edited);
}

void Win32Platform::ProfileFlush(const std::string&) {
    // Every edit above reaches the file at once; there is no cached copy.
}

bool Win32Platform::FileExists(const std::string& path) {
    const DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Platform::FolderExists(const std::string& path) {
    const DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Platform::SetAttributes(const std::string& path, uint32_t attributes) {
    return SetFileAttributesW(Wide(path).c_str(), attributes) != FALSE;
}

bool Win32Platform::CreateFolder(const std::string& path) {
    return CreateDirectoryW(Wide(path).c_str(), nullptr) != FALSE;
}

bool Win32Platform::RemoveFile(const std::string& path) { return DeleteFileW(Wide(path).c_str()) != FALSE; }

std::vector<FolderEntry> Win32Platform::ListFolder(const std::string& pattern) {
    std::vector<FolderEntry> entries;
    WIN32_FIND_DATAW data;
    // The basic information level skips the short names, which nothing here uses.
    UniqueFind find(FindFirstFileExW(Wide(pattern).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH));
    if (!find) return entries;
    do {
        entries.push_back({Narrow(data.cFileName), data.dwFileAttributes});
    } while (FindNextFileW(find.get(), &data));
    return entries;
}

FileResult Win32Platform::ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
    const DWORD error = ReadShared(path, bytes);
    if (error != ERROR_SUCCESS) return {false, SystemErrorText(error)};
    return {true, {}};
}

FileResult Win32Platform::WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    UniqueFile file(
        CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {false, SystemErrorText(GetLastError())};
    if (!Rewrite(file.get(), bytes)) return {false, SystemErrorText(GetLastError())};
    return {true, {}};
}

uint32_t Win32Platform::LogicalDrives() { return GetLogicalDrives(); }

int Win32Platform::DriveType(const std::string& rootPath) {
    return static_cast<int>(GetDriveTypeW(Wide(rootPath).c_str()));
}

uint32_t Win32Platform::SystemColor(int index) { return GetSysColor(index); }

}  // namespace quorvane::win
