#include "ui/dialogs/dlg_tree.h"

#include <QCursor>
#include <new>

#include "core/tarvik_app.h"
#include "core/window_messages.h"
#include "dvr/device_list_node.h"
#include "dvr/device_tree.h"
#include "platform/system/paths.h"
#include "platform/ui/common_dialogs.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/menu.h"
#include "platform/ui/message_box.h"
#include "platform/ui/win_app.h"
#include "ui/device_tree_images.h"
#include "ui/dialogs/dialog_texts.h"
#include "ui/dialogs/dlg_node.h"

int g_treeAreaIdCounter = 0;
int g_treeDvrIdCounter = 0;

namespace {

const char kConfigFilter[] = "Config Files (*.cfg)|*.cfg|All Files (*.*)|*.*||";
const char kMaskedPassword[] = "********";

const DialogText kTexts[] = {
    {1295, "DLGTREE_STATIC_NODE", "Node info:"},    {1300, "DLGTREE_STATIC_ID", "ID:"},
    {1155, "DLGTREE_STATIC_NAME", "Name:"},         {1185, "DLGTREE_STATIC_ADDRESS", "Address:"},
    {1288, "DLGTREE_STATIC_PORT", "Port:"},         {1030, "DLGTREE_STATIC_USER", "User:"},
    {1031, "DLGTREE_STATIC_PASSWORD", "Password:"}, {IDOK, "DLGTREE_BUTTON_OK", "Set"},
    {IDCANCEL, "DLGTREE_BUTTON_CANCEL", "Exit"},
};

struct MenuText {
    UINT id;
    const char* key;
    const char* english;
};
const MenuText kMenuTexts[] = {
    {ID_TREE_LOAD_CONFIG, "DLGTREE_MENU_LOAD_CONFIG", "Load Config..."},
    {ID_TREE_SAVE_CONFIG, "DLGTREE_MENU_SAVE_CONFIG", "Save Config"},
    {ID_TREE_SAVE_AS, "DLGTREE_MENU_SAVEAS", "Save As..."},
    {ID_TREE_ADD_AREA, "DLGTREE_MENU_ADD_AREA", "Add Area..."},
    {ID_TREE_ADD_DVR, "DLGTREE_MENU_ADD_DVR", "Add DVR..."},
    {ID_TREE_MODIFY, "DLGTREE_MENU_MODIFY", "Modify"},
    {ID_TREE_DELETE, "DLGTREE_MENU_DELETE", "Delete"},
};
constexpr int kMenuAddPosition = 4;
constexpr int kMenuModifyPosition = 5;
constexpr int kMenuDeletePosition = 6;

}  // namespace

CDlgTree::CDlgTree(CWnd* pParent) : CDialog(IDD_DLG_TREE, pParent), m_pParent(pParent) {}

void CDlgTree::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_TREE_TREE, m_tree);
}

BOOL CDlgTree::OnInitDialog() {
    CDialog::OnInitDialog();
    // The first five pictures of the device tree: area, DVR, DVR online, channel, channel open.
    if (!CreateDeviceTreeImages(&m_images) && m_images.GetImageCount() == 0)
        return FALSE;
    ApplyTexts();
    m_tree.SetImageList(&m_images, TVSIL_NORMAL);
    LoadTree(nullptr);
    return TRUE;
}

void CDlgTree::ApplyTexts() {
    ApplyDialogTexts(this, kTexts);
    // The note's 0x08 bytes stand for line breaks.
    QString note = LanguageText("DLGTREE_STATIC_NOTE", "Note:\b  Right click to modify tree.");
    note.replace(QChar(0x08), QChar(u'\n'));
    SetItemText(this, 1181, note);
}

QString CDlgTree::TreeFilePath() const {
    return ToNativePath(theApp.m_strDataDir + QStringLiteral("tree.dat"));
}

DeviceTreeNode* CDlgTree::NodeOf(HTREEITEM item) const {
    return item != nullptr ? reinterpret_cast<DeviceTreeNode*>(m_tree.GetItemData(item)) : nullptr;
}

