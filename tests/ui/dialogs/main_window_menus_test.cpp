// The main window's menus from their templates: each offers its commands in order, and the screen menu,
// once the map item and the separator before it are taken out, reads as the operator sees it.

#include <gtest/gtest.h>

#include <vector>

#include "platform/ui/menu.h"
#include "tests/ui/dialogs/language_fixture.h"
#include "ui/main_window_menus.h"

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

QString Text(const CMenu& menu, UINT id) {
    QString text;
    (void)menu.GetMenuString(id, text, MF_BYCOMMAND);
    return text;
}

bool Grey(const CMenu& menu, UINT id) {
    return (menu.GetMenuState(id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

TEST(MainWindowMenus, PreparedMenusShowTheStateAndTheLanguage) {
    ScopedBuiltinLanguage english(0);
    ASSERT_TRUE(english.ok());
    for (bool state : {false, true}) {
        CMenu screenBar, trayBar, loginBar;
        ASSERT_TRUE(screenBar.LoadMenu(IDR_MENU_SCREEN));
        ASSERT_TRUE(trayBar.LoadMenu(IDR_MENU_TRAY));
        ASSERT_TRUE(loginBar.LoadMenu(IDR_MENU_LOGIN));
        CMenu& screen = *screenBar.GetSubMenu(0);
        CMenu& tray = *trayBar.GetSubMenu(0);
        CMenu& login = *loginBar.GetSubMenu(0);
        PrepareScreenMenu(screen, state);
        PrepareScreenMenu(screen, state);  // a second time takes nothing more away
        PrepareTrayMenu(tray, state);
        PrepareLoginMenu(login, state);

        EXPECT_EQ(Ids(screen), (std::vector<UINT>{32771, 0, 32809, 32810, 0, 32789, 32790, 32776}));
        EXPECT_EQ(Text(screen, ID_SCREEN_FULLSCREEN), state ? "Exit Full" : "Full Screen");
        EXPECT_EQ(Text(screen, ID_SCREEN_SNAPSHOT), "Snapshot");
        for (UINT id : Ids(screen))
            EXPECT_FALSE(id != 0 && Grey(screen, id)) << id;

        EXPECT_EQ(Text(tray, ID_TRAY_SHOW), "Show Window");
        EXPECT_EQ(Grey(tray, ID_TRAY_EXIT), state);
        EXPECT_NE(tray.GetMenuState(ID_TRAY_SHOW, MF_BYCOMMAND) & MFS_DEFAULT, 0u);

        EXPECT_EQ(Text(login, ID_LOGIN_LOCK), state ? "Unlock System" : "Lock System");
        EXPECT_EQ(Grey(login, ID_LOGIN_SWITCH), state);
        EXPECT_FALSE(Grey(login, ID_LOGIN_LOCK));
    }
    // The texts follow the active language.
    ScopedBuiltinLanguage chinese(1);
    CMenu trayBar;
    ASSERT_TRUE(trayBar.LoadMenu(IDR_MENU_TRAY));
    PrepareTrayMenu(*trayBar.GetSubMenu(0), false);
    EXPECT_NE(Text(*trayBar.GetSubMenu(0), ID_TRAY_SHOW), "Show Window");
    EXPECT_FALSE(Text(*trayBar.GetSubMenu(0), ID_TRAY_SHOW).isEmpty());
}

}  // namespace
