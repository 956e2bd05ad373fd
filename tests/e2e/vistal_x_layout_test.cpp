// The real Vistal on a private X server: the grid's layout in view.dat when the program ends while no
// operator is logged in (the start-up login dialog, Switch User's login dialog), and a recording that
// goes on in a new file when its DVR comes back after a drop. Pictures go to build/pictures/e2e/.

#include <gtest/gtest.h>
#include <signal.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <memory>

#include "core/ini_file.h"
#include "dvr/dvr_protocol.h"
#include "platform/system/copydata_endpoint.h"
#include "tests/bounded_wait.h"
#include "tests/e2e/vistal_launch.h"
#include "tests/e2e/x_screen_reading.h"
#include "tests/e2e/x_session.h"
#include "tools/dvrsim/dvr_sim.h"
#include "tools/homeprep/program_folder.h"
#include "ui/main_window_layout.h"
#include "ui/view_file.h"

namespace {

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 800;
constexpr uintptr_t kCloseRequest = 0x7156BCDA;
constexpr int kLedSize = 17;

// How the program is asked to end while a login dialog waits.
enum class Ending { Signal, CloseRequest, CancelThenExit };

const char* EndingName(Ending ending) {
    switch (ending) {
        case Ending::Signal:
            return "SIGTERM";
        case Ending::CloseRequest:
            return "close request";
        case Ending::CancelThenExit:
            return "Cancel, then the exit button";
    }
    return "";
}

class LayoutOnX : public ::testing::Test {
protected:
    QTemporaryDir root;
    VistalFolders folders;
    XvfbServer xvfb;
    XClient x;
    std::unique_ptr<dvrsim::DvrSim> north, yard;
    std::unique_ptr<QProcess> vistal;
    const QSize screenSize{kScreenWidth, kScreenHeight};

    void SetUp() override {
        if (!XvfbInstalled())
            GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs it)";
        ASSERT_EQ(MakeVistalFolders(root.path(), &folders), 0);
        ASSERT_EQ(xvfb.Start(kScreenWidth, kScreenHeight), 0);
        ASSERT_EQ(x.Open(xvfb.Display()), 0);
    }

    void TearDown() override {
        if (vistal != nullptr && vistal->state() != QProcess::NotRunning) {
            kill(static_cast<pid_t>(vistal->processId()), SIGKILL);
            vistal->waitForFinished(5000);
        }
    }

    QString ViewFile() const { return folders.home + "/data/view.dat"; }

    // Two DVRs, three of their channels on screens 0, 1 and 5 (an operator's layout, not the first
    // screens in a row); automatic login as the plan's operator when autoLogin.
    void PrepareTwoDvrs(bool autoLogin) {
        north = StartVistalSim("North ");
        yard = StartVistalSim("Yard ");
        ASSERT_TRUE(north != nullptr && yard != nullptr);
        ProgramFolderPlan plan;
        plan.screenNum = 9;
        plan.dvrs = {{"North", "127.0.0.1", north->Port(), "admin", "admin"},
                     {"Yard", "127.0.0.1", yard->Port(), "admin", "admin"}};
        plan.views = {{0, 0, 0}, {1, 0, 1}, {5, 1, 2}};
        ASSERT_EQ(PrepareProgramFolder(folders.home, plan), 0);
        if (!autoLogin) {
            CIniFile ini(folders.home + "/system.ini");
            ini.WriteInt("USER", "AutoLogin", 0);
        }
    }

    // Starts Vistal and waits until its main window covers the screen; the window, or 0.
    unsigned long StartFullScreen() {
        vistal = StartVistal(folders, xvfb.Display());
        return WaitForFullScreenWindow(x, static_cast<pid_t>(vistal->processId()), screenSize);
    }

    // The login dialog over the main window, drawn and holding the keyboard; 0 when none showed.
    unsigned long WaitForLoginDialog(unsigned long window) {
        const pid_t pid = static_cast<pid_t>(vistal->processId());
        unsigned long dialog = 0;
        // The dialog, not a menu that opened it (two lines high).
        if (!harness::WaitUntil(
                [&] {
                    dialog = FindSmallWindow(x, pid, window, screenSize);
                    return dialog != 0 && x.WindowRect(dialog).height() > 100;
                },
                20000))
            return 0;
        const QRect r = x.WindowRect(dialog);
        x.MoveMouse(r.center().x(), r.center().y());
        return x.WaitForKeyboard(dialog) && x.WaitForDrawn(r.adjusted(0, r.height() * 3 / 5, 0, 0)) ? dialog
                                                                                                    : 0;
    }

