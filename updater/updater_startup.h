#pragma once

#include <QString>
#include <QStringList>

// 1 when the program was started with exactly one argument and it is "/s" (silent), else 0.
int ParseSilentFlag(const QStringList& arguments);

// The updater's folders and files: the installation folder it unpacks into, and a private temporary
// folder of its own (made with mode 0700, removed when the updater ends) for the downloads.
struct UpdaterPaths {
    QString appDir;   // ends with '/'
    QString tempDir;  // ends with '/'; empty when no temporary folder could be made
    QString iniPath;  // tempDir + "update.ini" ("" without tempDir)
    QString zipPath;  // tempDir + "update.zip" ("" without tempDir)
};
UpdaterPaths MakeUpdaterPaths(const QString& appDir, const QString& privateTempDir);
