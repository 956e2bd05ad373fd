// Dialog 130: the login and unlock dialog, drawn on its own background picture (373 x 243 pixels, which
// it takes as its size). The "Wan line" label and combo are kept hidden.

#include "platform/ui/dialog_template.h"
#include "platform/ui/ui_styles.h"

extern const DialogTemplate kLoginDialogTemplate;

namespace {
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
const DialogItemTemplate kItems[] = {
    {1251, WC_STATIC, kChild | SS_CENTER, "User login", 20, 12, 170, 12},
    {1030, WC_STATIC, kChild | SS_LEFT, "User:", 22, 40, 56, 10},
    {1033, WC_EDIT, kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, "", 82, 38, 104, 13},
    {1031, WC_STATIC, kChild | SS_LEFT, "Password:", 22, 58, 56, 10},
    {1034, WC_EDIT, kChild | WS_BORDER | WS_TABSTOP | ES_PASSWORD | ES_AUTOHSCROLL, "", 82, 56, 104, 13},
    {1032, WC_STATIC, kChild | SS_LEFT, "Destination:", 22, 76, 56, 10},
    {1240, WC_COMBOBOX, kChild | WS_TABSTOP | CBS_DROPDOWNLIST, "", 82, 74, 104, 60},
    {1037, WC_STATIC, SS_LEFT, "Wan line:", 22, 94, 56, 10},
    {1241, WC_COMBOBOX, WS_TABSTOP | CBS_DROPDOWNLIST, "", 82, 92, 104, 60},
    {1035, WC_BUTTON, kChild | WS_TABSTOP | BS_AUTOCHECKBOX, "Remember password", 22, 98, 92, 10},
    {1036, WC_BUTTON, kChild | WS_TABSTOP | BS_AUTOCHECKBOX, "Auto login", 118, 98, 70, 10},
    {IDOK, WC_BUTTON, kChild | WS_TABSTOP | BS_OWNERDRAW, "OK", 48, 118, 39, 17},
    {IDCANCEL, WC_BUTTON, kChild | WS_TABSTOP | BS_OWNERDRAW, "Cancel", 122, 118, 39, 17},
};
}  // namespace

const DialogTemplate kLoginDialogTemplate =
    MakeDialogTemplate(130, WS_POPUP, "Login", 0, 0, 213, 149, kItems);
