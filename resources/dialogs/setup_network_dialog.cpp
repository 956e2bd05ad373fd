// Dialog 146, the Network page of the setup dialog (517 x 345 units): the DVR's host name, ports and
// mail-to address on the left, its WAN access on the right, the "Saved." notice (hidden), Set and Exit.

#include "platform/ui/dialog_template.h"
#include "platform/ui/ui_styles.h"

extern const DialogTemplate kSetupNetworkPageTemplate;

namespace {
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kEdit = kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kLabel = kChild | SS_LEFT;

const DialogItemTemplate kItems[] = {
    {1203, WC_BUTTON, kChild | BS_GROUPBOX, "Network parameters", 0, 2, 514, 321},
    {1205, WC_STATIC, kLabel, "Host name:", 7, 17, 93, 10},
    {1208, WC_EDIT, kEdit, "", 102, 15, 100, 14},
    {1206, WC_STATIC, kLabel, "Http port:", 7, 35, 93, 10},
    {1209, WC_EDIT, kEdit, "", 102, 33, 100, 14},
    {1207, WC_STATIC, kLabel, "Listen port:", 7, 53, 93, 10},
    {1210, WC_EDIT, kEdit, "", 102, 51, 100, 14},
    {1211, WC_STATIC, kLabel, "Mail to:", 7, 71, 93, 10},
    {1212, WC_EDIT, kEdit, "", 102, 69, 100, 14},
    {1213, WC_BUTTON, kChild | WS_TABSTOP | BS_AUTOCHECKBOX, "Enable WAN access", 254, 15, 196, 12},
    {1214, WC_STATIC, kLabel, "WAN server:", 254, 35, 94, 10},
    {1216, WC_COMBOBOX, kChild | WS_TABSTOP | CBS_DROPDOWNLIST | CBS_SORT, "", 350, 33, 100, 60},
    {1215, WC_STATIC, kLabel, "Login user:", 254, 54, 94, 10},
    {1217, WC_EDIT, kEdit, "", 350, 52, 100, 14},
    {1218, WC_STATIC, kLabel, "Login password:", 254, 72, 94, 10},
    {1219, WC_EDIT, kEdit | ES_PASSWORD, "", 350, 70, 100, 14},
    {1307, WC_STATIC, WS_CHILD | SS_LEFT, "Saved.", 354, 333, 56, 10},
    {IDOK, WC_BUTTON, kButton, "Set", 414, 331, 46, 14},
    {IDCANCEL, WC_BUTTON, kButton, "Exit", 464, 331, 50, 14},
};
}  // namespace

const DialogTemplate kSetupNetworkPageTemplate =
    MakeDialogTemplate(146, WS_CHILD, "", 0, 0, 517, 345, kItems);
