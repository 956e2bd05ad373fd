// The real Vistal under a hard limit of open files too low for its start-up says so, with the limit it
// needs, and shows no main window; under exactly that limit it starts and ends normally.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "platform/system/copydata_endpoint.h"
#include "tests/bounded_wait.h"
#include "updater/close_request.h"

namespace {

class VistalDescriptorLimit : public ::testing::Test {
protected:
    void SetUp() override {
        home = root.filePath("home");
        runtime = root.filePath("run");
        QDir().mkpath(home);
        QDir().mkpath(root.filePath("c"));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    void Start(rlim_t limit) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VISTAL_HOME", home);
        env.insert("VISTAL_DRIVE_C", root.filePath("c"));
        env.insert("XDG_RUNTIME_DIR", runtime);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("LANG", "en_US.UTF-8");
        process.setProcessEnvironment(env);
        process.setChildProcessModifier([limit] {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            struct rlimit both = {limit, limit};
            setrlimit(RLIMIT_NOFILE, &both);
        });
        process.start(QStringLiteral(VISTAL_BINARY), {});
        ASSERT_TRUE(process.waitForStarted(10000));
    }
    // Sends the Updater's close request until the program takes it; true when it then ended with code 0.
    bool CloseAndWait() {
        qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
        COPYDATASTRUCT close = {COPYDATA_CLOSE_REQUEST, 0, nullptr};
        bool taken = harness::WaitUntil(
            [&] {
                return process.state() != QProcess::Running ||
                       SendCopyData(static_cast<pid_t>(process.processId()), 0, close, 100) == 0;
            },
            30000, [] {});
        bool ended = taken && process.waitForFinished(20000);
        errors += process.readAllStandardError();
        return ended && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }
    void Stop() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    void TearDown() override { Stop(); }

    QTemporaryDir root;
    QString home, runtime;
    QProcess process;
    QByteArray errors;
};

TEST_F(VistalDescriptorLimit, ALimitTooLowIsNamedWithTheLimitNeeded) {
    constexpr rlim_t kLow = 200;
    Start(kLow);
    const QRegularExpression said(
        QStringLiteral("limit of open files \\((\\d+)\\) is too low for Vistal: it "
                       "needs at least (\\d+)"));
    QRegularExpressionMatch match;
    EXPECT_TRUE(harness::WaitUntil(
        [&] {
            process.waitForReadyRead(50);
            errors += process.readAllStandardError();
            match = said.match(QString::fromUtf8(errors));
            return match.hasMatch() || process.state() == QProcess::NotRunning;
        },
        20000, [] {}))
        << errors.constData();
    ASSERT_TRUE(match.hasMatch()) << errors.constData();
    EXPECT_EQ(match.captured(1).toLong(), static_cast<long>(kLow));
    const long needed = match.captured(2).toLong();
    EXPECT_GT(needed, static_cast<long>(kLow));
    // It waits in its message box (or has ended) before its start-up: no settings were made.
    EXPECT_FALSE(QFile::exists(home + "/system.ini"));
    Stop();

    // Under exactly the limit named, the program starts, runs its main window and ends when asked.
    errors.clear();
    Start(static_cast<rlim_t>(needed));
    EXPECT_TRUE(CloseAndWait()) << errors.constData();
    EXPECT_FALSE(errors.contains("cannot start")) << errors.constData();
    EXPECT_TRUE(QFile::exists(home + "/data/view.dat"));
}

}  // namespace
