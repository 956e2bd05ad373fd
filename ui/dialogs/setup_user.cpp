#include "ui/dialogs/setup_user.h"

#include <mutex>
#include <new>

#include "core/language_format.h"
#include "core/window_messages.h"
#include "dvr/device_list_node.h"
#include "dvr/dvr_session.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/message_box.h"
#include "ui/dialogs/dialog_texts.h"
#include "ui/dialogs/dlg_password2.h"
#include "ui/dialogs/field_refusal.h"
#include "ui/dialogs/setup_page_table.h"

namespace {

constexpr DWORD kUserListExStyle = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT;
constexpr DWORD kChannelListExStyle = LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;
constexpr int kChannelColumnWidth = 134;

const DialogText kTexts[] = {
    {1153, "DLGSETUPUSER_STATIC_USER_LIST", "User list"},
    {1154, "DLGSETUPUSER_STATIC_USER_INFO", "User information"},
    {1155, "DLGSETUPUSER_STATIC_NAME", "Name:"},
    {1031, "DLGSETUPUSER_STATIC_PASSWORD", "Password:"},
    {1156, "DLGSETUPUSER_STATIC_DESC", "Description:"},
    {1157, "DLGSETUPUSER_STATIC_PRIVILEGES", "Privileges:"},
    {IDC_USER_VIEW, "DLGSETUPUSER_CHECK_VIEW", "Live view"},
    {IDC_USER_PTZ, "DLGSETUPUSER_CHECK_PTZ", "Camera control"},
    {IDC_USER_RECORD, "DLGSETUPUSER_CHECK_RECORD", "Record & Playback"},
    {IDC_USER_ADMIN, "DLGSETUPUSER_CHECK_ADMIN", "Administrate"},
    {IDC_USER_REMOTE, "DLGSETUPUSER_CHECK_REMOTE", "Remote access"},
    {IDC_USER_EXIT, "DLGSETUPUSER_CHECK_EXIT", "Minimize, Exit..."},
    {IDC_USER_ADD, "DLGSETUPUSER_BUTTON_ADD", "Add User"},
    {IDC_USER_EDIT, "DLGSETUPUSER_BUTTON_EDIT", "Edit User"},
    {IDC_USER_DELETE, "DLGSETUPUSER_BUTTON_DEL", "Delete User"},
    {1058, "DLGSETUPUSER_BUTTON_CHECK", "Check All"},
    {1059, "DLGSETUPUSER_BUTTON_CHECK", "Check All"},
    {1060, "DLGSETUPUSER_BUTTON_CHECK", "Check All"},
    {IDOK, "DLGSETUPUSER_BUTTON_OK", "Set"},
    {IDCANCEL, "DLGSETUPUSER_BUTTON_CANCEL", "Exit"},
    {IDC_SETUP_SAVED_NOTICE, "SYSTEM_MSG_CONFIG_SAVED", "Saved."},
};

const ListColumn kUserColumns[] = {
    {"DLGSETUPUSER_LIST_USER_0", "User name", LVCFMT_CENTER, 100},
    {"DLGSETUPUSER_LIST_USER_1", "Description", LVCFMT_CENTER, 140},
};

// The rights check boxes and their bits.
struct RightBox {
    UINT id;
    uint32_t right;
};
constexpr RightBox kRights[] = {
    {IDC_USER_VIEW, USER_RIGHT_VIEW},     {IDC_USER_PTZ, USER_RIGHT_PTZ},
    {IDC_USER_RECORD, USER_RIGHT_RECORD}, {IDC_USER_ADMIN, USER_RIGHT_ADMIN},
    {IDC_USER_REMOTE, USER_RIGHT_REMOTE}, {IDC_USER_EXIT, USER_RIGHT_EXIT},
};

// The channel lists with the box that shows each and its heading.
struct ChannelListInfo {
    CCheckListCtrl CDlgSetupUser::*list;
    UINT box;
    UINT checkAll;
    ListColumn column;
    uint8_t (DVRUserAccount::*mask)[32];
};
const ChannelListInfo kChannelLists[] = {
    {&CDlgSetupUser::m_listView,
     IDC_USER_VIEW,
     1058,
     {"DLGSETUPUSER_LIST_VCHANNELS", "View channels", LVCFMT_LEFT, kChannelColumnWidth},
     &DVRUserAccount::viewChannels},
    {&CDlgSetupUser::m_listPtz,
     IDC_USER_PTZ,
     1059,
     {"DLGSETUPUSER_LIST_PCHANNELS", "Control channels", LVCFMT_LEFT, kChannelColumnWidth},
     &DVRUserAccount::ptzChannels},
    {&CDlgSetupUser::m_listRecord,
     IDC_USER_RECORD,
     1060,
     {"DLGSETUPUSER_LIST_RCHANNELS", "Record channels", LVCFMT_LEFT, kChannelColumnWidth},
     &DVRUserAccount::recordChannels},
};

std::vector<bool> CheckedRows(const CCheckListCtrl& list) {
    std::vector<bool> rows(static_cast<size_t>(list.GetItemCount()));
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = list.GetCheck(static_cast<int>(i)) > 0;
    return rows;
}

int SlotCount(const std::shared_ptr<std::vector<DVRUserAccount>>& users) {
    return users != nullptr ? static_cast<int>(users->size()) : 0;
}

}  // namespace