void CDlgTree::LoadTree(const QString* path) {
    std::vector<DeviceTreeNode> records;
    if (ReadDeviceTreeFile(path != nullptr ? *path : TreeFilePath(), &records) != 0)
        return;
    for (const DeviceTreeNode& record : records) {
        auto* node = new (std::nothrow) DeviceTreeNode(record);
        if (node == nullptr)
            return;
        if (node->type == NODE_DVR)
            DecodeTreeCredentials(node);
        // An area that is not (yet) in the tree puts the record at the root.
        HTREEITEM parent = FindItem(NODE_AREA, node->parentId, nullptr);
        if (parent == nullptr)
            parent = TVI_ROOT;
        HTREEITEM item = m_tree.InsertItem(NodeText(node->name), node->type, node->type, parent, TVI_LAST);
        if (item == nullptr) {
            delete node;
            continue;
        }
        m_tree.SetItemData(item, reinterpret_cast<uintptr_t>(node));
    }
}

HTREEITEM CDlgTree::FindItem(int type, int id, HTREEITEM start) {
    if (id == 0)
        return TVI_ROOT;
    for (HTREEITEM item = start != nullptr ? start : m_tree.GetRootItem(); item != nullptr;
         item = m_tree.GetNextSiblingItem(item)) {
        const DeviceTreeNode* node = NodeOf(item);
        if (node != nullptr && node->type == type && node->id == id)
            return item;
        if (HTREEITEM child = m_tree.GetChildItem(item)) {
            if (HTREEITEM found = FindItem(type, id, child))
                return found;
        }
    }
    return nullptr;
}

void CDlgTree::CollectSubtree(HTREEITEM item, int parentId, int* areaIds, int* dvrIds,
                              std::vector<DeviceTreeNode>* records) {
    for (; item != nullptr; item = m_tree.GetNextSiblingItem(item)) {
        const DeviceTreeNode* node = NodeOf(item);
        if (node == nullptr)
            continue;
        DeviceTreeNode copy = *node;
        copy.parentId = parentId;
        if (node->type == NODE_AREA) {
            copy.id = ++*areaIds;
            records->push_back(copy);
            if (HTREEITEM child = m_tree.GetChildItem(item))
                CollectSubtree(child, copy.id, areaIds, dvrIds, records);
        } else if (node->type == NODE_DVR) {
            copy.id = ++*dvrIds;
            EncodeTreeCredentials(&copy);
            records->push_back(copy);
        }
    }
}

std::vector<DeviceTreeNode> CDlgTree::CollectTreeRecords(int* areaIds, int* dvrIds) {
    std::vector<DeviceTreeNode> records;
    CollectSubtree(m_tree.GetRootItem(), 0, areaIds, dvrIds, &records);
    return records;
}

int CDlgTree::WriteTree(const QString& path) {
    int areaIds = g_treeAreaIdCounter;
    int dvrIds = g_treeDvrIdCounter;
    if (WriteDeviceTreeFile(path, CollectTreeRecords(&areaIds, &dvrIds)) != 0)
        return -1;
    g_treeAreaIdCounter = areaIds;
    g_treeDvrIdCounter = dvrIds;
    return 0;
}

void CDlgTree::OnSaveConfig() {
    if (WriteTree(TreeFilePath()) != 0)
        return;
    m_bModified = 0;
    m_bSaved = 1;
}

void CDlgTree::OnSaveAs() {
    CFileDialog dialog(FALSE, QStringLiteral("*.cfg"), QString(), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       QString::fromLatin1(kConfigFilter), this);
    if (dialog.DoModal() != IDOK)
        return;
    static_cast<void>(WriteTree(dialog.GetPathName()));
}

void CDlgTree::OnLoadConfig() {
    CFileDialog dialog(TRUE, QStringLiteral("*.cfg"), QString(), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       QString::fromLatin1(kConfigFilter), this);
    if (dialog.DoModal() != IDOK)
        return;
    ClearTree();
    const QString path = dialog.GetPathName();
    LoadTree(&path);
    m_bModified = 1;
}

