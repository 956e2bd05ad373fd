#pragma once

// A program folder for the real main window in this process: LAN mode with automatic login of the local
// account, a tree.dat with DVRs on loopback and a view.dat placing channels on screens. Used by the main
// window suite and the main window benchmark.

#include <QDir>
#include <QString>
#include <cstring>
#include <vector>

#include "core/system_settings.h"
#include "core/tarvik_app.h"
#include "tests/dvr/tree_file_fixture.h"
#include "ui/dialogs/dlg_login.h"
#include "ui/view_file.h"

struct HomeDvr {
    int id;
    QString name;
    uint16_t port;
};

// The bytes of a view.dat: the mark and 64 entries, those not given {-1, -1}.
inline QByteArray ViewFileBytes(const std::vector<ViewEntry>& entries) {
    QByteArray bytes("\xFF\xFE", 2);
    for (int i = 0; i < GRID_SCREENS; ++i) {
        ViewEntry e = i < static_cast<int>(entries.size()) ? entries[i] : ViewEntry{-1, -1};
        bytes.append(reinterpret_cast<const char*>(&e), sizeof e);
    }
    return bytes;
}

// Points theApp at folder (ending in '/') and writes the files; false when one cannot be written.
inline bool PrepareMainWindowHome(const QString& folder, const std::vector<HomeDvr>& dvrs,
                                  const std::vector<ViewEntry>& views) {
    theApp.m_strAppDir = folder;
    theApp.m_strDataDir = folder + QStringLiteral("data/");
    QDir().mkpath(theApp.m_strDataDir);
    theApp.m_iniSystem.SetPath(folder + QStringLiteral("system.ini"));
    theApp.m_bLanMode = 1;
    // The start-up login checks the saved user against the local account.
    theApp.m_bAutoLogin = 1;
    theApp.m_strUserName = theApp.m_strSystemUser = QStringLiteral("admin");
    theApp.m_strUserPassword = theApp.m_strSystemPassword = QString();
    theApp.m_nScreenNum = 16;
    g_nScreenWidth = 1024;
    g_nScreenHeight = 768;
    g_bLoggedIn = 0;
    g_systemSettings.PopupMessage = 0;
    std::memset(g_systemSettings.SnapshotPath, 0, sizeof g_systemSettings.SnapshotPath);
    QString snapshots = folder + QStringLiteral("shots/");
    std::memcpy(g_systemSettings.SnapshotPath, snapshots.utf16(), snapshots.size() * 2);
    std::vector<DeviceTreeNode> records;
    for (const HomeDvr& d : dvrs)
        records.push_back(DvrRecord(d.id, d.name, QStringLiteral("127.0.0.1"), d.port));
    return WriteBytes(theApp.m_strDataDir + "tree.dat", TreeFileBytes(records)) &&
           WriteBytes(theApp.m_strDataDir + "view.dat", ViewFileBytes(views));
}
