#include "dvr/device_tree.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QSet>
#include <cstdlib>
#include <cstring>

#include "core/base64.h"
#include "dvr/dvr_session.h"
#include "dvr/session_hooks.h"
#include "platform/system/paths.h"

namespace {

template <size_t N>
void TerminateField(char16_t (&field)[N]) {
    field[N - 1] = 0;
}

// Decodes a Base64 credential in place; a field the decoder refuses (empty) stays as read.
template <size_t N>
void DecodeStoredCredential(char16_t (&field)[N]) {
    int length = 0;
    while (field[length] != 0)
        ++length;
    char16_t* decoded = nullptr;
    int capacity = 0;
    if (Base64WToWide(length, field, &decoded, &capacity) == 0 && decoded != nullptr) {
        std::memset(field, 0, sizeof field);
        for (size_t i = 0; i + 1 < N && decoded[i] != 0; ++i)
            field[i] = decoded[i];
    }
    std::free(decoded);
}

DeviceTreeNode* NewNode() {
    return static_cast<DeviceTreeNode*>(std::calloc(1, sizeof(DeviceTreeNode)));
}

}  // namespace

QString DeviceTreeFilePath(const QString& dataDir, bool lanMode) {
    return dataDir + (lanMode ? QStringLiteral("tree.dat") : QStringLiteral("treew.dat"));
}

void DecodeTreeCredentials(DeviceTreeNode* node) {
    DecodeStoredCredential(node->user);
    DecodeStoredCredential(node->password);
}

int ReadDeviceTreeFile(const QString& path, std::vector<DeviceTreeNode>* records) {
    // The path is in stored form (the data folder ends in a backslash).
    QFile file(ToNativePath(path));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    char mark[2];
    if (file.read(mark, 2) != 2 || static_cast<unsigned char>(mark[0]) != 0xFF ||
        static_cast<unsigned char>(mark[1]) != 0xFE)
        return -1;
    DeviceTreeNode record;
    while (file.read(reinterpret_cast<char*>(&record), sizeof record) == static_cast<qint64>(sizeof record)) {
        TerminateField(record.name);
        TerminateField(record.host);
        TerminateField(record.altHost);
        TerminateField(record.user);
        TerminateField(record.password);
        records->push_back(record);
    }
    return 0;
}

int WriteDeviceTreeFile(const QString& path, const std::vector<DeviceTreeNode>& records) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return -1;
    // The records hold the DVRs' logins (Base64, not encrypted): only the owner may read the file,
    // whatever mode an earlier file had.
    if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return -1;
    const char mark[2] = {static_cast<char>(0xFF), static_cast<char>(0xFE)};
    bool ok = file.write(mark, 2) == 2;
    for (const DeviceTreeNode& record : records)
        ok = ok && file.write(reinterpret_cast<const char*>(&record), sizeof record) ==
                       static_cast<qint64>(sizeof record);
    return ok && file.commit() ? 0 : -1;
}

void LoadDeviceTree(DeviceTreeView* view, const QString& path) {
    // The sessions point at the items' records: they stop before the items go.
    ReleaseAndFreeDeviceList();
    ClearDeviceTree(view);
    InitDeviceList();
    std::vector<DeviceTreeNode> records;
    if (ReadDeviceTreeFile(path, &records) != 0)
        return;
    // The areas made so far by id, so that a large list does not search the whole tree for each record's
    // parent. An id that several areas share is searched as before (the first in tree order wins).
    QHash<int, TreeItem> areaById;
    QSet<int> sharedAreaIds;
    for (const DeviceTreeNode& record : records) {
        DeviceTreeNode* node = NewNode();
        if (node == nullptr)
            return;
        *node = record;
        TreeItem parent = sharedAreaIds.contains(node->parentId)
                              ? FindTreeItem(view, NODE_AREA, node->parentId, nullptr)
                              : areaById.value(node->parentId, nullptr);
        TreeItem item = view->InsertItem(parent, node->name, node->type, node);
        if (item == nullptr) {
            // The item could not be made: nothing else holds the record.
            std::free(node);
            return;
        }
        if (node->type == NODE_AREA) {
            if (areaById.contains(node->id))
                sharedAreaIds.insert(node->id);
            else
                areaById.insert(node->id, item);
        }
        if (node->type != NODE_DVR)
            continue;
        DecodeTreeCredentials(node);
        auto* device = new (std::nothrow) DVRDevice();
        if (device == nullptr)
            return;
        device->node = node;
        // The supervisor starts the session: starting thousands of them here would hold the window.
        PrepareDeviceSession(device);
        AppendDevice(device);
    }
}

void ClearDeviceTree(DeviceTreeView* view) {
    for (TreeItem item = view->GetRootItem(); item != nullptr; item = view->GetNextSiblingItem(item))
        FreeTreeItemData(view, item);
    view->DeleteAllItems();
}

