#pragma once

#include <QString>
#include <QStringList>

// Creates the folders of path one level at a time. The first component (the drive, or the root) is never
// created, nor the part after the last separator: `C:\a\b\` creates C:\a and C:\a\b, `C:\a\b` only C:\a.
// 1 on success (an existing folder counts), 0 on failure or for an empty path.
int CreateDirectoryPath(const QString& path);

// Deletes files and folders (folders with their contents), without asking. 1 when all went, else 0.
int ShellDeleteFiles(const QStringList& paths);
// Renames (moves) one file or folder; never replaces an existing target. 1 on success, else 0.
int ShellRenameFile(const QString& from, const QString& to);

// Runs file with its parameter line in workFolder; with wait, until it ends. Failures are not reported.
// showWindow has no meaning here and is kept for the callers' sake.
void RunProgram(int showWindow, const QString& file, const QString& parameters, const QString& workFolder,
                int wait);

// The program folder, ending in a separator (its letter case kept).
void GetModuleFolder(QString* folder);
