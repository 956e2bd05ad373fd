#pragma once

// A menu template: the items of a menu in order, each with its depth. Depth 0 items are the menu's
// popups (a menu resource is a bar of popups); an item with MF_POPUP opens a submenu made of the deeper
// items that follow it. Qt-free; the templates live in resources/menus.

#include <cstddef>

#include "platform/system/win_types.h"

// Item flags of templates and of CMenu.
constexpr UINT MF_STRING = 0x0;
constexpr UINT MF_BYCOMMAND = 0x0;
constexpr UINT MF_ENABLED = 0x0;
constexpr UINT MF_UNCHECKED = 0x0;
constexpr UINT MF_GRAYED = 0x1;
constexpr UINT MF_DISABLED = 0x2;
constexpr UINT MF_CHECKED = 0x8;
constexpr UINT MF_POPUP = 0x10;
constexpr UINT MF_SEPARATOR = 0x800;
constexpr UINT MF_BYPOSITION = 0x400;
constexpr UINT MFS_DEFAULT = 0x1000;

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
