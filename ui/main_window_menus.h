#pragma once

// The main window's three menus made ready to open: their texts from the active language, and the items
// the window's state removes or greys. Each function takes the first popup of its menu resource.

#include "platform/ui/menu.h"

constexpr UINT IDR_MENU_SCREEN = 131;
constexpr UINT IDR_MENU_TRAY = 222;
constexpr UINT IDR_MENU_LOGIN = 275;

constexpr UINT ID_SCREEN_FULLSCREEN = 32771;
constexpr UINT ID_TRAY_SHOW = 32772;
constexpr UINT ID_TRAY_EXIT = 32773;
constexpr UINT ID_LOGIN_LOCK = 32774;
constexpr UINT ID_LOGIN_SWITCH = 32775;
constexpr UINT ID_SCREEN_SNAPSHOT = 32776;
constexpr UINT ID_SCREEN_START_RECORD = 32789;
constexpr UINT ID_SCREEN_STOP_RECORD = 32790;
constexpr UINT ID_SCREEN_START_AUTOSCAN = 32809;
constexpr UINT ID_SCREEN_STOP_AUTOSCAN = 32810;
constexpr UINT ID_SCREEN_MAP = 32811;

// The grid's right-click menu: full screen or its exit, auto-scan, record, snapshot; the map item and the
// separator before it are taken out.
void PrepareScreenMenu(CMenu& popup, bool fullScreen);

// The tray menu: Show Window (the default item) and Exit, greyed while the window is locked.
void PrepareTrayMenu(CMenu& popup, bool locked);

// The login button's menu: Lock System or Unlock System, and Switch User, greyed while locked.
void PrepareLoginMenu(CMenu& popup, bool locked);
