// The playback dialog with a plain owner window: its layout and screens, the buttons and time text that
// the state reports drive, the day-record bar, the calendar's month query on every paging (arrows and
// keys), the file list's own copies of the names, what it posts to its owner and when, and a search and
// two opened recordings against the simulated DVR, with the owner forwarding the posted requests to the
// DVR as the main window's relay does, and a playback whose stream the DVR drops.

#include "ui/dialogs/dlg_playback.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QDateTime>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QTest>
#include <QTextCharFormat>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include <QDir>
#include <QTemporaryDir>
#include "core/system_settings.h"
#include "core/tarvik_app.h"
#include "core/window_messages.h"
#include "dvr/device_tree_node.h"
#include "dvr/dvr_protocol.h"
#include "dvr/dvr_session.h"
#include "dvr/playback_requests.h"
#include "dvr/session_hooks.h"
#include "dvr/slot_queues.h"
#include "media/main_window_state.h"
#include "media/media_system.h"
#include "media/pixel_routines.h"
#include "platform/ui/message_box.h"
#include "platform/ui/prompt_hook.h"
#include "platform/video/video_canvas.h"
#include "tests/dvr/session_harness.h"
#include "tests/media/live_view_support.h"
#include "tests/picture_output.h"
#include "tests/platform/ui/text_fit.h"
#include "tests/platform/ui/ui_test_support.h"
#include "tests/scoped_env.h"
#include "tests/ui/dialogs/language_fixture.h"
#include "tools/dvrsim/dvr_sim.h"
#include "tools/dvrsim/video_source.h"
#include "ui/controls/dlg_video.h"
#include "ui/playback_search.h"

namespace {

struct Posted {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    PlaybackControl control{};
    PlaybackOpen open{};
    PlaybackSearch search{};
};

// The owner: records what the dialog posts, frees the records, and (with a device) sends each request to
// the DVR as the relay does.
class PlaybackOwner : public CWnd {
public:
    BOOL CreateHost() { return Attach(new QWidget, nullptr, 0, WS_POPUP); }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        Posted p{message, wParam, lParam};
        switch (message) {
            case WM_PLAYBACK_SEARCH: {
                std::unique_ptr<PlaybackSearch> record(reinterpret_cast<PlaybackSearch*>(wParam));
                p.search = *record;
                if (device != nullptr)
                    (void)SendSearchFiles(device, std::move(record));
                break;
            }
            case WM_PLAYBACK_OPEN: {
                std::unique_ptr<PlaybackOpen> record(reinterpret_cast<PlaybackOpen*>(wParam));
                p.open = *record;
                if (device != nullptr)
                    (void)SendPlaybackOpen(device, std::move(record));
                break;
            }
            case WM_PLAYBACK_CONTROL: {
                std::unique_ptr<PlaybackControl> record(reinterpret_cast<PlaybackControl*>(wParam));
                p.control = *record;
                if (device != nullptr)
                    (void)SendPlaybackControl(device, record.get(), static_cast<int>(lParam));
                break;
            }
            case WM_PLAYBACK_CLOSE:
                if (device != nullptr)
                    (void)SendPlaybackClose(device, static_cast<int>(wParam));
                break;
            case WM_PLAYBACK_QUERY_MONTH:
                if (device != nullptr)
                    (void)SendGetMonthRecords(device, static_cast<int32_t>(wParam));
                break;
            case WM_PLAYBACK_QUERY_DAY:
                if (device != nullptr)
                    (void)SendGetDayRecords(device, static_cast<uint32_t>(wParam),
                                            static_cast<int32_t>(lParam));
                break;
            case WM_CHILD_CLOSED:
                break;
            default:
                return CWnd::WindowProc(message, wParam, lParam);
        }
        posts.push_back(p);
        return 0;
    }
    int Count(UINT message) const {
        int n = 0;
        for (const Posted& p : posts)
            n += p.message == message;
        return n;
    }
    const Posted* Last(UINT message) const {
        for (auto it = posts.rbegin(); it != posts.rend(); ++it)
            if (it->message == message)
                return &*it;
        return nullptr;
    }

    std::vector<Posted> posts;
    DVRDevice* device = nullptr;
};

int32_t TodayMidnight() {
    return static_cast<int32_t>(QDateTime(QDate::currentDate(), QTime(0, 0)).toSecsSinceEpoch());
}

class PlaybackDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_nScreenWidth = 1024;
        g_nScreenHeight = 768;
        ASSERT_TRUE(owner.CreateHost());
    }
    void TearDown() override {
        StopSimulatedDvr();
        Close();
        g_currentDevice.store(nullptr);
        owner.DestroyWindow();
        DrainPostedEvents();
    }
    void Open() {
        dialog = std::make_unique<CDlgPlayback>(&owner);
        ASSERT_TRUE(dialog->Create(IDD_DLG_PLAYBACK, &owner));
        dialog->ShowWindow(SW_SHOW);
        DrainPostedEvents();
    }
    void Close() {
        if (!dialog)
            return;
        dialog->DestroyWindow();
        dialog.reset();
        DrainPostedEvents();
    }
    // The main window's part of a playback against the simulated DVR (channels cameras, ten pictures a
    // second, recordings today): the frame parser's playback queues, the session hooks, playback open, the
    // supervisor that restarts a lost session, and a session online and current. Then the dialog opens.
    void StartSimulatedDvr(int channels) {
        dvrsim::SimConfig config;
        config.users.push_back(dvrsim::SimUser{"admin", "", 0x3F});
        for (int c = 0; c < channels; ++c)
            config.channels.push_back(dvrsim::SimChannel{"Camera", dvrsim::kCodecMpeg4, 352, 288});
        config.recordingDays.push_back(TodayMidnight());
        config.framesPerSecond = 10;
        sim = std::make_unique<dvrsim::DvrSim>(config);
        ASSERT_EQ(sim->Start(), 0);
        simStarted = true;
        SetSlotQueueProvider(MediaSlotQueue);
        DvrSessionHooks hooks;
        hooks.playbackOpen = MainWindowPlaybackOpen;
        hooks.storePlaybackState = StorePlaybackState;
        hooks.stopDevicePlayback = StopDevicePlayback;
        hooks.playbackDialog = PlaybackDialogWindow;
        SetDvrSessionHooks(&hooks);
        ASSERT_EQ(StartSupervisorThread(), 0);
        g_mainWindowState.m_bPlaybackOpen.store(1);
        simNode.reset(live_view::MakeDvrNode(1, sim->Port()));
        DVRDevice* device = live_view::StartSession(simNode.get());
        ASSERT_TRUE(WaitUntil([&] { return live_view::IsOnline(device); }, 10000));
        g_currentDevice.store(device);
        owner.device = device;
        Open();
    }
    void StopSimulatedDvr() {
        if (!simStarted)
            return;
        simStarted = false;
        Close();
        owner.device = nullptr;
        g_currentDevice.store(nullptr);
        g_mainWindowState.m_bPlaybackOpen.store(0);
        FreeDeviceList();
        InitDeviceList();
        StopSupervisorThread();
        SetDvrSessionHooks(nullptr);
        SetSlotQueueProvider(nullptr);
        sim.reset();
    }
    void Report(int screen, std::initializer_list<int32_t> values, int change) {
        int32_t v[6] = {};
        std::copy(values.begin(), values.end(), v);
        StorePlaybackState(screen, v);
        dialog->OnPlaybackData(PLAYBACK_DATA_STATE, static_cast<LPARAM>(change << 16 | screen));
    }

    PlaybackOwner owner;
    std::unique_ptr<CDlgPlayback> dialog;
    std::unique_ptr<dvrsim::DvrSim> sim;
    std::unique_ptr<DeviceTreeNode, decltype(&std::free)> simNode{nullptr, &std::free};
    bool simStarted = false;
};

