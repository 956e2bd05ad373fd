#include "platform/ui/tray_icon.h"

#include <QSystemTrayIcon>
#include <map>
#include <memory>

namespace {

struct TrayEntry {
    std::unique_ptr<QSystemTrayIcon> icon;
    UINT callback = 0;
};
std::map<std::pair<HWND, UINT>, TrayEntry> g_icons;

UINT MouseMessageOf(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::DoubleClick:
            return WM_LBUTTONDBLCLK;
        case QSystemTrayIcon::Context:
            return WM_RBUTTONDOWN;
        case QSystemTrayIcon::MiddleClick:
            return WM_MBUTTONDOWN;
        default:
            return WM_LBUTTONDOWN;
    }
}

}  // namespace

BOOL Shell_NotifyIcon(DWORD message, NOTIFYICONDATA* data) {
    if (data == nullptr)
        return FALSE;
    auto key = std::make_pair(data->hWnd, data->uID);
    auto it = g_icons.find(key);
    if (message == NIM_DELETE) {
        if (it == g_icons.end())
            return FALSE;
        g_icons.erase(it);
        return TRUE;
    }
    if (message == NIM_ADD) {
        if (it != g_icons.end() || CWnd::FromHandle(data->hWnd) == nullptr)
            return FALSE;
        TrayEntry entry;
        entry.icon = std::make_unique<QSystemTrayIcon>();
        HWND hwnd = data->hWnd;
        UINT id = data->uID;
        QObject::connect(entry.icon.get(), &QSystemTrayIcon::activated, entry.icon.get(),
                         [hwnd, id](QSystemTrayIcon::ActivationReason reason) {
                             auto found = g_icons.find({hwnd, id});
                             if (found != g_icons.end() && found->second.callback != 0)
                                 PostMessage(hwnd, found->second.callback, id,
                                             static_cast<LPARAM>(MouseMessageOf(reason)));
                         });
        it = g_icons.emplace(key, std::move(entry)).first;
    } else if (it == g_icons.end()) {
        return FALSE;
    }
    TrayEntry& entry = it->second;
    if (data->uFlags & NIF_MESSAGE)
        entry.callback = data->uCallbackMessage;
    if (data->uFlags & NIF_ICON)
        entry.icon->setIcon(data->hIcon);
    if (data->uFlags & NIF_TIP)
        entry.icon->setToolTip(data->szTip);
    if (message == NIM_ADD && QSystemTrayIcon::isSystemTrayAvailable())
        entry.icon->show();
    return TRUE;
}

bool SystemTrayAvailable() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool IsTrayIconShown(HWND hwnd, UINT id) {
    return g_icons.count({hwnd, id}) != 0;
}
