// Remote playback with the real Vistal on a private X server: a simulated DVR that holds today's
// recordings, the playback dialog opened from the main window, a channel's day opened in time mode with
// its record map in the day bar, two recordings found by a search and played on two screens, then pause,
// one step, faster playback with its speed label, a seek with the position slider, a snapshot and the
// dialog closed, each checked on the screen and in what the DVR received. The simulator's pictures carry
// the second they were recorded at (tools/dvrsim/time_mark.h), read here off the screen.
// Pictures of the dialog in both modes go to $VISTAL_PICTURES_DIR (else build/tests/out).

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QDate>
#include <QDateTime>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "dvr/dvr_protocol.h"
#include "tests/bounded_wait.h"
#include "tests/e2e/vistal_launch.h"
#include "tests/e2e/x_session.h"
#include "tests/picture_output.h"
#include "tools/dvrsim/time_mark.h"
#include "tools/homeprep/program_folder.h"
#include "ui/dialogs/dlg_playback.h"
#include "ui/main_window_layout.h"
#include "ui/playback_layout.h"

namespace {

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 800;
constexpr UINT kMainPlaybackButton = 1003;
// The DVR's playback commands as they arrive in a control request.
constexpr int kPlay = 1, kPause = 2, kStep = 4, kSpeed = 5, kSeek = 6;

using Clock = std::chrono::steady_clock;

void Sleep(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

int32_t TodayMidnight() {
    return static_cast<int32_t>(QDateTime(QDate::currentDate(), QTime(0, 0)).toSecsSinceEpoch());
}

// Playback screen k of the 16-screen layout in root coordinates, less a margin that keeps its one-pixel
// border (green when selected) out of every comparison.
QRect PlaybackScreen(const QRect& dialog, int screen) {
    RECT client{0, 0, dialog.width(), dialog.height()};
    RECT rects[PLAYBACK_SCREEN_COUNT];
    int shown[PLAYBACK_SCREEN_COUNT];
    LayoutPlaybackScreens(PlaybackVideoArea(client, false), 0, PLAYBACK_SCREEN_COUNT, rects, shown);
    const RECT& r = rects[screen];
    return QRect(dialog.x() + r.left, dialog.y() + r.top, r.Width(), r.Height()).adjusted(3, 3, -3, -3);
}

// The recorded second the picture of a playback screen shows (its time mark), or -1. The screen's rectangle
// is PlaybackScreen's, 3 pixels inside the picture on each side. A grab taken while the picture is being
// replaced may hold parts of two pictures (its check row then disagrees): the screen is looked at again.
// A loaded machine may show the first picture after a play or a seek a while after the request: the screen
// is looked at again until a picture shows its mark (at most 3 s).
int64_t RecordedSecond(XClient& x, const QRect& screen) {
    const QRect picture = screen.adjusted(-2, -2, 2, 2);
    int64_t second = -1;
    harness::WaitUntil(
        [&] {
            const QImage grab = x.Grab(picture);
            second = dvrsim::ReadTimeMark([&](double fx, double fy) {
                return qGray(grab.pixel(std::min(grab.width() - 1, static_cast<int>(fx * grab.width())),
                                        std::min(grab.height() - 1, static_cast<int>(fy * grab.height()))));
            });
            return second >= 0;
        },
        3000, [] { std::this_thread::sleep_for(std::chrono::milliseconds(10)); });
    return second;
}

// Whether a column of the day bar's picture holds the day bar's green (a recorded hour) anywhere, and the
// rows (y) where green is found in the whole picture.
bool GreenColumn(const QImage& bar, int x) {
    for (int y = 0; y < bar.height(); ++y) {
        const QRgb p = bar.pixel(x, y);
        if (qGreen(p) > 200 && qRed(p) < 60 && qBlue(p) < 60)
            return true;
    }
    return false;
}
std::pair<int, int> GreenRows(const QImage& bar) {
    int first = -1, last = -1;
    for (int y = 0; y < bar.height(); ++y) {
        for (int x = 0; x < bar.width(); ++x) {
            const QRgb p = bar.pixel(x, y);
            if (qGreen(p) > 200 && qRed(p) < 60 && qBlue(p) < 60) {
                first = first < 0 ? y : first;
                last = y;
            }
        }
    }
    return {first, last};
}

// Where the speed label of a screen is drawn: the bottom right corner of its picture.
QRect LabelCorner(const QRect& screen) {
    const int w = screen.width() * 3 / 10, h = screen.height() * 3 / 20;
    return QRect(screen.right() - w + 1, screen.bottom() - h + 1, w, h);
}

// The label's text colour is pure green; the test pictures hold only mildly tinted greys. A picture is
// reduced to where it is clearly green.
std::vector<bool> GreenMask(const QImage& picture, int* count) {
    std::vector<bool> mask;
    *count = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            QRgb p = picture.pixel(x, y);
            bool green = qGreen(p) > 140 && qGreen(p) - qRed(p) > 60 && qGreen(p) - qBlue(p) > 60;
            mask.push_back(green);
            *count += green ? 1 : 0;
        }
    }
    return mask;
}

