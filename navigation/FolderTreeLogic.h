// The tree of fixed drives and their folders, listed lazily one level ahead,
// with each folder's own icon; the click that makes a folder current.
#pragma once

#include <string>

#include "folder_settings/FolderView.h"
#include "platform/Platform.h"

namespace quorvane {

// A root per fixed drive with the folders in its root, then the first root
// selected and handled as a click. A folder icon that cannot be loaded
// leaves its node the folder image: everything else is still built, and the
// first such error is raised at the end (so also by the listings below).
void BuildDriveRoots(Platform& platform, FolderTree& tree, FolderEditState& state);

// Adds the subfolders of `folder` (trailing "\" optional) as children of
// `parent`, each with its custom icon appended to the tree's image list.
// An icon file named by several folders is read and appended once for the
// listing, and they share the image (once, too, for all the listings of one
// expansion or of the drive roots).
void ListSubfolders(Platform& platform, FolderTree& tree, const std::string& folder, NodeId parent);

// The texts from the root down to the node, each followed by "\".
std::string NodeFolderPath(const FolderTree& tree, NodeId node);

// Lists the node when it has no children, then each child that has none.
void ExpandNode(Platform& platform, FolderTree& tree, NodeId node);

// The tree's click: expands the selected node, makes it the current folder,
// reads its settings and shows its icon.
void TreeViewClick(Platform& platform, FolderTree& tree, FolderEditState& state);

// Appends the icon in the file to the list when the file exists.
void AddIconFromFile(Platform& platform, const std::string& path, ImageList& images);

}  // namespace quorvane
