// Dialog 185, the tree editor page (517 x 345 units): the tree on the left, the selected record's fields
// on the right; and the two record dialogs, 292 (an area) and 294 (a DVR).

#include "platform/ui/dialog_template.h"
#include "platform/ui/ui_styles.h"

extern const DialogTemplate kTreePageTemplate;
extern const DialogTemplate kNodeAreaDialogTemplate;
extern const DialogTemplate kNodeDvrDialogTemplate;

namespace {
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kLabel = kChild | SS_LEFT;
constexpr DWORD kEdit = kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kCaption = WS_POPUP | WS_CAPTION | WS_SYSMENU;

const DialogItemTemplate kTreeItems[] = {
    {1005, WC_TREEVIEW,
     kChild | WS_BORDER | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
     "", 0, 0, 200, 317},
    {1295, WC_BUTTON, kChild | BS_GROUPBOX, "Node info:", 208, 0, 306, 130},
    {1300, WC_STATIC, kLabel, "ID:", 218, 16, 70, 10},
    {1298, WC_STATIC, kLabel, "", 292, 16, 212, 10},
    {1155, WC_STATIC, kLabel, "Name:", 218, 34, 70, 10},
    {1047, WC_STATIC, kLabel, "", 292, 34, 212, 10},
    {1185, WC_STATIC, kLabel, "Address:", 218, 52, 70, 10},
    {1049, WC_STATIC, kLabel, "", 292, 52, 212, 10},
    {1288, WC_STATIC, kLabel, "Port:", 218, 70, 70, 10},
    {1048, WC_STATIC, kLabel, "", 292, 70, 212, 10},
    {1030, WC_STATIC, kLabel, "User:", 218, 88, 70, 10},
    {1050, WC_STATIC, kLabel, "", 292, 88, 212, 10},
    {1031, WC_STATIC, kLabel, "Password:", 218, 106, 70, 10},
    {1051, WC_STATIC, kLabel, "", 292, 106, 212, 10},
    {1181, WC_STATIC, kLabel, "Note:", 208, 140, 306, 24},
    {IDOK, WC_BUTTON, kButton, "Set", 408, 331, 50, 14},
    {IDCANCEL, WC_BUTTON, kButton, "Exit", 464, 331, 50, 14},
};

const DialogItemTemplate kAreaItems[] = {
    {1284, WC_STATIC, kLabel, "Parent Area:", 7, 10, 60, 10},
    {1292, WC_EDIT, kEdit | WS_DISABLED, "", 70, 8, 111, 13},
    {1155, WC_STATIC, kLabel, "Name:", 7, 30, 60, 10},
    {1048, WC_EDIT, kEdit, "", 70, 28, 111, 13},
    {IDOK, WC_BUTTON, kButton | BS_DEFPUSHBUTTON, "OK", 75, 60, 50, 14},
    {IDCANCEL, WC_BUTTON, kButton, "Cancel", 131, 60, 50, 14},
};

const DialogItemTemplate kDvrItems[] = {
    {1108, WC_STATIC, kLabel, "Parent Area:", 7, 10, 60, 10},
    {1292, WC_EDIT, kEdit | WS_DISABLED, "", 70, 8, 110, 13},
    {1155, WC_STATIC, kLabel, "Name:", 7, 28, 60, 10},
    {1048, WC_EDIT, kEdit, "", 70, 26, 110, 13},
    {1185, WC_STATIC, kLabel, "Address:", 7, 46, 60, 10},
    {1088, WC_EDIT, kEdit, "", 70, 44, 110, 13},
    {1288, WC_STATIC, kLabel, "Port:", 7, 64, 60, 10},
    {1291, WC_EDIT, kEdit | ES_NUMBER, "", 70, 62, 110, 13},
    {1030, WC_STATIC, kLabel, "User:", 7, 82, 60, 10},
    {1033, WC_EDIT, kEdit, "", 70, 80, 110, 13},
    {1031, WC_STATIC, kLabel, "Password:", 7, 100, 60, 10},
    {1034, WC_EDIT, kEdit | ES_PASSWORD, "", 70, 98, 110, 13},
    {IDOK, WC_BUTTON, kButton | BS_DEFPUSHBUTTON, "OK", 74, 120, 50, 14},
    {IDCANCEL, WC_BUTTON, kButton, "Cancel", 130, 120, 50, 14},
};
}  // namespace

const DialogTemplate kTreePageTemplate = MakeDialogTemplate(185, WS_CHILD, "", 0, 0, 517, 345, kTreeItems);
const DialogTemplate kNodeAreaDialogTemplate =
    MakeDialogTemplate(292, kCaption, "Area information", 0, 0, 188, 84, kAreaItems);
const DialogTemplate kNodeDvrDialogTemplate =
    MakeDialogTemplate(294, kCaption, "DVR Info", 0, 0, 187, 140, kDvrItems);