    // Ends the program the given way (Cancel: on the login dialog that waits); true when it ended cleanly.
    bool EndProgram(Ending ending, unsigned long window, unsigned long dialog) {
        const pid_t pid = static_cast<pid_t>(vistal->processId());
        switch (ending) {
            case Ending::Signal:
                EXPECT_EQ(kill(pid, SIGTERM), 0);
                break;
            case Ending::CloseRequest: {
                COPYDATASTRUCT request = {kCloseRequest, 0, nullptr};
                EXPECT_EQ(SendCopyData(pid, 0, request, 5000), 0);
                break;
            }
            case Ending::CancelThenExit: {
                x.Key("Escape");
                EXPECT_TRUE(harness::WaitUntil([&] { return !x.IsShown(dialog); }, 10000));
                const QRect rect = x.WindowRect(window);
                x.Click(MainWindowControlRect(rect, 1039, kScreenWidth).center());
                // The exit question, answered with its default button.
                EXPECT_TRUE(AnswerWithEnter(x, pid, window, screenSize));
                break;
            }
        }
        return vistal->waitForFinished(20000) && vistal->exitStatus() == QProcess::NormalExit &&
               vistal->exitCode() == 0;
    }

    // The window with the login dialog waiting goes to picture (the first ending only); then the program
    // is ended that way, and view.dat must hold layout to the byte.
    void EndAtLoginAndExpectLayout(Ending ending, unsigned long window, unsigned long dialog,
                                   const QByteArray& layout, const char* picture) {
        if (ending == Ending::Signal) {
            EXPECT_TRUE(x.Grab(x.WindowRect(window)).save(E2EPicturePath(picture)));
        }
        EXPECT_TRUE(EndProgram(ending, window, dialog));
        EXPECT_EQ(ReadAll(ViewFile()), layout);
    }
};

// Ended before any operator logged in (automatic login off, the start-up login dialog waiting), the
// program keeps view.dat as it was: no DVR of the tree was removed, none was ever in the device list.
TEST_F(LayoutOnX, EndedAtTheStartUpLoginTheLayoutStays) {
    PrepareTwoDvrs(false);
    const QByteArray prepared = ReadAll(ViewFile());
    ASSERT_EQ(prepared.size(), VIEW_FILE_SIZE);
    for (Ending ending : {Ending::Signal, Ending::CloseRequest, Ending::CancelThenExit}) {
        SCOPED_TRACE(EndingName(ending));
        const unsigned long window = StartFullScreen();
        ASSERT_NE(window, 0u);
        const unsigned long dialog = WaitForLoginDialog(window);
        ASSERT_NE(dialog, 0u);
        EndAtLoginAndExpectLayout(ending, window, dialog, prepared, "startup-login-waiting.png");
    }
    // Nobody logged in: the DVRs never heard from the program.
    EXPECT_EQ(north->CountRequests(DVR_REQ_LOGIN), 0);
    EXPECT_EQ(yard->CountRequests(DVR_REQ_LOGIN), 0);
}

// Ended while Switch User's login dialog waits, the program writes the layout the screens showed before
// the switch; it is not emptied because the switch closed the screens and the device list. The next
// login brings that layout back.
TEST_F(LayoutOnX, SwitchUserKeepsTheLayoutThroughAnEndOrTheNextLogin) {
    PrepareTwoDvrs(true);
    const QByteArray prepared = ReadAll(ViewFile());
    ASSERT_EQ(prepared.size(), VIEW_FILE_SIZE);
    int northStreams = 0, yardStreams = 0;
    // The three saved channels show (again): each DVR is asked for its streams once more.
    auto screensShow = [&] {
        northStreams += 2;
        yardStreams += 1;
        return north->WaitForRequests(DVR_REQ_OPEN_STREAM, northStreams, 20000) &&
               yard->WaitForRequests(DVR_REQ_OPEN_STREAM, yardStreams, 20000);
    };
    // Switch User (the second item of the login button's menu); its login dialog, or 0.
    auto switchUser = [&](unsigned long window) {
        const QRect rect = x.WindowRect(window);
        EXPECT_FALSE(ChooseMenuItem(
                         x, static_cast<pid_t>(vistal->processId()),
                         [&] { x.Click(MainWindowControlRect(rect, 1032, kScreenWidth).center()); }, 2)
                         .isEmpty());
        return WaitForLoginDialog(window);
    };
    for (Ending ending : {Ending::Signal, Ending::CloseRequest}) {
        SCOPED_TRACE(EndingName(ending));
        const unsigned long window = StartFullScreen();
        ASSERT_NE(window, 0u);
        ASSERT_TRUE(screensShow());
        const unsigned long dialog = switchUser(window);
        ASSERT_NE(dialog, 0u);
        EndAtLoginAndExpectLayout(ending, window, dialog, prepared, "switch-user-login-waiting.png");
    }

    // The next login (the local account, no password: the dialog's OK) brings the screens back as they
    // were, and they are saved as such.
    const unsigned long window = StartFullScreen();
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(screensShow());
    const unsigned long dialog = switchUser(window);
    ASSERT_NE(dialog, 0u);
    x.Key("Return");
    EXPECT_TRUE(harness::WaitUntil([&] { return !x.IsShown(dialog); }, 10000));
    EXPECT_TRUE(screensShow());
    EXPECT_TRUE(EndProgram(Ending::CloseRequest, window, 0));
    EXPECT_EQ(ReadAll(ViewFile()), prepared);
}

