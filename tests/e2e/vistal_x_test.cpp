// The real Vistal on a private X server, driven from outside: a prepared program folder (LAN mode,
// automatic login, two simulated DVRs on loopback, four of their channels on the grid), then what an
// operator would see and do. Pictures of the window go to build/pictures/e2e/.

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <memory>
#include <thread>

#include "core/ini_file.h"
#include "dvr/dvr_protocol.h"
#include "dvr/dvr_records.h"
#include "platform/system/copydata_endpoint.h"
#include "tests/bounded_wait.h"
#include "tests/e2e/x_program.h"
#include "tests/e2e/x_screen_reading.h"
#include "tests/e2e/x_session.h"
#include "tools/dvrsim/dvr_sim.h"
#include "tools/dvrsim/video_source.h"
#include "tools/homeprep/program_folder.h"
#include "ui/main_window_layout.h"
#include "ui/view_file.h"

namespace {

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 800;
constexpr uintptr_t kCloseRequest = 0x7156BCDA;

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString PictureFolder() {
    QString folder = QStringLiteral(VISTAL_E2E_PICTURES_DIR);
    QDir().mkpath(folder);
    return folder;
}

std::unique_ptr<dvrsim::DvrSim> StartSim(const char* firstChannel) {
    dvrsim::SimConfig config;
    config.users.push_back(dvrsim::SimUser{"admin", "admin", 0x3F});
    for (int i = 0; i < 4; ++i)
        config.channels.push_back(dvrsim::SimChannel{std::string(firstChannel) + std::to_string(i + 1),
                                                     dvrsim::kCodecMpeg4, 352, 288});
    config.framesPerSecond = 10;
    auto sim = std::make_unique<dvrsim::DvrSim>(config);
    return sim->Start() == 0 ? std::move(sim) : nullptr;
}

class VistalOnX : public ::testing::Test {
protected:
    QTemporaryDir root;
    QString home, drive, runtime;
    XvfbServer xvfb;
    XClient x;
    std::unique_ptr<dvrsim::DvrSim> north, yard;
    std::unique_ptr<QProcess> vistal;

    void SetUp() override {
        if (!XvfbInstalled())
            GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs it)";
        home = root.filePath("home");
        drive = root.filePath("c");
        runtime = root.filePath("run");
        for (const QString& folder : {home, drive, runtime})
            QDir().mkpath(folder);
        QFile::setPermissions(runtime,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        // The close request below is sent from this process: it looks for Vistal's endpoint in the same
        // runtime folder.
        qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());

        ASSERT_EQ(xvfb.Start(kScreenWidth, kScreenHeight), 0);
        ASSERT_EQ(x.Open(xvfb.Display()), 0);
        north = StartSim("North ");
        yard = StartSim("Yard ");
        ASSERT_TRUE(north != nullptr && yard != nullptr);

        ProgramFolderPlan plan;
        plan.loginUser = "admin";
        plan.screenNum = 9;  // four screens with video, five idle
        plan.dvrs = {{"North", "127.0.0.1", north->Port(), "admin", "admin"},
                     {"Yard", "127.0.0.1", yard->Port(), "admin", "admin"}};
        plan.views = {{0, 0, 0}, {1, 0, 1}, {2, 1, 0}, {3, 1, 2}};
        ASSERT_EQ(PrepareProgramFolder(home, plan), 0);
    }

    void TearDown() override {
        if (vistal != nullptr && vistal->state() != QProcess::NotRunning) {
            kill(static_cast<pid_t>(vistal->processId()), SIGKILL);
            vistal->waitForFinished(5000);
        }
    }

    std::unique_ptr<QProcess> StartVistal() {
        QProcessEnvironment settings;
        settings.insert("VISTAL_HOME", home);
        settings.insert("VISTAL_DRIVE_C", drive);
        settings.insert("XDG_RUNTIME_DIR", runtime);
        return StartOnDisplay(QStringLiteral(VISTAL_BINARY), xvfb.Display(), settings);
    }

    // The dialog or message box the program shows over its main window is answered with Enter (its
    // default button). True when it showed and went.
    bool CloseDialog(pid_t pid, unsigned long mainWindow) {
        unsigned long dialog = 0;
        auto findDialog = [&] {
            dialog = 0;
            for (unsigned long w : x.WindowsOfProcess(pid)) {
                QRect r = x.WindowRect(w);
                if (w != mainWindow && r.width() < kScreenWidth / 2 && r.height() < kScreenHeight / 2)
                    dialog = w;
            }
            return dialog != 0;
        };
        if (!harness::WaitUntil(findDialog, 10000))
            return false;
        const QRect r = x.WindowRect(dialog);
        x.MoveMouse(r.center().x(), r.center().y());
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        x.Key("Return");
        return harness::WaitUntil([&] { return !x.IsShown(dialog); }, 10000);
    }