TEST_F(PlaybackDialogTest, OpensWithSixteenScreensAndClosesEveryScreenItOpened) {
    Open();
    EXPECT_EQ(dialog->m_comboScreens.GetCount(), 6);
    EXPECT_EQ(dialog->m_comboScreens.GetItemData(dialog->m_comboScreens.GetCurSel()), 16u);
    EXPECT_EQ(g_playbackDialog.load(), &dialog->m_view);
    for (int k = 0; k < PLAYBACK_SCREEN_COUNT; ++k) {
        EXPECT_TRUE(dialog->m_bScreenShown[k]) << k;
        EXPECT_NE(dialog->m_threadIds[k], 0u) << k;
    }
    EXPECT_EQ(dialog->m_dayBar.GetItemCount(), 16);
    EXPECT_EQ(dialog->m_dayBar.GetColumnCount(), 25);
    EXPECT_EQ(owner.Count(WM_PLAYBACK_QUERY_MONTH), 1);
    owner.posts.clear();

    dialog->ExitDialog();
    DrainPostedEvents();
    ASSERT_EQ(owner.Count(WM_CHILD_CLOSED), 1);
    EXPECT_EQ(owner.Last(WM_CHILD_CLOSED)->wParam, static_cast<WPARAM>(CHILD_PLAYBACK));
    Close();
    EXPECT_EQ(owner.Count(WM_PLAYBACK_CLOSE), 16);
    std::vector<int> stops(PLAYBACK_SCREEN_COUNT, 0);
    for (const Posted& p : owner.posts)
        if (p.message == WM_PLAYBACK_CONTROL && p.control.command == PLAYBACK_CMD_STOP)
            ++stops[p.control.window];
    for (int k = 0; k < PLAYBACK_SCREEN_COUNT; ++k)
        EXPECT_GE(stops[k], 1) << k;
    EXPECT_EQ(g_playbackDialog.load(), nullptr);
    EXPECT_EQ(PlaybackSlotQueue(0, true), nullptr);
}

// A dialog whose video window cannot be made.
class NoVideoPlayback : public CDlgPlayback {
public:
    using CDlgPlayback::CDlgPlayback;
    int CreateVideoWindow() override { return -1; }
};

TEST_F(PlaybackDialogTest, FailedStartUndoesWhatItMadeAndTellsTheOwner) {
    auto failing = std::make_unique<NoVideoPlayback>(&owner);
    failing->Create(IDD_DLG_PLAYBACK, &owner);
    DrainPostedEvents();
    EXPECT_FALSE(failing->m_bInitialised);
    ASSERT_EQ(owner.Count(WM_CHILD_CLOSED), 1);
    EXPECT_EQ(owner.Last(WM_CHILD_CLOSED)->wParam, static_cast<WPARAM>(CHILD_PLAYBACK));
    EXPECT_EQ(g_playbackDialog.load(), nullptr);
    EXPECT_EQ(PlaybackSlotQueue(0, true), nullptr);
    for (int k = 0; k < PLAYBACK_SCREEN_COUNT; ++k)
        EXPECT_EQ(failing->m_threadIds[k], 0u) << k;
    // The owner then destroys it: nothing is posted for screens that never opened.
    owner.posts.clear();
    failing->DestroyWindow();
    DrainPostedEvents();
    EXPECT_TRUE(owner.posts.empty());
    // A later dialog opens normally.
    Open();
    EXPECT_TRUE(dialog->m_bInitialised);
}

TEST_F(PlaybackDialogTest, WithoutAnOwnerNothingIsPostedAndNoRecordIsLost) {
    // The leak checker of the sanitizer builds sees a record that is made and not freed.
    auto lonely = std::make_unique<CDlgPlayback>(nullptr);
    ASSERT_TRUE(lonely->Create(IDD_DLG_PLAYBACK, nullptr));
    lonely->ShowWindow(SW_SHOW);
    for (UINT button : {IDC_PB_PAUSE, IDC_PB_STOP, IDC_PB_FAST, IDC_PB_FORWARD, IDC_PB_SEARCH, IDC_PB_EXIT})
        lonely->OnBitButtonUp(button);
    lonely->OpenSelected(PLAYBACK_MODE_TIME);
    lonely->DestroyWindow();
    DrainPostedEvents();
    EXPECT_TRUE(owner.posts.empty());
}

