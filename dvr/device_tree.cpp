#include "dvr/device_tree.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QSet>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>

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

namespace {

// Opens a tree file for reading past its mark; false when it is missing or has no FF FE mark.
bool OpenDeviceTreeFile(const QString& path, QFile* file) {
    // The path is in stored form (the data folder ends in a backslash).
    file->setFileName(ToNativePath(path));
    if (!file->open(QIODevice::ReadOnly))
        return false;
    char mark[2];
    return file->read(mark, 2) == 2 && static_cast<unsigned char>(mark[0]) == 0xFF &&
           static_cast<unsigned char>(mark[1]) == 0xFE;
}

// The next whole record with its text fields terminated; false at the end (a partial record is ignored).
bool ReadDeviceTreeRecord(QFile* file, DeviceTreeNode* record) {
    if (file->read(reinterpret_cast<char*>(record), sizeof *record) != static_cast<qint64>(sizeof *record))
        return false;
    TerminateField(record->name);
    TerminateField(record->host);
    TerminateField(record->altHost);
    TerminateField(record->user);
    TerminateField(record->password);
    return true;
}

}  // namespace

int ReadDeviceTreeFile(const QString& path, std::vector<DeviceTreeNode>* records) {
    QFile file;
    if (!OpenDeviceTreeFile(path, &file))
        return -1;
    DeviceTreeNode record;
    while (ReadDeviceTreeRecord(&file, &record))
        records->push_back(record);
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

namespace {

// A load whose records are not all in the tree yet (UI thread only).
struct PendingTreeLoad {
    DeviceTreeView* view = nullptr;
    QFile file;  // read one record at a time, in the slices
    // The areas made so far by id, so that a large list does not search the whole tree for each record's
    // parent. An id that several areas share is searched as before (the first in tree order wins).
    QHash<int, TreeItem> areaById;
    QSet<int> sharedAreaIds;
};
std::unique_ptr<PendingTreeLoad> g_pendingLoad;

int64_t ElapsedMs(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - since)
        .count();
}

// Inserts the load's next record; false at the end of the file or when the load must stop there (an
// allocation or an item failed).
bool LoadRecord(PendingTreeLoad* load, DVRDevice** head, DVRDevice** tail) {
    DeviceTreeView* view = load->view;
    DeviceTreeNode record;
    if (!ReadDeviceTreeRecord(&load->file, &record))
        return false;
    DeviceTreeNode* node = NewNode();
    if (node == nullptr)
        return false;
    *node = record;
    TreeItem parent = load->sharedAreaIds.contains(node->parentId)
                          ? FindTreeItem(view, NODE_AREA, node->parentId, nullptr)
                          : load->areaById.value(node->parentId, nullptr);
    TreeItem item = view->InsertItem(parent, node->name, node->type, node);
    if (item == nullptr) {
        // The item could not be made: nothing else holds the record.
        std::free(node);
        return false;
    }
    if (node->type == NODE_AREA) {
        if (load->areaById.contains(node->id))
            load->sharedAreaIds.insert(node->id);
        else
            load->areaById.insert(node->id, item);
    }
    if (node->type != NODE_DVR)
        return true;
    DecodeTreeCredentials(node);
    auto* device = new (std::nothrow) DVRDevice();
    if (device == nullptr)
        return false;
    device->node = node;
    // The supervisor starts the session: starting thousands of them here would hold the window.
    PrepareDeviceSession(device);
    device->next = nullptr;
    (*tail != nullptr ? (*tail)->next : *head) = device;
    *tail = device;
    return true;
}

}  // namespace

void BeginDeviceTreeLoad(DeviceTreeView* view, const QString& path) {
    // The sessions point at the items' DVR records: those records go with the sessions, which stop on a
    // thread of their own and free them after.
    DVRDevice* sessions = DetachDeviceList();
    std::vector<void*> dvrRecords;
    ClearDeviceTreeKeeping(view, &dvrRecords);
    RetireDevices(sessions, std::move(dvrRecords));
    InitDeviceList();
    auto load = std::make_unique<PendingTreeLoad>();
    load->view = view;
    if (!OpenDeviceTreeFile(path, &load->file))
        return;
    g_pendingLoad = std::move(load);
}

int ContinueDeviceTreeLoad(int budgetMs) {
    PendingTreeLoad* load = g_pendingLoad.get();
    if (load == nullptr)
        return 0;
    const auto start = std::chrono::steady_clock::now();
    // The slice's sessions go on the list together at its end: one at a time, each would take the list's
    // lock from the supervisor walking it.
    DVRDevice* head = nullptr;
    DVRDevice* tail = nullptr;
    bool more = true;
    for (int done = 0; more; ++done) {
        if (budgetMs >= 0 && done % 32 == 31 && ElapsedMs(start) >= budgetMs)
            break;
        more = LoadRecord(load, &head, &tail);
    }
    AppendDevices(head);
    if (more)
        return 1;
    g_pendingLoad.reset();
    return 0;
}

void LoadDeviceTree(DeviceTreeView* view, const QString& path) {
    BeginDeviceTreeLoad(view, path);
    while (ContinueDeviceTreeLoad(-1) != 0) {
    }
}

namespace {
// Frees the item data of item and its subtree; DVR records go to keep instead when it is given.
void FreeItemData(DeviceTreeView* view, TreeItem item, std::vector<void*>* keep) {
    if (item == nullptr)
        return;
    for (TreeItem child = view->GetChildItem(item); child != nullptr; child = view->GetNextSiblingItem(child))
        FreeItemData(view, child, keep);
    DeviceTreeNode* data = view->GetItemData(item);
    if (keep != nullptr && data != nullptr && data->type == NODE_DVR)
        keep->push_back(data);
    else
        std::free(data);
}
}  // namespace

void ClearDeviceTreeKeeping(DeviceTreeView* view, std::vector<void*>* dvrRecords) {
    // A load still under way would insert under items that are gone.
    if (g_pendingLoad != nullptr && g_pendingLoad->view == view)
        g_pendingLoad.reset();
    for (TreeItem item = view->GetRootItem(); item != nullptr; item = view->GetNextSiblingItem(item))
        FreeItemData(view, item, dvrRecords);
    view->DeleteAllItems();
}

void ClearDeviceTree(DeviceTreeView* view) {
    ClearDeviceTreeKeeping(view, nullptr);
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
    FreeItemData(view, item, nullptr);
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