CSetupPage* NewSetupUserPage(CWnd* owner) {
    return new (std::nothrow) CDlgSetupUser(owner);
}

CDlgSetupUser::CDlgSetupUser(CWnd* pOwner)
    : CSetupPage(IDD_SETUP_USER, pOwner, SETUP_PAGE_USER, SetupPageKind::Plain) {}

void CDlgSetupUser::DoDataExchange(CDataExchange* pDX) {
    CSetupPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_USER_LIST, m_listUser);
    DDX_Control(pDX, IDC_USER_VIEW_CHANNELS, m_listView);
    DDX_Control(pDX, IDC_USER_PTZ_CHANNELS, m_listPtz);
    DDX_Control(pDX, IDC_USER_RECORD_CHANNELS, m_listRecord);
}

void CDlgSetupUser::ApplyLanguage() {
    ApplyDialogTexts(this, kTexts);
    SetListColumns(m_listUser, kUserColumns);
    m_listUser.SetExtendedStyle(kUserListExStyle);
    FillUserList();
    for (const ChannelListInfo& info : kChannelLists) {
        CCheckListCtrl& list = this->*info.list;
        SetListColumns(list, &info.column, 1);
        list.SetExtendedStyle(kChannelListExStyle);
        // Without a heading row the list simply has no check-all box.
        (void)list.InitHeaderCheck();
    }
    FillChannelLists();
    // The rebuilt lists carry no check marks: Set would clear the account's channels. It waits for the
    // account to be loaded again; the rest of the panel stays as it is.
    ClearLoaded();
}

void CDlgSetupUser::ResetControls() {
    ClearUserInfo();
}

void CDlgSetupUser::OnShown() {
    // The list is asked for again; what the panel showed belongs to the list before it.
    ClearUserInfo();
}

void CDlgSetupUser::FillChannelLists() {
    DVRDevice* device = CurrentDevice();
    const int count = device != nullptr ? AddressableChannels(device) : 0;
    for (const ChannelListInfo& info : kChannelLists) {
        CCheckListCtrl& list = this->*info.list;
        list.DeleteAllItems();
        for (int i = 0; i < count; ++i) {
            int row = list.InsertItem(i, NodeText(device->channels[i].name));
            if (row >= 0)
                list.SetItemData(row, static_cast<uintptr_t>(i));
        }
    }
}

