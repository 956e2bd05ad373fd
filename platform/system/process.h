#pragma once

#include <sys/types.h>

#include <QString>
#include <QStringList>

// Starts file with args in workFolder (empty: the current folder) and gives its process id; the caller
// reaps it. 0 when the program started, -1 otherwise.
int StartProcess(const QString& file, const QStringList& args, const QString& workFolder, pid_t* pid);

// Starts file with args in workFolder (empty: the current folder). With wait, blocks until it ends and
// stores its exit status in *exitCode (when given). Returns 0 when the program started, -1 otherwise.
int LaunchProcess(const QString& file, const QStringList& args, const QString& workFolder, bool wait,
                  int* exitCode = nullptr);

// Splits a parameter line into arguments at blanks; double quotes group blanks into one argument.
QStringList SplitCommandLine(const QString& line);
