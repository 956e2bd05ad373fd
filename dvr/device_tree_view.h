#pragma once

// The operations of the main window's device tree control that the device tree logic uses. The window
// layer adapts its tree control to it; tests use a small in-memory tree. UI thread only.

#include "dvr/device_tree_node.h"

// An item of the tree (opaque; null: none).
using TreeItem = void*;

class DeviceTreeView {
public:
    virtual ~DeviceTreeView() = default;
    // Inserts an item as the last child of parent (null: the top level) with the same image for its
    // normal and selected state; data stays owned by the caller. Null on failure.
    virtual TreeItem InsertItem(TreeItem parent, const char16_t* text, int image, DeviceTreeNode* data) = 0;
    // Deletes the item with its subtree (their data is not freed).
    virtual void DeleteItem(TreeItem item) = 0;
    virtual void DeleteAllItems() = 0;
    // First top-level item.
    virtual TreeItem GetRootItem() = 0;
    virtual TreeItem GetChildItem(TreeItem item) = 0;
    virtual TreeItem GetNextSiblingItem(TreeItem item) = 0;
    virtual TreeItem GetParentItem(TreeItem item) = 0;
    virtual DeviceTreeNode* GetItemData(TreeItem item) = 0;
    // Sets the normal and the selected image.
    virtual void SetItemImage(TreeItem item, int image) = 0;
    virtual TreeItem GetSelectedItem() = 0;
};
