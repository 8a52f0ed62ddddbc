// An in-memory file system behind the Platform seam. Paths match without
// regard to ASCII case and to a trailing "\". Profile calls go through the
// same profile text service as the real platform, with a Latin-1 code page
// standing in for the system's ANSI one. Every call that changes something
// is logged, so tests can check what happened and in which order.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/ProfileText.h"

namespace quorvane::test {

class Latin1Codec : public AnsiCodec {
public:
    bool FromUtf8(std::string_view utf8, std::string& ansi) const override;
    std::string ToUtf8(std::string_view ansi) const override;
};

class FakePlatform : public Platform {
public:
    FakePlatform();

    // Set-up. Parent folders are created as needed.
    void AddFolder(const std::string& path, uint32_t attributes = attr::kDirectory);
    void AddFile(const std::string& path, const std::string& contents, uint32_t attributes = attr::kArchive);
    void AddFile(const std::string& path, const Bytes& contents, uint32_t attributes = attr::kArchive);
    void AddDrive(char letter, int type);

    // Inspection.
    bool Exists(const std::string& path) const;
    std::string Text(const std::string& path) const;
    Bytes Contents(const std::string& path) const;
    uint32_t Attributes(const std::string& path) const;

    // Failure injection, by path.
    std::set<std::string> refuseWrites;      // profile writes and file creation fail
    std::set<std::string> refuseWriteKeys;   // profile writes of these key names fail, in any file
    std::set<std::string> lockedFiles;       // reads and writes fail as if held open elsewhere
                                             // past the real platform's waiting
    std::set<std::string> refuseAttributes;  // SetAttributes fails
    std::set<std::string> refuseCreateFolder;
    std::set<std::string> refuseDelete;
    // Whole-file replacements (pictures and profile edits) of these paths
    // fail part-way: the disk is full after this many bytes of the new
    // content, or the finished copy cannot take the file's place.
    std::map<std::string, size_t> diskFullAfter;
    std::set<std::string> refuseSwap;
    std::map<int, uint32_t> systemColors;
    // The Windows the fake stands for, and its environment.
    bool vistaOrLater = true;
    std::map<std::string, std::string> environment;

    // "write <path> [section] key=value", "remove <path> [section] key" (each
    // change of a profile edit, whether it reaches the file or not), "attr <path> <value>",
    // "mkdir <path>", "delete <path>", "save <path>" (a picture's whole-file
    // replacement), "list <pattern>", in order.
    std::vector<std::string> log;
    // Number of ListFolder calls, for the one-level-ahead rules.
    int listCount = 0;
    // Profile edits that replaced their file.
    int profileReplacements = 0;

    FileResult ProfileRead(const std::string& path, const std::string& section, const std::vector<std::string>& keys,
                           std::vector<std::optional<std::string>>& values) override;
    bool ProfileEdit(const std::string& path, const std::vector<ProfileChange>& changes) override;
    void ProfileFlush(const std::string& path) override;
    bool FileExists(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    std::optional<uint32_t> ReadAttributes(const std::string& path) override;
    // Keeps what Windows lets a program set (attr::kSettable): a value with
    // more bits shows them, where Wine would keep four.
    bool SetAttributes(const std::string& path, uint32_t attributes) override;
    bool CreateFolder(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    std::vector<FolderEntry> ListFolder(const std::string& pattern) override;
    FileResult ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) override;
    FileResult ReplaceWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) override;
    uint32_t LogicalDrives() override;
    int DriveType(const std::string& rootPath) override;
    uint32_t SystemColor(int index) override;
    bool ShellReadsIconResourceFirst() override { return vistaOrLater; }
    std::string ExpandEnvironment(const std::string& text) override;

private:
    struct Node {
        bool folder = false;
        uint32_t attributes = 0;
        Bytes bytes;
        std::string name;               // as created, in its case
        std::vector<std::string> children;  // keys, in creation order
    };
    static std::string Key(const std::string& path);
    static std::string ParentKey(const std::string& key);
    Node* Find(const std::string& path);
    const Node* Find(const std::string& path) const;
    Node& Make(const std::string& path, bool folder);
    bool InSet(const std::set<std::string>& set, const std::string& path) const;
    void Erase(const std::string& path);
    // Writes a hidden temporary file beside `path`, then swaps it in.
    FileResult Replace(const std::string& path, const Bytes& bytes);

    std::map<std::string, Node> nodes_;
    std::map<char, int> drives_;
    Latin1Codec codec_;
    unsigned temporaries_ = 0;
};

}  // namespace quorvane::test
