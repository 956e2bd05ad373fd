#include "ui/dialogs/node_fields.h"

#include "dvr/device_list_node.h"
#include "platform/system/codepage.h"

namespace {

bool CredentialFits(const QString& text) {
    return WideToAnsi(text).size() <= NODE_CREDENTIAL_MAX_BYTES;
}

}  // namespace

int CheckNodeFields(const NodeFieldEntry& entry, bool isDvr) {
    if (entry.name.isEmpty())
        return NODE_FIELD_NAME_EMPTY;
    if (entry.name.size() > NODE_NAME_MAX_CHARS)
        return NODE_FIELD_NAME_TOO_LONG;
    if (!isDvr)
        return NODE_FIELDS_OK;
    if (entry.host.isEmpty())
        return NODE_FIELD_HOST_EMPTY;
    if (entry.host.size() > NODE_HOST_MAX_CHARS)
        return NODE_FIELD_HOST_TOO_LONG;
    if (!CredentialFits(entry.user))
        return NODE_FIELD_USER_TOO_LONG;
    if (!CredentialFits(entry.password))
        return NODE_FIELD_PASSWORD_TOO_LONG;
    return NODE_FIELDS_OK;
}

int ParseNodePort(const QString& text) {
    long long value = 0;
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool any = false;
    // Digits beyond any port are not read, so a long number cannot overflow.
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9' && value <= 0x7fffffff) {
        value = value * 10 + (text[i].unicode() - u'0');
        any = true;
        ++i;
    }
    if (!any || value < 1 || value > 0x7fffffff)
        return DEFAULT_DVR_PORT;
    return static_cast<int>(value);
}

void ApplyNodeFields(const NodeFieldEntry& entry, bool isDvr, DeviceTreeNode* node) {
    SetNodeText(node->name, entry.name);
    if (!isDvr)
        return;
    SetNodeText(node->host, entry.host);
    node->port = ParseNodePort(entry.port);
    SetNodeText(node->user, entry.user);
    SetNodeText(node->password, entry.password);
}
