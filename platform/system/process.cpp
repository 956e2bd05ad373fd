#include "platform/system/process.h"

#include <spawn.h>
#include <sys/wait.h>

#include <QFile>
#include <cerrno>
#include <thread>
#include <vector>

extern char** environ;

int StartProcess(const QString& file, const QStringList& args, const QString& workFolder, pid_t* pid) {
    QByteArray path = QFile::encodeName(file);
    std::vector<QByteArray> storage;
    storage.push_back(path);
    for (const QString& a : args)
        storage.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    QByteArray folder = QFile::encodeName(workFolder);
    if (!folder.isEmpty())
        posix_spawn_file_actions_addchdir_np(&actions, folder.constData());
    int rc = file.contains(QLatin1Char('/'))
                 ? posix_spawn(pid, path.constData(), &actions, nullptr, argv.data(), environ)
                 : posix_spawnp(pid, path.constData(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? 0 : -1;
}

int LaunchProcess(const QString& file, const QStringList& args, const QString& workFolder, bool wait,
                  int* exitCode) {
    pid_t pid = 0;
    if (StartProcess(file, args, workFolder, &pid) != 0)
        return -1;
    if (wait) {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0) {
            if (errno != EINTR)
                return 0;
        }
        if (exitCode)
            *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    } else {
        // Nobody waits for it: a small thread reaps it so that no zombie is left behind.
        std::thread([pid]() {
            int status = 0;
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    }
    return 0;
}

QStringList SplitCommandLine(const QString& line) {
    QStringList args;
    QString current;
    bool quoted = false;
    bool any = false;
    for (QChar c : line) {
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
            any = true;
        } else if (c.isSpace() && !quoted) {
            if (any)
                args.append(current);
            current.clear();
            any = false;
        } else {
            current += c;
            any = true;
        }
    }
    if (any)
        args.append(current);
    return args;
}
