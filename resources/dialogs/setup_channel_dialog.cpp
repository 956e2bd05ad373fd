// Dialog 143, the channel page of the setup dialog (517 x 345 units): the channel's name and its title
// and time overlays, the four colour adjustments, and the preview frame whose 8 x 8 grid edits the
// video mask. The swatches 1150 and 1151 are statics that the page draws as colour swatches.

#include "platform/ui/dialog_template.h"
#include "platform/ui/ui_styles.h"

extern const DialogTemplate kSetupChannelPageTemplate;

namespace {
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kPage = WS_CHILD;
constexpr DWORD kButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kCheck = kChild | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kLabel = kChild | SS_LEFT;
constexpr DWORD kGroup = kChild | BS_GROUPBOX;
constexpr DWORD kList = kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr DWORD kEdit = kChild | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
constexpr DWORD kSpin = kChild | UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS;
constexpr DWORD kSlider = kChild | WS_TABSTOP | TBS_NOTICKS;

const DialogItemTemplate kItems[] = {
    {1136, WC_STATIC, kLabel, "Please select channel:", 7, 4, 146, 10},
    {1062, WC_COMBOBOX, kList, "", 155, 2, 138, 150},
    {1159, WC_BUTTON, kGroup, "Video overlay parameters", 0, 17, 300, 197},
    {1155, WC_STATIC, kLabel, "Channel name:", 7, 31, 146, 10},
    {1048, WC_EDIT, kEdit, "", 155, 29, 138, 12},
    // Title overlay.
    {1063, WC_BUTTON, kCheck, "Enable title overlay", 7, 47, 286, 10},
    {1161, WC_STATIC, kLabel, "Position:", 7, 63, 146, 10},
    {1065, WC_COMBOBOX, kList, "", 155, 61, 138, 100},
    {1162, WC_STATIC, kLabel, "Offset:", 7, 79, 146, 10},
    {1067, WC_EDIT, kEdit, "", 155, 77, 55, 12},
    {1148, WC_UPDOWN, kSpin, "", 210, 77, 10, 12},
    {1068, WC_EDIT, kEdit, "", 228, 77, 55, 12},
    {1149, WC_UPDOWN, kSpin, "", 283, 77, 10, 12},
    {1163, WC_STATIC, kLabel, "Font:", 7, 95, 146, 10},
    {1070, WC_EDIT, kEdit | ES_READONLY, "", 155, 93, 110, 12},
    {1101, WC_BUTTON, kButton, "...", 268, 93, 25, 12},
    {1164, WC_STATIC, kLabel, "Color:", 7, 111, 146, 10},
    {1150, WC_STATIC, kChild | WS_BORDER, "", 155, 109, 110, 12},
    {1075, WC_BUTTON, kButton, "...", 268, 109, 25, 12},
    // Time overlay.
    {1064, WC_BUTTON, kCheck, "Enable time overlay", 7, 129, 286, 10},
    {1165, WC_STATIC, kLabel, "Position:", 7, 145, 146, 10},
    {1066, WC_COMBOBOX, kList, "", 155, 143, 138, 100},
    {1166, WC_STATIC, kLabel, "Offset:", 7, 161, 146, 10},
    {1071, WC_EDIT, kEdit, "", 155, 159, 55, 12},
    {1152, WC_UPDOWN, kSpin, "", 210, 159, 10, 12},
    {1072, WC_EDIT, kEdit, "", 228, 159, 55, 12},
    {1153, WC_UPDOWN, kSpin, "", 283, 159, 10, 12},
    {1167, WC_STATIC, kLabel, "Font:", 7, 177, 146, 10},
    {1074, WC_EDIT, kEdit | ES_READONLY, "", 155, 175, 110, 12},
    {1103, WC_BUTTON, kButton, "...", 268, 175, 25, 12},
    {1168, WC_STATIC, kLabel, "Color:", 7, 193, 146, 10},
    {1151, WC_STATIC, kChild | WS_BORDER, "", 155, 191, 110, 12},
    {1076, WC_BUTTON, kButton, "...", 268, 191, 25, 12},
    // Colour adjustment.
    {1238, WC_BUTTON, kGroup, "Color adjustment", 0, 219, 300, 108},
    {1173, WC_STATIC, kLabel, "Brightness:", 7, 234, 146, 10},
    {1080, WC_TRACKBAR, kSlider, "", 155, 231, 138, 14},
    {1174, WC_STATIC, kLabel, "Contrast:", 7, 252, 146, 10},
    {1081, WC_TRACKBAR, kSlider, "", 155, 249, 138, 14},
    {1175, WC_STATIC, kLabel, "Hue:", 7, 270, 146, 10},
    {1082, WC_TRACKBAR, kSlider, "", 155, 267, 138, 14},
    {1176, WC_STATIC, kLabel, "Saturation:", 7, 288, 146, 10},
    {1083, WC_TRACKBAR, kSlider, "", 155, 285, 138, 14},
    {5, WC_BUTTON, kButton, "Default", 222, 308, 50, 14},
    // Preview and mask.
    {1099, WC_BUTTON, kGroup, "", 306, 2, 208, 155},
    {8, WC_BUTTON, kButton, "Clear Mask", 306, 160, 100, 14},
    {1104, WC_BUTTON, kButton, "Save Mask", 410, 160, 104, 14},
    {1181, WC_STATIC, kLabel, "Note:", 306, 182, 208, 140},
    {IDOK, WC_BUTTON, kButton | BS_DEFPUSHBUTTON, "Set", 364, 331, 50, 14},
    {1107, WC_BUTTON, kButton, "All Set", 414, 331, 50, 14},
    {IDCANCEL, WC_BUTTON, kButton, "Exit", 464, 331, 50, 14},
    {1307, WC_STATIC, WS_CHILD | SS_LEFT, "Saved.", 304, 333, 58, 10},
};
}  // namespace

const DialogTemplate kSetupChannelPageTemplate = MakeDialogTemplate(143, kPage, "", 0, 0, 517, 345, kItems);