TEST_F(PlaybackDialogTest, DoubleClickZoomsOneScreenAndRestoresTheLayout) {
    Open();
    dialog->LayoutScreens(0, 4, 0);
    RECT three = dialog->m_rcScreen[3];
    RECT area{30, 30, 1024 - 320, 768 - 170};
    // A point in screen 3, in video window coordinates.
    LPARAM at = static_cast<LPARAM>((three.top - area.top + 5) << 16 | (three.left - area.left + 5));
    EXPECT_EQ(dialog->OnVideoDblClk(at), 0);
    EXPECT_EQ(dialog->m_nCurScreen, 3);
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(dialog->m_bScreenShown[k], k == 3) << k;
    EXPECT_EQ(dialog->m_rcScreen[3].left, area.left);
    EXPECT_EQ(dialog->m_rcScreen[3].bottom, area.bottom);
    EXPECT_EQ(dialog->OnVideoDblClk(static_cast<LPARAM>(10 << 16 | 10)), 0);
    for (int k = 0; k < 4; ++k)
        EXPECT_TRUE(dialog->m_bScreenShown[k]) << k;
    EXPECT_EQ(dialog->m_rcScreen[3].left, three.left);
    dialog->LayoutScreens(0, 1, 0);
    EXPECT_EQ(dialog->OnVideoDblClk(at), 0);
    EXPECT_TRUE(dialog->m_bScreenShown[0]);
    EXPECT_FALSE(dialog->m_bZoomed);
    // Outside every shown screen (the area's origin is at 30, 30 of the dialog): no hit.
    EXPECT_EQ(dialog->OnVideoClick(static_cast<LPARAM>(2000 << 16 | 2000)), -1);
}

int64_t g_fakeNow = 0;
int64_t FakeNow() {
    return g_fakeNow;
}

