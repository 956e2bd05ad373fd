// Dialog 102: the main window, a popup without caption. Its controls are placed by the window itself for
// any window size, so their template places are only starting points.

#include "platform/ui/dialog_template.h"
#include "platform/ui/ui_styles.h"

extern const DialogTemplate kMainDialogTemplate;

namespace {
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kSkinButton = kChild | BS_OWNERDRAW;
const DialogItemTemplate kItems[] = {
    {1039, WC_BUTTON, kSkinButton, "", 0, 0, 16, 12},
    {1038, WC_BUTTON, kSkinButton, "", 0, 0, 12, 12},
    {1036, WC_BUTTON, kSkinButton, "", 0, 0, 12, 12},
    {1037, WC_BUTTON, kSkinButton, "", 0, 0, 12, 12},
    {1035, WC_BUTTON, kSkinButton, "", 0, 0, 24, 12},
    {1034, WC_BUTTON, kSkinButton, "", 0, 0, 24, 12},
    {1027, WC_BUTTON, kSkinButton, "", 0, 0, 24, 12},
    {1030, WC_BUTTON, kSkinButton, "", 0, 0, 24, 12},
    {1028, WC_BUTTON, kSkinButton, "", 0, 0, 24, 12},
    {1029, WC_BUTTON, kSkinButton, "", 0, 0, 24, 12},
    {1026, WC_BUTTON, kSkinButton, "", 0, 0, 14, 16},
    {1004, WC_BUTTON, kSkinButton, "", 0, 0, 24, 12},
    {1003, WC_BUTTON, kSkinButton, "", 0, 0, 24, 12},
    {1031, WC_BUTTON, kSkinButton, "", 0, 0, 24, 12},
    {1032, WC_BUTTON, kSkinButton, "", 0, 0, 24, 12},
    {1001, WC_BUTTON, kSkinButton, "", 0, 0, 14, 16},
    {1021, WC_BUTTON, kSkinButton, "", 0, 0, 22, 22},
    {1024, WC_BUTTON, kSkinButton, "", 0, 0, 22, 22},
    {1023, WC_BUTTON, kSkinButton, "", 0, 0, 22, 22},
    {1022, WC_BUTTON, kSkinButton, "", 0, 0, 22, 22},
    {1020, WC_BUTTON, kSkinButton, "", 0, 0, 22, 22},
    {1019, WC_BUTTON, kSkinButton, "", 0, 0, 25, 12},
    {1018, WC_BUTTON, kSkinButton, "", 0, 0, 25, 12},
    {1017, WC_BUTTON, kSkinButton, "", 0, 0, 25, 12},
    {1013, WC_BUTTON, kSkinButton, "", 0, 0, 26, 13},
    {1012, WC_BUTTON, kSkinButton, "", 0, 0, 26, 13},
    {1016, WC_BUTTON, kSkinButton, "", 0, 0, 10, 5},
    {1015, WC_BUTTON, kSkinButton, "", 0, 0, 10, 5},
    {1011, WC_BUTTON, kSkinButton, "", 0, 0, 26, 13},
    {1010, WC_BUTTON, kSkinButton, "", 0, 0, 26, 13},
    {1009, WC_BUTTON, kSkinButton, "", 0, 0, 26, 13},
    {1008, WC_BUTTON, kSkinButton, "", 0, 0, 26, 13},
    {1007, WC_BUTTON, kSkinButton, "", 0, 0, 14, 12},
    {1006, WC_BUTTON, kSkinButton, "", 0, 0, 14, 12},
    {1000, WC_BUTTON, kSkinButton, "", 0, 0, 28, 28},
    {1033, WC_COMBOBOX, kChild | WS_TABSTOP | CBS_DROPDOWNLIST, "", 0, 0, 54, 100},
    {1025, WC_TRACKBAR, kChild, "", 0, 0, 30, 6},
    {1014, WC_EDIT, kChild | WS_BORDER | ES_AUTOHSCROLL, "", 0, 0, 71, 10},
    {1005, WC_TREEVIEW, kChild | WS_TABSTOP | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_HASLINES, "", 0, 0, 82,
     100},
};
}  // namespace

const DialogTemplate kMainDialogTemplate =
    MakeDialogTemplate(102, WS_POPUP, "DVRVISTAL", 0, 0, 400, 300, kItems);
