// The real Vistal with 64 simulated DVRs, each shown on a screen of the grid, under a limit of open files:
// the desktop's common soft limit of 1024 (the program raises it), and a hard limit too small for every
// session (the sessions that fit come online, the program keeps answering, a shortage is reported once).

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <thread>
#include <vector>

#include "platform/system/copydata_endpoint.h"
#include "platform/system/descriptor_limit.h"
#include "tests/bounded_wait.h"
#include "tools/dvrsim/dvr_sim.h"
#include "tools/dvrsim/video_source.h"
#include "tools/homeprep/program_folder.h"
#include "updater/close_request.h"

namespace {

constexpr int kDvrs = 64;
// How long the program runs with every session online before it is asked to close (kept short for CI).
constexpr int kHoldMs = 12000;

// The descriptors and threads of a running process, from /proc.
struct ProcessCounts {
    int descriptors = 0;
    int threads = 0;
};

ProcessCounts CountsOf(qint64 pid) {
    ProcessCounts counts;
    counts.descriptors = static_cast<int>(
        QDir(QStringLiteral("/proc/%1/fd").arg(pid)).entryList(QDir::NoDotAndDotDot | QDir::System).size());
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("Threads:"))
                counts.threads = line.mid(8).trimmed().toInt();
        }
    }
    return counts;
}

class ManyDvrs : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        // The simulators' own sockets are this process's.
        static_cast<void>(RaiseDescriptorLimit());
        home = root.filePath("home");
        runtime = root.filePath("run");
        for (const QString& folder : {home, runtime, root.filePath("c")})
            ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_TRUE(QFile::setPermissions(
            runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        ProgramFolderPlan plan;
        plan.screenNum = 64;
        for (int i = 0; i < kDvrs; ++i) {
            dvrsim::SimConfig config;
            config.users.push_back(dvrsim::SimUser{"admin", "admin", 0x3F});
            config.channels.push_back(dvrsim::SimChannel{"Camera", dvrsim::kCodecMpeg4, 352, 288});
            config.framesPerSecond = 2;
            sims.push_back(std::make_unique<dvrsim::DvrSim>(config));
            ASSERT_EQ(sims.back()->Start(), 0);
            plan.dvrs.push_back(
                {QStringLiteral("DVR %1").arg(i + 1), "127.0.0.1", sims.back()->Port(), "admin", "admin"});
            plan.views.push_back({i, i, 0});
        }
        ASSERT_EQ(PrepareProgramFolder(home, plan), 0);
    }

    // Starts Vistal with the given limits of open files (soft, hard).
    void Start(rlim_t soft, rlim_t hard) {
        process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VISTAL_HOME", home);
        env.insert("VISTAL_DRIVE_C", root.filePath("c"));
        env.insert("XDG_RUNTIME_DIR", runtime);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("VISTAL_DISCOVERY_ADDRESS", "127.0.0.1:9");
        env.insert("VISTAL_DISCOVERY_REPLY_PORT", "0");
        env.insert("VISTAL_WAN_SERVER", "127.0.0.1:9");
        env.insert("VISTAL_UPDATE_HOST", "127.0.0.1:9");
        process->setProcessEnvironment(env);
        process->setChildProcessModifier([soft, hard] {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            struct rlimit limit = {soft, hard};
            setrlimit(RLIMIT_NOFILE, &limit);
        });
        process->start(QStringLiteral(VISTAL_BINARY), {});
        ASSERT_TRUE(process->waitForStarted(10000));
    }

    // The DVRs whose channel the program has opened and is being sent.
    int StreamingDvrs() {
        int count = 0;
        for (const auto& sim : sims)
            count += sim->Streamed(0).pictures > 0 ? 1 : 0;
        return count;
    }

    bool Running() {
        process->waitForFinished(0);
        return process->state() == QProcess::Running;
    }
    ProcessCounts Counts() { return CountsOf(process->processId()); }

    // Asks the program to close as the Updater does; true when it answered and ended normally.
    bool CloseAndWait() {
        qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
        COPYDATASTRUCT close = {COPYDATA_CLOSE_REQUEST, 0, nullptr};
        bool sent = harness::WaitUntil(
            [&] { return SendCopyData(static_cast<pid_t>(process->processId()), 0, close, 500) == 0; },
            10000);
        bool ended = sent && process->waitForFinished(20000);
        if (!ended) {
            process->kill();
            process->waitForFinished();
        }
        errors = process->readAllStandardError();
        return ended && process->exitStatus() == QProcess::NormalExit;
    }

    QTemporaryDir root;
    QString home, runtime;
    std::vector<std::unique_ptr<dvrsim::DvrSim>> sims;
    std::unique_ptr<QProcess> process;
    QByteArray errors;
};

