#pragma once

// The password dialog of the user page (template 147). Given an empty name it adds a user: the name is
// typed, checked against the selected DVR's accounts, and the first empty slot is chosen for it. Given a
// name it changes that user's password (the name cannot be edited). The password is typed twice. OK
// closes only when the checks pass; each failed check says why and leaves the dialog open.

#include <QString>

#include "platform/ui/dialog.h"
#include "platform/ui/edit.h"

constexpr UINT IDD_PASSWORD2 = 147;
constexpr UINT IDC_PASSWORD2_USER = 1033;
constexpr UINT IDC_PASSWORD2_PASSWORD = 1034;
constexpr UINT IDC_PASSWORD2_CONFIRM = 1035;

class CDlgPassword2 : public CDialog {
public:
    CDlgPassword2(const QString& userName, const QString& password);

    CEdit m_editUser;
    CEdit m_editPassword2;
    CEdit m_editPassword;
    // Add mode: the slot chosen for the new user; -1 until OK.
    int m_nSlot = -1;
    QString m_strUser;
    QString m_strPassword;
    const bool m_bAddMode;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    void ApplyLanguage();
    void InitControls();
    // Add mode: checks the typed name and chooses the slot; false (after saying why) when it cannot.
    bool ChooseSlot();
};
