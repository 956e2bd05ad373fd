#include "ui/dialogs/node_fields.h"

#include "dvr/device_list_node.h"
#include "dvr/dvr_fields.h"
#include "ui/dialogs/field_refusal.h"

namespace {

// The node fault of a credential by the rule the setup pages apply to user names and passwords.
int CredentialFault(const QString& text, int tooLong, int notInCodePage) {
    switch (TextFieldFaultOf(text, TextFieldKind::Credential)) {
        case FIELD_FITS:
            return NODE_FIELDS_OK;
        case FIELD_NOT_IN_CODE_PAGE:
            return notInCodePage;
        default:
            return tooLong;
    }
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
    const int user = CredentialFault(entry.user, NODE_FIELD_USER_TOO_LONG, NODE_FIELD_USER_NOT_IN_CODE_PAGE);
    if (user != NODE_FIELDS_OK)
        return user;
    return CredentialFault(entry.password, NODE_FIELD_PASSWORD_TOO_LONG,
                           NODE_FIELD_PASSWORD_NOT_IN_CODE_PAGE);
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
