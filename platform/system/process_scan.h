#pragma once

#include <sys/types.h>

#include <QString>
#include <vector>

// Running processes (zombies left out) whose executable's file name equals name, ignoring letter case.
// Read from /proc; processes of other users whose executable cannot be read are not seen.
std::vector<pid_t> FindProcessesByName(const QString& name);