namespace {
template <typename Match>
TreeItem FindItem(DeviceTreeView* view, TreeItem start, const Match& match) {
    for (TreeItem item = start; item != nullptr; item = view->GetNextSiblingItem(item)) {
        DeviceTreeNode* data = view->GetItemData(item);
        if (data != nullptr && match(data))
            return item;
        TreeItem child = view->GetChildItem(item);
        if (child != nullptr) {
            TreeItem found = FindItem(view, child, match);
            if (found != nullptr)
                return found;
        }
    }
    return nullptr;
}
}  // namespace

TreeItem FindTreeItem(DeviceTreeView* view, int type, int id, TreeItem start) {
    if (start == nullptr)
        start = view->GetRootItem();
    return FindItem(view, start,
                    [type, id](const DeviceTreeNode* data) { return data->type == type && data->id == id; });
}

TreeItem FindTreeItemByNode(DeviceTreeView* view, const DeviceTreeNode* node, TreeItem start) {
    if (node == nullptr)
        return nullptr;
    if (start == nullptr)
        start = view->GetRootItem();
    return FindItem(view, start, [node](const DeviceTreeNode* data) { return data == node; });
}

void FreeTreeItemData(DeviceTreeView* view, TreeItem item) {
    if (item == nullptr)
        return;
    for (TreeItem child = view->GetChildItem(item); child != nullptr; child = view->GetNextSiblingItem(child))
        FreeTreeItemData(view, child);
    std::free(view->GetItemData(item));
}

void DeleteChildItems(DeviceTreeView* view, TreeItem item) {
    TreeItem child = view->GetChildItem(item);
    while (child != nullptr) {
        TreeItem next = view->GetNextSiblingItem(child);
        FreeTreeItemData(view, child);
        view->DeleteItem(child);
        child = next;
    }
}

void ShowChannelItems(DeviceTreeView* view, const DVRDevice* device, const char16_t (*names)[256],
                      int count) {
    if (device == nullptr)
        return;
    TreeItem dvrItem = FindTreeItemByNode(view, device->node, nullptr);
    if (dvrItem == nullptr)
        return;
    DeleteChildItems(view, dvrItem);
    for (int i = 0; i < count; ++i) {
        if (names[i][0] == 0)
            continue;
        DeviceTreeNode* node = NewNode();
        if (node == nullptr)
            return;
        node->type = NODE_CHANNEL;
        node->id = i;
        std::memcpy(node->name, names[i], sizeof node->name);
        node->name[255] = 0;
        if (view->InsertItem(dvrItem, node->name, TREE_ICON_CHANNEL, node) == nullptr) {
            std::free(node);
            return;
        }
    }
}

void SetChannelItemIcon(DeviceTreeView* view, const DVRDevice* device, int image, int channel) {
    if (device == nullptr || channel < 0)
        return;
    TreeItem dvrItem = FindTreeItemByNode(view, device->node, nullptr);
    if (dvrItem == nullptr)
        return;
    // Only the DVR's own children: another DVR's channel items carry the same ids.
    for (TreeItem item = view->GetChildItem(dvrItem); item != nullptr;
         item = view->GetNextSiblingItem(item)) {
        DeviceTreeNode* data = view->GetItemData(item);
        if (data != nullptr && data->type == NODE_CHANNEL && data->id == channel) {
            view->SetItemImage(item, image);
            return;
        }
    }
}

DVRDevice* SelectedTreeDevice(DeviceTreeView* view) {
    TreeItem item = view->GetSelectedItem();
    DeviceTreeNode* data = item != nullptr ? view->GetItemData(item) : nullptr;
    if (data == nullptr)
        return nullptr;
    if (data->type == NODE_CHANNEL) {
        item = view->GetParentItem(item);
        data = item != nullptr ? view->GetItemData(item) : nullptr;
    }
    if (data == nullptr || data->type != NODE_DVR)
        return nullptr;
    return FindDeviceByNode(data);
}

void OnClickDeviceTree(DeviceTreeView* view) {
    TreeItem item = view->GetSelectedItem();
    if (item == nullptr || view->GetItemData(item) == nullptr)
        return;
    g_currentDevice.store(SelectedTreeDevice(view));
}

DVRDevice* FindDeviceByNode(const DeviceTreeNode* node) {
    std::lock_guard<std::mutex> guard(g_deviceListLock);
    for (DVRDevice* device = g_deviceList; device != nullptr; device = device->next) {
        if (device->node == node)
            return device;
    }
    return nullptr;
}

void ReloadDevices(DeviceTreeView* view, const QString& path) {
    LoadDeviceTree(view, path);
}