TEST_F(PlaybackDialogTest, ScreensWithoutAFrameForThreeSecondsShowTheIdlePicture) {
    Open();
    dialog->LayoutScreens(0, 4, 0);
    // A white idle picture; screen 0's last frame is 2 s old, screen 1's 3 s, screen 2's in the future.
    I420Picture saved = g_idleImage;
    g_idleImage.width = 32;
    g_idleImage.height = 32;
    g_idleImage.data.assign(I420Size(32, 32), 128);
    std::fill(g_idleImage.data.begin(), g_idleImage.data.begin() + 32 * 32, 255);
    g_fakeNow = 1000000;
    SetLastFrameClock(FakeNow);
    const int64_t ages[4] = {2, 3, -5, 100};
    for (int k = 0; k < 4; ++k) {
        std::lock_guard<std::mutex> guard(g_playbackChannels[k].lastFrameLock);
        g_playbackChannels[k].lastFrameTime = static_cast<int32_t>(g_fakeNow - ages[k]);
    }
    dialog->DrawIdleScreens();
    std::shared_ptr<VideoCanvas> canvas = dialog->m_pVideoWnd->Canvas();
    ASSERT_NE(canvas, nullptr);
    for (int k = 0; k < 4; ++k) {
        VideoRect r = dialog->m_view.ScreenRect(k);
        std::lock_guard<VideoCanvas::WholeLock> guard(canvas->Lock());
        QColor centre = canvas->Image().pixelColor((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        EXPECT_EQ(centre.lightness() > 200, ages[k] >= 3) << "screen " << k;
    }
    SetLastFrameClock(nullptr);
    g_idleImage = saved;
}

TEST_F(PlaybackDialogTest, StateReportsOfTheSelectedScreenDriveButtonsAndText) {
    Open();
    // The dialog acts on replies only while a DVR is the current one.
    auto device = std::make_unique<DVRDevice>();
    g_currentDevice.store(device.get());
    const struct {
        int mode;
        int state;
        int32_t begin, duration, position, dayStart;
        bool playShown, pauseShown, stopEnabled;
        const char* text;
        int slider;
    } cases[] = {
        {PLAYBACK_MODE_FILE, PLAYBACK_STATE_PLAYING, 0, 3725, 125, 0, false, true, true, "0:02:05/1:02:05",
         33},
        {PLAYBACK_MODE_FILE, PLAYBACK_STATE_PAUSED, 0, 3725, 125, 0, true, false, true, "0:02:05/1:02:05",
         33},
        {PLAYBACK_MODE_TIME, PLAYBACK_STATE_PLAYING, 1000 + 45000, 0, 296, 1000, false, true, true,
         "12:34:56/23:59:59", 524},
        {PLAYBACK_MODE_TIME, PLAYBACK_STATE_STOPPED, 1000, 0, 296, 1000, true, false, false,
         "00:00:00/00:00:00", 0},
    };
    for (const auto& c : cases) {
        dialog->m_nMode = c.mode;
        Report(0, {c.state, 6, c.begin, c.duration, c.position, c.dayStart}, PLAYBACK_CHANGE_BOTH);
        EXPECT_EQ(dialog->m_btnPlay.IsWindowVisible() != FALSE, c.playShown) << c.text;
        EXPECT_EQ(dialog->m_btnPause.IsWindowVisible() != FALSE, c.pauseShown) << c.text;
        EXPECT_EQ(dialog->m_btnStop.IsWindowEnabled() != FALSE, c.stopEnabled) << c.text;
        EXPECT_EQ(dialog->m_timeText.GetWindowText().toStdString(), c.text);
        EXPECT_EQ(dialog->m_sliderPos.GetPos(), c.slider) << c.text;
    }
    // A report for a screen that is not selected changes nothing.
    Report(3, {PLAYBACK_STATE_PLAYING, 6, 0, 100, 50, 0}, PLAYBACK_CHANGE_BOTH);
    EXPECT_EQ(dialog->m_timeText.GetWindowText().toStdString(), "00:00:00/00:00:00");
    EXPECT_TRUE(dialog->m_btnPlay.IsWindowVisible());
}

TEST_F(PlaybackDialogTest, TransportPostsItsControlsForTheSelectedScreen) {
    Open();
    dialog->m_nMode = PLAYBACK_MODE_FILE;
    int32_t v[6] = {PLAYBACK_STATE_PLAYING, 6, 0, 3600, 30, 0};
    StorePlaybackState(2, v);
    dialog->m_nCurScreen = 2;
    owner.posts.clear();
    const struct {
        UINT button;
        int command;
        int parameter;
    } cases[] = {
        {IDC_PB_PAUSE, PLAYBACK_CMD_PAUSE, 0},   {IDC_PB_STOP, PLAYBACK_CMD_STOP, 0},
        {IDC_PB_STEP, PLAYBACK_CMD_STEP, 0},     {IDC_PB_FAST, PLAYBACK_CMD_SPEED, 1},
        {IDC_PB_SLOW, PLAYBACK_CMD_SPEED, -1},   {IDC_PB_BACKWARD, PLAYBACK_CMD_SEEK, 0},
        {IDC_PB_FORWARD, PLAYBACK_CMD_SEEK, 90},
    };
    for (const auto& c : cases) {
        dialog->OnBitButtonUp(c.button);
        DrainPostedEvents();
        const Posted* p = owner.Last(WM_PLAYBACK_CONTROL);
        ASSERT_NE(p, nullptr) << c.button;
        EXPECT_EQ(p->control.window, 2) << c.button;
        EXPECT_EQ(p->control.command, c.command) << c.button;
        EXPECT_EQ(p->control.parameter, c.parameter) << c.button;
        EXPECT_EQ(p->lParam, PLAYBACK_MODE_FILE) << c.button;
    }
    // Dragging the position slider shows the time under the thumb; the release seeks there.
    EXPECT_EQ(dialog->OnSliderDragging(IDC_PB_POSITION, 500), 0);
    EXPECT_EQ(dialog->m_timeText.GetWindowText().toStdString(), "0:30:00");
    EXPECT_EQ(dialog->OnSliderReleased(IDC_PB_POSITION, 500), 0);
    DrainPostedEvents();
    EXPECT_EQ(owner.Last(WM_PLAYBACK_CONTROL)->control.parameter, 1800);
    // Play on a paused screen resumes it.
    v[0] = PLAYBACK_STATE_PAUSED;
    StorePlaybackState(2, v);
    dialog->OnBitButtonUp(IDC_PB_PLAY);
    DrainPostedEvents();
    EXPECT_EQ(owner.Last(WM_PLAYBACK_CONTROL)->control.command, PLAYBACK_CMD_PLAY);
    // The volume slider released at 2 mutes, at 3 not.
    dialog->OnSliderReleased(IDC_PB_VOLUME, 2);
    EXPECT_TRUE(dialog->m_bMuted);
    dialog->OnSliderReleased(IDC_PB_VOLUME, 3);
    EXPECT_FALSE(dialog->m_bMuted);
}

// A report that comes while the operator holds the position slider's thumb down leaves the thumb where it
// was pressed: the release seeks there, not to the reported position.
TEST_F(PlaybackDialogTest, AReportWhileTheThumbIsHeldLeavesItWhereItWasPressed) {
    Open();
    auto device = std::make_unique<DVRDevice>();
    g_currentDevice.store(device.get());
    dialog->m_nMode = PLAYBACK_MODE_FILE;
    dialog->m_nCurScreen = 0;
    Report(0, {PLAYBACK_STATE_PLAYING, 6, 0, 3600, 30, 0}, PLAYBACK_CHANGE_BOTH);
    const int reported = dialog->m_sliderPos.GetPos();
    RECT r{};
    dialog->m_sliderPos.GetClientRect(&r);
    const LPARAM middle = MAKELPARAM(r.right / 2, r.bottom / 2);
    dialog->m_sliderPos.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, middle);
    const int pressed = dialog->m_sliderPos.GetPos();
    ASSERT_GT(pressed, reported + 100);
    Report(0, {PLAYBACK_STATE_PLAYING, 6, 0, 3600, 31, 0}, PLAYBACK_CHANGE_POSITION);
    EXPECT_EQ(dialog->m_sliderPos.GetPos(), pressed);
    owner.posts.clear();
    dialog->m_sliderPos.SendMessage(WM_LBUTTONUP, 0, middle);
    DrainPostedEvents();
    const Posted* seek = owner.Last(WM_PLAYBACK_CONTROL);
    ASSERT_NE(seek, nullptr);
    EXPECT_EQ(seek->control.command, PLAYBACK_CMD_SEEK);
    EXPECT_GT(seek->control.parameter, 1500);
    // Released, the thumb follows the reports again.
    Report(0, {PLAYBACK_STATE_PLAYING, 6, 0, 3600, 31, 0}, PLAYBACK_CHANGE_POSITION);
    EXPECT_LT(dialog->m_sliderPos.GetPos(), reported + 10);
}

DayRecordMap* NewDayMap(int row, std::initializer_list<int> recorded, std::initializer_list<int> alarms) {
    auto* map = static_cast<DayRecordMap*>(std::calloc(1, sizeof(DayRecordMap)));
    map->value1 = row;
    for (int m : recorded)
        map->minutes[m / 4] |= static_cast<uint8_t>(1 << (2 * (m % 4)));
    for (int m : alarms)
        map->minutes[m / 4] |= static_cast<uint8_t>(2 << (2 * (m % 4)));
    return map;
}

TEST_F(PlaybackDialogTest, SwitchingModesWhilePlayingAsksFirst) {
    Open();
    int answer = IDCANCEL;
    std::vector<PromptRequest> asked;
    SetPromptHook([&](const PromptRequest& request) {
        asked.push_back(request);
        PromptAnswer a;
        a.result = request.kind == PromptKind::PopupMenu ? 0 : answer;
        return a;
    });
    int32_t playing[6] = {PLAYBACK_STATE_PLAYING, 6, 0, 100, 5, 0};
    StorePlaybackState(7, playing);
    owner.posts.clear();
    // Cancel: the tab jumps back, nothing is stopped.
    dialog->m_tab.SetCurSel(1);
    dialog->OnTabChange();
    DrainPostedEvents();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].style, static_cast<UINT>(MB_OKCANCEL | MB_ICONQUESTION));
    EXPECT_EQ(dialog->m_tab.GetCurSel(), 0);
    EXPECT_EQ(dialog->m_nMode, PLAYBACK_MODE_TIME);
    EXPECT_EQ(owner.Count(WM_PLAYBACK_CONTROL), 0);
    // OK: every screen is stopped in the old mode, then file mode.
    answer = IDOK;
    dialog->m_tab.SetCurSel(1);
    dialog->OnTabChange();
    DrainPostedEvents();
    EXPECT_EQ(owner.Count(WM_PLAYBACK_CONTROL), 16);
    EXPECT_EQ(owner.Last(WM_PLAYBACK_CONTROL)->lParam, PLAYBACK_MODE_TIME);
    EXPECT_EQ(dialog->m_nMode, PLAYBACK_MODE_FILE);
    EXPECT_TRUE(dialog->m_fileList.IsWindowVisible());
    // The right-click menu of a screen offers full screen and snapshot only.
    asked.clear();
    EXPECT_EQ(dialog->OnVideoRClick(static_cast<LPARAM>(5 << 16 | 5)), 0);
    ASSERT_EQ(asked.size(), 1u);
    ASSERT_EQ(asked[0].menuItems.size(), 2) << asked[0].menuItems.join(QLatin1Char(',')).toStdString();
    EXPECT_TRUE(asked[0].menuItems[0].startsWith(QStringLiteral("32771:")));
    EXPECT_TRUE(asked[0].menuItems[1].startsWith(QStringLiteral("32776:")));
    SetPromptHook(nullptr);
}