// A channel recording when its DVR dropped records again when the DVR returns: the file of the first
// connection is closed whole, a new indexed file begins after the return, and the channel's light, off
// while the DVR was away, shows recording again.
TEST_F(LayoutOnX, RecordingGoesOnInANewFileWhenTheDvrComesBack) {
    north = StartVistalSim("North ");
    ASSERT_NE(north, nullptr);
    const uint16_t port = north->Port();
    ASSERT_EQ(PrepareProgramFolder(folders.home, OneDvrPlan("North", port)), 0);
    const unsigned long window = StartFullScreen();
    ASSERT_NE(window, 0u);
    const pid_t pid = static_cast<pid_t>(vistal->processId());
    ASSERT_TRUE(harness::WaitUntil([&] { return north->Streamed(0).pictures >= 10; }, 20000));
    const QRect rect = x.WindowRect(window);
    const POINT led = ChannelLedPosition(0, rect.height());
    const QRect ledRect(rect.x() + led.x, rect.y() + led.y, kLedSize, kLedSize);
    const QImage ledOff = x.Grab(ledRect);
    const QString records = folders.drive + "/Records/North";

    // Start Record (the fourth item of the screen menu) on screen 0, a page of four.
    const QRect video(rect.x() + 30, rect.y() + 30, rect.width() - 30 - 204, rect.height() - 30 - 88);
    ChooseScreenMenuItem(x, pid, QPoint(video.x() + video.width() / 4, video.y() + video.height() / 4), 4);
    // A file grows (a stream's first packets may begin and cut one in the same second, kept renamed).
    auto grown = [&](const QStringList& files, const QStringList& except) {
        return std::any_of(files.begin(), files.end(), [&](const QString& f) {
            return !except.contains(f) && QFileInfo(f).size() >= 64 * 1024;
        });
    };
    QStringList files;
    QImage ledOn;
    ASSERT_TRUE(harness::WaitUntil(
        [&] {
            files = FilesUnder(records, "*.avi");
            ledOn = x.Grab(ledRect);
            return grown(files, {}) && ledOn != ledOff;
        },
        30000))
        << files.join(' ').toStdString();
    EXPECT_TRUE(x.Grab(rect).save(E2EPicturePath("recording-before-drop.png")));

    // The DVR goes away: its files are closed whole and the light goes off.
    north.reset();
    QStringList before;
    EXPECT_TRUE(harness::WaitUntil(
        [&] {
            before = FilesUnder(records, "*.avi");
            return std::all_of(before.begin(), before.end(), AviIndexed) && x.Grab(ledRect) == ledOff;
        },
        30000))
        << before.join(' ').toStdString();
    EXPECT_TRUE(x.Grab(rect).save(E2EPicturePath("recording-dvr-away.png")));

    // It comes back on the same port: the channel is on its screen again and records into a new file.
    north = StartVistalSim("North ", 0, port);
    ASSERT_NE(north, nullptr);
    ASSERT_TRUE(north->WaitForRequests(DVR_REQ_LOGIN, 1, 30000));
    EXPECT_TRUE(harness::WaitUntil(
        [&] {
            files = FilesUnder(records, "*.avi");
            return grown(files, before) && x.Grab(ledRect) == ledOn;
        },
        30000))
        << files.join(' ').toStdString();
    EXPECT_TRUE(x.Grab(rect).save(E2EPicturePath("recording-after-return.png")));

    // Ended: every file is whole with its index.
    ASSERT_EQ(kill(pid, SIGTERM), 0);
    ASSERT_TRUE(vistal->waitForFinished(15000));
    EXPECT_EQ(vistal->exitCode(), 0);
    files = FilesUnder(records, "*.avi");
    EXPECT_GT(files.size(), before.size());
    for (const QString& file : files)
        EXPECT_TRUE(AviIndexed(file)) << file.toStdString() << " " << QFileInfo(file).size();
}

}  // namespace
