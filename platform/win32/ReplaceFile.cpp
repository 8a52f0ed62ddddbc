#include "platform/win32/ReplaceFile.h"

#include "platform/win32/Handle.h"
#include "platform/win32/WinText.h"

namespace quorvane::win {
namespace {

// The attribute bits a replacement carries over from the file it replaces.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// ".~" and eight hex digits: dotted and created hidden, so neither the shell
// nor a Unix listing under Wine shows it, and no longer than "desktop.ini"
// or "BackGround.jpg", so a path that fits for the file fits for it too.
std::wstring CandidateName(const std::wstring& folder) {
    static DWORD counter = 0;
    DWORD n = (GetCurrentProcessId() * 0x9E3779B1u) ^ (GetTickCount() * 0x85EBCA6Bu) ^ (++counter * 0xC2B2AE35u);
    std::wstring name = L".~00000000";
    for (size_t i = name.size(); i > 2; --i, n >>= 4) name[i - 1] = L"0123456789ABCDEF"[n & 0xF];
    return folder + name;
}

// A new hidden file of a fresh name in `folder`; never opens an existing one.
UniqueFile CreateTemporary(const std::wstring& folder, std::wstring& path) {
    for (int attempt = 0; attempt < 32; ++attempt) {
        path = CandidateName(folder);
        UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN,
                                    nullptr));
        if (file) return file;
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    path.clear();
    return {};
}

// Deletes the file at the end of the scope unless told to keep it.
struct Discard {
    std::wstring path;
    bool keep = false;
    ~Discard() {
        if (!keep && !path.empty()) DeleteFileW(path.c_str());
    }
};

bool WriteDurably(HANDLE file, const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD put = 0;
        if (!WriteFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &put, nullptr) || put == 0)
            return false;
        done += put;
    }
    return FlushFileBuffers(file) != FALSE;
}

// Swaps the written temporary file in for an existing target.
Outcome Swap(const std::wstring& target, const std::wstring& temporary, const std::wstring& folder, DWORD former,
                 const SwapCalls& calls) {
    // Given a backup name, ReplaceFile leaves the former file reachable
    // whichever step fails; without one it may be gone.
    std::wstring backup;
    do backup = CandidateName(folder);
    while (Exists(backup));
    Discard backupFile{backup};
    if (!calls.replace(target.c_str(), temporary.c_str(), backup.c_str())) {
        const DWORD error = GetLastError();
        // The former file went to the backup name and the new one did not
        // follow: put it back, and keep the backup if even that fails.
        if (!Exists(target) && Exists(backup)) backupFile.keep = !calls.moveBack(backup.c_str(), target.c_str());
        return {error, !backupFile.keep && Exists(target)};
    }
    // Windows carries the attributes over; Wine leaves the temporary file's.
    const DWORD now = GetFileAttributesW(target.c_str());
    if ((now & kKeptAttributes) != (former & kKeptAttributes))
        SetFileAttributesW(target.c_str(), former & kKeptAttributes);
    return {};
}

}  // namespace

Outcome ReplaceWhole(const std::string& path, const std::vector<uint8_t>& bytes, const SwapCalls& calls) {
    const std::wstring target = Wide(path);
    const std::wstring folder = target.substr(0, target.find_last_of(L"\\/") + 1);
    const DWORD former = GetFileAttributesW(target.c_str());
    const bool replacing = former != INVALID_FILE_ATTRIBUTES;
    if (replacing) {
        if (former & FILE_ATTRIBUTE_DIRECTORY) return {ERROR_ACCESS_DENIED};
        // Read-only or open in another program that lets no one write it:
        // found before anything is written, and told in the system's own
        // words rather than as a swap that failed. The check shares
        // everything, so a reader that shares the file for writing and
        // deleting (indexers, scanners, sync clients) does not count.
        UniqueFile probe(CreateFileW(target.c_str(), GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!probe) return {GetLastError()};
    }

    Discard temporary;
    {
        UniqueFile file = CreateTemporary(folder, temporary.path);
        if (!file) return {GetLastError()};
        if (!WriteDurably(file.get(), bytes)) return {GetLastError()};
    }
    if (replacing) {
        const Outcome swapped = Swap(target, temporary.path, folder, former, calls);
        temporary.keep = swapped.error == ERROR_SUCCESS;  // it is the target now
        return swapped;
    }
    if (!MoveFileExW(temporary.path.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) return {GetLastError()};
    temporary.keep = true;
    // A new file is not hidden like its temporary was.
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_ARCHIVE);
    return {};
}

}  // namespace quorvane::win
