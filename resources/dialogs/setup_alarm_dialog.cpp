// Dialog 145, the alarm page of the setup dialog (517 x 345 units): the channel choice, the alarm group
// (motion sensitivity and the alarm actions; the mobile-phone box and its two radio buttons stay hidden),
// the preview frame over which the motion zones are drawn, the zone buttons and the note, the "Saved."
// notice (hidden) and Set, All Set and Exit.

#include "platform/ui/dialog_template.h"
#include "platform/ui/ui_styles.h"

extern const DialogTemplate kSetupAlarmPageTemplate;

namespace {
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kCheck = kChild | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kList = kChild | WS_TABSTOP | CBS_DROPDOWNLIST;

const DialogItemTemplate kItems[] = {
    {1136, WC_STATIC, kChild | SS_LEFT, "Please select channel:", 7, 4, 110, 10},
    {1062, WC_COMBOBOX, kList, "", 120, 2, 120, 120},
    {1201, WC_BUTTON, kChild | BS_GROUPBOX, "Alarm parameters", 0, 17, 300, 306},
    {1198, WC_STATIC, kChild | SS_LEFT, "Motion sensitivity", 7, 33, 145, 10},
    {1117, WC_COMBOBOX, kList, "", 155, 31, 137, 80},
    {1202, WC_BUTTON, kCheck, "Send e-mail to user when alarm detected", 7, 48, 285, 10},
    {1310, WC_BUTTON, kCheck, "Send message to vistal when alarm detected", 7, 65, 285, 10},
    {1204, WC_BUTTON, WS_CHILD | WS_TABSTOP | BS_AUTOCHECKBOX,
     "Send message to mobile phone when alarm detected", 7, 82, 285, 10},
    {1104, WC_BUTTON, WS_CHILD | WS_GROUP | WS_TABSTOP | BS_AUTORADIOBUTTON, "Send by MMS type", 21, 99, 271,
     10},
    {1105, WC_BUTTON, WS_CHILD | WS_TABSTOP | BS_AUTORADIOBUTTON, "Send by SMS type", 21, 117, 271, 10},
    {1099, WC_BUTTON, kChild | BS_GROUPBOX, "", 306, 2, 208, 155},
    {1199, WC_BUTTON, kButton, "Clear Motion-detection", 306, 160, 104, 14},
    {1200, WC_BUTTON, kButton, "Save Motion-detection", 410, 160, 104, 14},
    {1181, WC_STATIC, kChild | SS_LEFT, "Note:", 306, 182, 208, 140},
    {1307, WC_STATIC, WS_CHILD | SS_LEFT, "Saved.", 7, 333, 150, 10},
    {IDOK, WC_BUTTON, kButton, "Set", 364, 331, 50, 14},
    {1107, WC_BUTTON, kButton, "All Set", 414, 331, 50, 14},
    {IDCANCEL, WC_BUTTON, kButton, "Exit", 464, 331, 50, 14},
};
}  // namespace

const DialogTemplate kSetupAlarmPageTemplate = MakeDialogTemplate(145, WS_CHILD, "", 0, 0, 517, 345, kItems);
