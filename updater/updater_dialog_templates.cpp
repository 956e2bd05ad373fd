#include "updater/updater_dialog_templates.h"

#include "platform/ui/ui_styles.h"
#include "platform/ui/window_resources.h"
#include "resources/resource_bitmaps.h"

namespace {

constexpr DWORD kDialogStyle = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

const DialogItemTemplate kUpdaterItems[] = {
    {1000, WC_STATIC, kChild | SS_LEFT, "", 7, 7, 216, 8},
    {1002, WC_PROGRESS, kChild | WS_BORDER, "", 15, 19, 208, 9},
    {IDOK, WC_BUTTON, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, "Update Now", 123, 32, 50, 14},
    {IDCANCEL, WC_BUTTON, kChild | WS_TABSTOP | BS_PUSHBUTTON, "Cancel", 173, 32, 50, 14},
};

// The message has room below the question for the lines that name the clients found.
const DialogItemTemplate kRetryItems[] = {
    {IDC_RETRY_ICON, WC_STATIC, kChild, "", 7, 7, 21, 21},
    {IDC_RETRY_TEXT, WC_STATIC, kChild | SS_LEFT, "", 36, 7, 187, 48},
    {IDOK, WC_BUTTON, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, "Continue", 123, 58, 50, 14},
    {IDCANCEL, WC_BUTTON, kChild | WS_TABSTOP | BS_PUSHBUTTON, "Exit", 173, 58, 50, 14},
};

}  // namespace

const DialogTemplate kUpdaterDialogTemplate =
    MakeDialogTemplate(IDD_UPDATER_DIALOG, kDialogStyle, "Updater", 0, 0, 230, 53, kUpdaterItems);
const DialogTemplate kRetryDialogTemplate =
    MakeDialogTemplate(IDD_RETRY_DIALOG, kDialogStyle, "Retry", 0, 0, 230, 79, kRetryItems);

namespace {
const DialogTemplate* FindUpdaterDialogTemplate(UINT id) {
    for (const DialogTemplate* t : {&kUpdaterDialogTemplate, &kRetryDialogTemplate}) {
        if (t->id == id)
            return t;
    }
    return nullptr;
}
}  // namespace

void InstallUpdaterResources() {
    WindowResources resources;
    resources.findDialogTemplate = FindUpdaterDialogTemplate;
    resources.loadBitmap = LoadResourceBitmap;
    SetWindowResources(&resources);
}
