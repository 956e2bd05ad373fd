// Dialog 144, the record schedule page of the setup dialog (517 x 345 units): the channel choice, the
// eight schedule entries in a check-box list, the entry editor under it (shown while a row is selected),
// the "Saved." notice (hidden) and Set, All Set and Exit at the bottom.

#include "platform/ui/dialog_template.h"
#include "platform/ui/ui_styles.h"

extern const DialogTemplate kSetupRecordPageTemplate;

namespace {
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kList = kChild | WS_TABSTOP | CBS_DROPDOWNLIST;
// The editor starts hidden: no row is selected yet.
constexpr DWORD kEditorList = WS_CHILD | WS_TABSTOP | CBS_DROPDOWNLIST;
constexpr DWORD kEditorTime = WS_CHILD | WS_TABSTOP | DTS_TIMEFORMAT;

const DialogItemTemplate kItems[] = {
    {1136, WC_STATIC, kChild | SS_LEFT, "Please select channel:", 7, 4, 110, 10},
    {1062, WC_COMBOBOX, kList, "", 120, 2, 120, 120},
    {1194, WC_BUTTON, kChild | BS_GROUPBOX, "Record schedule", 0, 17, 514, 306},
    {1246, WC_LISTVIEW, kChild | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, "",
     7, 30, 500, 200},
    {1240, WC_STATIC, WS_CHILD | SS_LEFT, "Time range:", 7, 244, 90, 10},
    {1242, WC_COMBOBOX, kEditorList, "", 100, 242, 110, 120},
    {1243, WC_DATETIMEPICK, kEditorTime, "", 220, 242, 56, 13},
    {1247, WC_STATIC, WS_CHILD | SS_CENTER, "-", 278, 244, 8, 10},
    {1244, WC_DATETIMEPICK, kEditorTime, "", 288, 242, 56, 13},
    {1248, WC_STATIC, WS_CHILD | SS_LEFT, "Select record type:", 7, 264, 90, 10},
    {1245, WC_COMBOBOX, kEditorList, "", 100, 262, 110, 60},
    {1016, WC_BUTTON, WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON, "Edit", 220, 261, 56, 14},
    {1307, WC_STATIC, WS_CHILD | SS_LEFT, "Saved.", 7, 333, 150, 10},
    {IDOK, WC_BUTTON, kButton, "Set", 364, 331, 50, 14},
    {1107, WC_BUTTON, kButton, "All Set", 414, 331, 50, 14},
    {IDCANCEL, WC_BUTTON, kButton, "Exit", 464, 331, 50, 14},
};
}  // namespace

const DialogTemplate kSetupRecordPageTemplate = MakeDialogTemplate(144, WS_CHILD, "", 0, 0, 517, 345, kItems);
