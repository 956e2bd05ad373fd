#pragma once

// Removal of the updater's private temporary folder when the program is ended by a signal (SIGTERM,
// SIGINT, SIGHUP, SIGQUIT), which would otherwise leave it and its downloads behind. The handler only
// makes async-signal-safe calls: it removes the given files and the folder, then ends the program by
// the same signal with its default action.

#include <QString>
#include <QStringList>

// Arms the handlers for folder and the files in it (at most a few; paths as long as the file system
// allows). Replaces an earlier arming. 0, or -1 when a path is too long or a handler cannot be set.
[[nodiscard]] int ArmTempFolderCleanup(const QString& folder, const QStringList& files);
// Restores the default actions and forgets the paths (the folder is then removed the ordinary way).
void DisarmTempFolderCleanup();
