// Dialog 142, the user page of the setup dialog: the user list with Add, Edit and Delete on the left, the
// chosen account's name, password, description, rights and channel lists on the right. And dialog 147,
// the password dialog of Add and Edit (caption set when it opens).

#include "platform/ui/dialog_template.h"
#include "platform/ui/ui_styles.h"

extern const DialogTemplate kSetupUserPageTemplate;
extern const DialogTemplate kPassword2DialogTemplate;

namespace {
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kPage = WS_CHILD;
constexpr DWORD kButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kCheck = kChild | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kEdit = kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kLabel = kChild | SS_LEFT;
constexpr DWORD kList = kChild | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS;

const DialogItemTemplate kUserItems[] = {
    {1153, WC_BUTTON, kChild | BS_GROUPBOX, "User list", 0, 2, 200, 321},
    {1046, WC_LISTVIEW, kList, "", 10, 16, 180, 272},
    {1015, WC_BUTTON, kButton, "Add User", 10, 296, 56, 14},
    {1016, WC_BUTTON, kButton | WS_DISABLED, "Edit User", 72, 296, 56, 14},
    {1017, WC_BUTTON, kButton | WS_DISABLED, "Delete User", 134, 296, 56, 14},
    {1154, WC_BUTTON, kChild | BS_GROUPBOX, "User information", 206, 2, 308, 321},
    {1155, WC_STATIC, kLabel, "Name:", 216, 18, 76, 10},
    {1048, WC_EDIT, kEdit | WS_DISABLED, "", 294, 16, 210, 13},
    {1031, WC_STATIC, kLabel, "Password:", 216, 36, 76, 10},
    {1034, WC_EDIT, kEdit | WS_DISABLED | ES_PASSWORD, "", 294, 34, 210, 13},
    {1156, WC_STATIC, kLabel, "Description:", 216, 54, 76, 10},
    {1050, WC_EDIT, kEdit, "", 294, 52, 210, 13},
    {1157, WC_STATIC, kLabel, "Privileges:", 216, 74, 288, 10},
    {1049, WC_BUTTON, kCheck, "Live view", 216, 88, 94, 10},
    {1051, WC_BUTTON, kCheck, "Camera control", 313, 88, 94, 10},
    {1052, WC_BUTTON, kCheck, "Record & Playback", 410, 88, 98, 10},
    {1053, WC_BUTTON, kCheck, "Administrate", 216, 102, 94, 10},
    {1054, WC_BUTTON, kCheck, "Remote access", 313, 102, 94, 10},
    {1285, WC_BUTTON, kCheck, "Minimize, Exit...", 410, 102, 98, 10},
    {1055, WC_LISTVIEW, kList, "", 216, 118, 94, 196},
    {1056, WC_LISTVIEW, kList, "", 313, 118, 94, 196},
    {1057, WC_LISTVIEW, kList, "", 410, 118, 94, 196},
    {1058, WC_BUTTON, kPage | WS_TABSTOP | BS_PUSHBUTTON, "Check All", 216, 300, 60, 14},
    {1059, WC_BUTTON, kPage | WS_TABSTOP | BS_PUSHBUTTON, "Check All", 313, 300, 60, 14},
    {1060, WC_BUTTON, kPage | WS_TABSTOP | BS_PUSHBUTTON, "Check All", 410, 300, 60, 14},
    {1307, WC_STATIC, kPage | SS_RIGHT, "Saved.", 250, 333, 150, 10},
    {IDOK, WC_BUTTON, kButton | WS_DISABLED | BS_DEFPUSHBUTTON, "Set", 410, 331, 50, 14},
    {IDCANCEL, WC_BUTTON, kButton, "Exit", 464, 331, 50, 14},
};

const DialogItemTemplate kPasswordItems[] = {
    {1030, WC_STATIC, kLabel, "User name:", 7, 9, 74, 10},
    {1033, WC_EDIT, kEdit, "", 84, 7, 96, 13},
    {1031, WC_STATIC, kLabel, "User password:", 7, 27, 74, 10},
    {1034, WC_EDIT, kEdit | ES_PASSWORD, "", 84, 25, 96, 13},
    {1158, WC_STATIC, kLabel, "Confirm password:", 7, 45, 74, 10},
    {1035, WC_EDIT, kEdit | ES_PASSWORD, "", 84, 43, 96, 13},
    {IDOK, WC_BUTTON, kButton | BS_DEFPUSHBUTTON, "OK", 76, 67, 50, 14},
    {IDCANCEL, WC_BUTTON, kButton, "Cancel", 130, 67, 50, 14},
};
}  // namespace

const DialogTemplate kSetupUserPageTemplate = MakeDialogTemplate(142, kPage, "", 0, 0, 517, 345, kUserItems);
const DialogTemplate kPassword2DialogTemplate =
    MakeDialogTemplate(147, WS_POPUP | WS_CAPTION | WS_SYSMENU, "", 0, 0, 187, 88, kPasswordItems);
