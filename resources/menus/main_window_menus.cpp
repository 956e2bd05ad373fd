// The main window's menus: 131 the screen menu of the grid, 222 the tray icon's menu, 275 the login
// button's menu. Their texts are replaced from the language table before each opens.

#include "platform/ui/menu_template.h"

extern const MenuTemplate kScreenMenuTemplate;
extern const MenuTemplate kTrayMenuTemplate;
extern const MenuTemplate kLoginMenuTemplate;

namespace {

const MenuItemTemplate kScreenMenuItems[] = {
    {0, MF_POPUP, 0, "Screen"},
    {1, MF_STRING, 32771, "Full Screen"},
    {1, MF_SEPARATOR, 0, nullptr},
    {1, MF_STRING, 32809, "Start Auto-scan"},
    {1, MF_STRING, 32810, "Stop Auto-scan"},
    {1, MF_SEPARATOR, 0, nullptr},
    {1, MF_STRING, 32789, "Start Record"},
    {1, MF_STRING, 32790, "Stop Record"},
    {1, MF_SEPARATOR, 0, nullptr},
    {1, MF_STRING, 32811, "Electronic Map"},
    {1, MF_STRING, 32776, "Snapshot"},
};

const MenuItemTemplate kTrayMenuItems[] = {
    {0, MF_POPUP, 0, "Tray"},
    {1, MF_STRING, 32772, "Show Window"},
    {1, MF_SEPARATOR, 0, nullptr},
    {1, MF_STRING, 32773, "Exit"},
};

const MenuItemTemplate kLoginMenuItems[] = {
    {0, MF_POPUP, 0, "Login"},
    {1, MF_STRING, 32774, "Lock System"},
    {1, MF_STRING, 32775, "Switch User"},
};

}  // namespace

const MenuTemplate kScreenMenuTemplate = MakeMenuTemplate(131, kScreenMenuItems);
const MenuTemplate kTrayMenuTemplate = MakeMenuTemplate(222, kTrayMenuItems);
const MenuTemplate kLoginMenuTemplate = MakeMenuTemplate(275, kLoginMenuItems);
