#include "tests/host/FakePlatform.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "platform/Utf.h"

namespace quorvane::test {
namespace {
const char kNotFound[] = "The system cannot find the file specified";
const char kPathNotFound[] = "The system cannot find the path specified";
const char kDenied[] = "Access is denied";
const char kInUse[] = "The process cannot access the file because it is being used by another process";
const char kDiskFull[] = "There is not enough space on the disk";
}  // namespace

bool Latin1Codec::FromUtf8(std::string_view utf8, std::string& ansi) const {
    ansi.clear();
    for (char16_t c : Utf8ToUtf16(utf8)) {
        if (c > 0xFF) return false;
        ansi += static_cast<char>(c);
    }
    return true;
}

std::string Latin1Codec::ToUtf8(std::string_view ansi) const {
    std::u16string wide;
    for (char c : ansi) wide += static_cast<char16_t>(static_cast<unsigned char>(c));
    return Utf16ToUtf8(wide);
}

FakePlatform::FakePlatform() = default;

std::string FakePlatform::Key(const std::string& path) {
    std::string key = AsciiLower(path);
    while (!key.empty() && key.back() == '\\') key.pop_back();
    return key;
}

std::string FakePlatform::ParentKey(const std::string& key) {
    const size_t slash = key.rfind('\\');
    return slash == std::string::npos ? std::string() : key.substr(0, slash);
}

FakePlatform::Node* FakePlatform::Find(const std::string& path) {
    auto it = nodes_.find(Key(path));
    return it == nodes_.end() ? nullptr : &it->second;
}

const FakePlatform::Node* FakePlatform::Find(const std::string& path) const {
    auto it = nodes_.find(Key(path));
    return it == nodes_.end() ? nullptr : &it->second;
}

FakePlatform::Node& FakePlatform::Make(const std::string& path, bool folder) {
    std::string trimmed = path;
    while (!trimmed.empty() && trimmed.back() == '\\') trimmed.pop_back();
    const std::string key = Key(trimmed);
    if (Node* existing = Find(key)) return *existing;
    const std::string parent = ParentKey(key);
    if (!parent.empty()) {
        Make(trimmed.substr(0, trimmed.rfind('\\')), true);
        nodes_[parent].children.push_back(key);
    }
    Node& node = nodes_[key];
    node.folder = folder;
    node.attributes = folder ? attr::kDirectory : attr::kArchive;
    node.name = trimmed.substr(trimmed.rfind('\\') == std::string::npos ? 0 : trimmed.rfind('\\') + 1);
    return node;
}

bool FakePlatform::InSet(const std::set<std::string>& set, const std::string& path) const {
    return std::any_of(set.begin(), set.end(), [&](const std::string& p) { return Key(p) == Key(path); });
}

void FakePlatform::AddFolder(const std::string& path, uint32_t attributes) {
    Make(path, true).attributes = attributes | attr::kDirectory;
}

void FakePlatform::AddFile(const std::string& path, const std::string& contents, uint32_t attributes) {
    AddFile(path, Bytes(contents.begin(), contents.end()), attributes);
}

void FakePlatform::AddFile(const std::string& path, const Bytes& contents, uint32_t attributes) {
    Node& node = Make(path, false);
    node.bytes = contents;
    node.attributes = attributes & ~attr::kDirectory;
}

void FakePlatform::AddDrive(char letter, int type) {
    drives_[static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))] = type;
    AddFolder(std::string(1, letter) + ":");
}

bool FakePlatform::Exists(const std::string& path) const { return Find(path) != nullptr; }

std::string FakePlatform::Text(const std::string& path) const {
    const Bytes b = Contents(path);
    return std::string(b.begin(), b.end());
}

Bytes FakePlatform::Contents(const std::string& path) const {
    const Node* node = Find(path);
    return node ? node->bytes : Bytes{};
}

uint32_t FakePlatform::Attributes(const std::string& path) const {
    const Node* node = Find(path);
    return node ? node->attributes : 0xFFFFFFFFu;
}

FileResult FakePlatform::ProfileRead(const std::string& path, const std::string& section,
                                     const std::vector<std::string>& keys,
                                     std::vector<std::optional<std::string>>& values) {
    if (InSet(lockedFiles, path)) return {false, kInUse};
    const Node* node = Find(path);
    values.clear();
    for (const std::string& key : keys) {
        values.push_back(node && !node->folder ? ProfileLookup(node->bytes, section, key, codec_) : std::nullopt);
    }
    return {true, {}};
}

bool FakePlatform::ProfileEdit(const std::string& path, const std::vector<ProfileChange>& changes) {
    bool refused = false;
    for (const ProfileChange& c : changes) {
        log.push_back((c.value ? "write " : "remove ") + path + " [" + c.section + "] " + c.key +
                      (c.value ? "=" + *c.value : ""));
        refused |= c.value && refuseWriteKeys.count(c.key) != 0;
    }
    const Node* node = Find(path);
    const auto edited = ProfileWithChanges(node && !node->folder ? node->bytes : Bytes{}, changes, codec_);
    if (!edited) return true;
    if (refused || InSet(lockedFiles, path) || (node && node->folder)) return false;
    const bool replaced = Replace(path, *edited).ok;
    profileReplacements += replaced ? 1 : 0;
    return replaced;
}

void FakePlatform::ProfileFlush(const std::string&) {}

bool FakePlatform::FileExists(const std::string& path) {
    const Node* node = Find(path);
    return node && !node->folder;
}

