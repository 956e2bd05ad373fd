#include "dvr/device_list_node.h"

#include <new>

DeviceListNode* DeviceList::Append(const DeviceTreeNode& record) {
    auto* node = new (std::nothrow) DeviceListNode();
    if (node == nullptr)
        return nullptr;
    static_cast<DeviceTreeNode&>(*node) = record;
    if (m_tail != nullptr)
        m_tail->next = node;
    else
        m_head = node;
    m_tail = node;
    ++m_count;
    return node;
}

void DeviceList::Clear() {
    DeviceListNode* node = m_head;
    while (node != nullptr) {
        DeviceListNode* next = node->next;
        delete node;
        node = next;
    }
    m_head = m_tail = nullptr;
    m_count = 0;
}
