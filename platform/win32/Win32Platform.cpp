#include "platform/win32/Win32Platform.h"

#include <algorithm>
#include <new>

#include "platform/ProfileText.h"
#include "platform/win32/Handle.h"
#include "platform/win32/ReplaceFile.h"

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

DWORD Attributes(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()); }

// Reads a whole file that others may read but not write meanwhile; the
// error code on failure. Callers that show the failure format it.
DWORD ReadShared(const std::string& path, Bytes& bytes) {
    UniqueFile file(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || !ReadAll(file.get(), bytes)) return GetLastError();
    return ERROR_SUCCESS;
}

// Another program has the file open without the sharing this access needs
// or has locked a range of it, or ReplaceFile could not move one of the two
// files aside (1175-1177; both names are as they were, or Swap put the
// former file back, which WhileHeld checks). Each passes when the holder
// lets go.
bool HeldElsewhere(DWORD error) {
    switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2:
        return true;
    default:
        return false;
    }
}

constexpr DWORD kHeldWaitMs = 1000;
constexpr DWORD kFirstPauseMs = 10;
constexpr DWORD kLongestPauseMs = 100;

}  // namespace

// The one place that waits for a held file. Explorer re-reads desktop.ini
// within milliseconds of each edit, and scanners hold a file for a little
// longer: short pauses first, doubling to a tenth of a second, a second of
// pauses in all. The pauses are counted, not the clock, so a slow machine
// still asks as often. Only a failure that left the file in its place is
// tried again: after a swap that could not be undone the former file is
// under its backup name, and an edit tried again would start from nothing.
template <typename Attempt>
DWORD Win32Platform::WhileHeld(Attempt attempt) {
    Outcome outcome = attempt();
    for (DWORD waited = 0, pause = kFirstPauseMs;
         HeldElsewhere(outcome.error) && outcome.targetInPlace && waited < kHeldWaitMs;
         pause = std::min(2 * pause, kLongestPauseMs)) {
        const DWORD now = std::min(pause, kHeldWaitMs - waited);
        pause_(now);
        waited += now;
        outcome = attempt();
    }
    return outcome.error;
}

FileResult Win32Platform::ProfileRead(const std::string& path, const std::string& section,
                                      const std::vector<std::string>& keys,
                                      std::vector<std::optional<std::string>>& values) {
    // Runs for every folder a listing adds: a missing file costs one failed
    // open and nothing more, and the keys share one read.
    Bytes bytes;
    const DWORD error = WhileHeld([&] { return Outcome{ReadShared(path, bytes)}; });
    if (HeldElsewhere(error)) return {false, SystemErrorText(error)};
    values.clear();
    for (const std::string& key : keys) {
        values.push_back(error == ERROR_SUCCESS ? ProfileLookup(bytes, section, key, codec_) : std::nullopt);
    }
    return {true, {}};
}

// An edit reads the file again at each try: what the holder wrote meanwhile
// is kept. A missing file starts empty, and is made only by a write.
bool Win32Platform::ProfileEdit(const std::string& path, const std::vector<ProfileChange>& changes) {
    return WhileHeld([&] {
               Bytes bytes;
               const DWORD read = ReadShared(path, bytes);
               if (read != ERROR_SUCCESS && read != ERROR_FILE_NOT_FOUND && read != ERROR_PATH_NOT_FOUND) {
                   return Outcome{read};
               }
               const auto edited = ProfileWithChanges(bytes, changes, codec_);
               return edited ? ReplaceWhole(path, *edited, swapCalls_) : Outcome{};
           }) == ERROR_SUCCESS;
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

std::optional<uint32_t> Win32Platform::ReadAttributes(const std::string& path) {
    const DWORD a = Attributes(path);
    if (a == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return a;
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
    const std::wstring widePattern = Wide(pattern);
    WIN32_FIND_DATAW data;
    UniqueFind find;
    if (listing_ == FolderListing::kBasicWhereAvailable) {
        find.reset(FindFirstFileExW(widePattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                    FIND_FIRST_EX_LARGE_FETCH));
    }
    if (!find && (listing_ == FolderListing::kStandard || GetLastError() == ERROR_INVALID_PARAMETER)) {
        // Before Windows 7 the system refuses the basic level and the flag.
        // Once the standard level works where they were refused, it is the
        // one used from then on.
        find.reset(FindFirstFileExW(widePattern.c_str(), FindExInfoStandard, &data, FindExSearchNameMatch, nullptr, 0));
        if (find) listing_ = FolderListing::kStandard;
    }
    if (!find) return entries;
    do {
        entries.push_back({Narrow(data.cFileName), data.dwFileAttributes});
    } while (FindNextFileW(find.get(), &data));
    return entries;
}

FileResult Win32Platform::ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
    const DWORD error = WhileHeld([&] { return Outcome{ReadShared(path, bytes)}; });
    if (error != ERROR_SUCCESS) return {false, SystemErrorText(error)};
    return {true, {}};
}

FileResult Win32Platform::ReplaceWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    const DWORD error = WhileHeld([&] { return ReplaceWhole(path, bytes, swapCalls_); });
    if (error != ERROR_SUCCESS) return {false, SystemErrorText(error)};
    return {true, {}};
}

// GetLogicalDrives answers 0 only when it fails: a running Windows has at
// least its system drive. Under Wine a program started together with the
// wineserver can ask before the mount manager has made the drive letters
// (the service manager counts a driver as started once it is starting), and
// the tree would open empty; the letters follow within moments, so a failed
// answer is asked again for a while before it counts as no drives at all.
// Only the first question waits: start-up asks twice (the drive list, then
// the tree), and a machine without drives should not wait twice.
uint32_t Win32Platform::LogicalDrives() {
    constexpr int kRetries = 40;
    constexpr DWORD kRetryMs = 50;
    uint32_t drives = driveMask_();
    for (int retry = 0; drives == 0 && !drivesAsked_ && retry < kRetries; ++retry) {
        pause_(kRetryMs);
        drives = driveMask_();
    }
    drivesAsked_ = true;
    return drives;
}

int Win32Platform::DriveType(const std::string& rootPath) {
    return static_cast<int>(GetDriveTypeW(Wide(rootPath).c_str()));
}

uint32_t Win32Platform::SystemColor(int index) { return GetSysColor(index); }

// Vista is NT 6.0. Asked once: the answer cannot change while the program
// runs, and a listing asks for every customised folder.
bool Win32Platform::ShellReadsIconResourceFirst() {
    static const bool vistaOrLater = [] {
        OSVERSIONINFOEXW wanted{};
        wanted.dwOSVersionInfoSize = sizeof wanted;
        wanted.dwMajorVersion = 6;
        return VerifyVersionInfoW(&wanted, VER_MAJORVERSION,
                                  VerSetConditionMask(0, VER_MAJORVERSION, VER_GREATER_EQUAL)) != FALSE;
    }();
    return vistaOrLater;
}

std::string Win32Platform::ExpandEnvironment(const std::string& text) {
    const std::wstring wide = Wide(text);
    std::wstring expanded(wide.size() + 1, L'\0');
    for (;;) {
        // The size asked for counts the terminating null.
        const DWORD needed = ExpandEnvironmentStringsW(wide.c_str(), expanded.data(),
                                                       static_cast<DWORD>(expanded.size()));
        if (needed == 0) return text;
        if (needed <= expanded.size()) {
            expanded.resize(needed - 1);
            return Narrow(expanded);
        }
        expanded.resize(needed);
    }
}

}  // namespace quorvane::win
