// Dialog 184: the channel picker, a list of the selected DVR's channels with check boxes, OK and Cancel.
// The caption is set when it opens.

#include "platform/ui/dialog_template.h"
#include "platform/ui/ui_styles.h"

extern const DialogTemplate kChannelDialogTemplate;

namespace {
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
const DialogItemTemplate kItems[] = {
    {1134, WC_LISTVIEW, kChild | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL, "", 7, 7, 171, 173},
    {IDOK, WC_BUTTON, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, "OK", 77, 183, 50, 14},
    {IDCANCEL, WC_BUTTON, kChild | WS_TABSTOP | BS_PUSHBUTTON, "Cancel", 128, 183, 50, 14},
};
}  // namespace

const DialogTemplate kChannelDialogTemplate =
    MakeDialogTemplate(184, WS_POPUP | WS_CAPTION | WS_SYSMENU, "", 0, 0, 185, 204, kItems);