void CDlgTree::ShowNodeInfo(const DeviceTreeNode* node) {
    const bool dvr = node != nullptr && node->type == NODE_DVR;
    SetItemText(this, 1298, node != nullptr ? QString::number(node->id) : QString());
    SetItemText(this, 1047, node != nullptr ? NodeText(node->name) : QString());
    SetItemText(this, 1049, node != nullptr ? NodeText(node->host) : QString());
    SetItemText(this, 1048, dvr ? QString::number(node->port) : QString());
    SetItemText(this, 1050, node != nullptr ? NodeText(node->user) : QString());
    SetItemText(this, 1051, dvr ? QString::fromLatin1(kMaskedPassword) : QString());
}

void CDlgTree::OnClickTree() {
    ShowNodeInfo(NodeOf(m_tree.GetSelectedItem()));
}

void CDlgTree::OnRClickTree() {
    CMenu menu;
    if (!menu.LoadMenu(IDM_TREE_MENU))
        return;
    CMenu* popup = menu.GetSubMenu(0);
    if (popup == nullptr)
        return;
    for (const MenuText& t : kMenuTexts) {
        CMenu* owner =
            t.id == ID_TREE_ADD_AREA || t.id == ID_TREE_ADD_DVR ? popup->GetSubMenu(kMenuAddPosition) : popup;
        if (owner != nullptr)
            owner->ModifyMenu(t.id, MF_BYCOMMAND | MF_STRING, t.id, LanguageText(t.key, t.english));
    }
    popup->ModifyMenu(kMenuAddPosition, MF_BYPOSITION | MF_POPUP, 0, LanguageText("DLGTREE_MENU_ADD", "Add"));
    HTREEITEM selected = m_tree.GetSelectedItem();
    if (selected != nullptr) {
        int image = 0;
        int selectedImage = 0;
        m_tree.GetItemImage(selected, image, selectedImage);
        if (image == TREE_ICON_DVR || image == TREE_ICON_DVR_ONLINE)
            popup->EnableMenuItem(kMenuAddPosition, MF_BYPOSITION | MF_GRAYED);
        else if (image == TREE_ICON_CHANNEL || image == TREE_ICON_CHANNEL_OPEN) {
            popup->EnableMenuItem(kMenuModifyPosition, MF_BYPOSITION | MF_GRAYED);
            popup->EnableMenuItem(kMenuDeletePosition, MF_BYPOSITION | MF_GRAYED);
        }
    } else {
        popup->EnableMenuItem(kMenuModifyPosition, MF_BYPOSITION | MF_GRAYED);
        popup->EnableMenuItem(kMenuDeletePosition, MF_BYPOSITION | MF_GRAYED);
    }
    QPoint cursor = QCursor::pos();
    popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, cursor.x(), cursor.y(), this);
}

void CDlgTree::AddNode(bool area) {
    HTREEITEM selected = m_tree.GetSelectedItem();
    DeviceTreeNode* parent = nullptr;
    if (selected != nullptr) {
        parent = NodeOf(selected);
        if (parent == nullptr || parent->type != NODE_AREA)
            return;
    }
    auto* node = new (std::nothrow) DeviceTreeNode{};
    if (node == nullptr)
        return;
    intptr_t result;
    if (area) {
        CDlgNodeArea dialog(parent, node);
        result = RunNodeDialog(dialog);
    } else {
        CDlgNodeDVR dialog(parent, node);
        result = RunNodeDialog(dialog);
    }
    if (result != IDOK) {
        delete node;
        return;
    }
    HTREEITEM under = node->parentId != 0 && selected != nullptr ? selected : TVI_ROOT;
    int image = area ? TREE_ICON_AREA : TREE_ICON_DVR;
    HTREEITEM item = m_tree.InsertItem(NodeText(node->name), image, image, under, TVI_LAST);
    if (item == nullptr) {
        delete node;
        return;
    }
    m_tree.SetItemData(item, reinterpret_cast<uintptr_t>(node));
    if (under != TVI_ROOT)
        m_tree.Expand(under, TVE_EXPAND);
    m_bModified = 1;
}

