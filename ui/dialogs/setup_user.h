#pragma once

// The user page of the setup dialog (template 142): the selected DVR's accounts in a list, and the chosen
// account's name, password, description, rights and the channels three of the rights apply to. Add User
// and Edit User run the password dialog; Delete User empties an account (never the first). Each account is
// addressed by its slot in the DVR's list, which travels with the loads and saves.
//
// The panel remembers which slot it was filled from: a user reply for another slot (a click answered
// late) is ignored, and Set, Edit User and Delete User act only on the loaded slot.

#include <memory>
#include <vector>

#include "dvr/dvr_records.h"
#include "platform/ui/list_ctrl.h"
#include "ui/controls/check_list_ctrl.h"
#include "ui/dialogs/setup_page.h"
#include "ui/dialogs/user_accounts.h"

class CDlgPassword2;

constexpr UINT IDD_SETUP_USER = 142;
constexpr UINT IDC_USER_LIST = 1046;
constexpr UINT IDC_USER_ADD = 1015;
constexpr UINT IDC_USER_EDIT = 1016;
constexpr UINT IDC_USER_DELETE = 1017;
constexpr UINT IDC_USER_NAME = 1048;
constexpr UINT IDC_USER_PASSWORD = 1034;
constexpr UINT IDC_USER_DESCRIPTION = 1050;
constexpr UINT IDC_USER_VIEW = 1049;
constexpr UINT IDC_USER_PTZ = 1051;
constexpr UINT IDC_USER_RECORD = 1052;
constexpr UINT IDC_USER_ADMIN = 1053;
constexpr UINT IDC_USER_REMOTE = 1054;
constexpr UINT IDC_USER_EXIT = 1285;
constexpr UINT IDC_USER_VIEW_CHANNELS = 1055;
constexpr UINT IDC_USER_PTZ_CHANNELS = 1056;
constexpr UINT IDC_USER_RECORD_CHANNELS = 1057;

// Parts of an account in a user request: the account itself, or its channel masks.
constexpr int USER_PART_ACCOUNT = 0;
constexpr int USER_PART_CHANNELS = 1;

class CDlgSetupUser : public CSetupPage {
public:
    explicit CDlgSetupUser(CWnd* pOwner);

    CListCtrl m_listUser;
    CCheckListCtrl m_listView;
    CCheckListCtrl m_listPtz;
    CCheckListCtrl m_listRecord;

    // The slot the panel shows, -1 = none.
    int m_nLoadedSlot = -1;

    void FillUserList();
    void FillChannelLists();
    void ClearUserInfo();
    // The panel as Set reads it.
    UserPanel ReadPanel() const;
    // Writes the panel into slot's account when it differs: 0 written, -1 unchanged, empty name (after
    // saying so) or no such slot.
    [[nodiscard]] int CollectUser(int slot);
    void AddUser();
    void EditUser();
    void DeleteUser();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    void OnOK() override;
    void ApplyLanguage() override;
    void ResetControls() override;
    void FillFromDevice(int replyType, int index) override;
    [[nodiscard]] int Collect(int channel) override;
    bool AcceptsReply(int replyType, int index) const override;
    bool CompletesLoad(int replyType) const override;
    LPARAM LoadParam() const override { return -1; }
    void OnShown() override;
    BOOL OnPageCommand(UINT id, UINT code) override;
    // Runs the password dialog (tests answer it without a window).
    virtual intptr_t RunPasswordDialog(CDlgPassword2& dlg);

private:
    // The slot of the list's selected row, -1 without one.
    int SelectedSlot() const;
    void OnUserClick();
    void ShowChannelLists();
    void PostUserSave(int slot, int part);
    void PostListLoad();

    // The slot a user load was last asked for; only its reply fills the panel.
    int m_nRequestedSlot = -1;
};