void CDlgSetupUser::FillUserList() {
    DVRDevice* device = CurrentDevice();
    if (device == nullptr)
        return;
    m_listUser.DeleteAllItems();
    auto users = device->lists.users.Current();
    for (int slot = 0; slot < SlotCount(users); ++slot) {
        const DVRUserAccount& account = (*users)[static_cast<size_t>(slot)];
        if (account.name[0] == 0)
            continue;
        int row = m_listUser.InsertItem(m_listUser.GetItemCount(), NodeText(account.name));
        if (row < 0)
            continue;
        m_listUser.SetItemText(row, 1, NodeText(account.description));
        m_listUser.SetItemData(row, static_cast<uintptr_t>(slot));
    }
}

void CDlgSetupUser::ClearUserInfo() {
    ClearLoaded();
    m_nLoadedSlot = -1;
    for (UINT id : {IDC_USER_EDIT, IDC_USER_DELETE, static_cast<UINT>(IDOK)}) {
        if (CWnd* button = GetDlgItem(id))
            button->EnableWindow(FALSE);
    }
    for (UINT id : {IDC_USER_NAME, IDC_USER_PASSWORD, IDC_USER_DESCRIPTION})
        SetItemText(this, id, QString());
    for (const RightBox& box : kRights)
        CheckItem(this, box.id, 0);
    for (const ChannelListInfo& info : kChannelLists)
        (this->*info.list).ShowWindow(SW_HIDE);
}

void CDlgSetupUser::ShowChannelLists() {
    for (const ChannelListInfo& info : kChannelLists)
        (this->*info.list).ShowWindow(ItemChecked(this, info.box) ? SW_SHOW : SW_HIDE);
}

bool CDlgSetupUser::AcceptsReply(int replyType, int index) const {
    if (replyType == SETUP_REPLY_USER_LIST)
        return true;
    // A user reply fills the panel only for the slot asked for last.
    return replyType == SETUP_REPLY_USER && m_nRequestedSlot >= 0 && index == m_nRequestedSlot;
}

bool CDlgSetupUser::CompletesLoad(int replyType) const {
    return replyType == SETUP_REPLY_USER;
}

void CDlgSetupUser::FillFromDevice(int replyType, int index) {
    DVRDevice* device = CurrentDevice();
    if (device == nullptr)
        return;
    auto users = device->lists.users.Current();
    if (index < 0 || index >= SlotCount(users))
        return;
    if (replyType == SETUP_REPLY_USER_LIST) {
        FillUserList();
        return;
    }
    if (replyType != SETUP_REPLY_USER)
        return;
    const DVRUserAccount& account = (*users)[static_cast<size_t>(index)];
    for (UINT id : {IDC_USER_EDIT, IDC_USER_DELETE}) {
        if (CWnd* button = GetDlgItem(id))
            button->EnableWindow(TRUE);
    }
    SetItemText(this, IDC_USER_NAME, NodeText(account.name));
    SetItemText(this, IDC_USER_PASSWORD, NodeText(account.password));
    SetItemText(this, IDC_USER_DESCRIPTION, NodeText(account.description));
    for (const RightBox& box : kRights)
        CheckItem(this, box.id, (account.rights & box.right) != 0 ? 1 : 0);
    ShowChannelLists();
    const int count = AddressableChannels(device);
    for (const ChannelListInfo& info : kChannelLists) {
        CCheckListCtrl& list = this->*info.list;
        for (int i = 0; i < count && i < list.GetItemCount(); ++i)
            list.SetCheck(i, MaskBit(account.*info.mask, i) ? TRUE : FALSE);
    }
    m_nLoadedSlot = index;
}

UserPanel CDlgSetupUser::ReadPanel() const {
    UserPanel panel;
    panel.name = ItemText(this, IDC_USER_NAME);
    panel.password = ItemText(this, IDC_USER_PASSWORD);
    panel.description = ItemText(this, IDC_USER_DESCRIPTION);
    for (const RightBox& box : kRights) {
        if (ItemChecked(this, box.id))
            panel.rights |= box.right;
    }
    panel.viewRows = CheckedRows(m_listView);
    panel.ptzRows = CheckedRows(m_listPtz);
    panel.recordRows = CheckedRows(m_listRecord);
    return panel;
}

