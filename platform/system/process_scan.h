#pragma once

#include <sys/types.h>

#include <QString>
#include <vector>

struct FoundProcess {
    pid_t pid = 0;
    QString executable;  // the full path of its executable
};

// Running processes (zombies left out) of the calling user (the same real user id) whose executable's file
// name equals name, ignoring letter case, and whose executable lies directly in folder or whose working
// folder is folder. Read from /proc.
// Processes of other users, and of other folders with the same program name, are never seen: on a machine
// shared by several users or installations only the caller's own copy is found.
std::vector<FoundProcess> FindOwnProcesses(const QString& name, const QString& folder);