void CDlgTree::OnAddArea() {
    AddNode(true);
}

void CDlgTree::OnAddDvr() {
    AddNode(false);
}

void CDlgTree::OnModify() {
    HTREEITEM selected = m_tree.GetSelectedItem();
    DeviceTreeNode* node = NodeOf(selected);
    if (node == nullptr)
        return;
    intptr_t result;
    if (node->type == NODE_DVR) {
        CDlgNodeDVR dialog(node, nullptr);
        result = RunNodeDialog(dialog);
    } else {
        CDlgNodeArea dialog(node, nullptr);
        result = RunNodeDialog(dialog);
    }
    if (result != IDOK)
        return;
    m_tree.SetItemText(selected, NodeText(node->name));
    ShowNodeInfo(node);
    m_bModified = 1;
}

void CDlgTree::FreeSubtree(HTREEITEM item) {
    delete NodeOf(item);
    m_tree.SetItemData(item, 0);
    for (HTREEITEM child = m_tree.GetChildItem(item); child != nullptr;
         child = m_tree.GetNextSiblingItem(child))
        FreeSubtree(child);
}

void CDlgTree::OnDelete() {
    HTREEITEM selected = m_tree.GetSelectedItem();
    if (NodeOf(selected) == nullptr)
        return;
    FreeSubtree(selected);
    m_tree.DeleteItem(selected);
    ShowNodeInfo(nullptr);
    m_bModified = 1;
}

void CDlgTree::ClearTree() {
    for (HTREEITEM item = m_tree.GetRootItem(); item != nullptr; item = m_tree.GetNextSiblingItem(item))
        FreeSubtree(item);
    m_tree.DeleteAllItems();
}

void CDlgTree::OnOK() {
    OnSaveConfig();
}

void CDlgTree::OnCancel() {
    if (m_bModified && AskSaveChanges(this))
        OnSaveConfig();
    if (m_pParent != nullptr)
        m_pParent->PostMessage(WM_STATUS_PAGE_EXIT, 0, 0);
    // Once a save has been made, every Exit asks the main window to reload, so a reload is never lost.
    if (m_bSaved) {
        if (CWnd* main = AfxGetMainWnd())
            main->PostMessage(WM_DEVICE_TREE_CHANGED, 0, 0);
    }
}

BOOL CDlgTree::OnCommand(WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
        case ID_TREE_LOAD_CONFIG:
            OnLoadConfig();
            return TRUE;
        case ID_TREE_SAVE_CONFIG:
            OnSaveConfig();
            return TRUE;
        case ID_TREE_SAVE_AS:
            OnSaveAs();
            return TRUE;
        case ID_TREE_ADD_AREA:
            OnAddArea();
            return TRUE;
        case ID_TREE_ADD_DVR:
            OnAddDvr();
            return TRUE;
        case ID_TREE_MODIFY:
            OnModify();
            return TRUE;
        case ID_TREE_DELETE:
            OnDelete();
            return TRUE;
        default:
            return CDialog::OnCommand(wParam, lParam);
    }
}

BOOL CDlgTree::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (hdr != nullptr && hdr->idFrom == IDC_TREE_TREE) {
        if (hdr->code == NM_CLICK)
            OnClickTree();
        else if (hdr->code == NM_RCLICK)
            OnRClickTree();
        if (hdr->code == NM_CLICK || hdr->code == NM_RCLICK || hdr->code == NM_DBLCLK) {
            *pResult = 0;
            return TRUE;
        }
    }
    return CDialog::OnNotify(wParam, lParam, pResult);
}

BOOL CDlgTree::DestroyWindow() {
    if (m_tree.GetSafeHwnd() != nullptr)
        ClearTree();
    return CDialog::DestroyWindow();
}
