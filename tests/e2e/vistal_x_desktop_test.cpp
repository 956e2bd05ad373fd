// The real Vistal's main window on an X desktop, run twice: with no window manager (a kiosk session) and
// under openbox, started by the fixture, as operators run one. The video window is owned by the main
// window: it lies above it from the start, has no taskbar entry of its own and goes and comes back with
// it, however often the window is minimised and restored; dialogs open over the window.

#include <gtest/gtest.h>
#include <signal.h>

#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <thread>

#include "dvr/dvr_protocol.h"
#include "tests/bounded_wait.h"
#include "tests/e2e/vistal_launch.h"
#include "tests/e2e/x_screen_reading.h"
#include "tests/e2e/x_session.h"
#include "tools/homeprep/program_folder.h"

namespace {

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 800;

enum class Desktop { NoWindowManager, Openbox };

std::string DesktopName(const ::testing::TestParamInfo<Desktop>& info) {
    return info.param == Desktop::Openbox ? "Openbox" : "NoWindowManager";
}

// Screen n of the 2 x 2 grid in the video window's rectangle, less a margin that keeps the selection
// frame out.
QRect Cell(const QRect& video, int screen) {
    const int w = video.width() / 2, h = video.height() / 2;
    return QRect(video.x() + (screen % 2) * w, video.y() + (screen / 2) * h, w, h).adjusted(8, 8, -8, -8);
}

class VistalOnDesktop : public ::testing::TestWithParam<Desktop> {
protected:
    QTemporaryDir root;
    VistalFolders folders;
    XvfbServer xvfb;
    WindowManager manager;
    XClient x;
    std::unique_ptr<dvrsim::DvrSim> sim;
    std::unique_ptr<QProcess> vistal;
    pid_t pid = 0;
    unsigned long window = 0;
    const QSize screenSize{kScreenWidth, kScreenHeight};

    bool Managed() const { return GetParam() == Desktop::Openbox; }

    void SetUp() override {
        if (!XvfbInstalled())
            GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs it)";
        if (Managed() && !OpenboxInstalled())
            GTEST_SKIP() << "openbox is not installed (scripts/setup installs it)";
        ASSERT_EQ(MakeVistalFolders(root.path(), &folders), 0);
        ASSERT_EQ(xvfb.Start(kScreenWidth, kScreenHeight), 0);
        if (Managed()) {
            ASSERT_EQ(manager.Start(xvfb.Display(), root.path() + "/config"), 0);
        }
        ASSERT_EQ(x.Open(xvfb.Display()), 0);
        sim = StartVistalSim("Gate ");
        ASSERT_NE(sim, nullptr);
        ProgramFolderPlan plan = OneDvrPlan("Gate", sim->Port());
        plan.views = {{0, 0, 0}, {1, 0, 1}, {2, 0, 2}, {3, 0, 3}};
        ASSERT_EQ(PrepareProgramFolder(folders.home, plan), 0);
    }

    void TearDown() override {
        if (vistal != nullptr && vistal->state() != QProcess::NotRunning) {
            kill(static_cast<pid_t>(vistal->processId()), SIGKILL);
            vistal->waitForFinished(5000);
        }
    }

    // Starts Vistal and waits until its main window covers the screen with its four channels streaming.
    void Start() {
        vistal = StartVistal(folders, xvfb.Display());
        pid = static_cast<pid_t>(vistal->processId());
        const QRect screenRect(QPoint(0, 0), screenSize);
        ASSERT_TRUE(harness::WaitUntil(
            [&] {
                window = x.FindWindowOfProcess(pid);
                return x.WindowRect(window) == screenRect;
            },
            30000));
        ASSERT_TRUE(sim->WaitForRequests(DVR_REQ_OPEN_STREAM, 4, 20000));
    }

