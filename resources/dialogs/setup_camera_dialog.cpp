// Dialog 150, the camera page of the setup dialog (517 x 345 units): camera type, PTZ protocol, address
// and serial line, speed level and the four reversal boxes; the auto-scan table; the preview frame with
// the five PTZ test buttons below it (skin buttons drawn with their captions only).

#include "platform/ui/dialog_template.h"
#include "platform/ui/ui_styles.h"

extern const DialogTemplate kSetupCameraPageTemplate;

namespace {
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kPage = WS_CHILD;
constexpr DWORD kButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kSkinButton = kChild | BS_OWNERDRAW;
constexpr DWORD kCheck = kChild | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kLabel = kChild | SS_LEFT;
constexpr DWORD kGroup = kChild | BS_GROUPBOX;
constexpr DWORD kList = kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr DWORD kEdit = kChild | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;

const DialogItemTemplate kItems[] = {
    {1136, WC_STATIC, kLabel, "Please select channel:", 7, 4, 146, 10},
    {1062, WC_COMBOBOX, kList, "", 155, 2, 138, 150},
    {1182, WC_BUTTON, kGroup, "Camera parameters", 0, 17, 300, 182},
    {1183, WC_STATIC, kLabel, "Camera type:", 7, 31, 146, 10},
    {1100, WC_COMBOBOX, kList, "", 155, 29, 138, 100},
    {1184, WC_STATIC, kLabel, "Control protocol:", 7, 47, 146, 10},
    {1086, WC_COMBOBOX, kList, "", 155, 45, 138, 100},
    {1185, WC_STATIC, kLabel, "Address:", 7, 63, 146, 10},
    {1088, WC_EDIT, kEdit, "", 155, 61, 138, 12},
    {1186, WC_STATIC, kLabel, "Control port:", 7, 79, 146, 10},
    {1089, WC_COMBOBOX, kList, "", 155, 77, 138, 150},
    {1187, WC_STATIC, kLabel, "Baud rate:", 7, 95, 146, 10},
    {1090, WC_COMBOBOX, kList, "", 155, 93, 138, 120},
    {1188, WC_STATIC, kLabel, "Data bits:", 7, 111, 146, 10},
    {1091, WC_COMBOBOX, kList, "", 155, 109, 138, 100},
    {1189, WC_STATIC, kLabel, "Parity:", 7, 127, 146, 10},
    {1092, WC_COMBOBOX, kList, "", 155, 125, 138, 100},
    {1190, WC_STATIC, kLabel, "Stop bit:", 7, 143, 146, 10},
    {1093, WC_COMBOBOX, kList, "", 155, 141, 138, 100},
    {1191, WC_STATIC, kLabel, "Speed level:", 7, 163, 146, 10},
    {1102, WC_TRACKBAR, kChild | WS_TABSTOP, "", 155, 159, 138, 16},
    {1302, WC_BUTTON, kCheck, "Left<->Right", 7, 180, 72, 10},
    {1301, WC_BUTTON, kCheck, "Up<->Down", 81, 180, 72, 10},
    {1303, WC_BUTTON, kCheck, "In<->Out", 155, 180, 71, 10},
    {1304, WC_BUTTON, kCheck, "Near<->Far", 228, 180, 70, 10},
    {1192, WC_BUTTON, kGroup, "Auto-scan parameters", 0, 203, 300, 120},
    {1193, WC_LISTVIEW, kChild | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL, "", 7, 217, 284, 100},
    // Preview and the PTZ test buttons.
    {1099, WC_BUTTON, kGroup, "", 306, 2, 208, 155},
    {1020, WC_BUTTON, kSkinButton, "A", 402, 176, 14, 14},
    {1023, WC_BUTTON, kSkinButton, "<-", 388, 190, 14, 14},
    {1124, WC_BUTTON, kSkinButton, "[]", 402, 190, 14, 14},
    {1024, WC_BUTTON, kSkinButton, "->", 416, 190, 14, 14},
    {1022, WC_BUTTON, kSkinButton, "V", 402, 204, 14, 14},
    {IDOK, WC_BUTTON, kButton | BS_DEFPUSHBUTTON, "Set", 364, 331, 50, 14},
    {1107, WC_BUTTON, kButton, "All Set", 414, 331, 50, 14},
    {IDCANCEL, WC_BUTTON, kButton, "Exit", 464, 331, 50, 14},
    {1307, WC_STATIC, WS_CHILD | SS_LEFT, "Saved.", 304, 333, 58, 10},
};
}  // namespace

const DialogTemplate kSetupCameraPageTemplate = MakeDialogTemplate(150, kPage, "", 0, 0, 517, 345, kItems);