    // What the shut-down wrote: view.dat anew with the four screens as shown, and the window's keys.
    void ExpectSavedWindow(const QDateTime& since) {
        const QString views = home + "/data/view.dat";
        EXPECT_EQ(ReadAll(views).size(), VIEW_FILE_SIZE);
        EXPECT_GE(QFileInfo(views).lastModified(), since);
        ViewEntry saved[GRID_SCREENS];
        EXPECT_EQ(LoadViewFile(views, saved), 4);
        const ViewEntry shown[4] = {{0, 0}, {0, 1}, {1, 0}, {1, 2}};
        for (int screen = 0; screen < 4; ++screen) {
            EXPECT_EQ(saved[screen].deviceId, shown[screen].deviceId) << screen;
            EXPECT_EQ(saved[screen].channel, shown[screen].channel) << screen;
        }
        CIniFile ini(home + "/system.ini");
        EXPECT_EQ(ini.GetInt("USER", "ScreenNum", -1), 9);
        EXPECT_EQ(ini.GetInt("USER", "PointStart", -1), 0);  // the window's top-left corner, (0, 0)
        EXPECT_EQ(ini.GetInt("USER", "PointStop", -1), kScreenHeight << 16 | kScreenWidth);
    }

    // Waits for Vistal's window; 0 when the process ended (or the time ran out) without one.
    unsigned long WaitForWindow(QProcess* process, int timeoutMs) {
        unsigned long window = 0;
        harness::WaitUntil(
            [&] {
                window = x.FindWindowOfProcess(static_cast<pid_t>(process->processId()));
                return window != 0 || process->waitForFinished(0) || process->state() == QProcess::NotRunning;
            },
            timeoutMs, [] { std::this_thread::sleep_for(std::chrono::milliseconds(50)); });
        return window;
    }
};

// Channel and command of every PTZ request the DVR received, in order.
std::vector<std::pair<int, int>> PtzCommands(dvrsim::DvrSim* sim) {
    std::vector<std::pair<int, int>> commands;
    for (const dvrsim::SimRequest& r : sim->Requests()) {
        int id = 0, channel = -1, command = -1;
        if (r.id == DVR_REQ_PTZ && std::sscanf(r.bytes.c_str(), "%d %d %d", &id, &channel, &command) == 3)
            commands.emplace_back(channel, command);
    }
    return commands;
}

// The first file under folder (and its subfolders) that matches pattern, or "".
QString FindFile(const QString& folder, const char* pattern) {
    QDirIterator it(folder, {QString::fromLatin1(pattern)}, QDir::Files, QDirIterator::Subdirectories);
    return it.hasNext() ? it.next() : QString();
}

// The screens of a page of nine in the window: the video area is the window less 30 pixels left and top,
// 204 right and 88 bottom, cut into 3 x 3 cells.
QRect GridScreen(const QRect& window, int screen) {
    const int left = 30, top = 30, w = window.width() - 30 - 204, h = window.height() - 30 - 88;
    const int col = screen % 3, row = screen / 3;
    int x0 = left + col * (w / 3), y0 = top + row * (h / 3);
    int x1 = col == 2 ? left + w : x0 + w / 3, y1 = row == 2 ? top + h : y0 + h / 3;
    // A margin inside the cell keeps selection frames and borders out of the comparison.
    return QRect(x0, y0, x1 - x0, y1 - y0).adjusted(6, 6, -6, -6);
}

// The harness itself: what it grabs is what the server shows, and the stacking order it reads is the
// server's.
TEST(XSession, GrabsWhatTheServerShowsAndReadsTheStackingOrder) {
    if (!XvfbInstalled())
        GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs it)";
    XvfbServer xvfb;
    XClient x;
    ASSERT_EQ(xvfb.Start(320, 200), 0);
    ASSERT_EQ(x.Open(xvfb.Display()), 0);
    const unsigned long lower = x.MapCover(QRect(10, 10, 100, 50));
    const unsigned long upper = x.MapCover(QRect(60, 30, 100, 50));
    EXPECT_TRUE(x.IsAbove(upper, lower));
    EXPECT_FALSE(x.IsAbove(lower, upper));
    EXPECT_TRUE(x.IsShown(upper));
    const QImage screen = x.Grab(QRect(0, 0, 320, 200));
    ASSERT_EQ(screen.size(), QSize(320, 200));
    EXPECT_TRUE(screen.save(PictureFolder() + "/harness-two-windows.png"));
    EXPECT_EQ(screen.pixel(20, 20) & 0xFFFFFF, 0x404040u);    // inside the lower window only
    EXPECT_EQ(screen.pixel(100, 60) & 0xFFFFFF, 0x404040u);   // inside the upper one
    EXPECT_NE(screen.pixel(200, 150) & 0xFFFFFF, 0x404040u);  // the root window
    EXPECT_EQ(x.FindWindowOfProcess(getpid()), 0u);           // plain windows carry no process id
}

