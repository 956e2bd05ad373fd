// Dialog 155, the status dialog: a tab control over its pages; and its pages 151 (system information),
// 152 (version information), 153 and 154 (empty pages with an Exit button). Pages are 517 x 345 units.

#include "platform/ui/dialog_template.h"
#include "platform/ui/ui_styles.h"

extern const DialogTemplate kStatusDialogTemplate;
extern const DialogTemplate kStatusSystemPageTemplate;
extern const DialogTemplate kStatusSoftwarePageTemplate;
extern const DialogTemplate kStatusUserPageTemplate;
extern const DialogTemplate kStatusLogPageTemplate;

namespace {
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kPage = WS_CHILD;
constexpr DWORD kButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;

const DialogItemTemplate kStatusItems[] = {
    {1047, WC_TABCONTROL, kChild | WS_TABSTOP, "", 7, 7, 515, 18},
};

const DialogItemTemplate kSystemItems[] = {
    {1222, WC_BUTTON, kChild | BS_GROUPBOX, "System information", 0, 2, 315, 321},
    {1223, WC_STATIC, kChild | SS_LEFT, "Operation system information:", 10, 18, 295, 10},
    {1224, WC_STATIC, kChild | SS_LEFT, "", 18, 30, 287, 20},
    {1225, WC_STATIC, kChild | SS_LEFT, "CPU information:", 10, 56, 295, 10},
    {1226, WC_STATIC, kChild | SS_LEFT, "", 18, 68, 287, 20},
    {1227, WC_STATIC, kChild | SS_LEFT, "Phsical memory information:", 10, 94, 295, 10},
    {1228, WC_STATIC, kChild | SS_LEFT, "", 18, 106, 287, 10},
    {1229, WC_STATIC, kChild | SS_LEFT, "Mainboard information:", 10, 124, 295, 10},
    {1230, WC_STATIC, kChild | SS_LEFT, "", 18, 136, 287, 10},
    {1231, WC_STATIC, kChild | SS_LEFT, "Display card information:", 10, 154, 295, 10},
    {1232, WC_STATIC, kChild | SS_LEFT, "", 18, 166, 287, 10},
    {1233, WC_STATIC, kChild | SS_LEFT, "Network card information:", 10, 184, 295, 10},
    {1234, WC_STATIC, kChild | SS_LEFT, "", 18, 196, 287, 10},
    {1235, WC_BUTTON, kChild | BS_GROUPBOX, "System status", 322, 2, 192, 321},
    {1236, WC_STATIC, kChild | SS_LEFT, "Current time:", 332, 18, 172, 10},
    {1240, WC_STATIC, kChild | SS_LEFT, "", 340, 30, 164, 10},
    {1237, WC_STATIC, kChild | SS_LEFT, "CPU status:", 332, 48, 172, 10},
    {1241, WC_STATIC, kChild | SS_LEFT, "", 340, 60, 164, 10},
    {1238, WC_STATIC, kChild | SS_LEFT, "Memory status:", 332, 78, 172, 10},
    {1242, WC_STATIC, kChild | SS_LEFT, "", 340, 90, 164, 10},
    {1239, WC_STATIC, kChild | SS_LEFT, "Disk status:", 332, 108, 172, 10},
    {1243, WC_STATIC, kChild | SS_LEFT, "", 340, 120, 164, 20},
    {IDCANCEL, WC_BUTTON, kButton, "Exit", 464, 331, 50, 14},
};

const DialogItemTemplate kSoftwareItems[] = {
    {1217, WC_BUTTON, kChild | BS_GROUPBOX, "Version information", 0, 2, 514, 321},
    {1155, WC_STATIC, kChild | SS_LEFT, "Product name:", 20, 26, 480, 10},
    {1219, WC_STATIC, kChild | SS_LEFT, "Software version:", 20, 46, 480, 10},
    {1220, WC_STATIC, kChild | SS_LEFT, "Release date:", 20, 66, 480, 10},
    {IDCANCEL, WC_BUTTON, kButton, "Exit", 464, 331, 50, 14},
};

const DialogItemTemplate kExitOnlyItems[] = {
    {IDCANCEL, WC_BUTTON, kButton, "Exit", 464, 331, 50, 14},
};
}  // namespace

const DialogTemplate kStatusDialogTemplate = MakeDialogTemplate(
    155, WS_POPUP | WS_CAPTION | WS_SYSMENU, "DVR system status", 0, 0, 529, 377, kStatusItems);
const DialogTemplate kStatusSystemPageTemplate =
    MakeDialogTemplate(151, kPage, "", 0, 0, 517, 345, kSystemItems);
const DialogTemplate kStatusSoftwarePageTemplate =
    MakeDialogTemplate(152, kPage, "", 0, 0, 517, 345, kSoftwareItems);
const DialogTemplate kStatusUserPageTemplate =
    MakeDialogTemplate(153, kPage, "", 0, 0, 517, 345, kExitOnlyItems);
const DialogTemplate kStatusLogPageTemplate =
    MakeDialogTemplate(154, kPage, "", 0, 0, 517, 345, kExitOnlyItems);
