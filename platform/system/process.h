#pragma once

#include <QString>
#include <QStringList>

// Starts file with args in workFolder (empty: the current folder). With wait, blocks until it ends and
// stores its exit status in *exitCode (when given). Returns 0 when the program started, -1 otherwise.
int LaunchProcess(const QString& file, const QStringList& args, const QString& workFolder, bool wait,
                  int* exitCode = nullptr);

// Splits a parameter line into arguments at blanks; double quotes group blanks into one argument.
QStringList SplitCommandLine(const QString& line);