TEST_F(VistalOnX, LiveOnThePreparedFolderThenRaisedAndClosedFromOutside) {
    const QByteArray preparedIni = ReadAll(home + "/system.ini");
    vistal = StartVistal();
    pid_t pid = static_cast<pid_t>(vistal->processId());
    unsigned long window = WaitForWindow(vistal.get(), 30000);
    if (window == 0) {
        // A build whose Vistal opens no main window yet: it prepared its folder, kept the prepared
        // settings (no upgrade, nothing lost) and ended cleanly.
        ASSERT_TRUE(vistal->state() == QProcess::NotRunning || vistal->waitForFinished(30000));
        EXPECT_EQ(vistal->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(vistal->exitCode(), 0);
        EXPECT_EQ(ReadAll(home + "/system.ini"), preparedIni);
        EXPECT_EQ(ReadAll(home + "/data/view.dat").size(), VIEW_FILE_SIZE);
        GTEST_SKIP() << "this build's Vistal opens no main window";
    }

    // Both DVRs log in and stream the channels of view.dat.
    EXPECT_TRUE(north->WaitForRequests(DVR_REQ_LOGIN, 1, 20000));
    EXPECT_TRUE(yard->WaitForRequests(DVR_REQ_LOGIN, 1, 20000));
    EXPECT_TRUE(north->WaitForRequests(DVR_REQ_OPEN_STREAM, 2, 20000));
    EXPECT_TRUE(yard->WaitForRequests(DVR_REQ_OPEN_STREAM, 2, 20000));
    EXPECT_TRUE(harness::WaitUntil(
        [&] { return north->Streamed(1).pictures >= 10 && yard->Streamed(2).pictures >= 10; }, 20000));

    // Moving video in the four screens, the idle picture (unchanging) in the other five.
    // At start the window covers the screen (it may first show smaller, then take its place).
    const QRect screenRect(0, 0, kScreenWidth, kScreenHeight);
    QRect rect;
    // The main window is looked up again meanwhile: the first window the program shows may be another one.
    EXPECT_TRUE(harness::WaitUntil(
        [&] {
            window = x.FindWindowOfProcess(pid);
            return (rect = x.WindowRect(window)) == screenRect;
        },
        15000))
        << "window at " << rect.x() << "," << rect.y() << " " << rect.width() << "x" << rect.height();
    ASSERT_FALSE(rect.isEmpty());

    // Moving video in the four screens: each of them changes between two grabs (a loaded machine may
    // skip a frame now and then, so a few grabs are taken, a bounded number). The idle picture in the
    // other five never changes.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const QImage first = x.Grab(rect);
    ASSERT_FALSE(first.isNull());
    EXPECT_TRUE(first.save(PictureFolder() + "/main-window-live.png"));
    bool changed[9] = {};
    QImage previous = first, latest;
    for (int pass = 0; pass < 8 && !(changed[0] && changed[1] && changed[2] && changed[3]); ++pass) {
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        latest = x.Grab(rect);
        for (int screen = 0; screen < 9; ++screen) {
            const QRect cell = GridScreen(QRect(QPoint(0, 0), rect.size()), screen);
            if (previous.copy(cell) != latest.copy(cell) && !changed[screen]) {
                changed[screen] = true;
                if (screen >= 4) {
                    // The two pictures of an idle screen that changed, for the eye.
                    const QString name = PictureFolder() + QStringLiteral("/screen-%1-%2.png").arg(screen);
                    previous.copy(cell).save(name.arg("before"));
                    latest.copy(cell).save(name.arg("after"));
                }
            }
        }
        previous = latest;
    }
    EXPECT_TRUE(latest.save(PictureFolder() + "/main-window-live-later.png"));
    for (int screen = 0; screen < 9; ++screen)
        EXPECT_EQ(changed[screen], screen < 4) << "screen " << screen;

    auto centreOf = [&](UINT id) {
        QRect control = MainWindowControlRect(rect, id, kScreenWidth);
        return control.isEmpty() ? QPoint(-1, -1) : control.center();
    };

    // The tree shows both DVRs online; North, opened, lists its four channels, the two on screen marked.
    const QImage online = TreeIcon(190), offline = TreeIcon(194), channel = TreeIcon(192),
                 shown = TreeIcon(193);
    ASSERT_FALSE(online.isNull());
    const QRect treeRect = MainWindowControlRect(rect, 1005, kScreenWidth);
    QImage tree;
    EXPECT_TRUE(harness::WaitUntil([&] { return CountIcon(tree = x.Grab(treeRect), online) == 2; }, 10000));
    EXPECT_EQ(CountIcon(tree, offline), 0);
    x.Click(treeRect.topLeft() + QPoint(50, 10));  // the first item's row: North
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    x.Key("Right");  // opens the selected item
    EXPECT_TRUE(harness::WaitUntil(
        [&] {
            tree = x.Grab(treeRect);
            return CountIcon(tree, shown) == 2 && CountIcon(tree, channel) == 2;
        },
        10000));
    EXPECT_TRUE(tree.save(PictureFolder() + "/device-tree.png"));

    // A PTZ button held and released: one motion and then one stop for the selected screen's camera
    // (screen 0: North's first channel).
    const QPoint tiltUp = centreOf(1020);
    ASSERT_NE(tiltUp, QPoint(-1, -1));
    x.Click(tiltUp, 400);
    EXPECT_TRUE(north->WaitForRequests(DVR_REQ_PTZ, 2, 5000));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // and nothing more follows
    EXPECT_EQ(PtzCommands(north.get()), (std::vector<std::pair<int, int>>{{0, PTZ_TILT_UP}, {0, PTZ_STOP}}));
    EXPECT_EQ(yard->CountRequests(DVR_REQ_PTZ), 0);

    // The snapshot button writes a JPEG of the selected screen's channel at the channel's size; the notice
    // that follows is closed with Enter.
    x.Click(centreOf(1031));
    QString jpeg;
    QImage shot;
    // Read once the file is whole.
    EXPECT_TRUE(harness::WaitUntil(
        [&] {
            jpeg = FindFile(drive, "*.jpg");
            return !jpeg.isEmpty() && shot.load(jpeg, "JPEG");
        },
        10000));
    EXPECT_EQ(shot.size(), QSize(352, 288)) << jpeg.toStdString();
    EXPECT_TRUE(CloseDialog(pid, window));

    // Confirm exit: the box is answered with Enter; the shut-down writes view.dat and the window's keys.
    const QDateTime started = QDateTime::currentDateTime().addSecs(-1);
    x.Click(centreOf(1039));
    EXPECT_TRUE(CloseDialog(pid, window));
    ASSERT_TRUE(vistal->waitForFinished(20000));
    EXPECT_EQ(vistal->exitCode(), 0);
    ExpectSavedWindow(started);

    // Second run: a second start raises the window and ends; the Updater's close request ends it.
    vistal = StartVistal();
    pid = static_cast<pid_t>(vistal->processId());
    window = 0;
    ASSERT_TRUE(harness::WaitUntil(
        [&] {
            window = x.FindWindowOfProcess(pid);
            return x.WindowRect(window) == screenRect;
        },
        30000));
    EXPECT_TRUE(north->WaitForRequests(DVR_REQ_LOGIN, 2, 20000));
    const unsigned long cover = x.MapCover(rect);
    EXPECT_TRUE(x.IsAbove(cover, window));
    auto secondStart = StartVistal();
    ASSERT_TRUE(secondStart->waitForFinished(15000));
    EXPECT_EQ(secondStart->exitCode(), 0);
    EXPECT_TRUE(harness::WaitUntil([&] { return x.IsAbove(window, cover); }, 5000));
    EXPECT_EQ(vistal->state(), QProcess::Running);

    const QDateTime beforeClose = QDateTime::currentDateTime().addSecs(-1);
    COPYDATASTRUCT request = {kCloseRequest, 0, nullptr};
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(SendCopyData(pid, 0, request, 5000), 0);
    ASSERT_TRUE(vistal->waitForFinished(20000));
    std::printf("close request to end of process: %lld ms\n", static_cast<long long>(clock.elapsed()));
    EXPECT_EQ(vistal->exitCode(), 0);
    ExpectSavedWindow(beforeClose);
}

}  // namespace
