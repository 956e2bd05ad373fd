// The main window's menus from their templates: each offers its commands in order, and the screen menu,
// once the map item and the separator before it are taken out, reads as the operator sees it.

#include <gtest/gtest.h>

#include <vector>

#include "platform/ui/menu.h"

namespace {

std::vector<UINT> Ids(const CMenu& menu) {
    std::vector<UINT> ids;
    for (int i = 0; i < menu.GetMenuItemCount(); ++i)
        ids.push_back(menu.GetMenuItemID(i));
    return ids;
}

TEST(MainWindowMenus, EachMenuOffersItsCommandsInOrder) {
    struct Case {
        UINT id;
        std::vector<UINT> items;  // 0: separator
    };
    const Case cases[] = {
        {131, {32771, 0, 32809, 32810, 0, 32789, 32790, 0, 32811, 32776}},
        {222, {32772, 0, 32773}},
        {275, {32774, 32775}},
    };
    for (const Case& c : cases) {
        CMenu bar;
        ASSERT_TRUE(bar.LoadMenu(c.id)) << c.id;
        CMenu* popup = bar.GetSubMenu(0);
        ASSERT_NE(popup, nullptr) << c.id;
        EXPECT_EQ(Ids(*popup), c.items) << c.id;
    }
}

TEST(MainWindowMenus, ScreenMenuWithoutTheMapReadsAsShown) {
    CMenu bar;
    ASSERT_TRUE(bar.LoadMenu(131));
    CMenu* popup = bar.GetSubMenu(0);
    ASSERT_NE(popup, nullptr);
    ASSERT_TRUE(popup->DeleteMenu(32811, MF_BYCOMMAND));
    ASSERT_TRUE(popup->DeleteMenu(7, MF_BYPOSITION));
    EXPECT_EQ(Ids(*popup), (std::vector<UINT>{32771, 0, 32809, 32810, 0, 32789, 32790, 32776}));
}

}  // namespace
