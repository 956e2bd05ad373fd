// Menu 290: the tree editor's context menu. Its texts are replaced from the language table before it
// opens.

#include "platform/ui/menu_template.h"

extern const MenuTemplate kTreeMenuTemplate;

namespace {
const MenuItemTemplate kTreeMenuItems[] = {
    {0, MF_POPUP, 0, "Tree"},
    {1, MF_STRING, 32801, "Load Config..."},
    {1, MF_STRING, 32802, "Save Config"},
    {1, MF_STRING, 32804, "Save As..."},
    {1, MF_SEPARATOR, 0, nullptr},
    {1, MF_POPUP, 0, "Add"},
    {2, MF_STRING, 32805, "Add Area..."},
    {2, MF_STRING, 32806, "Add DVR..."},
    {1, MF_STRING, 32807, "Modify"},
    {1, MF_STRING, 32808, "Delete"},
};
}  // namespace

const MenuTemplate kTreeMenuTemplate = MakeMenuTemplate(290, kTreeMenuItems);
