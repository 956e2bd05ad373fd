// The real Vistal on a private X server, driven from outside: a prepared program folder (LAN mode,
// automatic login, two simulated DVRs on loopback, four of their channels on the grid), then what an
// operator would see and do. Pictures of the window go to build/pictures/e2e/.

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>

#include "core/ini_file.h"
#include "dvr/dvr_protocol.h"
#include "dvr/dvr_records.h"
#include "platform/system/copydata_endpoint.h"
#include "tests/bounded_wait.h"
#include "tests/e2e/vistal_launch.h"
#include "tests/e2e/x_screen_reading.h"
#include "tests/e2e/x_session.h"
#include "tools/dvrsim/dvr_sim.h"
#include "tools/dvrsim/sim_settings.h"
#include "tools/homeprep/program_folder.h"
#include "ui/main_window_layout.h"
#include "ui/view_file.h"

namespace {

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 800;
constexpr uintptr_t kCloseRequest = 0x7156BCDA;

QString PictureFolder() {
    QString folder = QStringLiteral(VISTAL_E2E_PICTURES_DIR);
    QDir().mkpath(folder);
    return folder;
}

class VistalOnX : public ::testing::Test {
protected:
    QTemporaryDir root;
    VistalFolders folders;
    QString home, drive;
    XvfbServer xvfb;
    XClient x;
    std::unique_ptr<dvrsim::DvrSim> north, yard;
    std::unique_ptr<QProcess> vistal;

    void SetUp() override {
        if (!XvfbInstalled())
            GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs it)";
        // The close request below is sent from this process: it looks for Vistal's endpoint in the same
        // runtime folder.
        ASSERT_EQ(MakeVistalFolders(root.path(), &folders), 0);
        home = folders.home;
        drive = folders.drive;

        ASSERT_EQ(xvfb.Start(kScreenWidth, kScreenHeight), 0);
        ASSERT_EQ(x.Open(xvfb.Display()), 0);
        north = StartVistalSim("North ");
        yard = StartVistalSim("Yard ");
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

    std::unique_ptr<QProcess> StartVistal(qint64 fileSizeLimit = 0) {
        return ::StartVistal(folders, xvfb.Display(), fileSizeLimit);
    }

    // The dialog or message box the program shows over its main window is answered with Enter (its
    // default button). True when it showed and went.
    bool CloseDialog(pid_t pid, unsigned long mainWindow) {
        return AnswerWithEnter(x, pid, mainWindow, QSize(kScreenWidth, kScreenHeight));
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

    // Starts Vistal (the fixture's process, under a file-size limit when one above 0 is given) and waits
    // until its main window covers the screen; the window, or 0.
    unsigned long StartFullScreenVistal(qint64 fileSizeLimit = 0) {
        vistal = StartVistal(fileSizeLimit);
        return WaitForFullScreenWindow(x, static_cast<pid_t>(vistal->processId()),
                                       QSize(kScreenWidth, kScreenHeight));
    }

    // Waits for Vistal's window; 0 when the process ended (or the time ran out) without one.
    unsigned long WaitForWindow(QProcess* process, int timeoutMs) {
        return WaitForVistalWindow(x, process, timeoutMs);
    }
};

// Where control id of the main window is on the screen (empty when it is not shown).
QRect ControlRect(const QRect& window, UINT id) {
    return PlacedControl(MainControlPlacements(window.width(), window.height(), kScreenWidth, true), window,
                         id);
}

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

// The harness itself, on a small screen of its own.
class XSession : public ::testing::Test {
protected:
    XvfbServer xvfb;
    XClient x;

