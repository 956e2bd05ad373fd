#pragma once

// The device tree logic's view of a tree control: the main window hands its device tree (a CMyTreeCtrl)
// to an adapter and passes the adapter to LoadDeviceTree, HandleDvrTreeEvent and the other tree
// operations. Items carry their DeviceTreeNode as item data; the adapter owns none of them. UI thread only.

#include "dvr/device_tree_view.h"
#include "platform/ui/tree_ctrl.h"

class DeviceTreeAdapter : public DeviceTreeView {
public:
    explicit DeviceTreeAdapter(CTreeCtrl* tree) : m_tree(tree) {}

    TreeItem InsertItem(TreeItem parent, const char16_t* text, int image, DeviceTreeNode* data) override;
    void DeleteItem(TreeItem item) override;
    void DeleteAllItems() override;
    TreeItem GetRootItem() override;
    TreeItem GetChildItem(TreeItem item) override;
    TreeItem GetNextSiblingItem(TreeItem item) override;
    TreeItem GetParentItem(TreeItem item) override;
    DeviceTreeNode* GetItemData(TreeItem item) override;
    void SetItemImage(TreeItem item, int image) override;
    TreeItem GetSelectedItem() override;

private:
    CTreeCtrl* m_tree;
};