    // The video window: the process's other shown window of about the video area's size, or 0.
    unsigned long VideoWindow() {
        for (unsigned long w : x.WindowsOfProcess(pid)) {
            const QRect r = x.WindowRect(w);
            if (w != window && r.width() > kScreenWidth / 2 && r.height() > kScreenHeight / 2)
                return w;
        }
        return 0;
    }

    // The window and its video window are shown, the video window above the window, and the screen's cell
    // shows moving pictures. what names the step for a failure.
    void ExpectLive(const char* what, int screen = 3) {
        unsigned long video = 0;
        ASSERT_TRUE(harness::WaitUntil(
            [&] {
                video = VideoWindow();
                return x.IsShown(window) && video != 0 && x.IsAbove(video, window) && !x.IsIconic(window);
            },
            15000))
            << what << ": window shown " << x.IsShown(window) << " iconic " << x.IsIconic(window)
            << ", video " << video << " above it " << (video != 0 && x.IsAbove(video, window)) << ", windows "
            << x.WindowsOfProcess(pid).size();
        const QRect cell = Cell(x.WindowRect(video), screen);
        // The pictures change within a few grabs (a loaded machine may hold one back now and then).
        bool moving = false;
        for (int look = 0; look < 3 && !moving; ++look)
            moving = x.WaitForChange(cell, x.Grab(cell), 5000);
        EXPECT_TRUE(moving) << what;
    }

    // Both windows are off the screen: neither is viewable.
    void ExpectGone(const char* what, unsigned long video) {
        EXPECT_TRUE(harness::WaitUntil([&] { return !x.IsShown(window) && !x.IsShown(video); }, 10000))
            << what;
    }

    // A second start raises the window and ends.
    void SecondStart() {
        auto second = StartVistal(folders, xvfb.Display());
        ASSERT_TRUE(second->waitForFinished(15000));
        EXPECT_EQ(second->exitCode(), 0);
    }

    QPoint ControlCentre(UINT id) {
        return MainWindowControlRect(x.WindowRect(window), id, kScreenWidth).center();
    }
};

// At start the grid lies above the window, owned by it: a click on screen 2 selects it (the snapshot button
// then saves screen 2's channel), and a cell shows moving pictures. The video window is transient for the
// window and has no taskbar or pager entry; the snapshot's notice opens centred over the window.
TEST_P(VistalOnDesktop, GridLiesAboveTheWindowOwnedByIt) {
    Start();
    ExpectLive("at start");
    const unsigned long video = VideoWindow();
    ASSERT_NE(video, 0u);
    EXPECT_EQ(x.TransientFor(video), window);
    EXPECT_TRUE(x.HasState(video, "_NET_WM_STATE_SKIP_TASKBAR"));
    EXPECT_TRUE(x.HasState(video, "_NET_WM_STATE_SKIP_PAGER"));
    EXPECT_FALSE(x.HasState(window, "_NET_WM_STATE_MODAL"));
    EXPECT_TRUE(x.Grab(QRect(QPoint(0, 0), screenSize))
                    .save(E2EPicturePath(
                        QStringLiteral("desktop-%1-start.png").arg(Managed() ? "openbox" : "no-wm"))));

    const QRect videoRect = x.WindowRect(video);
    x.Click(Cell(videoRect, 2).center());
    x.Click(ControlCentre(1031));
    QString shot;
    EXPECT_TRUE(
        harness::WaitUntil([&] { return !(shot = FindFileUnder(folders.drive, "*.jpg")).isEmpty(); }, 10000));
    EXPECT_TRUE(shot.contains("CH003")) << shot.toStdString();
    unsigned long notice = 0;
    ASSERT_TRUE(harness::WaitUntil(
        [&] { return (notice = FindSmallWindow(x, pid, window, screenSize)) != 0; }, 10000));
    const QRect placed = x.WaitForPlaced(notice);
    EXPECT_LE((placed.center() - QRect(QPoint(0, 0), screenSize).center()).manhattanLength(), 40)
        << placed.x() << "," << placed.y() << " " << placed.width() << "x" << placed.height();
    EXPECT_TRUE(x.IsAbove(notice, video));
    EXPECT_TRUE(AnswerWithEnter(x, pid, window, screenSize));
}

