#pragma once

// The real Vistal with many simulated DVRs on loopback, each DVR's first channel on a screen of the grid:
// the program folder, the simulators, the program under chosen limits of open files, what /proc says of
// it, and its close. Shared by the many-DVR suite and the soak benchmark.

#include <sys/resource.h>

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "tools/dvrsim/dvr_sim.h"

// The descriptors, threads and resident memory of a running process, from /proc.
struct ProcessCounts {
    int descriptors = 0;
    int threads = 0;
    long residentKib = 0;
};
ProcessCounts CountsOf(qint64 pid);

class VistalFleet {
public:
    // Prepares the program folder and starts `dvrs` simulators (one channel each at framesPerSecond).
    // Valid() tells whether all of it worked.
    VistalFleet(int dvrs, int framesPerSecond);
    ~VistalFleet();
    VistalFleet(const VistalFleet&) = delete;
    VistalFleet& operator=(const VistalFleet&) = delete;
    bool Valid() const { return m_valid; }

    // Starts Vistal (binary) with the limits of open files (soft, hard). false when it does not start.
    bool Start(const QString& binary, rlim_t soft, rlim_t hard);
    bool Running();
    ProcessCounts Counts();
    // The DVRs whose channel the program has opened and is being sent.
    int StreamingDvrs();
    // Asks the program to close as the Updater does; true when it answered and ended normally. Its standard
    // error is then in Errors().
    bool CloseAndWait();
    QByteArray Errors() const { return m_errors; }

    std::vector<std::unique_ptr<dvrsim::DvrSim>>& Sims() { return m_sims; }

private:
    QTemporaryDir m_root;
    QString m_home;
    QString m_runtime;
    std::vector<std::unique_ptr<dvrsim::DvrSim>> m_sims;
    std::unique_ptr<QProcess> m_process;
    QByteArray m_errors;
    bool m_valid = false;
};