TEST_F(PlaybackDialogTest, DayMapsColourTheirRowAndAreFreedOnEveryPath) {
    Open();
    // Without a current DVR every reply is ignored, and the map still freed (the leak checker sees it).
    dialog->OnPlaybackData(PLAYBACK_DATA_DAY_RECORDS, reinterpret_cast<LPARAM>(NewDayMap(2, {0}, {})));
    EXPECT_NE(dialog->DayBarColour(2, 1), DAY_BAR_RECORDED);
    auto device = std::make_unique<DVRDevice>();
    g_currentDevice.store(device.get());
    dialog->OnPlaybackData(PLAYBACK_DATA_DAY_RECORDS,
                           reinterpret_cast<LPARAM>(NewDayMap(2, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {125})));
    EXPECT_EQ(dialog->DayBarColour(2, 1), DAY_BAR_RECORDED);
    EXPECT_EQ(dialog->DayBarColour(2, 2), DAY_BAR_EMPTY);
    EXPECT_EQ(dialog->DayBarColour(2, 3), DAY_BAR_ALARM);
    EXPECT_NE(dialog->DayBarColour(3, 1), DAY_BAR_RECORDED);
    // A month reply bolds days of the middle month of the calendar's range only.
    dialog->OnPlaybackData(PLAYBACK_DATA_MONTH_RECORDS, static_cast<LPARAM>(0x80000005u));
    EXPECT_EQ(dialog->m_dayState[0], 0u);
    EXPECT_EQ(dialog->m_dayState[1], 0x80000005u);
    EXPECT_EQ(dialog->m_dayState[2], 0u);
    // After a sort the screen's row sits elsewhere; its map still colours that row.
    dialog->m_dayBar.SortItems(0, FALSE);
    ASSERT_NE(dialog->m_dayBar.FindItemByData(5), 5);
    dialog->OnPlaybackData(PLAYBACK_DATA_DAY_RECORDS, reinterpret_cast<LPARAM>(NewDayMap(5, {600}, {})));
    int row5 = dialog->m_dayBar.FindItemByData(5);
    EXPECT_EQ(dialog->m_dayBar.GetItemText(row5, 0).toStdString(), "6");
    EXPECT_EQ(dialog->DayBarColour(5, 11), DAY_BAR_RECORDED);
    EXPECT_NE(dialog->m_dayBar.GetItemBkColor(5, 11), DAY_BAR_RECORDED);
    EXPECT_EQ(dialog->DayBarColour(2, 3), DAY_BAR_ALARM);
    for (int row : {16, -1, 1 << 20})
        dialog->OnPlaybackData(PLAYBACK_DATA_DAY_RECORDS, reinterpret_cast<LPARAM>(NewDayMap(row, {0}, {})));
    for (int r = 0; r < PLAYBACK_SCREEN_COUNT; ++r) {
        if (r != 2) {
            EXPECT_NE(dialog->DayBarColour(r, 1), DAY_BAR_RECORDED) << r;
        }
    }
    g_currentDevice.store(nullptr);
}

TEST_F(PlaybackDialogTest, PagingTheCalendarAsksForTheShownMonthAndClearsTheOldMarks) {
    Open();
    auto device = std::make_unique<DVRDevice>();
    g_currentDevice.store(device.get());
    auto* calendar = static_cast<QCalendarWidget*>(dialog->m_calendar.GetWidget());
    ASSERT_NE(calendar, nullptr);
    auto bold = [&](int year, int month, int day) {
        return calendar->dateTextFormat(QDate(year, month, day)).fontWeight() == QFont::Bold;
    };
    auto midnight = [](int year, int month, int day) {
        return static_cast<WPARAM>(
            static_cast<uint32_t>(QDateTime(QDate(year, month, day), QTime(0, 0)).toSecsSinceEpoch()));
    };
    ASSERT_TRUE(dialog->m_calendar.SetDate(QDate(2026, 12, 31)));
    dialog->OnPlaybackData(PLAYBACK_DATA_MONTH_RECORDS, static_cast<LPARAM>(0x700u));  // December 9-11
    ASSERT_TRUE(bold(2026, 12, 10));
    owner.posts.clear();

    // The day grid takes the keys.
    auto* grid = calendar->findChild<QWidget*>(QStringLiteral("qt_calendar_calendarview"));
    ASSERT_NE(grid, nullptr);
    auto press = [grid](Qt::Key key) { return [grid, key] { QTest::keyClick(grid, key); }; };
    auto arrow = [calendar](void (QCalendarWidget::*page)()) {
        return [calendar, page] { (calendar->*page)(); };
    };
    struct Step {
        const char* name;
        std::function<void()> page;
        QDate selected;  // the same day of the shown month, or its last day; a week on or back
    } steps[] = {
        {"forward", arrow(&QCalendarWidget::showNextMonth), QDate(2027, 1, 31)},
        {"forward into a short month", arrow(&QCalendarWidget::showNextMonth), QDate(2027, 2, 28)},
        {"back", arrow(&QCalendarWidget::showPreviousMonth), QDate(2027, 1, 28)},
        // The keys page as the arrows do and are told the same way.
        {"PageDown", press(Qt::Key_PageDown), QDate(2027, 2, 28)},
        {"PageUp", press(Qt::Key_PageUp), QDate(2027, 1, 28)},
        {"arrow down past the month's end", press(Qt::Key_Down), QDate(2027, 2, 4)},
        {"arrow up past the month's start", press(Qt::Key_Up), QDate(2027, 1, 28)},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.page();
        DrainPostedEvents();
        ASSERT_EQ(owner.Count(WM_PLAYBACK_QUERY_MONTH), 1);
        EXPECT_EQ(owner.Last(WM_PLAYBACK_QUERY_MONTH)->wParam,
                  midnight(step.selected.year(), step.selected.month(), step.selected.day()));
        EXPECT_EQ(dialog->m_calendar.GetDate(), step.selected);
        // Until the reply no day is marked, in the shown month or in the one marked before.
        for (int day = 9; day <= 11; ++day) {
            EXPECT_FALSE(bold(step.selected.year(), step.selected.month(), day)) << day;
            EXPECT_FALSE(bold(2026, 12, day)) << day;
        }
        dialog->OnPlaybackData(PLAYBACK_DATA_MONTH_RECORDS, static_cast<LPARAM>(0x700u));
        EXPECT_TRUE(bold(step.selected.year(), step.selected.month(), 10));
        owner.posts.clear();
    }
    g_currentDevice.store(nullptr);
}

