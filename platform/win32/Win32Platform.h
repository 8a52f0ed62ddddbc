// The Platform seam over the real Windows file system. The profile service
// is the program's own (platform/ProfileText.h) over the file's bytes: the
// system's WritePrivateProfileString is not used because it may rewrite
// lines it does not own and stores characters outside the ANSI code page
// as question marks.
#pragma once

#include <functional>

#include "platform/Platform.h"
#include "platform/win32/ReplaceFile.h"
#include "platform/win32/WinText.h"

namespace quorvane::win {

// How folders are listed. The basic information level with large fetches
// (Windows 7 on) skips the short names, which nothing here uses; the
// standard level is what every Windows has.
enum class FolderListing { kBasicWhereAvailable, kStandard };

// How the platform waits before it asks again: Sleep, or a test's stand-in
// that counts the milliseconds instead.
using Pause = std::function<void(DWORD milliseconds)>;

class Win32Platform : public Platform {
public:
    // `driveMask` stands for GetLogicalDrives in tests, `pause` for Sleep,
    // `swapCalls` for the system's calls that swap a replacement in.
    explicit Win32Platform(FolderListing listing = FolderListing::kBasicWhereAvailable,
                           std::function<uint32_t()> driveMask = GetLogicalDrives, Pause pause = Sleep,
                           SwapCalls swapCalls = {})
        : listing_(listing), driveMask_(std::move(driveMask)), pause_(std::move(pause)),
          swapCalls_(std::move(swapCalls)) {}

    FileResult ProfileRead(const std::string& path, const std::string& section, const std::vector<std::string>& keys,
                           std::vector<std::optional<std::string>>& values) override;
    bool ProfileEdit(const std::string& path, const std::vector<ProfileChange>& changes) override;
    void ProfileFlush(const std::string& path) override;
    bool FileExists(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    std::optional<uint32_t> ReadAttributes(const std::string& path) override;
    bool SetAttributes(const std::string& path, uint32_t attributes) override;
    bool CreateFolder(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    std::vector<FolderEntry> ListFolder(const std::string& pattern) override;
    FileResult ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) override;
    FileResult ReplaceWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) override;
    uint32_t LogicalDrives() override;
    int DriveType(const std::string& rootPath) override;
    uint32_t SystemColor(int index) override;
    bool ShellReadsIconResourceFirst() override;
    std::string ExpandEnvironment(const std::string& text) override;

private:
    template <typename Attempt>
    DWORD WhileHeld(Attempt attempt);

    SystemAnsiCodec codec_;
    FolderListing listing_;
    std::function<uint32_t()> driveMask_;
    Pause pause_;
    SwapCalls swapCalls_;
    bool drivesAsked_ = false;
};

}  // namespace quorvane::win
