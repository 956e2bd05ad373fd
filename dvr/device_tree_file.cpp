#include <QSaveFile>

#include "core/base64.h"
#include "dvr/device_list_node.h"
#include "dvr/device_tree.h"

void EncodeTreeCredentials(DeviceTreeNode* node) {
    // The dialogs keep each credential short enough for its Base64 text to fit the field.
    SetNodeText(node->user, WideToBase64(NodeText(node->user)));
    SetNodeText(node->password, WideToBase64(NodeText(node->password)));
}

int WriteDeviceTreeFile(const QString& nativePath, const std::vector<DeviceTreeNode>& records) {
    QSaveFile file(nativePath);
    if (!file.open(QIODevice::WriteOnly))
        return -1;
    const char mark[2] = {static_cast<char>(0xFF), static_cast<char>(0xFE)};
    bool written = file.write(mark, 2) == 2;
    for (const DeviceTreeNode& record : records) {
        if (!written)
            break;
        written = file.write(reinterpret_cast<const char*>(&record), sizeof record) ==
                  static_cast<qint64>(sizeof record);
    }
    if (!written) {
        file.cancelWriting();
        return -1;
    }
    return file.commit() ? 0 : -1;
}
