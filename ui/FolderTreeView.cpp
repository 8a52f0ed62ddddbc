#include "ui/FolderTreeView.h"

#include <stdexcept>

#include "platform/win32/WinText.h"

namespace quorvane::win {

FolderTreeView::FolderTreeView(HWND treeView, TreeImageList& images) : hwnd_(treeView), images_(images) {
    TreeView_SetImageList(hwnd_, images_.Handle(), TVSIL_NORMAL);
}

const FolderTreeView::Links& FolderTreeView::At(NodeId node) const {
    auto it = nodes_.find(node);
    if (it == nodes_.end()) throw std::out_of_range("not a node of this tree");
    return it->second;
}

// Always TVI_LAST: the control appends without walking the siblings or
// checking a handle to insert after.
NodeId FolderTreeView::Insert(NodeId parent, const std::string& text) {
    if (parent != kNoNode) At(parent);
    std::wstring wide = Wide(text);
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent == kNoNode ? TVI_ROOT : Item(parent);
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = wide.data();
    insert.item.iImage = 0;
    insert.item.iSelectedImage = 0;
    const HTREEITEM item = reinterpret_cast<HTREEITEM>(
        SendMessageW(hwnd_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    if (!item) throw std::runtime_error("cannot add a tree node");

    const NodeId node = Node(item);
    nodes_[node] = Links{text, parent};
    NodeId& first = parent == kNoNode ? firstRoot_ : nodes_[parent].firstChild;
    NodeId& last = parent == kNoNode ? lastRoot_ : nodes_[parent].lastChild;
    if (last != kNoNode) nodes_[last].nextSibling = node;
    if (first == kNoNode) first = node;
    last = node;
    return node;
}

NodeId FolderTreeView::AddRoot(const std::string& text) { return Insert(kNoNode, text); }

NodeId FolderTreeView::AddChild(NodeId parent, const std::string& text) { return Insert(parent, text); }

std::string FolderTreeView::Text(NodeId node) const { return At(node).text; }

NodeId FolderTreeView::Parent(NodeId node) const { return At(node).parent; }

NodeId FolderTreeView::FirstChild(NodeId node) const { return At(node).firstChild; }

NodeId FolderTreeView::NextSibling(NodeId node) const { return At(node).nextSibling; }

NodeId FolderTreeView::FirstRoot() const { return firstRoot_; }

void FolderTreeView::SetImage(NodeId node, int index) {
    At(node);
    TVITEMW item{};
    item.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.hItem = Item(node);
    item.iImage = index;
    item.iSelectedImage = index;
    SendMessageW(hwnd_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    nodes_[node].image = index;
}

int FolderTreeView::Image(NodeId node) const { return At(node).image; }

NodeId FolderTreeView::Selected() const { return Node(TreeView_GetSelection(hwnd_)); }

void FolderTreeView::Select(NodeId node) {
    At(node);
    TreeView_SelectItem(hwnd_, Item(node));
}

void FolderTreeView::BeginUpdate() {
    if (updateDepth_++ == 0) SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
}

void FolderTreeView::EndUpdate() {
    if (--updateDepth_ == 0) {
        SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(hwnd_, nullptr, TRUE);
    }
}

}  // namespace quorvane::win
