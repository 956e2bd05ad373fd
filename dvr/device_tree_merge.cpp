#include "dvr/device_tree_merge.h"

#include <QFileInfo>
#include <QHash>
#include <QPair>
#include <vector>

#include "core/tarvik_app.h"
#include "dvr/device_tree.h"
#include "platform/system/paths.h"

namespace {

// The DVR records of the file at path. False when the file exists but cannot be read or has no mark: the
// merge must then leave it alone, or the stored DVRs and their credentials would be lost.
bool ReadStoredDvrs(const QString& path, std::vector<DeviceTreeNode>* dvrs) {
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return true;
    // An empty file holds nothing to lose (a write cut short before its mark leaves one): it is replaced.
    const QFileInfo info(path);
    if (info.isFile() && info.size() == 0)
        return true;
    std::vector<DeviceTreeNode> records;
    if (ReadDeviceTreeFile(path, &records) != 0)
        return false;
    for (const DeviceTreeNode& record : records) {
        if (record.type == NODE_DVR)
            dvrs->push_back(record);
    }
    return true;
}

// The given nodes in order, leaving out each node that a later node repeats in host and port.
std::vector<DeviceTreeNode> WithoutRepeatedAddresses(const DeviceListNode* list) {
    std::vector<const DeviceListNode*> given;
    for (const DeviceListNode* node = list; node != nullptr; node = node->next)
        given.push_back(node);
    QHash<QPair<QString, int>, size_t> lastIndex;
    for (size_t i = 0; i < given.size(); ++i)
        lastIndex.insert(qMakePair(NodeText(given[i]->host), given[i]->port), i);
    std::vector<DeviceTreeNode> kept;
    kept.reserve(lastIndex.size());
    for (size_t i = 0; i < given.size(); ++i) {
        if (lastIndex.value(qMakePair(NodeText(given[i]->host), given[i]->port)) == i)
            kept.push_back(*given[i]);
    }
    return kept;
}

}  // namespace

int MergeDeviceTreeFileAt(const QString& path, bool lanMode, const DeviceListNode* list) {
    std::vector<DeviceTreeNode> stored;
    if (!ReadStoredDvrs(path, &stored))
        return -1;
    std::vector<DeviceTreeNode> merged = WithoutRepeatedAddresses(list);
    // Walked from the end, so that of equal names the first node is the one that stays in the map.
    QHash<QString, size_t> firstByName;
    for (size_t i = merged.size(); i-- > 0;)
        firstByName.insert(NodeText(merged[i].name), i);
    for (const DeviceTreeNode& record : stored) {
        const QString name = NodeText(record.name);
        auto match = firstByName.constFind(name);
        if (match != firstByName.constEnd()) {
            DeviceTreeNode& node = merged[match.value()];
            SetNodeText(node.user, NodeText(record.user));
            SetNodeText(node.password, NodeText(record.password));
        } else if (lanMode) {
            merged.push_back(record);
            firstByName.insert(name, merged.size() - 1);
        }
    }
    return WriteDeviceTreeFile(path, merged);
}

int MergeDeviceTreeFile(const DeviceListNode* list) {
    theApp.m_bShowDevice = 0;
    const QString path = ToNativePath(DeviceTreeFilePath(theApp.m_strDataDir, theApp.m_bLanMode != 0));
    return MergeDeviceTreeFileAt(path, theApp.m_bLanMode != 0, list);
}