TEST_F(PlaybackDialogTest, FileRowsKeepTheirNamesWhenTheDvrListIsReplaced) {
    Open();
    auto device = std::make_unique<DVRDevice>();
    g_currentDevice.store(device.get());
    auto list = std::make_shared<std::vector<RemoteFileNode>>(2);
    std::memcpy((*list)[0].name, u"D:\\rec files\\2026-12-10\\CH003_0800.avi",
                sizeof(u"D:\\rec files\\2026-12-10\\CH003_0800.avi"));
    std::memcpy((*list)[1].name, u"no-separators.avi", sizeof(u"no-separators.avi"));
    device->lists.remoteFiles.Publish(list);
    dialog->OnPlaybackData(PLAYBACK_DATA_FILE_LIST, 0);
    ASSERT_EQ(dialog->m_fileList.GetItemCount(), 2);
    // The DVR's list goes (a new search); the rows keep what they showed.
    list.reset();
    device->lists.remoteFiles.Reset();
    EXPECT_EQ(dialog->FileRowName(0).toStdString(), "D:\\rec files\\2026-12-10\\CH003_0800.avi");
    owner.posts.clear();
    dialog->m_fileList.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    dialog->OpenSelected(PLAYBACK_MODE_FILE);
    DrainPostedEvents();
    const Posted* open = owner.Last(WM_PLAYBACK_OPEN);
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->open.mode, PLAYBACK_MODE_FILE);
    EXPECT_EQ(std::u16string(open->open.path), u"D:\\rec files\\2026-12-10\\CH003_0800.avi");
    {
        std::lock_guard<std::mutex> guard(g_playbackChannels[0].lock);
        EXPECT_EQ(g_playbackChannels[0].channel, 2);
        EXPECT_EQ(g_playbackChannels[0].device, device.get());
    }
    // A name without backslash or underscore opens nothing.
    owner.posts.clear();
    dialog->m_fileList.SetItemState(0, 0, LVIS_SELECTED);
    dialog->m_fileList.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    dialog->OpenSelected(PLAYBACK_MODE_FILE);
    DrainPostedEvents();
    EXPECT_EQ(owner.Count(WM_PLAYBACK_OPEN), 0);
    Close();
    g_currentDevice.store(nullptr);
}

TEST_F(PlaybackDialogTest, SnapshotGoesIntoAFolderMadeSafeFromTheDvrName) {
    QTemporaryDir home;
    ScopedEnv drive("VISTAL_DRIVE_C", home.path().toUtf8());
    SystemSettings saved = g_systemSettings;
    std::memset(g_systemSettings.SnapshotPath, 0, sizeof g_systemSettings.SnapshotPath);
    std::memcpy(g_systemSettings.SnapshotPath, u"C:\\Snapshots\\", sizeof(u"C:\\Snapshots\\"));
    g_systemSettings.PopupMessage = 0;
    Open();
    DeviceTreeNode node{};
    std::memcpy(node.name, u"../Lobby:1", sizeof(u"../Lobby:1"));
    auto device = std::make_unique<DVRDevice>();
    device->node = &node;
    device->channelCount.store(2);
    g_currentDevice.store(device.get());
    // No picture on the screen yet: no file.
    {
        std::lock_guard<std::mutex> guard(g_playbackChannels[0].lock);
        g_playbackChannels[0].device = device.get();
        g_playbackChannels[0].channel = 1;
    }
    dialog->TakeSnapshot();
    std::vector<uint8_t> picture(I420Size(64, 48), 90);
    ASSERT_EQ(PresentPlaybackFrame(0, picture.data(), picture.size(), 64, 48, 0), 0);
    dialog->TakeSnapshot();
    QDir snapshots(home.filePath(QStringLiteral("Snapshots")));
    QStringList folders = snapshots.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    ASSERT_EQ(folders.size(), 1);
    EXPECT_EQ(folders[0].toStdString(), ".._Lobby_1");
    EXPECT_EQ(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"Snapshots"});
    QStringList files = QDir(snapshots.filePath(folders[0])).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(files[0].startsWith(QStringLiteral("CH002_"))) << files[0].toStdString();
    EXPECT_TRUE(files[0].endsWith(QStringLiteral("_old.jpg"))) << files[0].toStdString();
    Close();
    g_currentDevice.store(nullptr);
    g_systemSettings = saved;
}

