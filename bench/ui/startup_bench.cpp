// Start-up of the real Vistal against a bare Qt window, both on a private X server (Xvfb 1920 x 1200).
// A round starts one program and looks, every few milliseconds, at what the X server shows and at what
// reached the loopback endpoints:
//   bare window: from the start to its window shown in its colour, at 640 x 480 and as large as the screen
//   (the client's main window covers the screen: the X server's and the window's first fill of that many
//   pixels is part of its start);
//   Vistal (one simulated DVR with four channels at 25 pictures a second, four screens showing them,
//   automatic login): from the start to its main window shown, to the LAN discovery request (received on
//   a port of this program), to the DVR's first connection, and to the first picture in screen 1 (the
//   simulator's moving bands there: many colours in a strip of the screen).
// The discovery wait is the time from the request to the DVR's first connection (the device tree load and
// the session start inside it take a few milliseconds); initialisation is the first picture less that wait.
// The two programs alternate, round by round, after one round each to warm the caches; medians printed.
//   bench_ui_startup [ROUNDS]     (7 unless given)

#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

#include "tests/e2e/vistal_launch.h"
#include "tests/e2e/x_program.h"
#include "tests/e2e/x_session.h"
#include "tools/dvrsim/dvr_sim.h"
#include "tools/dvrsim/video_source.h"
#include "tools/homeprep/program_folder.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1200;
constexpr int kLookMs = 3;
constexpr int kRoundLimitMs = 20000;
constexpr QRgb kBareColour = 0x2060A0;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A UDP socket on a free loopback port; -1 when none could be had.
int BindLoopbackUdp(uint16_t* port) {
    int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        close(fd);
        return -1;
    }
    *port = ntohs(address.sin_port);
    return fd;
}

void EndProcess(QProcess* process) {
    if (process->state() != QProcess::NotRunning) {
        kill(static_cast<pid_t>(process->processId()), SIGKILL);
        process->waitForFinished(5000);
    }
}

// Milliseconds from the start to the bare window shown in its colour; -1 when it did not show in time.
double BareRound(XClient& x, const QString& display, const QString& runtime, bool fullScreen) {
    QProcessEnvironment settings;
    settings.insert("XDG_RUNTIME_DIR", runtime);
    Clock::time_point start = Clock::now();
    std::unique_ptr<QProcess> bare =
        StartOnDisplay(QStringLiteral(BARE_QT_WINDOW_BINARY), display, settings,
                       fullScreen ? QStringList{"--full-screen"} : QStringList{});
    pid_t pid = static_cast<pid_t>(bare->processId());
    double shown = -1;
    while (shown < 0 && MsSince(start) < kRoundLimitMs) {
        unsigned long window = x.FindWindowOfProcess(pid);
        QRect rect = window != 0 ? x.WindowRect(window) : QRect();
        if (!rect.isEmpty()) {
            QImage centre = x.Grab(QRect(rect.center(), QSize(4, 4)));
            if (!centre.isNull() && (centre.pixel(0, 0) & 0xFFFFFF) == kBareColour)
                shown = MsSince(start);
        }
        if (shown < 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(kLookMs));
    }
    EndProcess(bare.get());
    return shown;
}

struct VistalTimes {
    double window = -1;      // main window shown
    double discovery = -1;   // LAN discovery request received
    double connection = -1;  // the DVR's first connection accepted
    double picture = -1;     // the simulator's picture in screen 1
};

// A strip across the middle of screen 1 of a page of four: the video area is the window less 30 pixels
// left and top, 204 right and 88 bottom, cut into 2 x 2 screens.
QRect StripOfFirstScreen(const QRect& window) {
    int w = (window.width() - 30 - 204) / 2, h = (window.height() - 30 - 88) / 2;
    return QRect(window.left() + 30 + 8, window.top() + 30 + h / 2, w - 16, 4);
}

// The simulator's diagonal bands give a strip of a screen dozens of grey levels; the idle picture and the
// background far fewer.
bool ShowsMovingBands(const QImage& strip) {
    QSet<QRgb> colours;
    for (int x = 0; x < strip.width(); ++x)
        colours.insert(strip.pixel(x, 0));
    return colours.size() >= 40;
}

