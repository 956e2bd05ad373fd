#include "resources/menus/menu_templates.h"

// Each menu's template is defined in its own file and listed here.
extern const MenuTemplate kScreenMenuTemplate;
extern const MenuTemplate kTrayMenuTemplate;
extern const MenuTemplate kLoginMenuTemplate;
// The tree editor's context menu.
extern const MenuTemplate kTreeMenuTemplate;

namespace {
const MenuTemplate* const kMenus[] = {
    &kScreenMenuTemplate,
    &kTrayMenuTemplate,
    &kLoginMenuTemplate,
    // The tree editor's context menu.
    &kTreeMenuTemplate,
};
}  // namespace

const MenuTemplate* FindMenuTemplate(UINT id) {
    for (const MenuTemplate* menu : kMenus) {
        if (menu != nullptr && menu->id == id)
            return menu;
    }
    return nullptr;
}