// The snapshot notice shows the file where it is on this system; a snapshot that cannot be written (a file
// stands where its folder would go) is told with that path.
TEST_F(PlaybackDialogTest, SnapshotNoticesShowWhereTheFileIsAndAFailedSnapshotIsTold) {
    QTemporaryDir driveC;
    ScopedEnv drive("VISTAL_DRIVE_C", QFile::encodeName(driveC.path()));
    const SystemSettings saved = g_systemSettings;
    g_systemSettings.PopupMessage = 1;
    Open();
    DeviceTreeNode node{};
    std::memcpy(node.name, u"Lobby", sizeof(u"Lobby"));
    DVRDevice device;
    device.node = &node;
    device.channelCount.store(1);
    g_currentDevice.store(&device);
    {
        std::lock_guard<std::mutex> guard(g_playbackChannels[0].lock);
        g_playbackChannels[0].device = &device;
        g_playbackChannels[0].channel = 0;
    }
    std::vector<uint8_t> picture(I420Size(64, 48), 90);
    ASSERT_EQ(PresentPlaybackFrame(0, picture.data(), picture.size(), 64, 48, 0), 0);
    struct Case {
        const char16_t* folder;
        size_t bytes;
        bool written;
    } cases[] = {
        {u"\\", sizeof(u"\\"), true},  // an empty folder setting: the root of drive C
        {u"C:\\blocked\\", sizeof(u"C:\\blocked\\"), false},
    };
    QFile blocker(driveC.filePath(QStringLiteral("blocked")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written ? "written" : "refused");
        std::memset(g_systemSettings.SnapshotPath, 0, sizeof g_systemSettings.SnapshotPath);
        std::memcpy(g_systemSettings.SnapshotPath, c.folder, c.bytes);
        QStringList shown;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            QWidget* notice = QApplication::activeModalWidget();
            if (notice == nullptr)
                return;
            for (const QLabel* label : notice->findChildren<QLabel*>())
                shown << label->text();
            QTest::keyClick(notice, Qt::Key_Escape);
        });
        closer.start(20);
        RecordPromptsAnsweringOk(&shown);
        dialog->TakeSnapshot();
        SetPromptHook(nullptr);
        closer.stop();
        const QString where =
            driveC.path() + (c.written ? QStringLiteral("/Lobby/") : QStringLiteral("/blocked/Lobby/"));
        const QStringList files = QDir(where).entryList({"CH001_*_old.jpg"}, QDir::Files);
        ASSERT_EQ(files.size(), c.written ? 1 : 0);
        const auto told = std::find_if(shown.begin(), shown.end(), [&](const QString& t) {
            return t.contains(where + (c.written ? files[0] : QStringLiteral("CH001_")));
        });
        EXPECT_NE(told, shown.end()) << shown.join('|').toStdString();
    }
    Close();
    g_currentDevice.store(nullptr);
    g_systemSettings = saved;
}

TEST_F(PlaybackDialogTest, PicturesOfBothModes) {
    ScopedBuiltinLanguage english(0);
    ASSERT_TRUE(english.ok());
    Open();
    EXPECT_FALSE(dialog->m_tab.GetItemText(0).isEmpty());
    QImage time = dialog->GetWidget()->grab().toImage();
    ASSERT_EQ(time.width(), 1024);
    time.save(PicturePath(QStringLiteral("dlg_playback_time.png")));
    dialog->SetMode(PLAYBACK_MODE_FILE);
    DrainPostedEvents();
    EXPECT_TRUE(dialog->m_fileList.IsWindowVisible());
    EXPECT_FALSE(dialog->m_calendar.IsWindowVisible());
    dialog->GetWidget()->grab().save(PicturePath(QStringLiteral("dlg_playback_file.png")));
}

TEST_F(PlaybackDialogTest, TextsOfEachLanguageFit) {
    for (int language = 0; language < 3; ++language) {
        ScopedBuiltinLanguage active(language);
        ASSERT_TRUE(active.ok());
        Open();
        dialog->SetMode(PLAYBACK_MODE_FILE);
        DrainPostedEvents();
        EXPECT_EQ(TextFitFaults(dialog->GetWidget(), true), QStringList()) << kLanguageNames[language];
        Close();
    }
}

// --- Against the simulated DVR ---

