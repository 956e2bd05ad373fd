#include "ui/dialogs/dlg_device.h"

#include <new>
#include <vector>

#include "core/tarvik_app.h"
#include "core/window_messages.h"
#include "dvr/device_list_node.h"
#include "dvr/device_tree.h"
#include "dvr/lan_discovery.h"
#include "platform/system/paths.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/message_box.h"
#include "platform/ui/win_app.h"
#include "ui/dialogs/dialog_texts.h"
#include "ui/dialogs/dlg_node.h"

namespace {

const DialogText kTexts[] = {
    {IDC_DEVICE_SEARCH, "DLGDEVICE_BUTTON_SEARCH", "Auto Search"},
    {IDC_DEVICE_ADD, "DLGDEVICE_BUTTON_ADD", "Add Device..."},
    {IDC_DEVICE_EDIT, "DLGDEVICE_BUTTON_EDIT", "Edit Device..."},
    {IDC_DEVICE_DELETE, "DLGDEVICE_BUTTON_DELETE", "Delete Device"},
    {IDC_DEVICE_SHOW, "DLGDEVICE_CHECK_SHOW", "Do not show again after login"},
    {IDOK, "DLGDEVICE_BUTTON_OK", "Save"},
    {IDCANCEL, "DLGDEVICE_BUTTON_CANCEL", "Exit"},
};

const ListColumn kColumns[] = {
    {"DLGDEVICE_LIST_DEVICE_0", "Hostname", LVCFMT_LEFT, 100},
    {"DLGDEVICE_LIST_DEVICE_1", "Address", LVCFMT_RIGHT, 120},
    {"DLGDEVICE_LIST_DEVICE_2", "Port", LVCFMT_RIGHT, 60},
    {"DLGDEVICE_LIST_DEVICE_3", "User", LVCFMT_RIGHT, 80},
    {"DLGDEVICE_LIST_DEVICE_4", "Password", LVCFMT_RIGHT, 80},
};

}  // namespace

CDlgDevice::CDlgDevice() : CDialog(IDD_DLG_DEVICE, nullptr) {}

void CDlgDevice::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_DEVICE_LIST, m_listDevices);
}

BOOL CDlgDevice::OnInitDialog() {
    CDialog::OnInitDialog();
    ApplyTexts();
    CheckItem(this, IDC_DEVICE_SHOW, theApp.m_bShowDevice ? 0 : 1);
    LoadDeviceFile();
    return TRUE;
}

void CDlgDevice::ApplyTexts() {
    SetWindowText(LanguageText("DLGDEVICE_TITLE", "Device list"));
    ApplyDialogTexts(this, kTexts);
    m_listDevices.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    SetListColumns(m_listDevices, kColumns);
}

QString CDlgDevice::DeviceFilePath() const {
    return ToNativePath(DeviceTreeFilePath(theApp.m_strDataDir, theApp.m_bLanMode != 0));
}

DeviceTreeNode* CDlgDevice::RowNode(int row) const {
    if (row < 0 || row >= m_listDevices.GetItemCount())
        return nullptr;
    return reinterpret_cast<DeviceTreeNode*>(m_listDevices.GetItemData(row));
}

void CDlgDevice::ShowRow(int row, const DeviceTreeNode* node) {
    m_listDevices.SetItemText(row, 0, NodeText(node->name));
    m_listDevices.SetItemText(row, 1, NodeText(node->host));
    m_listDevices.SetItemText(row, 2, QString::number(node->port));
    m_listDevices.SetItemText(row, 3, NodeText(node->user));
    m_listDevices.SetItemText(row, 4, QStringLiteral("********"));
}

void CDlgDevice::AppendRow(DeviceTreeNode* node) {
    int row = m_listDevices.InsertItem(m_listDevices.GetItemCount(), NodeText(node->name));
    if (row < 0) {
        delete node;
        return;
    }
    m_listDevices.SetItemData(row, reinterpret_cast<uintptr_t>(node));
    ShowRow(row, node);
}

void CDlgDevice::LoadDeviceFile() {
    std::vector<DeviceTreeNode> records;
    if (ReadDeviceTreeFile(DeviceFilePath(), &records) != 0)
        return;
    for (const DeviceTreeNode& record : records) {
        if (record.type != NODE_DVR)
            continue;
        auto* node = new (std::nothrow) DeviceTreeNode(record);
        if (node == nullptr)
            return;
        DecodeTreeCredentials(node);
        AppendRow(node);
    }
}

void CDlgDevice::SaveDeviceFile() {
    std::vector<DeviceTreeNode> records;
    for (int row = 0; row < m_listDevices.GetItemCount(); ++row) {
        const DeviceTreeNode* node = RowNode(row);
        if (node == nullptr)
            continue;
        DeviceTreeNode copy = *node;
        copy.id = row;
        copy.parentId = 0;
        EncodeTreeCredentials(&copy);
        records.push_back(copy);
    }
    static_cast<void>(WriteDeviceTreeFile(DeviceFilePath(), records));
}