int CDlgSetupUser::CollectUser(int slot) {
    DVRDevice* device = CurrentDevice();
    if (device == nullptr)
        return -1;
    auto users = device->lists.users.Current();
    if (slot < 0 || slot >= SlotCount(users))
        return -1;
    UserPanel panel = ReadPanel();
    if (panel.name.isEmpty()) {
        (void)MessageBox(
            this, LanguageText("DLGSETUPUSER_MSG_USER_NULL", "User name is empty, please input again!"),
            QString(), MB_OK);
        return COLLECT_REFUSED;
    }
    // The account must reach the DVR as typed: nothing is written while a text does not fit its field.
    static constexpr TextFieldRule kFields[] = {
        {IDC_USER_NAME, TextFieldKind::Credential},
        {IDC_USER_PASSWORD, TextFieldKind::Credential},
        {IDC_USER_DESCRIPTION, TextFieldKind::Text},
    };
    if (!CheckFieldTexts(this, kFields))
        return COLLECT_REFUSED;
    return CollectUserAccount(panel, AddressableChannels(device), (*users)[static_cast<size_t>(slot)]);
}

int CDlgSetupUser::Collect(int channel) {
    (void)channel;
    return CollectUser(m_nLoadedSlot);
}

int CDlgSetupUser::SelectedSlot() const {
    int row = m_listUser.GetNextItem(-1, LVNI_SELECTED);
    if (row < 0)
        return -1;
    return static_cast<int>(static_cast<intptr_t>(m_listUser.GetItemData(row)));
}

void CDlgSetupUser::PostUserSave(int slot, int part) {
    (void)PostToOwner(WM_SETUP_SAVE, SETUP_PAGE_USER, static_cast<LPARAM>(slot | part << 16));
}

void CDlgSetupUser::PostListLoad() {
    (void)PostToOwner(WM_SETUP_LOAD, SETUP_PAGE_USER, -1);
}

void CDlgSetupUser::OnOK() {
    const int slot = SelectedSlot();
    // Set writes only the account the panel was filled from.
    if (slot < 0 || slot != m_nLoadedSlot || !IsLoaded())
        return;
    if (!CollectedForSave(CollectUser(slot)))
        return;
    PostUserSave(slot, USER_PART_ACCOUNT);
    PostUserSave(slot, USER_PART_CHANNELS);
    ShowSavedNotice();
}

void CDlgSetupUser::OnUserClick() {
    const int slot = SelectedSlot();
    if (slot == -1) {
        ClearUserInfo();
        return;
    }
    // Another account's values must not stay editable while this one's are on their way.
    if (slot != m_nLoadedSlot)
        ClearUserInfo();
    if (PostToOwner(WM_SETUP_LOAD, SETUP_PAGE_USER, slot) == 0)
        m_nRequestedSlot = slot;
}

intptr_t CDlgSetupUser::RunPasswordDialog(CDlgPassword2& dlg) {
    return dlg.DoModal();
}

void CDlgSetupUser::AddUser() {
    DVRDevice* device = CurrentDevice();
    if (device == nullptr)
        return;
    CDlgPassword2 dlg{QString(), QString()};
    if (RunPasswordDialog(dlg) != IDOK)
        return;
    ClearUserInfo();
    {
        std::lock_guard<std::mutex> guard(device->lock);
        auto users = device->lists.users.Current();
        if (dlg.m_nSlot < 0 || dlg.m_nSlot >= SlotCount(users))
            return;
        DVRUserAccount& account = (*users)[static_cast<size_t>(dlg.m_nSlot)];
        SetNodeText(account.name, dlg.m_strUser);
        SetNodeText(account.password, dlg.m_strPassword);
    }
    PostUserSave(dlg.m_nSlot, USER_PART_ACCOUNT);
    PostListLoad();
}