// Minimised with the hide button or by the desktop and restored, three times, and finally brought back by a
// second start's raise: each time both windows go and come back together, with moving pictures. Without a
// window manager nothing iconifies: the hide button takes both windows off the screen and a second start
// brings them back.
TEST_P(VistalOnDesktop, MinimiseAndRestoreThreeTimesThenSecondStartRaise) {
    Start();
    ExpectLive("at start");
    for (int round = 0; round < 3; ++round) {
        const std::string what = "round " + std::to_string(round);
        const unsigned long video = VideoWindow();
        // Under the window manager every other round is the desktop's own minimise.
        if (Managed() && round == 1)
            x.Minimise(window);
        else
            x.Click(ControlCentre(1036));
        ExpectGone((what + " minimised").c_str(), video);
        if (Managed())
            x.Activate(window);  // the taskbar entry
        else
            SecondStart();
        ExpectLive((what + " restored").c_str(), round);
    }
    // Minimised by the desktop, brought back by a second start.
    const unsigned long video = VideoWindow();
    if (Managed())
        x.Minimise(window);
    else
        x.Click(ControlCentre(1036));
    ExpectGone("before the second start", video);
    SecondStart();
    ExpectLive("after the second start");
    EXPECT_TRUE(x.Grab(QRect(QPoint(0, 0), screenSize))
                    .save(E2EPicturePath(
                        QStringLiteral("desktop-%1-restored.png").arg(Managed() ? "openbox" : "no-wm"))));
}

// The unlock dialog of a locked window opens over the window (at its own place, the screen's top-left
// corner), above the video window, transient for the window.
TEST_P(VistalOnDesktop, UnlockDialogLiesOverTheWindow) {
    Start();
    ExpectLive("at start");
    const unsigned long video = VideoWindow();
    auto chooseLockItem = [&] {
        const unsigned long menu = OpenMenuForKeys(x, pid, [&] { x.Click(ControlCentre(1032)); });
        ASSERT_NE(menu, 0u);
        x.Key("Down");
        x.Key("Return");
        ASSERT_TRUE(harness::WaitUntil([&] { return !x.IsShown(menu); }, 10000));
    };
    chooseLockItem();
    ASSERT_TRUE(harness::WaitUntil([&] { return x.WindowName(window) == QStringLiteral("DVRVISTAL-Locked"); },
                                   10000));
    chooseLockItem();
    const unsigned long unlock = WaitForUnlockDialog(x, pid, window, screenSize);
    ASSERT_NE(unlock, 0u);
    const QRect placed = x.WindowRect(unlock);
    EXPECT_TRUE(x.WindowRect(window).contains(placed))
        << placed.x() << "," << placed.y() << " " << placed.width() << "x" << placed.height();
    EXPECT_TRUE(
        harness::WaitUntil([&] { return x.IsAbove(unlock, video) && x.IsAbove(unlock, window); }, 5000));
    EXPECT_EQ(x.TransientFor(unlock), window);
    // Drawn, for the picture: its buttons have settled (the password edit's caret blinks above them).
    EXPECT_TRUE(x.WaitForDrawn(placed.adjusted(0, placed.height() * 3 / 5, 0, 0)));
    EXPECT_TRUE(x.Grab(QRect(QPoint(0, 0), screenSize))
                    .save(E2EPicturePath(
                        QStringLiteral("desktop-%1-unlock.png").arg(Managed() ? "openbox" : "no-wm"))));
}

INSTANTIATE_TEST_SUITE_P(Desktops, VistalOnDesktop,
                         ::testing::Values(Desktop::NoWindowManager, Desktop::Openbox), DesktopName);

}  // namespace
