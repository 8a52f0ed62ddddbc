// The seams between the folder operations and the window. The editing
// state is not a record: each field lives in a control of the main window,
// which implements these interfaces over its real controls; tests
// implement them with plain fields.
#pragma once

#include <cstdint>
#include <string>

#include "folder_settings/SettingsFile.h"

namespace quorvane {

class TJPEGImage;
class IconFile;

// The FolderEditState: what the window shows of the current folder.
class FolderEditState {
public:
    virtual ~FolderEditState() = default;

    // Caption of lblDir: absolute, ends with "\", empty before the first click.
    virtual std::string FolderPath() const = 0;
    // Sets the caption and the hint of lblDir.
    virtual void SetFolderPath(const std::string& path) = 0;

    // The background picture path (the module-level text).
    virtual std::string PicturePath() const = 0;
    virtual void SetPicturePath(const std::string& path) = 0;
    // Hint of Image.
    virtual std::string PictureHint() const = 0;
    virtual void SetPictureHint(const std::string& hint) = 0;
    // The preview's picture, or null when the preview is empty.
    virtual const TJPEGImage* Picture() const = 0;
    // The preview keeps its own copy and releases its former picture.
    virtual void SetPicture(const TJPEGImage& picture) = 0;
    virtual void ClearPicture() = 0;

    // Hint of imgIcon: the icon path.
    virtual std::string IconPath() const = 0;
    virtual void SetIconPath(const std::string& path) = 0;
    // The picture of imgIcon.
    virtual void SetIconPicture(const IconFile& icon) = 0;
    virtual void ClearIconPicture() = 0;

    // Font colours of lblTextColor and lblBckGrColor.
    virtual Color TextColor() const = 0;
    virtual void SetTextColor(Color color) = 0;
    virtual Color TextBackgroundColor() const = 0;
    virtual void SetTextBackgroundColor(Color color) = 0;

    // chboxCopyImage ticked.
    virtual bool CopyPicture() const = 0;

    virtual bool RestoreImageEnabled() const = 0;
    virtual void SetRestoreImageEnabled(bool enabled) = 0;
    virtual bool RestoreIconEnabled() const = 0;
    virtual void SetRestoreIconEnabled(bool enabled) = 0;
};

// The information message of the window (modal, no icon, one "OK").
class Messages {
public:
    virtual ~Messages() = default;
    virtual void ShowInformation(const std::string& text) = 0;
};

// An image list of one fixed image size that only grows.
class ImageList {
public:
    virtual ~ImageList() = default;
    virtual int Count() const = 0;
    // Appends the icon as one image of the list's size, keeping its
    // transparency; an empty icon appends a blank image. Throws the icon
    // loader's error when no image can be made of it.
    virtual void AppendIcon(const IconFile& icon) = 0;
};

// A node of the folder tree; 0 is no node.
using NodeId = std::uintptr_t;
inline constexpr NodeId kNoNode = 0;

// The folder tree as the logic sees it. Nodes are only ever added.
class FolderTree {
public:
    virtual ~FolderTree() = default;
    // Adds after the existing roots or children; a new node shows image 0.
    virtual NodeId AddRoot(const std::string& text) = 0;
    virtual NodeId AddChild(NodeId parent, const std::string& text) = 0;
    virtual std::string Text(NodeId node) const = 0;
    virtual NodeId Parent(NodeId node) const = 0;
    virtual NodeId FirstChild(NodeId node) const = 0;
    virtual NodeId NextSibling(NodeId node) const = 0;
    virtual NodeId FirstRoot() const = 0;
    // Sets the image index and the selected-image index together.
    virtual void SetImage(NodeId node, int index) = 0;
    virtual int Image(NodeId node) const = 0;
    virtual NodeId Selected() const = 0;
    virtual void Select(NodeId node) = 0;
    virtual ImageList& Images() = 0;
    // Brackets a batch of additions (a listing may add thousands of nodes)
    // so that a control can hold its redrawing until the end. Calls nest.
    virtual void BeginUpdate() {}
    virtual void EndUpdate() {}

    // The node of the current folder: the one last handled as a click.
    // Keyboard moves change the selection but not this.
    NodeId CurrentFolderNode() const { return currentFolderNode_; }
    void SetCurrentFolderNode(NodeId node) { currentFolderNode_ = node; }

private:
    NodeId currentFolderNode_ = kNoNode;
};

}  // namespace quorvane
