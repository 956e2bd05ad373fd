#include "core/base64.h"
#include "dvr/device_list_node.h"
#include "dvr/device_tree.h"

void EncodeTreeCredentials(DeviceTreeNode* node) {
    // The dialogs keep each credential short enough for its Base64 text to fit the field.
    SetNodeText(node->user, WideToBase64(NodeText(node->user)));
    SetNodeText(node->password, WideToBase64(NodeText(node->password)));
}
