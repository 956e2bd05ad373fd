// Dialog 140, the System page of the setup dialog (517 x 345 units): the DVR's record settings on the
// left, its system settings on the right, the "Saved." notice (hidden) and Set and Exit at the bottom.

#include "platform/ui/dialog_template.h"
#include "platform/ui/ui_styles.h"

extern const DialogTemplate kSetupSystemPageTemplate;

namespace {
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kCheck = kChild | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kEdit = kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kList = kChild | WS_TABSTOP | CBS_DROPDOWNLIST;

const DialogItemTemplate kItems[] = {
    {1151, WC_BUTTON, kChild | BS_GROUPBOX, "Record parameters", 0, 2, 255, 321},
    {1109, WC_STATIC, kChild | SS_LEFT, "Record disk:", 10, 16, 235, 10},
    {1037, WC_LISTVIEW, kChild | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, "",
     10, 28, 235, 120},
    {1110, WC_STATIC, kChild | SS_LEFT, "Record's directory name:", 10, 156, 235, 10},
    {1039, WC_EDIT, kEdit, "", 10, 168, 235, 13},
    {1111, WC_STATIC, kChild | SS_LEFT, "Snapshot's path:", 10, 188, 235, 10},
    {1040, WC_EDIT, kEdit, "", 10, 200, 213, 13},
    {1041, WC_BUTTON, kButton, "...", 227, 200, 18, 13},
    {1038, WC_BUTTON, kCheck, "Delete the oldest records when disk is full.", 10, 222, 240, 10},
    {1152, WC_BUTTON, kChild | BS_GROUPBOX, "System parameters", 262, 2, 252, 321},
    {1112, WC_STATIC, kChild | SS_LEFT, "Video standard:", 272, 18, 104, 10},
    {1042, WC_COMBOBOX, kList, "", 380, 16, 124, 60},
    {1113, WC_STATIC, kChild | SS_LEFT, "Video mux mode:", 272, 36, 104, 10},
    {1043, WC_COMBOBOX, kList, "", 380, 34, 124, 60},
    {1114, WC_STATIC, kChild | SS_LEFT, "Language:", 272, 54, 104, 10},
    {1045, WC_COMBOBOX, kList, "", 380, 52, 84, 80},
    {1015, WC_BUTTON, kButton, "Add..", 468, 51, 36, 14},
    {1115, WC_STATIC, kChild | SS_LEFT, "Screen auto-scroll interval(Seconds):", 272, 74, 184, 10},
    {1044, WC_EDIT, kEdit, "", 460, 72, 44, 13},
    {1239, WC_BUTTON, kCheck, "Enable beep when alarm detected", 272, 94, 232, 10},
    {1240, WC_BUTTON, kCheck, "Autorun when system started", 272, 110, 232, 10},
    {1275, WC_BUTTON, kCheck, "Enable automatic update", 272, 126, 232, 10},
    {1307, WC_STATIC, WS_CHILD | SS_LEFT, "Saved.", 10, 333, 150, 10},
    {IDOK, WC_BUTTON, kButton, "Set", 408, 331, 50, 14},
    {IDCANCEL, WC_BUTTON, kButton, "Exit", 464, 331, 50, 14},
};
}  // namespace

const DialogTemplate kSetupSystemPageTemplate = MakeDialogTemplate(140, WS_CHILD, "", 0, 0, 517, 345, kItems);
