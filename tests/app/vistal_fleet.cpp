#include "tests/app/vistal_fleet.h"

#include <signal.h>
#include <sys/prctl.h>

#include <QDir>
#include <QFile>

#include "platform/system/copydata_endpoint.h"
#include "platform/system/descriptor_limit.h"
#include "tests/bounded_wait.h"
#include "tools/dvrsim/video_source.h"
#include "tools/homeprep/program_folder.h"
#include "updater/close_request.h"

ProcessCounts CountsOf(qint64 pid) {
    ProcessCounts counts;
    counts.descriptors = static_cast<int>(
        QDir(QStringLiteral("/proc/%1/fd").arg(pid)).entryList(QDir::NoDotAndDotDot | QDir::System).size());
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("Threads:"))
                counts.threads = line.mid(8).trimmed().toInt();
            else if (line.startsWith("VmRSS:"))
                counts.residentKib = line.mid(6).trimmed().split(' ')[0].toLong();
        }
    }
    return counts;
}

VistalFleet::VistalFleet(int dvrs, int framesPerSecond) {
    if (!m_root.isValid())
        return;
    // The simulators' own sockets are this process's.
    static_cast<void>(RaiseDescriptorLimit());
    m_home = m_root.filePath("home");
    m_runtime = m_root.filePath("run");
    for (const QString& folder : {m_home, m_runtime, m_root.filePath("c")}) {
        if (!QDir().mkpath(folder))
            return;
    }
    if (!QFile::setPermissions(m_runtime,
                               QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner))
        return;
    ProgramFolderPlan plan;
    plan.screenNum = 64;
    for (int i = 0; i < dvrs; ++i) {
        dvrsim::SimConfig config;
        config.users.push_back(dvrsim::SimUser{"admin", "admin", 0x3F});
        config.channels.push_back(dvrsim::SimChannel{"Camera", dvrsim::kCodecMpeg4, 352, 288});
        config.framesPerSecond = framesPerSecond;
        m_sims.push_back(std::make_unique<dvrsim::DvrSim>(config));
        if (m_sims.back()->Start() != 0)
            return;
        plan.dvrs.push_back(
            {QStringLiteral("DVR %1").arg(i + 1), "127.0.0.1", m_sims.back()->Port(), "admin", "admin"});
        if (i < 64)
            plan.views.push_back({i, i, 0});
    }
    m_valid = PrepareProgramFolder(m_home, plan) == 0;
}

VistalFleet::~VistalFleet() {
    if (m_process && Running()) {
        m_process->kill();
        m_process->waitForFinished();
    }
}

bool VistalFleet::Start(const QString& binary, rlim_t soft, rlim_t hard) {
    m_process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VISTAL_HOME", m_home);
    env.insert("VISTAL_DRIVE_C", m_root.filePath("c"));
    env.insert("XDG_RUNTIME_DIR", m_runtime);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("VISTAL_DISCOVERY_ADDRESS", "127.0.0.1:9");
    env.insert("VISTAL_DISCOVERY_REPLY_PORT", "0");
    env.insert("VISTAL_WAN_SERVER", "127.0.0.1:9");
    env.insert("VISTAL_UPDATE_HOST", "127.0.0.1:9");
    m_process->setProcessEnvironment(env);
    m_process->setChildProcessModifier([soft, hard] {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        struct rlimit limit = {soft, hard};
        setrlimit(RLIMIT_NOFILE, &limit);
    });
    m_process->start(binary, {});
    return m_process->waitForStarted(10000);
}

bool VistalFleet::Running() {
    m_process->waitForFinished(0);
    return m_process->state() == QProcess::Running;
}

ProcessCounts VistalFleet::Counts() {
    return CountsOf(m_process->processId());
}

int VistalFleet::StreamingDvrs() {
    int count = 0;
    for (const auto& sim : m_sims)
        count += sim->Streamed(0).pictures > 0 ? 1 : 0;
    return count;
}

bool VistalFleet::CloseAndWait() {
    qputenv("XDG_RUNTIME_DIR", m_runtime.toLocal8Bit());
    COPYDATASTRUCT close = {COPYDATA_CLOSE_REQUEST, 0, nullptr};
    bool sent = harness::WaitUntil(
        [&] { return SendCopyData(static_cast<pid_t>(m_process->processId()), 0, close, 500) == 0; }, 10000);
    bool ended = sent && m_process->waitForFinished(20000);
    if (!ended) {
        m_process->kill();
        m_process->waitForFinished();
    }
    m_errors = m_process->readAllStandardError();
    return ended && m_process->exitStatus() == QProcess::NormalExit;
}
