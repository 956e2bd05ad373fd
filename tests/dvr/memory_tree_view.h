#pragma once

// An in-memory device tree for tests of the tree logic.

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "dvr/device_tree_view.h"

class MemoryTreeView : public DeviceTreeView {
public:
    struct Item {
        Item* parent = nullptr;
        std::u16string text;
        int image = 0;
        DeviceTreeNode* data = nullptr;
        std::vector<std::unique_ptr<Item>> children;
    };

    TreeItem InsertItem(TreeItem parent, const char16_t* text, int image, DeviceTreeNode* data) override {
        if (insertsLeft == 0)
            return nullptr;
        if (insertsLeft > 0)
            --insertsLeft;
        auto item = std::make_unique<Item>();
        item->parent = static_cast<Item*>(parent);
        item->text = text;
        item->image = image;
        item->data = data;
        Item* raw = item.get();
        Children(item->parent).push_back(std::move(item));
        return raw;
    }
    // Inserts that succeed before every further one fails (-1: no limit).
    int insertsLeft = -1;

    void DeleteItem(TreeItem item) override {
        auto* target = static_cast<Item*>(item);
        if (selected_ != nullptr && Contains(target, selected_))
            selected_ = nullptr;
        auto& siblings = Children(target->parent);
        siblings.erase(std::remove_if(siblings.begin(), siblings.end(),
                                      [target](const std::unique_ptr<Item>& i) { return i.get() == target; }),
                       siblings.end());
    }
    void DeleteAllItems() override {
        roots_.clear();
        selected_ = nullptr;
    }
    TreeItem GetRootItem() override { return roots_.empty() ? nullptr : roots_.front().get(); }
    TreeItem GetChildItem(TreeItem item) override {
        auto& children = static_cast<Item*>(item)->children;
        return children.empty() ? nullptr : children.front().get();
    }
    TreeItem GetNextSiblingItem(TreeItem item) override {
        auto* current = static_cast<Item*>(item);
        auto& siblings = Children(current->parent);
        for (size_t i = 0; i + 1 < siblings.size(); ++i) {
            if (siblings[i].get() == current)
                return siblings[i + 1].get();
        }
        return nullptr;
    }
    TreeItem GetParentItem(TreeItem item) override { return static_cast<Item*>(item)->parent; }
    DeviceTreeNode* GetItemData(TreeItem item) override { return static_cast<Item*>(item)->data; }
    void SetItemImage(TreeItem item, int image) override { static_cast<Item*>(item)->image = image; }
    TreeItem GetSelectedItem() override { return selected_; }

    void Select(TreeItem item) { selected_ = static_cast<Item*>(item); }
    Item* At(TreeItem item) { return static_cast<Item*>(item); }
    const std::vector<std::unique_ptr<Item>>& Roots() const { return roots_; }

private:
    std::vector<std::unique_ptr<Item>>& Children(Item* parent) { return parent ? parent->children : roots_; }
    static bool Contains(Item* root, Item* item) {
        if (root == item)
            return true;
        for (auto& child : root->children) {
            if (Contains(child.get(), item))
                return true;
        }
        return false;
    }
    std::vector<std::unique_ptr<Item>> roots_;
    Item* selected_ = nullptr;
};
