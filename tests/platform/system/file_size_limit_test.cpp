// Past the file-size limit a write fails with EFBIG and the process goes on (SIGXFSZ would end it).

#include "platform/system/file_size_limit.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <cerrno>

namespace {

// In a child process (the limit and the signal's action belong to the process): 0 when the write past
// the limit failed with EFBIG and the child lived on to say so.
int WritePastTheLimit(const char* path, bool ignore) {
    if (ignore && IgnoreFileSizeSignal() != 0)
        return 10;
    const rlimit noCore{0, 0};
    (void)setrlimit(RLIMIT_CORE, &noCore);  // the signal's default action would also dump a core
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) != 0)
        return 11;
    limit.rlim_cur = 4096;
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
        return 12;
    const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return 13;
    static const char kBytes[8192] = {};
    const ssize_t first = write(fd, kBytes, sizeof kBytes);  // stops at the limit
    const ssize_t second = write(fd, kBytes, sizeof kBytes);
    const int error = errno;
    close(fd);
    return first == 4096 && second < 0 && error == EFBIG ? 0 : 14;
}

TEST(FileSizeLimit, AWritePastTheLimitFailsWithEfbigInsteadOfEndingTheProcess) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray path = dir.filePath(QStringLiteral("file")).toLocal8Bit();
    for (bool ignore : {true, false}) {
        SCOPED_TRACE(ignore ? "ignored" : "default action");
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0)
            _exit(WritePastTheLimit(path.constData(), ignore));
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        if (ignore) {
            ASSERT_TRUE(WIFEXITED(status));
            EXPECT_EQ(WEXITSTATUS(status), 0);
        } else {
            // Without it the signal ends the process at the first write past the limit.
            ASSERT_TRUE(WIFSIGNALED(status));
            EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
        }
    }
}

}  // namespace
