#pragma once

// Singly linked lists of DVR records: the DVRs that answered discovery, the WAN server's DVRs and the DVR
// records read back from a tree file all travel as DeviceListNode lists into MergeDeviceTreeFile.

#include <QString>
#include <cstring>

#include "dvr/device_tree_node.h"

// A DeviceTreeNode followed by the link to the next node. Only the DeviceTreeNode part is ever stored.
struct DeviceListNode : DeviceTreeNode {
    DeviceListNode* next = nullptr;
};

// Owns a list of DeviceListNode, appended at its tail; frees every node when it goes.
class DeviceList {
public:
    DeviceList() = default;
    DeviceList(const DeviceList&) = delete;
    DeviceList& operator=(const DeviceList&) = delete;
    ~DeviceList() { Clear(); }

    // Appends a copy of record (the link is not copied). Null when the node cannot be allocated.
    DeviceListNode* Append(const DeviceTreeNode& record);
    void Clear();
    DeviceListNode* Head() const { return m_head; }
    int Count() const { return m_count; }

private:
    DeviceListNode* m_head = nullptr;
    DeviceListNode* m_tail = nullptr;
    int m_count = 0;
};

// Copies text into a UTF-16 field of N characters: cut to N - 1 characters, the rest zero.
template <size_t N>
void SetNodeText(char16_t (&field)[N], const QString& text) {
    std::memset(field, 0, sizeof field);
    size_t n = static_cast<size_t>(text.size()) < N - 1 ? static_cast<size_t>(text.size()) : N - 1;
    std::memcpy(field, text.utf16(), n * sizeof(char16_t));
}

// The text of a UTF-16 field up to its NUL (or its end when it has none).
template <size_t N>
QString NodeText(const char16_t (&field)[N]) {
    size_t n = 0;
    while (n < N && field[n] != 0)
        ++n;
    return QString(reinterpret_cast<const QChar*>(field), static_cast<qsizetype>(n));
}
