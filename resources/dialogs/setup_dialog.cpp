// Dialog 134, the DVR setup dialog: a tab control over its pages (each a child dialog of 517 x 345 units).

#include "platform/ui/dialog_template.h"
#include "platform/ui/ui_styles.h"

extern const DialogTemplate kSetupDialogTemplate;

namespace {
const DialogItemTemplate kSetupItems[] = {
    {1047, WC_TABCONTROL, WS_CHILD | WS_VISIBLE | WS_TABSTOP, "", 7, 7, 515, 18},
};
}  // namespace

const DialogTemplate kSetupDialogTemplate =
    MakeDialogTemplate(134, WS_POPUP | WS_CAPTION | WS_SYSMENU, "DVR Parameter", 0, 0, 529, 377, kSetupItems);