TEST_F(ManyDvrs, SixtyFourRunUnderTheCommonSoftLimit) {
    struct rlimit own;
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &own), 0);
    if (own.rlim_max <= 1024)
        GTEST_SKIP() << "the hard limit of open files is " << own.rlim_max << ", no room above 1024";
    Start(1024, own.rlim_max);
    ASSERT_TRUE(harness::WaitUntil([&] { return StreamingDvrs() == kDvrs || !Running(); }, 90000))
        << StreamingDvrs() << " of " << kDvrs << " DVRs streaming";
    ASSERT_TRUE(Running());
    const auto start = std::chrono::steady_clock::now();
    ProcessCounts most;
    while (Running() && std::chrono::steady_clock::now() - start < std::chrono::milliseconds(kHoldMs)) {
        ProcessCounts now = CountsOf(process->processId());
        most.descriptors = std::max(most.descriptors, now.descriptors);
        most.threads = std::max(most.threads, now.threads);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    EXPECT_TRUE(Running()) << process->readAllStandardError().constData();
    std::printf("64 DVRs online: at most %d descriptors and %d threads\n", most.descriptors, most.threads);
    RecordProperty("descriptors", most.descriptors);
    RecordProperty("threads", most.threads);
    EXPECT_TRUE(CloseAndWait()) << errors.constData();
}

TEST_F(ManyDvrs, ALimitTooSmallLeavesTheSessionsThatFitAndOneMessage) {
    constexpr rlim_t kSmall = 600;
    Start(kSmall, kSmall);
    // Some sessions come online; the others keep failing for want of descriptors.
    ASSERT_TRUE(harness::WaitUntil([&] { return StreamingDvrs() >= 8 || !Running(); }, 60000))
        << StreamingDvrs() << " DVRs streaming; " << Counts().descriptors << " descriptors\n"
        << process->readAllStandardError().constData();
    // The sessions that came online stay online: their pictures keep coming while the others fail.
    std::vector<int> pictures;
    for (const auto& sim : sims)
        pictures.push_back(sim->Streamed(0).pictures);
    std::this_thread::sleep_for(std::chrono::milliseconds(4000));
    EXPECT_TRUE(Running());
    int streaming = 0;
    int kept = 0;
    for (size_t i = 0; i < sims.size(); ++i) {
        const int now = sims[i]->Streamed(0).pictures;
        streaming += now > 0 ? 1 : 0;
        kept += pictures[i] > 0 && now > pictures[i] ? 1 : 0;
    }
    EXPECT_LT(streaming, kDvrs);
    EXPECT_GE(kept, 8);
    std::printf("a limit of %d descriptors: %d of %d DVRs streaming, %d of them throughout\n",
                static_cast<int>(kSmall), streaming, kDvrs, kept);
    EXPECT_TRUE(CloseAndWait()) << errors.constData();
    // Each kind of failure is reported once, however often it is tried again.
    std::map<QByteArray, int> lines;
    for (const QByteArray& line : errors.split('\n')) {
        if (line.contains("could not be started"))
            ++lines[line];
    }
    EXPECT_FALSE(lines.empty()) << errors.constData();
    for (const auto& [line, count] : lines)
        EXPECT_EQ(count, 1) << line.constData();
}

}  // namespace