VistalTimes VistalRound(XClient& x, const QString& display, dvrsim::DvrSim* sim) {
    VistalTimes times;
    QTemporaryDir root;
    VistalFolders folders;
    uint16_t discoveryPort = 0, replyPort = 0;
    int discovery = BindLoopbackUdp(&discoveryPort);
    int reply = BindLoopbackUdp(&replyPort);  // held only to have a free port number
    if (!root.isValid() || MakeVistalFolders(root.path(), &folders) != 0 || discovery < 0 || reply < 0) {
        std::fprintf(stderr, "bench_ui_startup: folders or ports not available\n");
        return times;
    }
    close(reply);
    ProgramFolderPlan plan = OneDvrPlan("Bench", sim->Port());
    plan.views = {{0, 0, 0}, {1, 0, 1}, {2, 0, 2}, {3, 0, 3}};
    if (PrepareProgramFolder(folders.home, plan) != 0) {
        close(discovery);
        return times;
    }
    int acceptedBefore = sim->AcceptedConnections();
    QProcessEnvironment settings;
    settings.insert("VISTAL_HOME", folders.home);
    settings.insert("VISTAL_DRIVE_C", folders.drive);
    settings.insert("XDG_RUNTIME_DIR", folders.runtime);
    settings.insert("VISTAL_DISCOVERY_ADDRESS", QStringLiteral("127.0.0.1:%1").arg(discoveryPort));
    settings.insert("VISTAL_DISCOVERY_REPLY_PORT", QString::number(replyPort));

    Clock::time_point start = Clock::now();
    std::unique_ptr<QProcess> vistal = StartOnDisplay(QStringLiteral(VISTAL_BINARY), display, settings);
    pid_t pid = static_cast<pid_t>(vistal->processId());
    while (times.picture < 0 && MsSince(start) < kRoundLimitMs && vistal->state() != QProcess::NotRunning) {
        char datagram[512];
        if (times.discovery < 0 && recv(discovery, datagram, sizeof datagram, 0) >= 0)
            times.discovery = MsSince(start);
        if (times.connection < 0 && sim->AcceptedConnections() > acceptedBefore)
            times.connection = MsSince(start);
        unsigned long window = x.FindWindowOfProcess(pid);
        QRect rect = window != 0 ? x.WindowRect(window) : QRect();
        if (!rect.isEmpty() && rect.width() > 640) {
            if (times.window < 0)
                times.window = MsSince(start);
            if (times.connection >= 0 && ShowsMovingBands(x.Grab(StripOfFirstScreen(rect))))
                times.picture = MsSince(start);
        }
        if (times.picture < 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(kLookMs));
    }
    close(discovery);
    EndProcess(vistal.get());
    return times;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // A count of rounds may be given; the options scripts/bench passes to every benchmark are not for this one.
    int rounds = argc > 1 && argv[1][0] != '-' ? std::max(1, std::atoi(argv[1])) : 7;
    if (!XvfbInstalled()) {
        std::printf("bench_ui_startup: Xvfb is not installed; nothing measured\n");
        return 0;
    }
    XvfbServer xvfb;
    XClient x;
    if (xvfb.Start(kScreenWidth, kScreenHeight) != 0 || x.Open(xvfb.Display()) != 0) {
        std::fprintf(stderr, "bench_ui_startup: no X server\n");
        return 1;
    }
    dvrsim::SimConfig config;
    config.users.push_back(dvrsim::SimUser{"admin", "admin", 0x3F});
    for (int i = 0; i < 4; ++i)
        config.channels.push_back(
            dvrsim::SimChannel{"Bench " + std::to_string(i + 1), dvrsim::kCodecMpeg4, 352, 288});
    dvrsim::DvrSim sim(config);
    // The bare window's runtime folder (private to the user, as Qt wants it).
    QTemporaryDir runtime;
    if (!runtime.isValid() ||
        !QFile::setPermissions(runtime.path(),
                               QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner)) {
        std::fprintf(stderr, "bench_ui_startup: no runtime folder\n");
        return 1;
    }
    // The pictures are encoded on first use: before the rounds, so that no round waits for them.
    (void)dvrsim::GetEncodedGop(dvrsim::kCodecMpeg4, 352, 288, config.framesPerSecond);
    if (sim.Start() != 0) {
        std::fprintf(stderr, "bench_ui_startup: the simulated DVR cannot listen\n");
        return 1;
    }

    std::vector<double> bare, bareFull, window, discoveryWait, picture, initialisation;
    for (int round = 0; round <= rounds; ++round) {
        double b = BareRound(x, xvfb.Display(), runtime.path(), false);
        double f = BareRound(x, xvfb.Display(), runtime.path(), true);
        VistalTimes v = VistalRound(x, xvfb.Display(), &sim);
        if (b < 0 || f < 0 || v.picture < 0 || v.discovery < 0 || v.connection < v.discovery) {
            std::fprintf(
                stderr,
                "bench_ui_startup: round %d incomplete (bare %.0f / %.0f, window %.0f, discovery %.0f, "
                "connection %.0f, picture %.0f ms)\n",
                round, b, f, v.window, v.discovery, v.connection, v.picture);
            continue;
        }
        std::printf(
            "  round %d: bare %.0f ms, full screen %.0f ms; Vistal window %.0f, discovery %.0f, DVR %.0f, "
            "picture %.0f ms\n",
            round, b, f, v.window, v.discovery, v.connection, v.picture);
        if (round == 0)
            continue;  // caches warmed
        bare.push_back(b);
        bareFull.push_back(f);
        window.push_back(v.window);
        discoveryWait.push_back(v.connection - v.discovery);
        picture.push_back(v.picture);
        initialisation.push_back(v.picture - (v.connection - v.discovery));
    }
    if (bare.empty())
        return 1;
    double init = Median(initialisation);
    std::printf(
        "start-up (medians of %zu rounds): bare Qt window %.0f ms (full screen %.0f ms); Vistal main window "
        "%.0f ms, first picture %.0f ms, discovery wait %.0f ms, initialisation %.0f ms = %.2f x the bare "
        "window (%.2f x full screen)\n",
        bare.size(), Median(bare), Median(bareFull), Median(window), Median(picture), Median(discoveryWait),
        init, init / Median(bare), init / Median(bareFull));
    return 0;
}
