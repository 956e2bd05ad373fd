#include "tests/updater/fixture_process.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <chrono>
#include <thread>

#include "platform/system/clock.h"
#include "platform/system/copydata_endpoint.h"
#include "platform/system/process.h"
#include "tests/bounded_wait.h"

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    return harness::WaitUntil(condition, timeoutMs);
}

FixtureClients::FixtureClients(const QString& folder) {
    static std::atomic<int> counter{0};
    m_name = QStringLiteral("VistalFx%1n%2").arg(getpid()).arg(counter++);
    m_path = folder + QLatin1Char('/') + m_name;
    QFile::copy(QStringLiteral(FIXTURE_CLIENT_PATH), m_path);
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

FixtureClients::~FixtureClients() {
    for (pid_t pid : m_pids) {
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        QFile::remove(CopyDataEndpointPath(pid));
    }
}

pid_t FixtureClients::Start(const QStringList& args) {
    pid_t pid = -1;
    if (StartProcess(m_path, args, QString(), &pid) != 0)
        return -1;
    m_pids.append(pid);
    bool withEndpoint = !args.isEmpty() && args[0] != QLatin1String("none");
    QString endpoint = CopyDataEndpointPath(pid);
    bool ready = WaitFor(
        [&] {
            if (withEndpoint)
                return QFileInfo::exists(endpoint);
            // Running under its own name once the exec has happened.
            return QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget() == m_path;
        },
        5000);
    return ready ? pid : -1;
}

int FixtureClients::WaitEnded(pid_t pid, int timeoutMs) {
    int status = -1;
    bool ended = WaitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, timeoutMs);
    if (!ended)
        return -1;
    m_pids.removeAll(pid);
    return status;
}
