#include "navigation/FolderTreeLogic.h"

#include <cctype>
#include <exception>
#include <map>

#include "folder_settings/IconFile.h"
#include "folder_settings/ReadSettings.h"
#include "folder_settings/SettingsFile.h"
#include "navigation/FirstFailure.h"

namespace quorvane {
namespace {

constexpr int kDriveImage = 1;
constexpr int kDriveLetters = 26;

class UpdateBatch {
public:
    explicit UpdateBatch(FolderTree& tree) : tree_(tree) { tree_.BeginUpdate(); }
    ~UpdateBatch() { tree_.EndUpdate(); }
    UpdateBatch(const UpdateBatch&) = delete;
    UpdateBatch& operator=(const UpdateBatch&) = delete;

private:
    FolderTree& tree_;
};

// The icon files of one listing, each read, checked and appended once:
// folders given the same library icon are the common case, and they share
// its image. Images are never changed, only appended, so a shared one
// stays what each of them showed before; an apply appends its own.
class ListingIcons {
public:
    // The image of the file's icon, appended the first time the listing
    // meets the file; -1 when it has none (the file gone meanwhile). The
    // loader's error is raised each time the file is met.
    int Image(Platform& platform, const std::string& path, ImageList& images) {
        auto [it, first] = files_.try_emplace(path);
        Met& met = it->second;
        if (first) {
            try {
                const int before = images.Count();
                AddIconFromFile(platform, path, images);
                if (images.Count() > before) met.image = images.Count() - 1;
            } catch (...) {
                met.error = std::current_exception();
            }
        }
        if (met.error) std::rethrow_exception(met.error);
        return met.image;
    }

    // Where the listing may open files at all.
    LocalDrives drives;

private:
    struct Met {
        int image = -1;
        std::exception_ptr error;
    };
    std::map<std::string, Met> files_;
};

void ListInto(Platform& platform, FolderTree& tree, const std::string& folder, NodeId parent, ListingIcons& icons) {
    std::string path = folder;
    if (!path.empty() && path.back() != '\\') path += '\\';
    ImageList& images = tree.Images();
    FirstFailure failure;
    for (const FolderEntry& entry : platform.ListFolder(path + "*.*")) {
        if (entry.attributes & attr::kHidden) continue;
        if (entry.name == "." || entry.name == "..") continue;
        if ((entry.attributes & attr::kDirectory) == 0) continue;
        const NodeId child = tree.AddChild(parent, entry.name);  // shows the folder image
        const std::string icon = FindFolderIcon(platform, path + entry.name, &icons.drives);
        if (icon.empty()) continue;
        // Only the image of this folder's file may stand for it: should the
        // file vanish in between or fail to load, the child keeps the folder
        // image instead of showing whatever was appended last.
        failure.Attempt([&] {
            const int image = icons.Image(platform, icon, images);
            if (image >= 0) tree.SetImage(child, image);
        });
    }
    failure.RaiseIfAny();
}

}  // namespace

void BuildDriveRoots(Platform& platform, FolderTree& tree, FolderEditState& state) {
    FirstFailure failure;
    {
        UpdateBatch batch(tree);
        ListingIcons icons;
        const uint32_t drives = platform.LogicalDrives();
        for (int i = 0; i < kDriveLetters; ++i) {
            if ((drives & (1u << i)) == 0) continue;
            const char letter = static_cast<char>('a' + i);
            if (platform.DriveType(std::string{letter, ':', '\\'}) != drive::kFixed) continue;
            const std::string text{static_cast<char>(std::toupper(static_cast<unsigned char>(letter))), ':'};
            const NodeId root = tree.AddRoot(text);
            tree.SetImage(root, kDriveImage);
            tree.Select(root);
            failure.Attempt([&] { ListInto(platform, tree, text, root, icons); });
        }
    }
    // Without a fixed drive there is nothing to select or read: the tree
    // stays empty and so does the editing state, and start-up goes on.
    const NodeId first = tree.FirstRoot();
    if (first != kNoNode) {
        tree.Select(first);
        failure.Attempt([&] { TreeViewClick(platform, tree, state); });
    }
    failure.RaiseIfAny();
}

void ListSubfolders(Platform& platform, FolderTree& tree, const std::string& folder, NodeId parent) {
    ListingIcons icons;
    ListInto(platform, tree, folder, parent, icons);
}

std::string NodeFolderPath(const FolderTree& tree, NodeId node) {
    std::string path;
    for (NodeId n = node; n != kNoNode; n = tree.Parent(n)) path = tree.Text(n) + '\\' + path;
    return path;
}

void ExpandNode(Platform& platform, FolderTree& tree, NodeId node) {
    FirstFailure failure;
    {
        UpdateBatch batch(tree);
        ListingIcons icons;
        const auto list = [&](NodeId n) {
            if (tree.FirstChild(n) == kNoNode) ListInto(platform, tree, NodeFolderPath(tree, n), n, icons);
        };
        failure.Attempt([&] { list(node); });
        for (NodeId child = tree.FirstChild(node); child != kNoNode; child = tree.NextSibling(child)) {
            failure.Attempt([&] { list(child); });
        }
    }
    failure.RaiseIfAny();
}

void TreeViewClick(Platform& platform, FolderTree& tree, FolderEditState& state) {
    const NodeId node = tree.Selected();
    // Only an empty tree has no selection; there is no folder to show then.
    if (node == kNoNode) return;
    // A bad icon among the folders listed is reported once the click is
    // done; the clicked folder's own icon fails the click where it loads.
    FirstFailure listing;
    listing.Attempt([&] { ExpandNode(platform, tree, node); });

    state.SetFolderPath(NodeFolderPath(tree, node));
    tree.SetCurrentFolderNode(node);
    ReadFolderSettings(platform, state, state.FolderPath());

    const std::string icon = FindFolderIcon(platform, state.FolderPath());
    if (!icon.empty()) {
        const IconFile picture = IconFile::Load(platform, icon);
        state.SetIconPicture(picture);
        state.SetIconPath(icon);
        state.SetRestoreIconEnabled(true);
    } else {
        state.ClearIconPicture();
        state.SetIconPath("");
        state.SetRestoreIconEnabled(false);
    }
    listing.RaiseIfAny();
}

void AddIconFromFile(Platform& platform, const std::string& path, ImageList& images) {
    if (!platform.FileExists(path)) return;
    images.AppendIcon(IconFile::Load(platform, path));
}

}  // namespace quorvane
