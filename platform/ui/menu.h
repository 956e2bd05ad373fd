#pragma once

// CMenu: a popup menu of commands, separators and submenus. TrackPopupMenu shows it at a screen point; the
// chosen command is returned (TPM_RETURNCMD) or posted to the owner window as WM_COMMAND.

#include <QString>
#include <memory>
#include <vector>

#include "platform/ui/menu_template.h"
#include "platform/ui/wnd.h"

constexpr UINT TPM_LEFTALIGN = 0x0;
constexpr UINT TPM_RIGHTBUTTON = 0x2;
constexpr UINT TPM_BOTTOMALIGN = 0x20;
constexpr UINT TPM_RETURNCMD = 0x100;

class CMenu {
public:
    BOOL CreatePopupMenu();
    // The menu resource with that number (a bar of popups: GetSubMenu(0) is the first); FALSE when the
    // program has no such menu.
    BOOL LoadMenu(UINT nIDResource);
    BOOL LoadMenuIndirect(const MenuTemplate* menuTemplate);
    BOOL DestroyMenu();
    // A command (id, text), a separator, or a submenu (MF_POPUP with the submenu, which the menu takes).
    BOOL AppendMenu(UINT flags, UINT id = 0, const QString& text = QString());
    BOOL AppendMenu(UINT flags, std::unique_ptr<CMenu> subMenu, const QString& text);
    UINT CheckMenuItem(UINT item, UINT check);
    UINT EnableMenuItem(UINT item, UINT enable);
    BOOL ModifyMenu(UINT item, UINT flags, UINT newId, const QString& text);
    BOOL DeleteMenu(UINT item, UINT flags);
    // The item shown in bold, which a double click on the tray icon would choose.
    BOOL SetDefaultItem(UINT item, BOOL byPosition = FALSE);
    int GetMenuItemCount() const { return static_cast<int>(m_items.size()); }
    UINT GetMenuItemID(int position) const;
    UINT GetMenuState(UINT item, UINT flags) const;
    // The item's text into text; its length, or 0 when there is no such item.
    int GetMenuString(UINT item, QString& text, UINT flags) const;
    CMenu* GetSubMenu(int position) const;
    // 0 when nothing was chosen (or without TPM_RETURNCMD, the command was posted to owner).
    int TrackPopupMenu(UINT flags, int x, int y, CWnd* owner);

private:
    struct Item {
        UINT flags = 0;
        UINT id = 0;
        QString text;
        std::unique_ptr<CMenu> subMenu;
    };
    Item* Find(UINT item, UINT flags);
    const Item* Find(UINT item, UINT flags) const;
    std::vector<Item> m_items;
    bool m_created = false;
};
