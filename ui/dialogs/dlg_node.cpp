#include "ui/dialogs/dlg_node.h"

#include <cstring>

#include "dvr/device_list_node.h"
#include "dvr/dvr_fields.h"
#include "platform/ui/edit.h"
#include "ui/dialogs/dialog_texts.h"
#include "ui/dialogs/field_refusal.h"
#include "ui/dialogs/node_fields.h"

namespace {

void LimitEdit(CWnd* dialog, UINT id, int maxChars) {
    if (auto* edit = dynamic_cast<CEdit*>(dialog->GetDlgItem(id)))
        edit->LimitText(maxChars);
}

// Refuses the entry: a user name or password that the DVR could not receive as typed is told as the
// setup pages tell it; an empty or overlong name or address keeps the dialog open with its edit focused.
void Refuse(CDialog* dialog, int fault) {
    switch (fault) {
        case NODE_FIELD_USER_TOO_LONG:
            (void)AcceptFieldFault(dialog, IDC_NODE_USER, FIELD_TOO_LONG);
            return;
        case NODE_FIELD_USER_NOT_IN_CODE_PAGE:
            (void)AcceptFieldFault(dialog, IDC_NODE_USER, FIELD_NOT_IN_CODE_PAGE);
            return;
        case NODE_FIELD_PASSWORD_TOO_LONG:
            (void)AcceptFieldFault(dialog, IDC_NODE_PASSWORD, FIELD_TOO_LONG);
            return;
        case NODE_FIELD_PASSWORD_NOT_IN_CODE_PAGE:
            (void)AcceptFieldFault(dialog, IDC_NODE_PASSWORD, FIELD_NOT_IN_CODE_PAGE);
            return;
        default:
            break;
    }
    const bool host = fault == NODE_FIELD_HOST_EMPTY || fault == NODE_FIELD_HOST_TOO_LONG;
    if (CWnd* item = dialog->GetDlgItem(host ? IDC_NODE_ADDRESS : IDC_NODE_NAME))
        item->SetFocus();
}

// Add mode starts a zeroed record of the type under the parent; both modes then take the checked fields.
// FALSE (nothing written) when a field is refused.
BOOL TakeFields(CDialog* dialog, DeviceTreeNode* node, DeviceTreeNode* pNew, bool isDvr) {
    NodeFieldEntry entry;
    entry.name = ItemText(dialog, IDC_NODE_NAME);
    if (isDvr) {
        entry.host = ItemText(dialog, IDC_NODE_ADDRESS);
        entry.port = ItemText(dialog, IDC_NODE_PORT);
        entry.user = ItemText(dialog, IDC_NODE_USER);
        entry.password = ItemText(dialog, IDC_NODE_PASSWORD);
    }
    int fault = CheckNodeFields(entry, isDvr);
    if (fault != NODE_FIELDS_OK) {
        Refuse(dialog, fault);
        return FALSE;
    }
    DeviceTreeNode* target = node;
    if (pNew != nullptr) {
        std::memset(pNew, 0, sizeof *pNew);
        pNew->type = isDvr ? NODE_DVR : NODE_AREA;
        pNew->id = 1;
        pNew->parentId = node != nullptr ? node->id : 0;
        target = pNew;
    }
    if (target == nullptr)
        return FALSE;
    ApplyNodeFields(entry, isDvr, target);
    return TRUE;
}

QString ParentName(const DeviceTreeNode* parent) {
    return parent != nullptr ? NodeText(parent->name) : TreeRootName();
}

}  // namespace

QString TreeRootName() {
    return LanguageText("SYSTEM_TREE_ROOT_NAME", "ROOT");
}

CDlgNodeArea::CDlgNodeArea(DeviceTreeNode* node, DeviceTreeNode* pNew)
    : CDialog(IDD_DLG_NODE_AREA, nullptr), m_pNode(node), m_pNew(pNew) {}

BOOL CDlgNodeArea::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(LanguageText("DLGNODEAREA_TITLE", "Area information"));
    static const DialogText kTexts[] = {
        {1284, "DLGNODEAREA_STATIC_PARENT", "Parent Area:"},
        {1155, "DLGNODEAREA_STATIC_NAME", "Name:"},
        {IDOK, "DLGNODEAREA_BUTTON_OK", "OK"},
        {IDCANCEL, "DLGNODEAREA_BUTTON_CANCEL", "Cancel"},
    };
    ApplyDialogTexts(this, kTexts);
    LimitEdit(this, IDC_NODE_NAME, NODE_NAME_MAX_CHARS);
    if (m_pNew != nullptr)
        SetItemText(this, IDC_NODE_PARENT, ParentName(m_pNode));
    else if (m_pNode != nullptr)
        SetItemText(this, IDC_NODE_NAME, NodeText(m_pNode->name));
    return TRUE;
}

void CDlgNodeArea::OnOK() {
    if (TakeFields(this, m_pNode, m_pNew, false))
        EndDialog(IDOK);
}

CDlgNodeDVR::CDlgNodeDVR(DeviceTreeNode* node, DeviceTreeNode* pNew)
    : CDialog(IDD_DLG_NODE_DVR, nullptr), m_pNode(node), m_pNew(pNew) {}

BOOL CDlgNodeDVR::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(LanguageText("DLGNODEDVR_TITLE", "DVR Info"));
    static const DialogText kTexts[] = {
        {1108, "DLGNODEDVR_STATIC_AREA", "Parent Area:"},
        {1155, "DLGNODEDVR_STATIC_NAME", "Name:"},
        {1185, "DLGNODEDVR_STATIC_ADDRESS", "Address:"},
        {1288, "DLGNODEDVR_STATIC_PORT", "Port:"},
        {1030, "DLGNODEDVR_STATIC_USER", "User:"},
        {1031, "DLGNODEDVR_STATIC_PASSWORD", "Password:"},
        {IDOK, "DLGNODEDVR_BUTTON_OK", "OK"},
        {IDCANCEL, "DLGNODEDVR_BUTTON_CANCEL", "Cancel"},
    };
    ApplyDialogTexts(this, kTexts);
    LimitEdit(this, IDC_NODE_NAME, NODE_NAME_MAX_CHARS);
    LimitEdit(this, IDC_NODE_ADDRESS, NODE_HOST_MAX_CHARS);
    // The byte limit of the credentials depends on the code page; OK checks it. No edit can hold more
    // characters than bytes allowed.
    LimitEdit(this, IDC_NODE_USER, NODE_CREDENTIAL_MAX_BYTES);
    LimitEdit(this, IDC_NODE_PASSWORD, NODE_CREDENTIAL_MAX_BYTES);
    if (m_pNew != nullptr) {
        SetItemText(this, IDC_NODE_PARENT, ParentName(m_pNode));
        SetItemText(this, IDC_NODE_PORT, QStringLiteral("0"));
    } else if (m_pNode != nullptr) {
        SetItemText(this, IDC_NODE_NAME, NodeText(m_pNode->name));
        SetItemText(this, IDC_NODE_ADDRESS, NodeText(m_pNode->host));
        SetItemText(this, IDC_NODE_PORT, QString::number(m_pNode->port));
        SetItemText(this, IDC_NODE_USER, NodeText(m_pNode->user));
        SetItemText(this, IDC_NODE_PASSWORD, NodeText(m_pNode->password));
    }
    return TRUE;
}

void CDlgNodeDVR::OnOK() {
    if (TakeFields(this, m_pNode, m_pNew, true))
        EndDialog(IDOK);
}
