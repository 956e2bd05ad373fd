#include "tests/updater/fixture_process.h"

#include <grp.h>
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

FixtureClients::FixtureClients(const QString& folder, const QString& name) {
    static std::atomic<int> counter{0};
    m_name = name.isEmpty() ? QStringLiteral("VistalFx%1n%2").arg(getpid()).arg(counter++) : name;
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

pid_t FixtureClients::Start(const QStringList& args, const QString& workFolder) {
    pid_t pid = -1;
    if (StartProcess(m_path, args, workFolder, &pid) != 0)
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

pid_t FixtureClients::StartAsUser(uid_t uid, gid_t gid) {
    const QFile::Permissions everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                        QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                        QFile::ExeOther;
    if (!QFile::setPermissions(Folder(), everyone) || !QFile::setPermissions(m_path, everyone))
        return -1;
    const QByteArray path = QFile::encodeName(m_path);
    pid_t pid = fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        if (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0)
            _exit(126);
        execl(path.constData(), path.constData(), "none", static_cast<char*>(nullptr));
        _exit(127);
    }
    m_pids.append(pid);
    bool ready = WaitFor(
        [&] { return QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget() == m_path; }, 5000);
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