// The lines of text in a list's picture, top to bottom: runs of at least 4 pixel rows holding dark pixels,
// looked for away from the list's border and its scroll bar (an underscore alone makes a shorter run).
std::vector<std::pair<int, int>> TextLines(const QImage& list) {
    std::vector<std::pair<int, int>> lines;
    int start = -1;
    for (int y = 2; y < list.height() - 2; ++y) {
        bool dark = false;
        for (int x = 4; x < list.width() - 24 && !dark; ++x)
            dark = qGray(list.pixel(x, y)) < 96;
        if (dark && start < 0)
            start = y;
        if (!dark && start >= 0) {
            if (y - start >= 4)
                lines.emplace_back(start, y);
            start = -1;
        }
    }
    return lines;
}

// The right edge of the position slider's thumb: the rightmost column in which the slider differs from its
// picture at position 0, where the thumb (thumbWidth wide) stands at the left end.
int SliderMark(const QImage& slider, const QImage& atZero, int thumbWidth) {
    for (int x = std::min(slider.width(), atZero.width()) - 1; x >= thumbWidth; --x) {
        for (int y = 0; y < std::min(slider.height(), atZero.height()); ++y) {
            if (slider.pixel(x, y) != atZero.pixel(x, y))
                return x;
        }
    }
    return thumbWidth - 1;
}

// The fields of the requests with that id, in arrival order.
std::vector<std::vector<std::string>> RequestFields(dvrsim::DvrSim* sim, int id) {
    std::vector<std::vector<std::string>> all;
    for (const dvrsim::SimRequest& r : sim->Requests()) {
        if (r.id != id)
            continue;
        std::vector<std::string> fields;
        size_t at = 0;
        while (at < r.bytes.size()) {
            size_t end = r.bytes.find_first_of(" \r\n", at);
            if (end == std::string::npos)
                end = r.bytes.size();
            if (end > at)
                fields.push_back(r.bytes.substr(at, end - at));
            at = end + 1;
        }
        all.push_back(fields);
    }
    return all;
}

// Command and parameter of every playback control the DVR received for window, in order.
std::vector<std::pair<int, int>> Controls(dvrsim::DvrSim* sim, int window) {
    std::vector<std::pair<int, int>> controls;
    for (const auto& f : RequestFields(sim, DVR_REQ_PLAYBACK_CONTROL)) {
        if (f.size() >= 5 && std::stoi(f[1]) == window)
            controls.emplace_back(std::stoi(f[2]), std::stoi(f[3]));
    }
    return controls;
}

// The command of the last playback control for window, or 0.
int LastCommand(dvrsim::DvrSim* sim, int window) {
    const auto controls = Controls(sim, window);
    return controls.empty() ? 0 : controls.back().first;
}

class PlaybackOnX : public ::testing::Test {
protected:
    QTemporaryDir root;
    VistalFolders folders;
    XvfbServer xvfb;
    XClient x;
    std::unique_ptr<dvrsim::DvrSim> sim;
    std::unique_ptr<QProcess> vistal;