    void SetUp() override {
        if (!XvfbInstalled())
            GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs it)";
        ASSERT_EQ(xvfb.Start(320, 200), 0);
        ASSERT_EQ(x.Open(xvfb.Display()), 0);
    }
};

// What it grabs is what the server shows, and the stacking order it reads is the server's.
TEST_F(XSession, GrabsWhatTheServerShowsAndReadsTheStackingOrder) {
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

// Its test for a popup menu's hold on the keyboard: another client's keyboard grab is seen while it is
// held, and its own grab, when nobody holds the keyboard, does not keep the keyboard from the others.
TEST_F(XSession, SeesAnotherClientsKeyboardGrabAndKeepsNoneOfItsOwn) {
    xcb_connection_t* other = xcb_connect(xvfb.Display().toLatin1().constData(), nullptr);
    ASSERT_EQ(xcb_connection_has_error(other), 0);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(other)).data->root;
    auto grab = [&] {
        xcb_grab_keyboard_reply_t* reply = xcb_grab_keyboard_reply(
            other,
            xcb_grab_keyboard(other, 0, root, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
            nullptr);
        const bool held = reply != nullptr && reply->status == XCB_GRAB_STATUS_SUCCESS;
        free(reply);
        return held;
    };
    EXPECT_FALSE(x.WaitForKeyboardGrab(0));
    EXPECT_TRUE(grab());
    EXPECT_TRUE(x.WaitForKeyboardGrab(0));
    xcb_ungrab_keyboard(other, XCB_CURRENT_TIME);
    free(xcb_get_input_focus_reply(other, xcb_get_input_focus(other), nullptr));  // the release is done
    EXPECT_FALSE(x.WaitForKeyboardGrab(0));
    EXPECT_TRUE(grab());
    xcb_disconnect(other);
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
    // other five never changes. The first grab follows their first drawing: they hold still.
    for (const QRect& idle : {GridScreen(rect, 4).united(GridScreen(rect, 8)), GridScreen(rect, 6)})
        EXPECT_TRUE(x.WaitForStill(idle.translated(rect.topLeft())));
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
    // The first item's row: North, selected before the key goes to the tree.
    EXPECT_TRUE(x.ClickForKeys(treeRect.topLeft() + QPoint(50, 10), treeRect));
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

    // The snapshot button writes a JPEG of the selected screen's channel at the channel's size; the notice
    // that follows is closed with Enter.
    x.Click(centreOf(1031));
    QString jpeg;
    QImage shot;
    // Read once the file is whole.
    EXPECT_TRUE(harness::WaitUntil(
        [&] {
            jpeg = FindFileUnder(drive, "*.jpg");
            return !jpeg.isEmpty() && shot.load(jpeg, "JPEG");
        },
        10000));
    EXPECT_EQ(shot.size(), QSize(352, 288)) << jpeg.toStdString();
    EXPECT_TRUE(CloseDialog(pid, window));
    // Nothing more followed the PTZ button up to the snapshot, the input after it.
    EXPECT_EQ(PtzCommands(north.get()), (std::vector<std::pair<int, int>>{{0, PTZ_TILT_UP}, {0, PTZ_STOP}}));
    EXPECT_EQ(yard->CountRequests(DVR_REQ_PTZ), 0);

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
    // The four screens show again before the close below saves them: each DVR opened its two streams anew
    // (a DVR not yet logged in has no screen to save).
    EXPECT_TRUE(north->WaitForRequests(DVR_REQ_OPEN_STREAM, 4, 20000));
    EXPECT_TRUE(yard->WaitForRequests(DVR_REQ_OPEN_STREAM, 4, 20000));
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

// The login button's menu and its first item chosen: Lock System, or Unlock System while locked. The
// menu's place on the screen (empty when it did not show).
QRect ChooseLockItem(XClient& x, pid_t pid, QPoint loginButton) {
    return ChooseMenuItem(
        x, pid, [&] { x.Click(loginButton); }, 1);
}

// Locked from its login menu, the window ignores its controls: a held PTZ button sends nothing, the close
// and exit buttons ask nothing, a right click on a screen opens no menu. The unlock dialog then waits for
// the password; the Updater's close request ends the program at once all the same, and the shut-down
// writes view.dat and the window's keys.
TEST_F(VistalOnX, LockedWindowIgnoresItsControlsAndTheCloseRequestEndsTheUnlockDialog) {
    const unsigned long window = StartFullScreenVistal();
    ASSERT_NE(window, 0u);
    const pid_t pid = static_cast<pid_t>(vistal->processId());
    const QSize screenSize(kScreenWidth, kScreenHeight);
    ASSERT_TRUE(north->WaitForRequests(DVR_REQ_OPEN_STREAM, 2, 20000));
    ASSERT_TRUE(yard->WaitForRequests(DVR_REQ_OPEN_STREAM, 2, 20000));
    const QRect rect = x.WindowRect(window);
    const QPoint videoCentre = GridScreen(rect, 4).center();
    auto centreOf = [&](UINT id) { return ControlRect(rect, id).center(); };
    // The input before opened nothing small of the process (no box, no menu). The program takes its input
    // in order, so it has handled that input once the login button's menu, opened after it, shows: the
    // menu is then the only small window, and once it is closed with Escape none is left.
    auto noSmallWindow = [&] {
        x.MoveMouse(videoCentre.x(), videoCentre.y());
        const unsigned long login = OpenMenuForKeys(x, pid, [&] { x.Click(centreOf(1032)); });
        const bool alone =
            login != 0 && SmallWindowsOf(x, pid, window, screenSize) == std::vector<unsigned long>{login};
        x.Key("Escape");
        const bool closed = login != 0 && harness::WaitUntil([&] { return !x.IsShown(login); }, 10000);
        x.MoveMouse(videoCentre.x(), videoCentre.y());
        return alone && closed && FindSmallWindow(x, pid, window, screenSize) == 0;
    };

    // The menu opens above the login button, its bottom edge on the button's top.
    const QRect menu = ChooseLockItem(x, pid, centreOf(1032));
    EXPECT_FALSE(menu.isEmpty());
    EXPECT_EQ(menu.bottom() + 1, ControlRect(rect, 1032).top());
    EXPECT_EQ(menu.left(), ControlRect(rect, 1032).left());
    ASSERT_TRUE(harness::WaitUntil([&] { return x.WindowName(window) == QStringLiteral("DVRVISTAL-Locked"); },
                                   10000));
    const int ptz = north->CountRequests(DVR_REQ_PTZ) + yard->CountRequests(DVR_REQ_PTZ);
    x.Click(centreOf(1020), 400);
    EXPECT_TRUE(noSmallWindow());
    x.Click(centreOf(1039));
    EXPECT_TRUE(noSmallWindow()) << "the close button asked";
    x.Click(centreOf(1000));
    EXPECT_TRUE(noSmallWindow()) << "the exit button asked";
    const QPoint screen0 = GridScreen(rect, 0).center();
    x.MoveMouse(screen0.x(), screen0.y());
    x.Button(3, true);
    x.Button(3, false);
    EXPECT_TRUE(noSmallWindow()) << "the screen menu opened";
    EXPECT_EQ(north->CountRequests(DVR_REQ_PTZ) + yard->CountRequests(DVR_REQ_PTZ), ptz);
    EXPECT_EQ(vistal->state(), QProcess::Running);

    // The unlock dialog, left without a password; the close request ends the program within the Updater's
    // 10 s.
    (void)ChooseLockItem(x, pid, centreOf(1032));
    x.MoveMouse(videoCentre.x(), videoCentre.y());
    const unsigned long unlock = WaitForUnlockDialog(x, pid, window, screenSize);
    ASSERT_NE(unlock, 0u);
    // Drawn, for the picture: its buttons have settled (the password edit's caret blinks above them).
    const QRect unlockRect = x.WindowRect(unlock);
    EXPECT_TRUE(x.WaitForDrawn(unlockRect.adjusted(0, unlockRect.height() * 3 / 5, 0, 0)));
    EXPECT_TRUE(x.Grab(unlockRect).save(PictureFolder() + "/unlock-dialog.png"));
    EXPECT_TRUE(x.Grab(rect).save(PictureFolder() + "/unlock-dialog-over-window.png"));
    const QDateTime beforeClose = QDateTime::currentDateTime().addSecs(-1);
    COPYDATASTRUCT request = {kCloseRequest, 0, nullptr};
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(SendCopyData(pid, 0, request, 5000), 0);
    ASSERT_TRUE(vistal->waitForFinished(10000));
    std::printf("close request during the unlock dialog to end of process: %lld ms\n",
                static_cast<long long>(clock.elapsed()));
    EXPECT_EQ(vistal->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(vistal->exitCode(), 0);
    ExpectSavedWindow(beforeClose);
}

// SIGTERM (a logout or shutdown) during live view and recording: the program ends as after a confirmed
// exit, within the bound: view.dat and the window's keys are written and every AVI file is closed with its
// index.
TEST_F(VistalOnX, TerminationSignalDuringLiveViewAndRecordingLosesNothing) {
    const unsigned long window = StartFullScreenVistal();
    ASSERT_NE(window, 0u);
    const pid_t pid = static_cast<pid_t>(vistal->processId());
    ASSERT_TRUE(harness::WaitUntil(
        [&] { return north->Streamed(0).pictures >= 10 && yard->Streamed(0).pictures >= 10; }, 20000));
    const QRect rect = x.WindowRect(window);

    // Start Record (the fourth item of the screen menu) on screens 0 and 2: North's and Yard's first
    // channels.
    for (int screen : {0, 2}) {
        ChooseScreenMenuItem(x, pid, GridScreen(rect, screen).center(), 4);
    }
    // Both DVRs' recordings grow; the files being written have no index yet.
    QStringList recordings;
    auto open = [&] {
        return std::count_if(recordings.begin(), recordings.end(),
                             [](const QString& f) { return !AviIndexed(f); });
    };
    ASSERT_TRUE(harness::WaitUntil(
        [&] {
            recordings = FilesUnder(drive, "*.avi");
            qint64 total = 0;
            for (const QString& file : recordings)
                total += QFileInfo(file).size();
            return !FilesUnder(drive + "/Records/North", "*.avi").isEmpty() &&
                   !FilesUnder(drive + "/Records/Yard", "*.avi").isEmpty() && total >= 256 * 1024 &&
                   open() >= 2;
        },
        30000))
        << recordings.join(' ').toStdString();

    const QDateTime beforeSignal = QDateTime::currentDateTime().addSecs(-1);
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(kill(pid, SIGTERM), 0);
    ASSERT_TRUE(vistal->waitForFinished(15000));
    std::printf("SIGTERM to end of process: %lld ms\n", static_cast<long long>(clock.elapsed()));
    EXPECT_EQ(vistal->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(vistal->exitCode(), 0);
    ExpectSavedWindow(beforeSignal);
    recordings = FilesUnder(drive, "*.avi");
    EXPECT_GE(recordings.size(), 2);
    for (const QString& file : recordings)
        EXPECT_TRUE(AviIndexed(file)) << file.toStdString() << " " << QFileInfo(file).size();
}

// Started under a file-size limit (prlimit --fsize), a recording client lives on: every file ends whole
// with its index before the limit, the operator is told, and the next picture begins the next file. The
// picture of the notice over the recording goes to recording_file_size_limit.png.
TEST_F(VistalOnX, RecordingUnderAFileSizeLimitEndsEveryFileWholeAndTellsTheOperator) {
    if (QStandardPaths::findExecutable(QStringLiteral("prlimit")).isEmpty())
        GTEST_SKIP() << "prlimit (util-linux) is not installed";
    constexpr qint64 kLimit = 400000;
    const unsigned long window = StartFullScreenVistal(kLimit);
    ASSERT_NE(window, 0u);
    const pid_t pid = static_cast<pid_t>(vistal->processId());
    ASSERT_TRUE(harness::WaitUntil([&] { return north->Streamed(0).pictures >= 10; }, 20000));
    const QRect rect = x.WindowRect(window);
    ChooseScreenMenuItem(x, pid, GridScreen(rect, 0).center(), 4);  // Start Record on North's first channel
    const QSize screen(kScreenWidth, kScreenHeight);
    unsigned long notice = 0;
    QStringList recordings;
    ASSERT_TRUE(harness::WaitUntil(
        [&] {
            recordings = FilesUnder(drive + "/Records/North", "*.avi");
            if (notice == 0)
                notice = FindSmallWindow(x, pid, window, screen);
            return notice != 0 && recordings.size() >= 3 && vistal->state() == QProcess::Running;
        },
        60000))
        << recordings.join(' ').toStdString() << " notice " << notice;
    const QImage shown = x.Grab(QRect(QPoint(0, 0), screen));
    EXPECT_TRUE(shown.save(E2EPicturePath(QStringLiteral("recording_file_size_limit.png"))));
    EXPECT_TRUE(AnswerWithEnter(x, pid, window, screen));

    ASSERT_EQ(kill(pid, SIGTERM), 0);
    ASSERT_TRUE(vistal->waitForFinished(15000));
    EXPECT_EQ(vistal->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(vistal->exitCode(), 0);
    recordings = FilesUnder(drive, "*.avi");
    EXPECT_GE(recordings.size(), 3);
    for (const QString& file : recordings) {
        std::printf("%s %lld bytes\n", qPrintable(QFileInfo(file).fileName()),
                    static_cast<long long>(QFileInfo(file).size()));
        EXPECT_TRUE(AviIndexed(file)) << file.toStdString() << " " << QFileInfo(file).size();
        EXPECT_LE(QFileInfo(file).size(), kLimit) << file.toStdString();
    }
}

// The fields of the requests with that id the DVR received, each split at its spaces (id first).
std::vector<std::vector<std::string>> RequestFields(dvrsim::DvrSim* sim, int id) {
    std::vector<std::vector<std::string>> all;
    for (const dvrsim::SimRequest& r : sim->Requests()) {
        if (r.id != id)
            continue;
        std::vector<std::string> fields;
        for (const QString& field : QString::fromStdString(r.bytes).split(u' ', Qt::SkipEmptyParts))
            fields.push_back(field.toStdString());
        all.push_back(fields);
    }
    return all;
}

// The setup dialog from the main window's button: it opens on the System page, which asks the selected DVR
// for its disks, languages and system settings; a new scroll interval and Set reach the DVR, whose
// settings then differ from before in that field only; opened again, the page shows the DVR's new value.
TEST_F(VistalOnX, SetupDialogChangesTheDvrsScrollInterval) {
    const unsigned long window = StartFullScreenVistal();
    ASSERT_NE(window, 0u);
    const pid_t pid = static_cast<pid_t>(vistal->processId());
    ASSERT_TRUE(north->WaitForRequests(DVR_REQ_LOGIN, 1, 20000));
    const QRect rect = x.WindowRect(window);
    const QImage online = TreeIcon(190);
    const QRect treeRect = ControlRect(rect, 1005);
    ASSERT_TRUE(harness::WaitUntil([&] { return CountIcon(x.Grab(treeRect), online) == 2; }, 20000));
    EXPECT_TRUE(x.ClickForKeys(treeRect.topLeft() + QPoint(50, 10), treeRect));  // selects North

    // The setup dialog: the process's window that was not there before the button was pressed.
    const std::vector<unsigned long> before = x.WindowsOfProcess(pid);
    auto findSetup = [&] {
        for (unsigned long w : x.WindowsOfProcess(pid)) {
            if (std::find(before.begin(), before.end(), w) == before.end())
                return w;
        }
        return 0ul;
    };
    // The session asked for the system settings at login already: the page's load comes on top.
    const int loads = north->CountRequests(DVR_REQ_GET_SYSTEM_PARAMS);
    unsigned long setup = 0;
    x.Click(ControlRect(rect, 1004).center());
    ASSERT_TRUE(harness::WaitUntil([&] { return (setup = findSetup()) != 0; }, 10000));
    ASSERT_TRUE(north->WaitForRequests(DVR_REQ_GET_SYSTEM_PARAMS, loads + 1, 10000));
    EXPECT_EQ(north->CountRequests(DVR_REQ_GET_DISKS), 1);
    EXPECT_EQ(north->CountRequests(DVR_REQ_GET_LANGUAGES), 1);
    // The dialog is centred once shown: its place is read when it has settled.
    const QRect dialog = x.WaitForPlaced(setup);
    EXPECT_FALSE(dialog.isEmpty());
    EXPECT_TRUE(x.Grab(dialog).save(PictureFolder() + "/setup-system.png"));

    // Controls of the System page in screen pixels: the page lies 10 pixels in and 34 down in the dialog,
    // whose 529 x 377 dialog units fill its client area.
    const double sx = dialog.width() / 529.0, sy = dialog.height() / 377.0;
    auto pagePoint = [&](double ux, double uy) {
        return QPoint(dialog.x() + 10 + static_cast<int>(ux * sx),
                      dialog.y() + 34 + static_cast<int>(uy * sy));
    };
    const QPoint interval = pagePoint(460 + 30, 72 + 6.5);
    const QRect intervalRect(pagePoint(460 + 2, 72 + 2), pagePoint(504 - 2, 85 - 2));
    auto typeInterval = [&](std::initializer_list<const char*> digits) {
        EXPECT_TRUE(x.ClickForKeys(interval));
        x.Key("End");
        for (int i = 0; i < 4; ++i)
            x.Key("BackSpace");
        for (const char* digit : digits)
            x.Key(digit);
    };
    typeInterval({"1", "7"});
    x.Click(pagePoint(408 + 25, 331 + 7));  // Set
    ASSERT_TRUE(north->WaitForRequests(DVR_REQ_SET_SYSTEM_PARAMS, 1, 10000));
    QImage typed;  // the edit as drawn once Set has the focus (no caret)
    EXPECT_TRUE(x.WaitForStill(intervalRect, 300, 10000, &typed));

    // The DVR's settings before (what it answered) and after (what Set sent): only the interval differs.
    const std::vector<std::string> answered = {"C",
                                               dvrsim::SimTextField("Record Files"),
                                               dvrsim::SimTextField("/snapshots"),
                                               "1",
                                               "1",
                                               "0",
                                               "5",
                                               "0",
                                               "1",
                                               "0"};
    std::vector<std::string> expected = answered;
    expected[6] = "17";
    const auto sets = RequestFields(north.get(), DVR_REQ_SET_SYSTEM_PARAMS);
    ASSERT_EQ(sets.size(), 1u);
    ASSERT_GE(sets[0].size(), expected.size() + 1);
    EXPECT_EQ(std::vector<std::string>(sets[0].begin() + 1, sets[0].begin() + 1 + expected.size()), expected);
    EXPECT_EQ(yard->CountRequests(DVR_REQ_SET_SYSTEM_PARAMS), 0);

    // Another value typed but not set, and Exit: opened again, the page asks anew and shows the DVR's
    // value, not what the edit held.
    typeInterval({"9"});
    x.Click(pagePoint(464 + 25, 331 + 7));  // Exit
    ASSERT_TRUE(harness::WaitUntil([&] { return !x.IsShown(setup); }, 10000));
    x.Click(ControlRect(rect, 1004).center());
    ASSERT_TRUE(harness::WaitUntil([&] { return findSetup() != 0; }, 10000));
    ASSERT_TRUE(north->WaitForRequests(DVR_REQ_GET_SYSTEM_PARAMS, loads + 2, 10000));
    EXPECT_TRUE(harness::WaitUntil([&] { return x.Grab(intervalRect) == typed; }, 5000));
    EXPECT_TRUE(x.Grab(dialog).save(PictureFolder() + "/setup-system-reopened.png"));

    // The Network tab, chosen with the keyboard from the first tab: a new host name and Enter reach the DVR,
    // whose network settings then differ in that field only.
    const QPoint firstTab(dialog.x() + static_cast<int>(7 * sx) + 20, dialog.y() + static_cast<int>(16 * sy));
    auto toNetworkTab = [&] {
        EXPECT_TRUE(x.ClickForKeys(firstTab));
        for (int tab = 0; tab < 7; ++tab)
            x.Key("Right");
    };
    const int networkLoads = north->CountRequests(DVR_REQ_GET_NETWORK);
    toNetworkTab();
    ASSERT_TRUE(north->WaitForRequests(DVR_REQ_GET_NETWORK, networkLoads + 1, 10000));
    const QPoint host = pagePoint(102 + 50, 15 + 7);
    const QRect hostRect(pagePoint(102 + 2, 15 + 2), pagePoint(202 - 2, 29 - 2));
    // The page has its answer when the host edit shows the DVR's name.
    EnsureGuiApplication();
    EXPECT_TRUE(harness::WaitUntil(
        [&] {
            return FindText(x.Grab(hostRect), QRect(QPoint(0, 0), hostRect.size()), "dvr-sim") !=
                   QPoint(-1, -1);
        },
        10000));
    auto typeHost = [&](const char* text) {
        EXPECT_TRUE(x.ClickForKeys(host));
        x.Key("End");
        for (int i = 0; i < 12; ++i)
            x.Key("BackSpace");
        for (const char* c = text; *c != 0; ++c)
            x.Key(*c == '-' ? "minus" : std::string(1, *c).c_str());
    };
    typeHost("dvr-north");
    x.Key("Return");  // Enter in the page is its Set
    ASSERT_TRUE(north->WaitForRequests(DVR_REQ_SET_NETWORK, 1, 10000));
    x.Key("Tab");  // the caret leaves the edit before its picture is taken
    QImage typedHost;
    EXPECT_TRUE(x.WaitForStill(hostRect, 300, 10000, &typedHost));
    EXPECT_TRUE(x.Grab(dialog).save(PictureFolder() + "/setup-network.png"));
    const std::vector<std::string> networkExpected = {"dvr-north", "80", "9000",   "(NULL)",
                                                      "0",         "0",  "(NULL)", "(NULL)"};
    const auto networkSets = RequestFields(north.get(), DVR_REQ_SET_NETWORK);
    ASSERT_EQ(networkSets.size(), 1u);
    ASSERT_GE(networkSets[0].size(), networkExpected.size() + 1);
    EXPECT_EQ(std::vector<std::string>(networkSets[0].begin() + 1,
                                       networkSets[0].begin() + 1 + networkExpected.size()),
              networkExpected);

    // Another name typed, not set; away to the first tab and back: the page shows the DVR's name.
    typeHost("other");
    toNetworkTab();
    ASSERT_TRUE(north->WaitForRequests(DVR_REQ_GET_NETWORK, networkLoads + 2, 10000));
    EXPECT_TRUE(harness::WaitUntil([&] { return x.Grab(hostRect) == typedHost; }, 5000));
    x.Key("Escape");
}

}  // namespace
