#pragma once

#include <sys/types.h>

#include <QString>
#include <QStringList>
#include <functional>

// Runs copies of the fixture client program under a name of the test's own, so that tests running at
// the same time never see each other's clients. Every started process is ended and reaped at the end.
class FixtureClients {
public:
    // Copies the fixture program into folder under name, or without one under a unique executable name.
    explicit FixtureClients(const QString& folder, const QString& name = QString());
    ~FixtureClients();

    const QString& Name() const { return m_name; }
    QString Path() const { return m_path; }
    QString Folder() const { return m_path.left(m_path.lastIndexOf(QLatin1Char('/'))); }
    // Starts a client with the given arguments and waits (bounded) until it runs and, unless its mode is
    // "none", until its endpoint is open. The pid, or -1.
    pid_t Start(const QStringList& args, const QString& workFolder = QString());
    // Starts a client in mode "none" as another user (the caller must be root); the folder and the
    // program are made readable and runnable for everyone. The pid, or -1.
    pid_t StartAsUser(uid_t uid, gid_t gid);
    // Reaps pid once it has ended (bounded wait). Its wait status, or -1 when it is still running.
    int WaitEnded(pid_t pid, int timeoutMs);

private:
    QString m_name;
    QString m_path;
    QList<pid_t> m_pids;
};

// Waits up to timeoutMs for condition, checking every few milliseconds.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs);
