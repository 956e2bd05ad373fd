// Dialog 220, the device list: the list of DVRs, the search, add, edit and delete buttons, the
// "do not show again" box, Save and Exit.

#include "platform/ui/dialog_template.h"
#include "platform/ui/ui_styles.h"

extern const DialogTemplate kDeviceDialogTemplate;

namespace {
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;

const DialogItemTemplate kItems[] = {
    {1242, WC_LISTVIEW, kChild | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, "",
     7, 7, 320, 171},
    {1143, WC_BUTTON, kButton, "Auto Search", 7, 184, 62, 14},
    {1015, WC_BUTTON, kButton, "Add Device...", 73, 184, 62, 14},
    {1016, WC_BUTTON, kButton, "Edit Device...", 139, 184, 62, 14},
    {1078, WC_BUTTON, kButton, "Delete Device", 205, 184, 62, 14},
    {1245, WC_BUTTON, kChild | WS_TABSTOP | BS_AUTOCHECKBOX, "Do not show again after login", 7, 214, 200,
     10},
    {IDOK, WC_BUTTON, kButton, "Save", 221, 212, 50, 14},
    {IDCANCEL, WC_BUTTON, kButton, "Exit", 277, 212, 50, 14},
};
}  // namespace

const DialogTemplate kDeviceDialogTemplate =
    MakeDialogTemplate(220, WS_POPUP | WS_CAPTION | WS_SYSMENU, "Device list", 0, 0, 334, 233, kItems);
