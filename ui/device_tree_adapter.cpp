#include "ui/device_tree_adapter.h"

#include <QString>

namespace {

HTREEITEM H(TreeItem item) {
    return static_cast<HTREEITEM>(item);
}

}  // namespace

TreeItem DeviceTreeAdapter::InsertItem(TreeItem parent, const char16_t* text, int image,
                                       DeviceTreeNode* data) {
    HTREEITEM item =
        m_tree->InsertItem(QString::fromUtf16(text), image, image, parent == nullptr ? TVI_ROOT : H(parent));
    if (item != nullptr)
        m_tree->SetItemData(item, reinterpret_cast<uintptr_t>(data));
    return item;
}

void DeviceTreeAdapter::DeleteItem(TreeItem item) {
    if (item != nullptr)
        m_tree->DeleteItem(H(item));
}

void DeviceTreeAdapter::DeleteAllItems() {
    m_tree->DeleteAllItems();
}

TreeItem DeviceTreeAdapter::GetRootItem() {
    return m_tree->GetRootItem();
}

TreeItem DeviceTreeAdapter::GetChildItem(TreeItem item) {
    // A null item has no children here (the control would answer with its first top-level item).
    return item == nullptr ? nullptr : m_tree->GetChildItem(H(item));
}

TreeItem DeviceTreeAdapter::GetNextSiblingItem(TreeItem item) {
    return m_tree->GetNextSiblingItem(H(item));
}

TreeItem DeviceTreeAdapter::GetParentItem(TreeItem item) {
    return m_tree->GetParentItem(H(item));
}

DeviceTreeNode* DeviceTreeAdapter::GetItemData(TreeItem item) {
    return item == nullptr ? nullptr : reinterpret_cast<DeviceTreeNode*>(m_tree->GetItemData(H(item)));
}

void DeviceTreeAdapter::SetItemImage(TreeItem item, int image) {
    m_tree->SetItemImage(H(item), image, image);
}

TreeItem DeviceTreeAdapter::GetSelectedItem() {
    return m_tree->GetSelectedItem();
}
