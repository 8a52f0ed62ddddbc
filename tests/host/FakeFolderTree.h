// An in-memory folder tree and image list: nodes in a vector, images as a
// record of what was appended, so tests can check structure and images.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "folder_settings/FolderView.h"
#include "folder_settings/IconFile.h"
#include "platform/Errors.h"

namespace quorvane::test {

// One image of a FakeImageList: a named initial image, or the entry that
// AppendIcon took from an icon (empty data for an empty icon).
struct FakeImage {
    std::string label;
    std::vector<uint8_t> data;
    int width = 0;
    int height = 0;
};

class FakeImageList : public ImageList {
public:
    explicit FakeImageList(int size, std::vector<std::string> initial = {}) : size_(size) {
        for (auto& label : initial) images.push_back({std::move(label), {}, size, size});
    }
    int Count() const override { return static_cast<int>(images.size()); }
    bool refuseIcons = false;
    void AppendIcon(const IconFile& icon) override {
        FakeImage image{"icon", {}, size_, size_};
        // As the real list: chosen at the screen's depth, failing where no image is made.
        if (const IconFile::Entry* entry = icon.BestEntry(size_, IconFile::Images::kAny, IconFile::ScreenBits())) {
            if (!entry->valid || refuseIcons) throw EInvalidGraphic("Icon image is not valid");
            const auto bytes = icon.EntryBytes(*entry);
            image.data.assign(bytes.begin(), bytes.end());
            image.width = entry->width;
            image.height = entry->height;
        } else {
            image.label = "blank";
        }
        images.push_back(std::move(image));
    }
    int Size() const { return size_; }

    std::vector<FakeImage> images;

private:
    int size_;
};

class FakeFolderTree : public FolderTree {
public:
    // The tree's list starts like the window's: the folder and the drive image.
    FakeFolderTree() : images_(16, {"folder", "drive"}) {}

    NodeId AddRoot(const std::string& text) override { return Add(kNoNode, text); }
    NodeId AddChild(NodeId parent, const std::string& text) override { return Add(parent, text); }
    std::string Text(NodeId node) const override { return At(node).text; }
    NodeId Parent(NodeId node) const override { return At(node).parent; }
    NodeId FirstChild(NodeId node) const override {
        const auto& c = At(node).children;
        return c.empty() ? kNoNode : c.front();
    }
    NodeId NextSibling(NodeId node) const override {
        const auto& list = Siblings(At(node).parent);
        for (size_t i = 0; i + 1 < list.size(); ++i) {
            if (list[i] == node) return list[i + 1];
        }
        return kNoNode;
    }
    NodeId FirstRoot() const override { return roots_.empty() ? kNoNode : roots_.front(); }
    void SetImage(NodeId node, int index) override { At(node).image = index; }
    int Image(NodeId node) const override { return At(node).image; }
    NodeId Selected() const override { return selected_; }
    void Select(NodeId node) override { selected_ = node; }
    FakeImageList& Images() override { return images_; }
    void BeginUpdate() override { ++updateDepth; }
    void EndUpdate() override { --updateDepth; }

    // Inspection helpers.
    int NodeCount() const { return static_cast<int>(nodes_.size()); }
    const std::vector<NodeId>& Roots() const { return roots_; }
    const std::vector<NodeId>& Children(NodeId node) const { return At(node).children; }
    std::vector<std::string> Texts(const std::vector<NodeId>& ids) const {
        std::vector<std::string> out;
        for (NodeId id : ids) out.push_back(Text(id));
        return out;
    }
    std::vector<std::string> RootTexts() const { return Texts(roots_); }
    std::vector<std::string> ChildTexts(NodeId node) const { return Texts(Children(node)); }
    // The node reached by texts from a root, such as {"C:", "Docs", "Work"};
    // kNoNode when there is none.
    NodeId Find(const std::vector<std::string>& texts) const {
        NodeId found = kNoNode;
        const std::vector<NodeId>* level = &roots_;
        for (const std::string& text : texts) {
            found = kNoNode;
            for (NodeId id : *level) {
                if (Text(id) == text) found = id;
            }
            if (found == kNoNode) return kNoNode;
            level = &At(found).children;
        }
        return found;
    }

    int updateDepth = 0;

private:
    struct Node {
        std::string text;
        NodeId parent = kNoNode;
        std::vector<NodeId> children;
        int image = 0;
    };
    NodeId Add(NodeId parent, const std::string& text) {
        nodes_.push_back({text, parent, {}, 0});
        const NodeId id = nodes_.size();
        (parent == kNoNode ? roots_ : At(parent).children).push_back(id);
        return id;
    }
    Node& At(NodeId id) { return nodes_.at(id - 1); }
    const Node& At(NodeId id) const { return nodes_.at(id - 1); }
    const std::vector<NodeId>& Siblings(NodeId parent) const {
        return parent == kNoNode ? roots_ : At(parent).children;
    }

    std::vector<Node> nodes_;
    std::vector<NodeId> roots_;
    NodeId selected_ = kNoNode;
    FakeImageList images_;
};

}  // namespace quorvane::test
