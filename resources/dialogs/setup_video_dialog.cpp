// Dialog 156, the audio and video page of the setup dialog: the channel combo, the record and network
// stream's resolution, quality and frame rate on the left, the audio capture on the right.

#include "platform/ui/dialog_template.h"
#include "platform/ui/ui_styles.h"

extern const DialogTemplate kSetupVideoPageTemplate;

namespace {
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kPage = WS_CHILD;
constexpr DWORD kButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kLabel = kChild | SS_LEFT;
constexpr DWORD kList = kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;

const DialogItemTemplate kVideoItems[] = {
    {1136, WC_STATIC, kLabel, "Please select channel:", 10, 8, 110, 10},
    {1062, WC_COMBOBOX, kList, "", 125, 6, 120, 160},
    {1169, WC_BUTTON, kChild | BS_GROUPBOX, "Video parameters", 0, 24, 255, 299},
    {1170, WC_STATIC, kLabel, "Record resolution:", 10, 44, 110, 10},
    {1077, WC_COMBOBOX, kList, "", 125, 42, 120, 160},
    {1171, WC_STATIC, kLabel, "Record quality:", 10, 66, 110, 10},
    {1078, WC_COMBOBOX, kList, "", 125, 64, 120, 100},
    {1172, WC_STATIC, kLabel, "Record framerate:", 10, 88, 110, 10},
    {1079, WC_COMBOBOX, kList, "", 125, 86, 120, 160},
    {1173, WC_STATIC, kLabel, "Stream resolution:", 10, 110, 110, 10},
    {1080, WC_COMBOBOX, kList, "", 125, 108, 120, 100},
    {1174, WC_STATIC, kLabel, "Stream quality:", 10, 132, 110, 10},
    {1081, WC_COMBOBOX, kList, "", 125, 130, 120, 100},
    {1175, WC_STATIC, kLabel, "Stream framerate:", 10, 154, 110, 10},
    {1082, WC_COMBOBOX, kList, "", 125, 152, 120, 160},
    {1177, WC_BUTTON, kChild | BS_GROUPBOX, "Audio parameters", 260, 24, 254, 299},
    {1178, WC_STATIC, kLabel, "Sample rate:", 270, 44, 110, 10},
    {1084, WC_COMBOBOX, kList, "", 385, 42, 120, 60},
    {1179, WC_STATIC, kLabel, "Bits per sample:", 270, 66, 110, 10},
    {1085, WC_COMBOBOX, kList, "", 385, 64, 120, 60},
    {1180, WC_STATIC, kLabel, "Audio quality:", 270, 88, 110, 10},
    {1087, WC_COMBOBOX, kList, "", 385, 86, 120, 100},
    {1094, WC_BUTTON, kChild | WS_TABSTOP | BS_AUTOCHECKBOX, "Enable audio capture", 270, 110, 235, 10},
    {1307, WC_STATIC, kPage | SS_RIGHT, "Saved.", 200, 333, 150, 10},
    {IDOK, WC_BUTTON, kButton | BS_DEFPUSHBUTTON, "Set", 356, 331, 50, 14},
    {1107, WC_BUTTON, kButton, "All Set", 410, 331, 50, 14},
    {IDCANCEL, WC_BUTTON, kButton, "Exit", 464, 331, 50, 14},
};
}  // namespace

const DialogTemplate kSetupVideoPageTemplate =
    MakeDialogTemplate(156, kPage, "", 0, 0, 517, 345, kVideoItems);
