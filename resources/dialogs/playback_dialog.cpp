// Dialog 148: the remote playback window. The dialog covers the screen and places its controls in pixels
// when it opens; the rectangles here only give each control a size until then.

#include "platform/ui/dialog_template.h"
#include "platform/ui/ui_styles.h"

extern const DialogTemplate kPlaybackDialogTemplate;

namespace {
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kSkinButton = kChild | BS_OWNERDRAW;
constexpr DWORD kList = kChild | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
// The month calendar shows bold days (day states) and no "today" mark.
constexpr DWORD kCalendarStyle = 0x1 | 0x8 | 0x10;
const DialogItemTemplate kItems[] = {
    {1119, WC_TABCONTROL, kChild | WS_TABSTOP, "", 480, 14, 186, 13},
    {1130, WC_MONTHCAL, kChild | WS_TABSTOP | kCalendarStyle, "", 486, 30, 176, 100},
    {1134, WC_LISTVIEW, kList, "", 480, 140, 186, 100},
    {1136, WC_STATIC, kChild | SS_LEFT, "Channel:", 486, 46, 53, 12},
    {1062, WC_COMBOBOX, kChild | WS_TABSTOP | CBS_DROPDOWNLIST, "", 540, 46, 122, 120},
    {1137, WC_STATIC, kChild | SS_LEFT, "Begin time:", 486, 62, 53, 12},
    {1139, WC_DATETIMEPICK, kChild | WS_TABSTOP | DTS_SHORTDATEFORMAT, "", 540, 62, 61, 12},
    {1141, WC_DATETIMEPICK, kChild | WS_TABSTOP | DTS_TIMEFORMAT, "", 602, 62, 61, 12},
    {1138, WC_STATIC, kChild | SS_LEFT, "End time:", 486, 78, 53, 12},
    {1140, WC_DATETIMEPICK, kChild | WS_TABSTOP | DTS_SHORTDATEFORMAT, "", 540, 78, 61, 12},
    {1142, WC_DATETIMEPICK, kChild | WS_TABSTOP | DTS_TIMEFORMAT, "", 602, 78, 61, 12},
    {1143, WC_BUTTON, kSkinButton, "", 630, 94, 33, 12},
    {1135, WC_LISTVIEW, kList, "", 480, 140, 186, 100},
    {1028, WC_STATIC, kChild | SS_NOTIFY, "", 20, 370, 440, 7},
    {1129, WC_STATIC, kChild | SS_LEFT, "", 380, 378, 73, 12},
    {1121, WC_LISTVIEW, kChild | WS_BORDER | LVS_REPORT, "", 5, 388, 460, 74},
    {1122, WC_BUTTON, kSkinButton, "", 496, 390, 19, 13},
    {1123, WC_BUTTON, kSkinButton, "", 496, 390, 19, 13},
    {1124, WC_BUTTON, kSkinButton, "", 518, 390, 19, 13},
    {1034, WC_BUTTON, kSkinButton, "", 540, 390, 19, 13},
    {1126, WC_BUTTON, kSkinButton, "", 562, 390, 19, 13},
    {1125, WC_BUTTON, kSkinButton, "", 584, 390, 19, 13},
    {1128, WC_BUTTON, kSkinButton, "", 606, 390, 19, 13},
    {1127, WC_BUTTON, kSkinButton, "", 628, 390, 19, 13},
    {1033, WC_COMBOBOX, kChild | WS_TABSTOP | CBS_DROPDOWNLIST, "", 480, 410, 72, 120},
    {1027, WC_BUTTON, kSkinButton, "", 556, 410, 33, 12},
    {1032, WC_BUTTON, kSkinButton, "", 598, 410, 33, 12},
    {1031, WC_BUTTON, kSkinButton, "", 634, 410, 33, 12},
    {1026, WC_BUTTON, kSkinButton, "", 570, 436, 19, 17},
    {1025, WC_STATIC, kChild | SS_NOTIFY, "", 590, 440, 40, 7},
    {1000, WC_BUTTON, kSkinButton, "", 636, 424, 37, 31},
};
}  // namespace

const DialogTemplate kPlaybackDialogTemplate = MakeDialogTemplate(148, WS_POPUP, "", 0, 0, 683, 470, kItems);
