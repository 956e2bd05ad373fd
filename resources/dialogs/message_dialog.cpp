// Dialog 276: the notice after a snapshot, with its "do not show next time" check box.

#include "platform/ui/dialog_template.h"
#include "platform/ui/ui_styles.h"

extern const DialogTemplate kMessageDialogTemplate;

namespace {
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
const DialogItemTemplate kItems[] = {
    {1278, WC_STATIC, kChild | SS_LEFT, "", 7, 7, 246, 15},
    {1245, WC_BUTTON, kChild | WS_TABSTOP | BS_AUTOCHECKBOX, "Do not show next time.", 7, 40, 150, 10},
    {IDOK, WC_BUTTON, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, "OK", 203, 40, 50, 14},
};
}  // namespace

const DialogTemplate kMessageDialogTemplate =
    MakeDialogTemplate(276, WS_POPUP | WS_CAPTION | WS_SYSMENU, "Message", 0, 0, 260, 61, kItems);
