#include "resources/menus/menu_templates.h"

// Each menu's template is defined in its own file and listed here.
namespace {
const MenuTemplate* const kMenus[] = {
    nullptr,  // (no menu yet)
};
}  // namespace

const MenuTemplate* FindMenuTemplate(UINT id) {
    for (const MenuTemplate* menu : kMenus) {
        if (menu != nullptr && menu->id == id)
            return menu;
    }
    return nullptr;
}
