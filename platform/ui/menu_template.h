#pragma once

// A menu template: the items of a menu in order, each with its depth. Depth 0 items are the menu's
// popups (a menu resource is a bar of popups); an item with MF_POPUP opens a submenu made of the deeper
// items that follow it. Qt-free; the templates live in resources/menus.

#include <cstddef>

#include "platform/system/win_types.h"

struct MenuItemTemplate {
    int depth;
    UINT flags;  // MF_STRING, MF_POPUP, MF_SEPARATOR, MF_GRAYED, MF_CHECKED
    UINT id;
    const char* text;  // UTF-8
};

struct MenuTemplate {
    UINT id;
    const MenuItemTemplate* items;
    size_t itemCount;
};

template <size_t N>
constexpr MenuTemplate MakeMenuTemplate(UINT id, const MenuItemTemplate (&items)[N]) {
    return MenuTemplate{id, items, N};
}