void CDlgSetupUser::EditUser() {
    DVRDevice* device = CurrentDevice();
    if (device == nullptr)
        return;
    const int slot = SelectedSlot();
    QString name;
    QString password;
    {
        std::lock_guard<std::mutex> guard(device->lock);
        auto users = device->lists.users.Current();
        if (slot < 0 || slot >= SlotCount(users))
            return;
        // The dialog shows the clicked account's own name and password, whatever the panel holds.
        const DVRUserAccount& account = (*users)[static_cast<size_t>(slot)];
        name = NodeText(account.name);
        password = NodeText(account.password);
    }
    if (name.isEmpty())
        return;
    CDlgPassword2 dlg(name, password);
    if (RunPasswordDialog(dlg) != IDOK)
        return;
    {
        std::lock_guard<std::mutex> guard(device->lock);
        auto users = device->lists.users.Current();
        if (slot >= SlotCount(users))
            return;
        SetNodeText((*users)[static_cast<size_t>(slot)].password, dlg.m_strPassword);
    }
    PostUserSave(slot, USER_PART_ACCOUNT);
    if (slot == m_nLoadedSlot)
        SetItemText(this, IDC_USER_PASSWORD, dlg.m_strPassword);
}

void CDlgSetupUser::DeleteUser() {
    DVRDevice* device = CurrentDevice();
    if (device == nullptr)
        return;
    const int slot = SelectedSlot();
    QString name;
    {
        std::lock_guard<std::mutex> guard(device->lock);
        auto users = device->lists.users.Current();
        // The first account cannot be deleted.
        if (slot <= 0 || slot >= SlotCount(users))
            return;
        name = NodeText((*users)[static_cast<size_t>(slot)].name);
    }
    const QString format = GetLanguageFormat(QStringLiteral("DLGSETUPUSER_MSG_DEL_USER"),
                                             QStringLiteral("Are you sure to remove user:%s?"));
    if (MessageBox(this, FormatWithText(format, name), QString(), MB_OKCANCEL | MB_ICONQUESTION) == IDOK) {
        bool emptied = false;
        {
            std::lock_guard<std::mutex> guard(device->lock);
            auto users = device->lists.users.Current();
            if (slot < SlotCount(users)) {
                (*users)[static_cast<size_t>(slot)] = DVRUserAccount{};
                emptied = true;
            }
        }
        if (emptied) {
            PostUserSave(slot, USER_PART_ACCOUNT);
            PostListLoad();
        }
    }
    ClearUserInfo();
}

BOOL CDlgSetupUser::OnPageCommand(UINT id, UINT code) {
    if (code != BN_CLICKED)
        return FALSE;
    switch (id) {
        case IDC_USER_ADD:
            AddUser();
            return TRUE;
        case IDC_USER_EDIT:
            EditUser();
            return TRUE;
        case IDC_USER_DELETE:
            DeleteUser();
            return TRUE;
        case IDC_USER_VIEW:
        case IDC_USER_PTZ:
        case IDC_USER_RECORD:
            ShowChannelLists();
            return TRUE;
        default:
            break;
    }
    for (const ChannelListInfo& info : kChannelLists) {
        if (id != info.checkAll)
            continue;
        CCheckListCtrl& list = this->*info.list;
        for (int i = 0; i < list.GetItemCount(); ++i)
            list.SetCheck(i, TRUE);
        return TRUE;
    }
    return FALSE;
}

BOOL CDlgSetupUser::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header != nullptr && header->idFrom == IDC_USER_LIST) {
        if (header->code == NM_CLICK) {
            OnUserClick();
            *pResult = 0;
            return TRUE;
        }
        if (header->code == NM_DBLCLK) {
            EditUser();
            *pResult = 0;
            return TRUE;
        }
    }
    return CSetupPage::OnNotify(wParam, lParam, pResult);
}