    void SetUp() override {
        if (!XvfbInstalled())
            GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs it)";
        ASSERT_EQ(MakeVistalFolders(root.path(), &folders), 0);
        ASSERT_EQ(xvfb.Start(kScreenWidth, kScreenHeight), 0);
        ASSERT_EQ(x.Open(xvfb.Display()), 0);
        sim = StartVistalSim("North ", TodayMidnight());
        ASSERT_NE(sim, nullptr);
        ASSERT_EQ(PrepareProgramFolder(folders.home, OneDvrPlan("North", sim->Port())), 0);
    }

    void TearDown() override {
        if (vistal != nullptr && vistal->state() != QProcess::NotRunning) {
            kill(static_cast<pid_t>(vistal->processId()), SIGKILL);
            vistal->waitForFinished(5000);
        }
    }

    // A click, then the pointer off every control, so no button is drawn as hovered in later grabs.
    void ClickAway(QPoint point, QPoint away) {
        x.Click(point);
        x.MoveMouse(away.x(), away.y());
    }
    void DoubleClick(QPoint point) {
        x.Click(point, 20);
        Sleep(60);
        x.Click(point, 20);
    }
    // Whether the picture in rect stays the same over ms.
    bool Holds(const QRect& rect, int ms) {
        const QImage before = x.Grab(rect);
        Sleep(ms);
        return x.Grab(rect) == before;
    }
};