void CDlgDevice::FreeItems() {
    for (int row = 0; row < m_listDevices.GetItemCount(); ++row) {
        delete RowNode(row);
        m_listDevices.SetItemData(row, 0);
    }
}

void CDlgDevice::SearchLan() {
    DeviceList found;
    // The same discovery pass as the refresh, with its bounded reply parser; failures end it quietly.
    if (DiscoverDevices(&found, DEVICE_LIST_SEARCH_PASS) != 0)
        return;
    for (const DeviceListNode* n = found.Head(); n != nullptr; n = n->next) {
        auto* node = new (std::nothrow) DeviceTreeNode(static_cast<const DeviceTreeNode&>(*n));
        if (node == nullptr)
            return;
        AppendRow(node);
        m_bModified = 1;
    }
}

void CDlgDevice::OnSearch() {
    FreeItems();
    m_listDevices.DeleteAllItems();
    SearchLan();
}

void CDlgDevice::OnAdd() {
    auto* node = new (std::nothrow) DeviceTreeNode{};
    if (node == nullptr)
        return;
    CDlgNodeDVR dialog(nullptr, node);
    if (RunNodeDialog(dialog) != IDOK) {
        delete node;
        return;
    }
    AppendRow(node);
    m_bModified = 1;
}

void CDlgDevice::OnEdit() {
    int row = m_listDevices.GetNextItem(-1, LVNI_SELECTED);
    DeviceTreeNode* node = RowNode(row);
    if (node == nullptr)
        return;
    CDlgNodeDVR dialog(node, nullptr);
    if (RunNodeDialog(dialog) != IDOK)
        return;
    ShowRow(row, node);
    m_bModified = 1;
}

void CDlgDevice::OnDelete() {
    int row = m_listDevices.GetNextItem(-1, LVNI_SELECTED);
    DeviceTreeNode* node = RowNode(row);
    if (node == nullptr)
        return;
    m_listDevices.SetItemData(row, 0);
    CWnd* main = theApp.m_bLanMode ? nullptr : AfxGetMainWnd();
    if (main == nullptr) {
        delete node;
    } else {
        // The main window removes the DVR at the WAN server and frees the record; the relay frees records
        // with free(), so it gets a malloc'd copy.
        auto* copy = static_cast<DeviceTreeNode*>(std::malloc(sizeof(DeviceTreeNode)));
        if (copy != nullptr) {
            *copy = *node;
            if (!main->PostMessage(WM_WAN_REQUEST, WAN_REQUEST_DELETE_DEVICE, reinterpret_cast<LPARAM>(copy)))
                std::free(copy);
        }
        delete node;
    }
    m_listDevices.DeleteItem(row);
    m_bModified = 1;
}

void CDlgDevice::OnOK() {
    SaveDeviceFile();
    // A save that wrote nothing new keeps the reload that an earlier save of this opening asked for.
    if (m_bModified)
        m_bTreeChanged = 1;
    m_bModified = 0;
}

void CDlgDevice::OnCancel() {
    theApp.m_bShowDevice = ItemChecked(this, IDC_DEVICE_SHOW) ? 0 : 1;
    theApp.m_iniSystem.WriteInt("SYSTEM", "ShowDevice", theApp.m_bShowDevice);
    if (m_bModified && AskSaveChanges(this))
        OnOK();
    if (m_bTreeChanged) {
        if (CWnd* main = AfxGetMainWnd())
            main->PostMessage(WM_DEVICE_TREE_CHANGED, 0, 0);
    }
    EndDialog(IDCANCEL);
}

BOOL CDlgDevice::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
            case IDC_DEVICE_SEARCH:
                OnSearch();
                return TRUE;
            case IDC_DEVICE_ADD:
                OnAdd();
                return TRUE;
            case IDC_DEVICE_EDIT:
                OnEdit();
                return TRUE;
            case IDC_DEVICE_DELETE:
                OnDelete();
                return TRUE;
            default:
                break;
        }
    }
    return CDialog::OnCommand(wParam, lParam);
}

BOOL CDlgDevice::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (hdr != nullptr && hdr->idFrom == IDC_DEVICE_LIST && hdr->code == NM_DBLCLK) {
        OnEdit();
        *pResult = 0;
        return TRUE;
    }
    return CDialog::OnNotify(wParam, lParam, pResult);
}

BOOL CDlgDevice::DestroyWindow() {
    if (m_listDevices.GetSafeHwnd() != nullptr)
        FreeItems();
    return CDialog::DestroyWindow();
}
