#pragma once

// The notification-area icon: added, changed and removed for a window and an icon id; mouse actions on it
// are posted to the window as its callback message (wParam the icon id, lParam the mouse message).

#include <QIcon>
#include <QString>

#include "platform/ui/wnd.h"

constexpr DWORD NIM_ADD = 0;
constexpr DWORD NIM_MODIFY = 1;
constexpr DWORD NIM_DELETE = 2;
constexpr UINT NIF_MESSAGE = 0x1;
constexpr UINT NIF_ICON = 0x2;
constexpr UINT NIF_TIP = 0x4;

struct NOTIFYICONDATA {
    HWND hWnd = nullptr;
    UINT uID = 0;
    UINT uFlags = 0;
    UINT uCallbackMessage = 0;
    QIcon hIcon;
    QString szTip;
};

BOOL Shell_NotifyIcon(DWORD message, NOTIFYICONDATA* data);
// False on a desktop without a notification area: an icon added there shows nothing.
bool SystemTrayAvailable();
// True while an icon for (hwnd, id) is shown (tests).
bool IsTrayIconShown(HWND hwnd, UINT id);