TEST_F(PlaybackOnX, SearchesPlaysStepsSpeedsSeeksSnapsAndCloses) {
    const QSize screenSize(kScreenWidth, kScreenHeight);
    const QRect screenRect(QPoint(0, 0), screenSize);
    vistal = StartVistal(folders, xvfb.Display());
    const pid_t pid = static_cast<pid_t>(vistal->processId());
    unsigned long mainWindow = WaitForVistalWindow(x, vistal.get(), 30000);
    ASSERT_NE(mainWindow, 0u) << "Vistal opened no window";
    ASSERT_TRUE(harness::WaitUntil(
        [&] { return x.WindowRect(mainWindow = x.FindWindowOfProcess(pid)) == screenRect; }, 15000));
    ASSERT_TRUE(sim->WaitForRequests(DVR_REQ_LOGIN, 1, 20000));
    ASSERT_TRUE(sim->WaitForRequests(DVR_REQ_OPEN_STREAM, 1, 20000));

    // North, selected in the tree, is the DVR the playback dialog works with.
    const auto mainPlacements = MainControlPlacements(kScreenWidth, kScreenHeight, kScreenWidth, true);
    const QRect tree = PlacedControl(mainPlacements, screenRect, 1005);
    ASSERT_FALSE(tree.isEmpty());
    EXPECT_TRUE(x.ClickForKeys(tree.topLeft() + QPoint(50, 10), tree));
    const std::vector<unsigned long> before = x.WindowsOfProcess(pid);
    x.Click(PlacedControl(mainPlacements, screenRect, kMainPlaybackButton).center());
    unsigned long dialog = 0;
    ASSERT_TRUE(harness::WaitUntil(
        [&] {
            for (unsigned long w : x.WindowsOfProcess(pid)) {
                if (std::find(before.begin(), before.end(), w) == before.end() &&
                    x.WindowRect(w) == screenRect)
                    dialog = w;
            }
            return dialog != 0;
        },
        10000))
        << "no playback dialog";
    const QRect d = x.WindowRect(dialog);
    const auto placements = PlaybackControlPlacements(d.width(), d.height());
    auto control = [&](UINT id) { return PlacedControl(placements, d, id); };
    // Over the skin left of the video area: no control there.
    const QPoint away = d.topLeft() + QPoint(12, d.height() / 2);
    x.MoveMouse(away.x(), away.y());

    // Time mode: the month query went out; the picture is taken once its answer is drawn (the dialog holds
    // still).
    ASSERT_TRUE(sim->WaitForRequests(DVR_REQ_GET_MONTH_RECORDS, 1, 10000));
    EXPECT_TRUE(x.WaitForStill(d));
    const QRect transport = control(IDC_PB_PLAY), slider = control(IDC_PB_POSITION),
                timeText = control(IDC_PB_TIME_TEXT), search = control(IDC_PB_SEARCH),
                fileList = control(IDC_PB_FILE_LIST), tab = control(IDC_PB_TAB);
    ASSERT_FALSE(transport.isEmpty() || slider.isEmpty() || search.isEmpty() || fileList.isEmpty());
    // The video window the screens are drawn in is the dialog's own window: it stands above the dialog.
    const RECT area = PlaybackVideoArea(RECT{0, 0, d.width(), d.height()}, false);
    const QRect videoRect(d.x() + area.left, d.y() + area.top, area.Width(), area.Height());
    unsigned long video = 0;
    EXPECT_TRUE(harness::WaitUntil(
        [&] {
            for (unsigned long w : x.WindowsOfProcess(pid)) {
                if (x.WindowRect(w) == videoRect)
                    video = w;
            }
            return video != 0 && x.IsAbove(video, dialog);
        },
        5000))
        << "video window " << video << " not above the dialog";
    const QImage playPicture = x.Grab(transport), sliderAtZero = x.Grab(slider);
    const QImage timeMode = x.Grab(d);
    EXPECT_TRUE(timeMode.save(PicturePath(QStringLiteral("x_playback_time_mode.png"))));

    // Time mode: a double click on channel North 2 opens today on the selected screen 0 and asks for the
    // day's record map, which colours row 0 of the day bar: the DVR has this channel's files at 08:00
    // and 10:00, half an hour each, so hours 8 and 10 are green and the hours around them are not.
    const QRect channelList = control(IDC_PB_CHANNEL_LIST), dayBar = control(IDC_PB_DAY_BAR);
    ASSERT_FALSE(channelList.isEmpty() || dayBar.isEmpty());
    std::vector<std::pair<int, int>> channelLines;
    ASSERT_TRUE(harness::WaitUntil(
        [&] { return (channelLines = TextLines(x.Grab(channelList))).size() >= 3; }, 10000));
    const auto& north2 = channelLines[2];  // line 0 is the header
    DoubleClick(QPoint(channelList.x() + 40, channelList.y() + (north2.first + north2.second) / 2));
    x.MoveMouse(away.x(), away.y());
    ASSERT_TRUE(sim->WaitForRequests(DVR_REQ_GET_DAY_RECORDS, 1, 10000));
    ASSERT_TRUE(sim->WaitForRequests(DVR_REQ_PLAYBACK_OPEN, 1, 10000));
    const int hourWidth = PlaybackPosWidth(d.width()) / 24;
    auto hourColumn = [&](int hour) { return 2 + 20 + hour * hourWidth + hourWidth / 2; };
    QImage bar;
    EXPECT_TRUE(harness::WaitUntil(
        [&] {
            bar = x.Grab(dayBar);
            return GreenColumn(bar, hourColumn(8)) && GreenColumn(bar, hourColumn(10));
        },
        10000))
        << "hours 8 and 10 are not green";
    bar.save(PicturePath(QStringLiteral("x_playback_day_bar.png")));
    for (int hour : {0, 7, 9, 11, 23})
        EXPECT_FALSE(GreenColumn(bar, hourColumn(hour))) << hour;
    const auto [greenTop, greenBottom] = GreenRows(bar);
    EXPECT_LT(greenBottom - greenTop, 30) << "green in more than one row";
    // Screen 0 shows the channel's first recording from its start.
    const int64_t firstFile = int64_t{TodayMidnight()} + 8 * 3600;
    int64_t shown = -1;
    EXPECT_TRUE(harness::WaitUntil(
        [&] {
            shown = RecordedSecond(x, PlaybackScreen(d, 0));
            return shown >= firstFile;
        },
        10000))
        << shown;
    EXPECT_LT(shown, firstFile + 60);
    // Stopped again, so the switch to file mode asks nothing.
    ClickAway(control(IDC_PB_STOP).center(), away);
    ASSERT_TRUE(harness::WaitUntil([&] { return x.Grab(transport) == playPicture; }, 5000));

    // File mode: the second tab. Its place depends on the first tab's text, so the tab row is walked
    // from the left until the search button shows.
    const QImage noSearch = x.Grab(search);
    bool fileMode = false;
    for (int at = 12; at < tab.width() - 4 && !fileMode; at += 12) {
        ClickAway(QPoint(tab.x() + at, tab.center().y()), away);
        fileMode = harness::WaitUntil([&] { return x.Grab(search) != noSearch; }, 600);
    }
    ASSERT_TRUE(fileMode) << "the file tab was not found";

    // All channels of today (the search's default span): the DVR's four channels have two files each.
    ClickAway(search.center(), away);
    ASSERT_TRUE(sim->WaitForRequests(DVR_REQ_SEARCH_FILES, 1, 10000));
    std::vector<std::pair<int, int>> lines;
    EXPECT_TRUE(harness::WaitUntil([&] { return (lines = TextLines(x.Grab(fileList))).size() >= 4; }, 10000));
    x.Grab(fileList).save(PicturePath(QStringLiteral("x_playback_file_list.png")));
    ASSERT_GE(lines.size(), 4u) << "the header and at least three rows";
    auto rowPoint = [&](int row) {
        const auto& line = lines[static_cast<size_t>(row) + 1];  // line 0 is the header
        return QPoint(fileList.x() + 40, fileList.y() + (line.first + line.second) / 2);
    };

    // Row 0 (CH001 at 08:00) on screen 0, the selected one; then screen 1 selected and row 2 (CH002 at
    // 08:00) on it.
    DoubleClick(rowPoint(0));
    ASSERT_TRUE(sim->WaitForRequests(DVR_REQ_PLAYBACK_OPEN, 2, 10000));
    // Screen 1 is selected when its frame turns green.
    const QRect frame1 = PlaybackScreen(d, 1).adjusted(-3, -3, 3, 3);
    const QImage unselected1 = x.Grab(frame1);
    ClickAway(PlaybackScreen(d, 1).center(), away);
    EXPECT_TRUE(x.WaitForChange(frame1, unselected1));
    DoubleClick(rowPoint(2));
    ASSERT_TRUE(sim->WaitForRequests(DVR_REQ_PLAYBACK_OPEN, 3, 10000));
    x.MoveMouse(away.x(), away.y());

    // Moving pictures on both screens.
    const QRect screen0 = PlaybackScreen(d, 0), screen1 = PlaybackScreen(d, 1);
    bool moved0 = false, moved1 = false;
    for (int pass = 0; pass < 20 && !(moved0 && moved1); ++pass) {
        const QImage a = x.Grab(d);
        Sleep(500);
        const QImage b = x.Grab(d);
        const QRect s0 = screen0.translated(-d.topLeft()), s1 = screen1.translated(-d.topLeft());
        moved0 = moved0 || a.copy(s0) != b.copy(s0);
        moved1 = moved1 || a.copy(s1) != b.copy(s1);
    }
    EXPECT_TRUE(moved0);
    ASSERT_TRUE(moved1);
    EXPECT_TRUE(x.Grab(d).save(PicturePath(QStringLiteral("x_playback_file_mode.png"))));

    // Screen 1 plays: Pause stands where Play stood, and its pictures carry the green "1X" label.
    ASSERT_TRUE(harness::WaitUntil([&] { return x.Grab(transport) != playPicture; }, 10000));
    auto label = [&](int* count) { return GreenMask(x.Grab(LabelCorner(screen1)), count); };
    int green1 = 0;
    std::vector<bool> label1;
    EXPECT_TRUE(harness::WaitUntil([&] { return (label1 = label(&green1), green1 >= 6); }, 5000))
        << green1 << " green pixels";

    // Pause: the picture holds (looked at before the idle picture replaces a screen without frames, 3 s).
    ClickAway(transport.center(), away);
    ASSERT_TRUE(harness::WaitUntil([&] { return x.Grab(transport) == playPicture; }, 5000));
    QImage paused;  // once the frames sent before the pause are drawn
    x.WaitForStill(screen1, 150, 2000, &paused);
    Sleep(500);  // how long the picture must hold
    EXPECT_EQ(x.Grab(screen1), paused) << "the paused screen changed";

    // One step: the picture changes once, then holds.
    ClickAway(control(IDC_PB_STEP).center(), away);
    EXPECT_TRUE(harness::WaitUntil([&] { return x.Grab(screen1) != paused; }, 1500)) << "no step picture";
    x.WaitForStill(screen1, 100, 2000);  // the step picture drawn whole
    EXPECT_TRUE(Holds(screen1, 400)) << "the stepped screen kept moving";

    // The position at 1x, read from the slider that every report of the DVR moves with the time text.
    const int thumbWidth = QImage(QStringLiteral(VISTAL_SOURCE_DIR "/resources/bitmaps/215.png")).width();
    ASSERT_GT(thumbWidth, 0);
    auto mark = [&] { return SliderMark(x.Grab(slider), sliderAtZero, thumbWidth); };
    // The mark once the DVR's report answering a click has moved the thumb from where it stood before the
    // click (bounded: a report at the same place moves nothing).
    auto markAfterReport = [&](int before) {
        int now = before;
        harness::WaitUntil([&] { return (now = mark()) != before; }, 3000);
        return now;
    };
    ClickAway(transport.center(), away);  // play again
    const Clock::time_point played = Clock::now();
    ASSERT_TRUE(harness::WaitUntil([&] { return x.Grab(transport) != playPicture; }, 5000));
    EXPECT_TRUE(harness::WaitUntil([&] { return LastCommand(sim.get(), 1) == kPlay; }, 5000));
    const int atPlay = mark();
    const int64_t recordedAtPlay = RecordedSecond(x, screen1);
    const QImage textAtPlay = x.Grab(timeText);
    Sleep(8000);
    const int beforePause = mark();
    ClickAway(transport.center(), away);  // pause
    const Clock::time_point pausedAt = Clock::now();
    ASSERT_TRUE(harness::WaitUntil([&] { return x.Grab(transport) == playPicture; }, 5000));
    const int atPause = markAfterReport(beforePause);
    const int64_t recordedAtPause = RecordedSecond(x, screen1);
    EXPECT_NE(x.Grab(timeText), textAtPlay) << "the time text did not advance";

    // Faster twice: 2X, then 4X; each speed brings its own label.
    ClickAway(control(IDC_PB_FAST).center(), away);
    ASSERT_TRUE(harness::WaitUntil([&] { return LastCommand(sim.get(), 1) == kSpeed; }, 5000));
    // Each label is read once the screen shows another than before (checked below).
    int green2 = 0;
    std::vector<bool> label2;
    harness::WaitUntil([&] { return (label2 = label(&green2)) != label1 && green2 >= 6; }, 5000);
    ClickAway(control(IDC_PB_FAST).center(), away);
    ASSERT_TRUE(harness::WaitUntil(
        [&] {
            auto c = Controls(sim.get(), 1);
            return c.size() >= 2 && c[c.size() - 2].first == kSpeed && c.back().first == kSpeed;
        },
        5000));
    int green4 = 0;
    std::vector<bool> label4;
    harness::WaitUntil([&] { return (label4 = label(&green4)) != label2 && green4 >= 6; }, 5000);
    x.Grab(screen1).save(PicturePath(QStringLiteral("x_playback_screen_4x.png")));
    EXPECT_GE(green2, 6);
    EXPECT_GE(green4, 6);
    EXPECT_TRUE(label4 != label1) << "the label at 4X is the one at 1X";
    EXPECT_TRUE(label4 != label2) << "the label at 4X is the one at 2X";

    // The position at 4X: Play (shown at a changed speed) makes the DVR report without changing the speed.
    // Each mark is read once the DVR has the Play that asks for its report.
    auto playAsked = [&](size_t controlsBefore) {
        EXPECT_TRUE(harness::WaitUntil(
            [&] {
                return Controls(sim.get(), 1).size() > controlsBefore && LastCommand(sim.get(), 1) == kPlay;
            },
            5000));
    };
    size_t controls = Controls(sim.get(), 1).size();
    ClickAway(transport.center(), away);
    const Clock::time_point fastFrom = Clock::now();
    playAsked(controls);
    const int atFastFrom = mark();
    const int64_t recordedAtFastFrom = RecordedSecond(x, screen1);
    Sleep(6000);  // the span measured
    controls = Controls(sim.get(), 1).size();
    ClickAway(transport.center(), away);
    const Clock::time_point fastTo = Clock::now();
    playAsked(controls);
    const int atFastTo = markAfterReport(atFastFrom);
    const int64_t recordedAtFastTo = RecordedSecond(x, screen1);
    auto seconds = [](Clock::duration span) { return std::chrono::duration<double>(span).count(); };
    const double normalRate = (atPause - atPlay) / seconds(pausedAt - played);
    const double fastRate = (atFastTo - atFastFrom) / seconds(fastTo - fastFrom);
    std::printf("slider pixels per second: 1x %.2f (%d..%d), 4X %.2f (%d..%d)\n", normalRate, atPlay, atPause,
                fastRate, atFastFrom, atFastTo);
    EXPECT_GT(normalRate, 0.0);
    EXPECT_GT(fastRate, 2.0 * normalRate);
    EXPECT_LT(fastRate, 8.0 * normalRate);
    // The same in recorded seconds the pictures show: 4X shows about four times as many a second as 1X.
    ASSERT_TRUE(recordedAtPlay > 0 && recordedAtPause > 0 && recordedAtFastFrom > 0 && recordedAtFastTo > 0);
    const double normalSeconds = (recordedAtPause - recordedAtPlay) / seconds(pausedAt - played);
    const double fastSeconds = (recordedAtFastTo - recordedAtFastFrom) / seconds(fastTo - fastFrom);
    std::printf("recorded seconds per second: 1x %.2f, 4X %.2f\n", normalSeconds, fastSeconds);
    EXPECT_GT(normalSeconds, 0.7);
    EXPECT_LT(normalSeconds, 1.3);
    EXPECT_GT(fastSeconds, 3.0 * normalSeconds);
    EXPECT_LT(fastSeconds, 5.0 * normalSeconds);

    // Seek with the slider to its middle: the DVR is asked for about half of the 30-minute file and the
    // thumb stays there.
    const QPoint middle(slider.x() + slider.width() / 2, slider.center().y());
    x.Click(middle, 100);
    x.MoveMouse(away.x(), away.y());
    // The last seek the DVR received is the one to check: once one came, a later one may still be on its way.
    auto lastSeek = [&] {
        return LastCommand(sim.get(), 1) == kSeek && !Controls(sim.get(), 1).empty()
                   ? Controls(sim.get(), 1).back().second
                   : -1;
    };
    int target = -1;
    ASSERT_TRUE(harness::WaitUntil([&] { return lastSeek() >= 0; }, 5000));
    harness::WaitUntil([&] { return (target = lastSeek()) > 700; }, 5000);
    EXPECT_GT(target, 700);
    EXPECT_LT(target, 1100);
    harness::WaitUntil([&] { return std::abs(mark() - slider.width() / 2) < 24; }, 5000);
    EXPECT_LT(std::abs(mark() - slider.width() / 2), 24) << mark();
    // Played from there, the screen shows the pictures recorded at the time sought (at 4X, a few seconds
    // on by the time they are looked at).
    ClickAway(transport.center(), away);
    ASSERT_GE(sim->Recordings().size(), 3u);
    const int64_t sought = int64_t{sim->Recordings()[2].start} + target;
    int64_t afterSeek = -1;
    EXPECT_TRUE(harness::WaitUntil(
        [&] {
            afterSeek = RecordedSecond(x, screen1);
            return afterSeek >= sought && afterSeek < sought + 20;
        },
        5000))
        << "shown " << afterSeek << ", sought " << sought;

    // A snapshot of screen 1: a JPEG of channel 2 at the recording's size in North's snapshot folder; the
    // notice that follows is answered with Enter.
    ClickAway(control(IDC_PB_SNAPSHOT).center(), away);
    QString jpeg;
    QImage shot;
    EXPECT_TRUE(harness::WaitUntil(
        [&] {
            jpeg = FindFileUnder(folders.drive, "*.jpg");
            return !jpeg.isEmpty() && shot.load(jpeg, "JPEG");
        },
        10000));
    EXPECT_EQ(shot.size(), QSize(352, 288)) << jpeg.toStdString();
    EXPECT_TRUE(jpeg.contains(QStringLiteral("/North/CH002_"))) << jpeg.toStdString();
    EXPECT_TRUE(AnswerWithEnter(x, pid, mainWindow, screenSize));

    // Exit: the dialog goes, the main window stays.
    ClickAway(control(IDC_PB_EXIT).center(), away);
    EXPECT_TRUE(harness::WaitUntil([&] { return !x.IsShown(dialog); }, 10000));
    EXPECT_TRUE(x.IsShown(mainWindow));
    EXPECT_EQ(vistal->state(), QProcess::Running);

    // What the DVR received: one search over today, the two files opened on windows 0 and 1 by their
    // paths (spaces sent as 0x08), the controls of screen 1 in order, and every window closed, after which
    // no playback frame is sent any more.
    ASSERT_TRUE(sim->WaitForRequests(DVR_REQ_PLAYBACK_CLOSE, PLAYBACK_SCREEN_COUNT, 10000));
    const auto searches = RequestFields(sim.get(), DVR_REQ_SEARCH_FILES);
    ASSERT_EQ(searches.size(), 1u);
    ASSERT_GE(searches[0].size(), 4u);
    EXPECT_EQ(searches[0][1], "-1");
    EXPECT_EQ(std::stoi(searches[0][2]), TodayMidnight());
    EXPECT_EQ(std::stoi(searches[0][3]), TodayMidnight() + 86399);
    std::vector<std::string> paths;
    for (const dvrsim::SimRecording& r : sim->Recordings()) {
        std::string path = r.path;
        std::replace(path.begin(), path.end(), ' ', '\x08');
        paths.push_back(path);
    }
    ASSERT_EQ(paths.size(), 8u);
    const auto opens = RequestFields(sim.get(), DVR_REQ_PLAYBACK_OPEN);
    ASSERT_EQ(opens.size(), 3u);
    EXPECT_EQ(opens[0], (std::vector<std::string>{"65547", "0", "0", "1", std::to_string(TodayMidnight())}));
    EXPECT_EQ(opens[1], (std::vector<std::string>{"65547", "1", "0", paths[0]}));
    EXPECT_EQ(opens[2], (std::vector<std::string>{"65547", "1", "1", paths[2]}));
    // The day map asked for was channel 1's of today, for screen 0.
    const auto days = RequestFields(sim.get(), DVR_REQ_GET_DAY_RECORDS);
    ASSERT_EQ(days.size(), 1u);
    EXPECT_EQ(days[0],
              (std::vector<std::string>{"65582", std::to_string(1 << 16), std::to_string(TodayMidnight())}));
    // Screen 1's controls up to the seek, in file mode (the last field): pause, step, play, pause, two
    // speed steps up, two plays that only ask for a report, the seek, and play from there.
    std::vector<int> commands;
    for (const auto& f : RequestFields(sim.get(), DVR_REQ_PLAYBACK_CONTROL)) {
        if (f.size() >= 5 && std::stoi(f[1]) == 1 && std::stoi(f[2]) != 3) {
            commands.push_back(std::stoi(f[2]));
            EXPECT_EQ(f[4], "1");
        }
    }
    EXPECT_EQ(commands,
              (std::vector<int>{kPause, kStep, kPlay, kPause, kSpeed, kSpeed, kPlay, kPlay, kSeek, kPlay}));
    std::vector<int> closes(PLAYBACK_SCREEN_COUNT, 0);
    for (const auto& f : RequestFields(sim.get(), DVR_REQ_PLAYBACK_CLOSE)) {
        const int window = f.size() >= 2 ? std::stoi(f[1]) : -1;
        if (window >= 0 && window < PLAYBACK_SCREEN_COUNT)
            ++closes[static_cast<size_t>(window)];
    }
    EXPECT_EQ(closes, std::vector<int>(PLAYBACK_SCREEN_COUNT, 1));
    const int framesAtClose = sim->PlaybackFramesSent();
    Sleep(1000);  // the span watched for frames after the close
    EXPECT_EQ(sim->PlaybackFramesSent(), framesAtClose);
    // The calendar asked for the month of today, the day it opened on.
    const auto months = RequestFields(sim.get(), DVR_REQ_GET_MONTH_RECORDS);
    ASSERT_FALSE(months.empty());
    ASSERT_GE(months[0].size(), 2u);
    EXPECT_EQ(std::stoi(months[0][1]), TodayMidnight());
}

}  // namespace