bool FakePlatform::FolderExists(const std::string& path) {
    const Node* node = Find(path);
    return node && node->folder;
}

std::optional<uint32_t> FakePlatform::ReadAttributes(const std::string& path) {
    const Node* node = Find(path);
    if (!node) return std::nullopt;
    return node->attributes;
}

bool FakePlatform::SetAttributes(const std::string& path, uint32_t attributes) {
    log.push_back("attr " + path + " " + std::to_string(attributes));
    Node* node = Find(path);
    if (!node || InSet(refuseAttributes, path)) return false;
    uint32_t kept = attributes & attr::kSettable;
    // Normal counts only alone; a file with none reports it.
    if (kept & ~attr::kNormal) kept &= ~attr::kNormal;
    if (kept == 0 && !node->folder) kept = attr::kNormal;
    node->attributes = node->folder ? (kept & ~attr::kNormal) | attr::kDirectory : kept;
    return true;
}

bool FakePlatform::CreateFolder(const std::string& path) {
    log.push_back("mkdir " + path);
    if (Find(path) || InSet(refuseCreateFolder, path)) return false;
    const Node* parent = Find(ParentKey(Key(path)));
    if (!parent || !parent->folder) return false;
    Make(path, true);
    return true;
}

bool FakePlatform::RemoveFile(const std::string& path) {
    log.push_back("delete " + path);
    const Node* node = Find(path);
    if (!node || node->folder || InSet(refuseDelete, path) || InSet(lockedFiles, path)) return false;
    Erase(path);
    return true;
}

void FakePlatform::Erase(const std::string& path) {
    const std::string key = Key(path);
    auto& siblings = nodes_[ParentKey(key)].children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), key), siblings.end());
    nodes_.erase(key);
}

std::vector<FolderEntry> FakePlatform::ListFolder(const std::string& pattern) {
    ++listCount;
    log.push_back("list " + pattern);
    std::vector<FolderEntry> entries;
    const size_t slash = pattern.rfind('\\');
    if (slash == std::string::npos) return entries;
    const Node* folder = Find(pattern.substr(0, slash));
    if (!folder || !folder->folder) return entries;
    if (ParentKey(Key(pattern.substr(0, slash))) != "") {
        entries.push_back({".", attr::kDirectory});
        entries.push_back({"..", attr::kDirectory});
    }
    for (const std::string& child : folder->children) {
        const Node& node = nodes_.at(child);
        entries.push_back({node.name, node.attributes});
    }
    return entries;
}

FileResult FakePlatform::ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
    const Node* node = Find(path);
    if (InSet(lockedFiles, path)) return {false, kInUse};
    if (!node) return {false, Find(ParentKey(Key(path))) ? kNotFound : kPathNotFound};
    if (node->folder) return {false, kDenied};
    bytes = node->bytes;
    return {true, {}};
}

FileResult FakePlatform::ReplaceWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    log.push_back("save " + path);
    return Replace(path, bytes);
}

FileResult FakePlatform::Replace(const std::string& path, const Bytes& bytes) {
    if (InSet(lockedFiles, path)) return {false, kInUse};
    if (InSet(refuseWrites, path)) return {false, kDenied};
    const Node* target = Find(path);
    if (target && (target->folder || (target->attributes & attr::kReadOnly))) return {false, kDenied};
    const Node* parent = Find(ParentKey(Key(path)));
    if (!parent || !parent->folder) return {false, kPathNotFound};

    char name[16];
    std::snprintf(name, sizeof name, ".~%08X", ++temporaries_);
    const std::string temporary = path.substr(0, path.rfind('\\') + 1) + name;
    Node& copy = Make(temporary, false);
    copy.attributes = attr::kHidden;
    copy.bytes = bytes;
    for (const auto& [full, after] : diskFullAfter) {
        if (Key(full) == Key(path) && after < bytes.size()) {
            Erase(temporary);
            return {false, kDiskFull};
        }
    }
    if (InSet(refuseSwap, path)) {
        Erase(temporary);
        return {false, kInUse};
    }
    Bytes content = std::move(copy.bytes);
    Erase(temporary);
    // A replaced file keeps its attributes; a new one is archived only.
    Node& node = Make(path, false);
    node.bytes = std::move(content);
    return {true, {}};
}

uint32_t FakePlatform::LogicalDrives() {
    uint32_t mask = 0;
    for (const auto& [letter, type] : drives_) mask |= 1u << (letter - 'A');
    return mask;
}

int FakePlatform::DriveType(const std::string& rootPath) {
    if (rootPath.empty()) return 1;
    auto it = drives_.find(static_cast<char>(std::toupper(static_cast<unsigned char>(rootPath[0]))));
    return it == drives_.end() ? 1 : it->second;
}

uint32_t FakePlatform::SystemColor(int index) {
    auto it = systemColors.find(index);
    return it == systemColors.end() ? 0 : it->second;
}

// %NAME% by its value, names matching without regard to case; an unknown
// name or a lone "%" stays as it was.
std::string FakePlatform::ExpandEnvironment(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const size_t close = text[i] == '%' ? text.find('%', i + 1) : std::string::npos;
        auto it = environment.end();
        if (close != std::string::npos) {
            const std::string name = AsciiLower(text.substr(i + 1, close - i - 1));
            it = std::find_if(environment.begin(), environment.end(),
                              [&](const auto& variable) { return AsciiLower(variable.first) == name; });
        }
        if (it == environment.end()) {
            out += text[i++];
            continue;
        }
        out += it->second;
        i = close + 1;
    }
    return out;
}

}  // namespace quorvane::test
