#include "ui/main_window_menus.h"

#include "core/tarvik_app.h"

namespace {

void SetItemText(CMenu& popup, UINT id, const char* key, const char* english) {
    (void)popup.ModifyMenu(id, MF_BYCOMMAND | MF_STRING, id,
                           GetLanguageText(QString::fromLatin1(key), QString::fromUtf8(english)));
}

}  // namespace

void PrepareScreenMenu(CMenu& popup, bool fullScreen) {
    if (fullScreen)
        SetItemText(popup, ID_SCREEN_FULLSCREEN, "DLGMAIN_MENU_FULLEXIT", "Exit Full");
    else
        SetItemText(popup, ID_SCREEN_FULLSCREEN, "DLGMAIN_MENU_FULLSCREEN", "Full Screen");
    SetItemText(popup, ID_SCREEN_START_AUTOSCAN, "DLGMAIN_MENU_STARTAUTOSCAN", "Start Auto-scan");
    SetItemText(popup, ID_SCREEN_STOP_AUTOSCAN, "DLGMAIN_MENU_STOPAUTOSCAN", "Stop Auto-scan");
    SetItemText(popup, ID_SCREEN_START_RECORD, "DLGMAIN_MENU_STARTRECORD", "Start Record");
    SetItemText(popup, ID_SCREEN_STOP_RECORD, "DLGMAIN_MENU_STOPRECORD", "Stop Record");
    // The map item goes by command; the separator before it is then at position 7. Only a menu that
    // still has the map item loses that separator, so preparing a menu twice takes nothing else away.
    if (popup.DeleteMenu(ID_SCREEN_MAP, MF_BYCOMMAND))
        (void)popup.DeleteMenu(7, MF_BYPOSITION);
    SetItemText(popup, ID_SCREEN_SNAPSHOT, "DLGMAIN_BUTTON_SNAPSHOT", "Snapshot");
}

void PrepareTrayMenu(CMenu& popup, bool locked) {
    SetItemText(popup, ID_TRAY_SHOW, "MENU_TRAY_SHOW", "Show Window");
    SetItemText(popup, ID_TRAY_EXIT, "MENU_TRAY_EXIT", "Exit");
    (void)popup.EnableMenuItem(ID_TRAY_EXIT, MF_BYCOMMAND | (locked ? MF_GRAYED : MF_ENABLED));
    (void)popup.SetDefaultItem(ID_TRAY_SHOW);
}

void PrepareLoginMenu(CMenu& popup, bool locked) {
    if (locked)
        SetItemText(popup, ID_LOGIN_LOCK, "MENU_LOGOUT_UNLOCK", "Unlock System");
    else
        SetItemText(popup, ID_LOGIN_LOCK, "MENU_LOGOUT_LOCK", "Lock System");
    SetItemText(popup, ID_LOGIN_SWITCH, "MENU_LOGOUT_SWITCH", "Switch User");
    (void)popup.EnableMenuItem(ID_LOGIN_SWITCH, MF_BYCOMMAND | (locked ? MF_GRAYED : MF_ENABLED));
}
