// A FolderTree over a real tree view control. The node links and texts are
// mirrored here, so walking the tree never asks the control: a control may
// take time that grows with its item count for each question about an item.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <unordered_map>

#include "folder_settings/FolderView.h"
#include "ui/TreeImageList.h"

namespace quorvane::win {

class FolderTreeView : public FolderTree {
public:
    // Attaches `images` to the control as its normal image list; both must
    // outlive this object.
    FolderTreeView(HWND treeView, TreeImageList& images);

    NodeId AddRoot(const std::string& text) override;
    NodeId AddChild(NodeId parent, const std::string& text) override;
    std::string Text(NodeId node) const override;
    NodeId Parent(NodeId node) const override;
    NodeId FirstChild(NodeId node) const override;
    NodeId NextSibling(NodeId node) const override;
    NodeId FirstRoot() const override;
    void SetImage(NodeId node, int index) override;
    int Image(NodeId node) const override;
    NodeId Selected() const override;
    void Select(NodeId node) override;
    TreeImageList& Images() override { return images_; }
    void BeginUpdate() override;
    void EndUpdate() override;

    HWND Handle() const { return hwnd_; }
    static HTREEITEM Item(NodeId node) { return reinterpret_cast<HTREEITEM>(node); }
    static NodeId Node(HTREEITEM item) { return reinterpret_cast<NodeId>(item); }

private:
    struct Links {
        std::string text;
        NodeId parent = kNoNode;
        NodeId firstChild = kNoNode;
        NodeId lastChild = kNoNode;
        NodeId nextSibling = kNoNode;
        int image = 0;
    };
    NodeId Insert(NodeId parent, const std::string& text);
    const Links& At(NodeId node) const;

    HWND hwnd_;
    TreeImageList& images_;
    std::unordered_map<NodeId, Links> nodes_;
    NodeId firstRoot_ = kNoNode;
    NodeId lastRoot_ = kNoNode;
    int updateDepth_ = 0;
};

}  // namespace quorvane::win