TEST_F(PlaybackDialogTest, SearchesAndPlaysTwoRecordingsOfTheSimulatedDvr) {
    StartSimulatedDvr(2);
    ASSERT_TRUE(simStarted);

    dialog->SetMode(PLAYBACK_MODE_FILE);
    dialog->SearchFiles();
    ASSERT_TRUE(WaitUntil([&] { return dialog->m_fileList.GetItemCount() == 4; }, 10000));
    for (int screen = 0; screen < 2; ++screen) {
        dialog->m_nCurScreen = screen;
        dialog->m_view.m_nCurScreen.store(screen);
        for (int r = 0; r < 4; ++r)
            dialog->m_fileList.SetItemState(r, r == screen ? LVIS_SELECTED : 0, LVIS_SELECTED);
        dialog->OpenSelected(PLAYBACK_MODE_FILE);
    }
    // Both screens decode pictures and draw them; the DVR reports them playing.
    auto decoded = [](int screen) {
        std::lock_guard<std::mutex> guard(g_playbackChannels[screen].lastFrameLock);
        return g_playbackChannels[screen].lastFrame != nullptr &&
               g_playbackChannels[screen].lastFrameWidth == 352;
    };
    ASSERT_TRUE(WaitUntil([&] { return decoded(0) && decoded(1); }, 15000));
    ASSERT_TRUE(WaitUntil([&] { return dialog->m_btnPause.IsWindowVisible() != FALSE; }, 10000));
    EXPECT_FALSE(dialog->m_btnPlay.IsWindowVisible());

    // Faster: the DVR reports speed 7, and the screen's pictures carry the green label bottom right.
    dialog->OnBitButtonUp(IDC_PB_FAST);
    ASSERT_TRUE(WaitUntil(
        [] {
            std::lock_guard<std::mutex> guard(g_playbackChannels[1].lock);
            return g_playbackChannels[1].playSpeed == 7;
        },
        10000));
    auto labelled = [] {
        ScreenSlot& slot = g_playbackChannels[1];
        std::lock_guard<std::mutex> guard(slot.lastFrameLock);
        const int w = slot.lastFrameWidth, h = slot.lastFrameHeight;
        if (slot.lastFrame == nullptr || w != 352)
            return false;
        const uint8_t* u = slot.lastFrame + w * h;
        const uint8_t* v = u + (w / 2) * (h / 2);
        // Green has both chroma bytes far below the middle; look in the last 8 chroma rows, right 24 columns.
        for (int y = h / 2 - 8; y < h / 2; ++y)
            for (int x = w / 2 - 24; x < w / 2; ++x)
                if (u[y * (w / 2) + x] < 80 && v[y * (w / 2) + x] < 80)
                    return true;
        return false;
    };
    EXPECT_TRUE(WaitUntil(labelled, 10000));
    {
        // For the eye: the dialog with its video window's canvas where the window sits.
        DrainPostedEvents();
        QImage picture = dialog->GetWidget()->grab().toImage();
        std::shared_ptr<VideoCanvas> canvas = dialog->m_pVideoWnd->Canvas();
        std::lock_guard<VideoCanvas::WholeLock> guard(canvas->Lock());
        QPainter painter(&picture);
        painter.drawImage(30, 30, canvas->Image());
        painter.end();
        picture.save(PicturePath(QStringLiteral("dlg_playback_playing.png")));
    }

    // Pause, one step, then a seek to the middle of the 30-minute file with the position slider: the
    // DVR's reports come back on the selected screen.
    auto state = [] {
        std::lock_guard<std::mutex> guard(g_playbackChannels[1].lock);
        return g_playbackChannels[1].playState;
    };
    dialog->OnBitButtonUp(IDC_PB_PAUSE);
    ASSERT_TRUE(WaitUntil([&] { return state() == PLAYBACK_STATE_PAUSED; }, 10000));
    EXPECT_TRUE(WaitUntil([&] { return dialog->m_btnPlay.IsWindowVisible() != FALSE; }, 5000));
    dialog->OnBitButtonUp(IDC_PB_STEP);
    ASSERT_TRUE(WaitUntil([&] { return state() == PLAYBACK_STATE_STEPPING; }, 10000));
    dialog->OnBitButtonUp(IDC_PB_PLAY);
    ASSERT_TRUE(WaitUntil([&] { return state() == PLAYBACK_STATE_SPEED; }, 10000));
    EXPECT_EQ(dialog->OnSliderReleased(IDC_PB_POSITION, 500), 0);
    EXPECT_TRUE(WaitUntil(
        [] {
            std::lock_guard<std::mutex> guard(g_playbackChannels[1].lock);
            return g_playbackChannels[1].playPosition >= 900;
        },
        10000));
    EXPECT_TRUE(WaitUntil(
        [&] { return dialog->m_timeText.GetWindowText().startsWith(QStringLiteral("0:15:")); }, 10000))
        << dialog->m_timeText.GetWindowText().toStdString();

    // A snapshot of the selected screen lands in the snapshot folder under the DVR's name.
    QTemporaryDir home;
    ScopedEnv drive("VISTAL_DRIVE_C", home.path().toUtf8());
    SystemSettings saved = g_systemSettings;
    std::memset(g_systemSettings.SnapshotPath, 0, sizeof g_systemSettings.SnapshotPath);
    std::memcpy(g_systemSettings.SnapshotPath, u"C:\\Shots\\", sizeof(u"C:\\Shots\\"));
    g_systemSettings.PopupMessage = 0;
    dialog->OnBitButtonUp(IDC_PB_SNAPSHOT);
    g_systemSettings = saved;
    QStringList shots = QDir(home.filePath(QStringLiteral("Shots/DVR"))).entryList(QDir::Files);
    ASSERT_EQ(shots.size(), 1);
    // Named after the channel of the file open on screen 1 ("...\CH00n_hhmm.avi").
    QString opened = dialog->FileRowName(1);
    QString channel = opened.mid(opened.lastIndexOf(QLatin1Char('\\')) + 1, 6);
    EXPECT_TRUE(shots[0].startsWith(channel)) << shots[0].toStdString() << " " << opened.toStdString();
    // The DVR saw the controls: speed, pause, step, play, seek.
    EXPECT_GE(sim->CountRequests(DVR_REQ_PLAYBACK_CONTROL), 5);

    Close();
    EXPECT_TRUE(sim->WaitForRequests(DVR_REQ_PLAYBACK_CLOSE, 16, 10000));
}

// The DVR drops the playback stream while a recording plays: the session that carried it is restarted,
// no report will ever stop that playback, and the buttons, time text and slider show it stopped.
TEST_F(PlaybackDialogTest, APlaybackWhoseStreamDropsShowsStopped) {
    StartSimulatedDvr(1);
    ASSERT_TRUE(simStarted);

    dialog->SetMode(PLAYBACK_MODE_FILE);
    dialog->SearchFiles();
    ASSERT_TRUE(WaitUntil([&] { return dialog->m_fileList.GetItemCount() > 0; }, 10000));
    dialog->m_fileList.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    dialog->OpenSelected(PLAYBACK_MODE_FILE);
    ASSERT_TRUE(WaitUntil([&] { return dialog->m_btnPause.IsWindowVisible() != FALSE; }, 10000));
    ASSERT_TRUE(WaitUntil([&] { return sim->PlaybackFramesSent() > 0; }, 10000));

    sim->DropConnections(dvrsim::SIM_PLAYBACK);
    EXPECT_TRUE(WaitUntil([&] { return dialog->m_btnPlay.IsWindowVisible() != FALSE; }, 10000));
    EXPECT_FALSE(dialog->m_btnPause.IsWindowVisible());
    EXPECT_FALSE(dialog->m_btnStop.IsWindowEnabled());
    EXPECT_EQ(dialog->m_timeText.GetWindowText(), QStringLiteral("00:00:00/00:00:00"));
    EXPECT_EQ(dialog->m_sliderPos.GetPos(), 0);
    {
        std::lock_guard<std::mutex> guard(g_playbackChannels[0].lock);
        EXPECT_EQ(g_playbackChannels[0].playState, PLAYBACK_STATE_STOPPED);
    }
    DrainPostedEvents();
    EXPECT_TRUE(dialog->GetWidget()->grab().save(PicturePath(QStringLiteral("dlg_playback_dropped.png"))));
}

}  // namespace
