// Parameters, lists, search and playback streams through whole sessions against the simulated DVR.

#include <cstring>
#include <map>
#include <string>

#include "core/system_settings.h"
#include "core/window_messages.h"
#include "dvr/channel_requests.h"
#include "dvr/device_requests.h"
#include "dvr/dvr_protocol.h"
#include "dvr/playback_requests.h"
#include "tests/dvr/session_harness.h"
#include "tests/dvr/test_slot_queues.h"

namespace {

using harness::SessionTest;
using harness::WaitUntil;

HWND const kSetup = reinterpret_cast<HWND>(uintptr_t{21});
HWND const kPlayback = reinterpret_cast<HWND>(uintptr_t{22});

std::mutex g_countLock;
std::map<std::pair<HWND, WPARAM>, int> g_counts;
// State reports are counted apart by their change code: 3 answers a command, 1 is the report a playing
// window sends once a second, whenever the simulator's clock says a second went by.
constexpr WPARAM kCommandStateReport = 0x10000 | PLAYBACK_DATA_STATE;
constexpr uint32_t kCommandChange = 3;
std::atomic<int64_t> g_playbackClock{0};
DayRecordMap g_lastDayMap{};  // a copy of the last day map posted to the playback dialog

// Counts the dialogs' notifications and passes the tree events to the harness.
BOOL CountPost(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, PostPayloadDeleter deleter) {
    if (hwnd == kSetup || hwnd == kPlayback) {
        std::lock_guard<std::mutex> guard(g_countLock);
        ++g_counts[{hwnd, wParam}];
        if (hwnd == kPlayback && wParam == PLAYBACK_DATA_STATE &&
            static_cast<uint32_t>(lParam) >> 16 == kCommandChange)
            ++g_counts[{hwnd, kCommandStateReport}];
        if (hwnd == kPlayback && wParam == PLAYBACK_DATA_DAY_RECORDS && lParam != 0)
            g_lastDayMap = *reinterpret_cast<const DayRecordMap*>(lParam);
        if (deleter != nullptr)
            deleter(lParam);
        return TRUE;
    }
    return harness::CollectPost(hwnd, msg, wParam, lParam, deleter);
}

int Count(HWND hwnd, WPARAM type) {
    std::lock_guard<std::mutex> guard(g_countLock);
    return g_counts[{hwnd, type}];
}

class ParamsTest : public SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        {
            std::lock_guard<std::mutex> guard(g_countLock);
            g_counts.clear();
        }
        g_playbackClock = 1000;
        // The hooks change only while no thread of the sessions runs.
        StopSupervisorThread();
        SetWindowPostHandler(CountPost);
        DvrSessionHooks hooks;
        hooks.mainWindow = harness::kMainWindow;
        hooks.setupDialog = [] { return kSetup; };
        hooks.playbackDialog = [] { return kPlayback; };
        hooks.playbackOpen = [] { return true; };
        SetDvrSessionHooks(&hooks);
        EXPECT_EQ(StartSupervisorThread(), 0);
    }
    void TearDown() override {
        g_currentDevice = nullptr;
        SessionTest::TearDown();
    }
    static dvrsim::SimConfig PlaybackConfig() {
        dvrsim::SimConfig config = Config(2);
        config.recordingDays = {kDay, kDay + 86400};
        config.filesPerDay = 2;
        config.playbackClock = [] { return g_playbackClock.load(); };
        // Five pictures a second at normal speed (the simulator's default is a camera's 25): the pacing
        // test counts them second by second.
        config.framesPerSecond = 5;
        return config;
    }
    DVRDevice* Online(dvrsim::DvrSim& sim) {
        EXPECT_EQ(sim.Start(), 0);
        DVRDevice* device = AddDevice(sim.Port());
        EXPECT_TRUE(WaitUntil([&] { return HasFlags(device, kOnline); }));
        g_currentDevice = device;
        return device;
    }
    // Sends a request and waits for the reply's notification.
    static bool Await(HWND hwnd, WPARAM type, const std::function<int()>& send) {
        int before = Count(hwnd, type);
        if (send() <= 0)
            return false;
        return WaitUntil([&] { return Count(hwnd, type) > before; });
    }
    static constexpr int32_t kDay = 1765324800;  // a midnight in UTC
    // Declared after a test's simulator: the supervisor ends before the simulator does. Otherwise the
    // links the simulator's end breaks restart the session, and the restart rewrites the records the test
    // read without the device's lock (a race the thread sanitizer reports, though the reads came first).
    struct SupervisorEndsFirst {
        ~SupervisorEndsFirst() { StopSupervisorThread(); }
    };
};

// Each channel kind: its get and set requests, its reply type, values to set, and how to see them.
struct ChannelKind {
    const char* name;
    int (*get)(DVRDevice*, int);
    int (*set)(DVRDevice*, int);
    int replyType;
    void (*write)(DVRChannel&);
    void (*clear)(DVRChannel&);
    bool (*check)(const DVRChannel&);
};

const ChannelKind kKinds[] = {
    {"overlay", SendGetOverlayParams, SendSetOverlayParams, SETUP_REPLY_OVERLAY,
     [](DVRChannel& c) {
         std::memcpy(c.name, u"Back yard", sizeof(u"Back yard"));
         c.timeOverlay.position = 2;
         c.timeOverlay.color = 0x00FF00;
         std::memcpy(c.titleOverlay.font.lfFaceName, u"Mono Bold", sizeof(u"Mono Bold"));
     },
     [](DVRChannel& c) {
         std::memset(c.name, 0, sizeof c.name);
         c.timeOverlay = OverlaySettings{};
         c.titleOverlay = OverlaySettings{};
     },
     [](const DVRChannel& c) {
         return std::u16string(c.name) == u"Back yard" && c.timeOverlay.position == 2 &&
                c.timeOverlay.color == 0x00FF00u &&
                std::u16string(c.titleOverlay.font.lfFaceName) == u"Mono Bold";
     }},
    {"color", SendGetColorParams, SendSetColorParams, SETUP_REPLY_COLOR,
     [](DVRChannel& c) { c.brightness = 10, c.contrast = 20, c.hue = 30, c.saturation = 40; },
     [](DVRChannel& c) { c.brightness = c.contrast = c.hue = c.saturation = 0; },
     [](const DVRChannel& c) {
         return c.brightness == 10 && c.contrast == 20 && c.hue == 30 && c.saturation == 40;
     }},
    {"video mask", SendGetVideoMask, SendSetVideoMask, SETUP_REPLY_VIDEO_MASK,
     [](DVRChannel& c) { c.videoMask[0] = 0x81, c.videoMask[7] = 0x7E; },
     [](DVRChannel& c) { std::memset(c.videoMask, 0, 8); },
     [](const DVRChannel& c) { return c.videoMask[0] == 0x81 && c.videoMask[7] == 0x7E; }},
    {"camera", SendGetCameraParams, SendSetCameraParams, SETUP_REPLY_CAMERA,
     [](DVRChannel& c) {
         c.cameraType = 2;
         c.ptzAddress = 9;
         std::memcpy(c.comPort, u"COM 3", sizeof(u"COM 3"));
         c.ptzOptions = CAMERA_REVERSE_TILT | CAMERA_REVERSE_ZOOM | 3;
     },
     [](DVRChannel& c) {
         c.cameraType = c.ptzAddress = 0;
         c.ptzOptions = 0;
         std::memset(c.comPort, 0, sizeof c.comPort);
     },
     [](const DVRChannel& c) {
         return c.cameraType == 2 && c.ptzAddress == 9 && std::u16string(c.comPort) == u"COM 3" &&
                c.ptzOptions == (CAMERA_REVERSE_TILT | CAMERA_REVERSE_ZOOM | 3);
     }},
    {"presets", SendGetPresets, SendSetPresets, SETUP_REPLY_PRESETS,
     [](DVRChannel& c) {
         c.autoScan[5] = AutoScanStep{1, 45}, c.autoScan[31] = AutoScanStep{1, 7};
     },
     [](DVRChannel& c) { std::memset(c.autoScan, 0, sizeof c.autoScan); },
     [](const DVRChannel& c) {
         return c.autoScan[5].enabled == 1 && c.autoScan[5].staySeconds == 45 &&
                c.autoScan[31].staySeconds == 7;
     }},
    {"video", SendGetVideoParams, SendSetVideoParams, SETUP_REPLY_VIDEO,
     [](DVRChannel& c) { c.resolution = 4, c.quality = 0, c.frameRate = 1500; },
     [](DVRChannel& c) { c.resolution = c.quality = c.frameRate = 0; },
     [](const DVRChannel& c) { return c.resolution == 4 && c.frameRate == 1500 && c.width == 640u; }},
    {"audio", SendGetAudioParams, SendSetAudioParams, SETUP_REPLY_AUDIO,
     [](DVRChannel& c) { c.sampleRate = 16000, c.bitsPerSample = 8, c.audioEnabled = 0, c.audioQuality = 4; },
     [](DVRChannel& c) { c.sampleRate = 0, c.bitsPerSample = 0, c.audioEnabled = 1, c.audioQuality = 0; },
     [](const DVRChannel& c) {
         return c.sampleRate == 16000 && c.bitsPerSample == 8 && c.audioEnabled == 0 && c.audioQuality == 4;
     }},
    {"schedule", SendGetSchedule, SendSetSchedule, SETUP_REPLY_SCHEDULE,
     [](DVRChannel& c) { c.recordSchedule[0] = 0xA2000000u | 900u << 12 | 1700u, c.recordSchedule[7] = 1; },
     [](DVRChannel& c) { std::memset(c.recordSchedule, 0, sizeof c.recordSchedule); },
     [](const DVRChannel& c) {
         return c.recordSchedule[0] == (0xA2000000u | 900u << 12 | 1700u) && c.recordSchedule[7] == 1u;
     }},
    {"alarm", SendGetAlarmParams, SendSetAlarmParams, SETUP_REPLY_ALARM,
     [](DVRChannel& c) { c.motionSensitivity = 0, c.alarmActions = ALARM_ACTION_SMS; },
     [](DVRChannel& c) { c.motionSensitivity = 3, c.alarmActions = 0; },
     [](const DVRChannel& c) { return c.motionSensitivity == 0 && c.alarmActions == ALARM_ACTION_SMS; }},
    {"motion mask", SendGetMotionMask, SendSetMotionMask, SETUP_REPLY_MOTION_MASK,
     [](DVRChannel& c) { std::memset(c.motionMask.rows, 0x3C, 8); },
     [](DVRChannel& c) { std::memset(c.motionMask.rows, 0, 8); },
     [](const DVRChannel& c) { return c.motionMask.rows[0] == 0x3C && c.motionMask.rows[7] == 0x3C; }},
    {"network stream", SendGetSubStreamParams, SendSetSubStreamParams, SETUP_REPLY_VIDEO,
     [](DVRChannel& c) { c.subResolution = 2, c.subQuality = 1, c.subFrameRate = 1000; },
     [](DVRChannel& c) { c.subResolution = c.subQuality = c.subFrameRate = 0; },
     [](const DVRChannel& c) { return c.subResolution == 2 && c.subFrameRate == 1000 && c.subWidth == 640; }},
};

TEST_F(ParamsTest, EveryChannelKindGetSetGet) {
    dvrsim::DvrSim sim(Config(2));
    SupervisorEndsFirst supervisorEndsFirst;
    DVRDevice* device = Online(sim);
    for (const ChannelKind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        DVRChannel& channel = device->channels[1];
        ASSERT_TRUE(Await(kSetup, kind.replyType, [&] { return kind.get(device, 1); }));
        EXPECT_FALSE(kind.check(channel));  // the DVR's own values first
        kind.write(channel);
        EXPECT_GT(kind.set(device, 1), 0);
        kind.clear(channel);
        ASSERT_TRUE(Await(kSetup, kind.replyType, [&] { return kind.get(device, 1); }));
        EXPECT_TRUE(kind.check(channel));
        EXPECT_FALSE(kind.check(device->channels[0]));  // the other channel kept its values
    }
}

TEST_F(ParamsTest, SystemNetworkAndUsersGetSetGet) {
    dvrsim::DvrSim sim(Config(2));
    SupervisorEndsFirst supervisorEndsFirst;
    DVRDevice* device = Online(sim);
    // System parameters: the page's load clears the flag before it asks.
    SystemSettings& system = *device->systemParams;
    std::memcpy(system.RecordDir, u"Night shift", sizeof(u"Night shift"));
    system.ScrollInterval = 12;
    EXPECT_GT(SendSetSystemParams(device), 0);
    system.ScrollInterval = 0;
    device->flags.fetch_and(~DEVICE_FLAG_SYSTEM_PARAMS);
    ASSERT_TRUE(Await(kSetup, SETUP_REPLY_SYSTEM, [&] { return SendGetSystemParams(device); }));
    EXPECT_EQ(std::u16string(device->systemParams->RecordDir), u"Night shift");
    EXPECT_EQ(device->systemParams->ScrollInterval, 12);

    ASSERT_TRUE(Await(kSetup, SETUP_REPLY_NETWORK, [&] { return SendGetNetworkParams(device); }));
    ASSERT_NE(device->networkParams, nullptr);
    EXPECT_EQ(device->networkParams->listenPort, 9000);
    std::memcpy(device->networkParams->wanUser, u"site user", sizeof(u"site user"));
    std::memcpy(device->networkParams->wanPassword, u"p\tw", sizeof(u"p\tw"));
    device->networkParams->wanEnabled = 1;
    EXPECT_GT(SendSetNetworkParams(device), 0);
    std::memset(device->networkParams.get(), 0, sizeof(DVRNetworkParams));
    ASSERT_TRUE(Await(kSetup, SETUP_REPLY_NETWORK, [&] { return SendGetNetworkParams(device); }));
    EXPECT_EQ(std::u16string(device->networkParams->wanUser), u"site user");
    EXPECT_EQ(std::u16string(device->networkParams->wanPassword), u"p\tw");
    EXPECT_EQ(device->networkParams->wanEnabled, 1);

    ASSERT_TRUE(Await(kSetup, SETUP_REPLY_USER_LIST, [&] { return SendGetUserList(device); }));
    auto users = device->lists.users.Current();
    ASSERT_NE(users, nullptr);
    ASSERT_EQ(users->size(), 2u);
    EXPECT_EQ(std::u16string((*users)[1].name), u"guest user");
    ASSERT_TRUE(Await(kSetup, SETUP_REPLY_USER, [&] { return SendGetUserParams(device, 1, 0); }));
    ASSERT_TRUE(Await(kSetup, SETUP_REPLY_USER, [&] { return SendGetUserParams(device, 1, 1); }));
    users = device->lists.users.Current();
    DVRUserAccount& guest = (*users)[1];
    EXPECT_EQ(std::u16string(guest.password), u"pass word");
    EXPECT_EQ(guest.viewChannels[0], 0xFF);
    // The page writes into the list it holds and saves both parts.
    std::memcpy(guest.description, u"Front desk", sizeof(u"Front desk"));
    std::memcpy(guest.password, u"new\u00A0pass", sizeof(u"new\u00A0pass"));
    guest.rights = USER_RIGHT_VIEW | USER_RIGHT_PTZ;
    guest.ptzChannels[0] = 0x05;
    guest.recordChannels[31] = 0x80;
    EXPECT_GT(SendSetUserParams(device, 0, 1), 0);
    EXPECT_GT(SendSetUserParams(device, 1, 1), 0);
    ASSERT_TRUE(Await(kSetup, SETUP_REPLY_USER, [&] { return SendGetUserParams(device, 1, 0); }));
    ASSERT_TRUE(Await(kSetup, SETUP_REPLY_USER, [&] { return SendGetUserParams(device, 1, 1); }));
    auto fresh = device->lists.users.Current();
    EXPECT_NE(fresh, users);  // a new list was handed over
    const DVRUserAccount& stored = (*fresh)[1];
    EXPECT_EQ(std::u16string(stored.description), u"Front desk");
    EXPECT_EQ(std::u16string(stored.password), u"new\u00A0pass");
    EXPECT_EQ(stored.rights, USER_RIGHT_VIEW | USER_RIGHT_PTZ);
    EXPECT_EQ(stored.ptzChannels[0], 0x05);
    EXPECT_EQ(stored.recordChannels[31], 0x80);

    ASSERT_TRUE(Await(kSetup, SETUP_REPLY_DISKS, [&] { return SendGetDiskList(device); }));
    ASSERT_EQ(device->lists.disks.Current()->size(), 2u);
    EXPECT_EQ(std::u16string((*device->lists.disks.Current())[0].totalText), u"465 GB");
    ASSERT_TRUE(Await(kSetup, SETUP_REPLY_LANGUAGES, [&] { return SendGetLanguageList(device); }));
    EXPECT_EQ(std::u16string((*device->lists.languages.Current())[1].name), u"Simplified Chinese");
}

TEST_F(ParamsTest, FaultyRepliesChangeNothing) {
    dvrsim::DvrSim sim(Config(2));
    SupervisorEndsFirst supervisorEndsFirst;
    DVRDevice* device = Online(sim);
    ASSERT_TRUE(Await(kSetup, SETUP_REPLY_DISKS, [&] { return SendGetDiskList(device); }));
    auto disks = device->lists.disks.Current();
    // A count out of range and a truncated list: no list is handed over.
    // Each fault is taken by the next reply: the request is awaited before the next fault is set.
    sim.SetReplyFault(dvrsim::SIM_FAULT_COUNT_OUT_OF_RANGE, 1);
    EXPECT_GT(SendGetDiskList(device), 0);
    ASSERT_TRUE(sim.WaitForRequests(0x10029, 2, 5000));
    sim.SetReplyFault(dvrsim::SIM_FAULT_TRUNCATED_LIST, 1);
    EXPECT_GT(SendGetUserList(device), 0);
    ASSERT_TRUE(sim.WaitForRequests(0x10010, 1, 5000));
    // A reply for a channel the DVR does not have.
    sim.SetReplyFault(dvrsim::SIM_FAULT_OTHER_CHANNEL, 1);
    EXPECT_GT(SendGetColorParams(device, 0), 0);
    ASSERT_TRUE(sim.WaitForRequests(0x10015, 1, 5000));
    // A good reply after them shows the faulty ones were taken and dropped.
    ASSERT_TRUE(Await(kSetup, SETUP_REPLY_COLOR, [&] { return SendGetColorParams(device, 1); }));
    EXPECT_EQ(Count(kSetup, SETUP_REPLY_COLOR), 1);
    EXPECT_EQ(device->channels[0].brightness, 0);
    EXPECT_EQ(device->lists.users.Current(), nullptr);
    EXPECT_EQ(device->lists.disks.Current(), disks);
    EXPECT_EQ(Count(kSetup, SETUP_REPLY_DISKS), 1);
}

TEST_F(ParamsTest, SearchReturnsTheSimulatorsFiles) {
    dvrsim::DvrSim sim(PlaybackConfig());
    SupervisorEndsFirst supervisorEndsFirst;
    DVRDevice* device = Online(sim);
    ASSERT_TRUE(Await(kPlayback, PLAYBACK_DATA_FILE_LIST, [&] {
        return SendSearchFiles(device,
                               std::make_unique<PlaybackSearch>(PlaybackSearch{-1, kDay, kDay + 86400}));
    }));
    auto files = device->lists.remoteFiles.Current();
    ASSERT_NE(files, nullptr);
    std::vector<std::u16string> names;
    for (const RemoteFileNode* node = files->empty() ? nullptr : &files->front(); node != nullptr;
         node = node->next)
        names.push_back(node->name);
    std::vector<std::u16string> expected;
    for (const dvrsim::SimRecording& r : sim.Recordings()) {
        if (r.start >= kDay && r.start < kDay + 86400)
            expected.push_back(QString::fromStdString(r.path).toStdU16String());
    }
    EXPECT_EQ(names, expected);
    EXPECT_EQ(names.size(), 4u);  // two channels, two files each
    EXPECT_EQ((*files)[0].param2, 1800);
    // One channel only.
    ASSERT_TRUE(Await(kPlayback, PLAYBACK_DATA_FILE_LIST, [&] {
        return SendSearchFiles(device,
                               std::make_unique<PlaybackSearch>(PlaybackSearch{1, kDay, kDay + 2 * 86400}));
    }));
    EXPECT_EQ(device->lists.remoteFiles.Current()->size(), 4u);
    ASSERT_TRUE(
        Await(kPlayback, PLAYBACK_DATA_MONTH_RECORDS, [&] { return SendGetMonthRecords(device, kDay); }));
    // The day map of channel 1 for playback window 5: the map names the window (its row of the day bar),
    // and the channel's files at 08:00 and 10:00 mark their minutes recorded.
    ASSERT_TRUE(Await(kPlayback, PLAYBACK_DATA_DAY_RECORDS,
                      [&] { return SendGetDayRecords(device, 1u << 16 | 5u, kDay); }));
    DayRecordMap map;
    {
        std::lock_guard<std::mutex> guard(g_countLock);
        map = g_lastDayMap;
    }
    EXPECT_EQ(map.value1, 5);
    auto recorded = [&](int minute) { return (map.minutes[minute / 4] >> (2 * (minute % 4)) & 1) != 0; };
    for (int minute : {480, 509, 600, 629})
        EXPECT_TRUE(recorded(minute)) << minute;
    for (int minute : {0, 479, 510, 599, 630})
        EXPECT_FALSE(recorded(minute)) << minute;
}

TEST_F(ParamsTest, PlaybackStreamIsPacedBySpeed) {
    TestSlotQueues queues;
    harness::StopSessionsAtExit stopSessions;  // before the queues go
    FrameQueue* video = queues.Add(0, SLOT_QUEUE_PLAYBACK_VIDEO, PLAYBACK_VIDEO_QUEUE_NODES);
    dvrsim::DvrSim sim(PlaybackConfig());  // five frames a second at normal speed
    SupervisorEndsFirst supervisorEndsFirst;
    DVRDevice* device = Online(sim);
    int received = 0;
    auto pictures = [&] {
        for (const auto& frame : TestSlotQueues::Drain(video))
            received += frame.second.empty() ? 0 : 1;
        return received;
    };
    // Waits until the simulator sent total frames and the client received them all.
    auto reach = [&](int total) {
        return WaitUntil([&] { return sim.PlaybackFramesSent() >= total && pictures() >= total; });
    };
    // A control is done once the DVR reported the window's new state in answer to it (a position report
    // the last clock step brought may come in meanwhile: it answers nothing).
    auto control = [&](int command, int parameter) {
        PlaybackControl c{0, command, parameter};
        return Await(kPlayback, kCommandStateReport,
                     [&] { return SendPlaybackControl(device, &c, PLAYBACK_MODE_TIME); });
    };
    auto open = std::make_unique<PlaybackOpen>();
    *open = PlaybackOpen{PLAYBACK_MODE_TIME, 0, 1, kDay, {}};
    ASSERT_TRUE(
        Await(kPlayback, PLAYBACK_DATA_STATE, [&] { return SendPlaybackOpen(device, std::move(open)); }));
    ASSERT_TRUE(reach(1));  // the first picture at once
    g_playbackClock += 1000;
    ASSERT_TRUE(reach(6));  // one second at 1x: five more
    ASSERT_TRUE(control(PLAYBACK_CMD_SPEED, 1));
    ASSERT_TRUE(control(PLAYBACK_CMD_SPEED, 1));
    g_playbackClock += 1000;
    ASSERT_TRUE(reach(26)) << sim.PlaybackFramesSent() << " " << received;  // one second at 4x: twenty
    EXPECT_EQ(sim.PlaybackFramesSent(), 26);
    ASSERT_TRUE(control(PLAYBACK_CMD_PAUSE, 0));
    const int afterPause = sim.PlaybackFramesSent();
    g_playbackClock += 1000;
    ASSERT_TRUE(control(PLAYBACK_CMD_STEP, 0));
    ASSERT_TRUE(reach(27));  // paused: only the step's picture
    const int afterStep = sim.PlaybackFramesSent();
    g_playbackClock += 1000;
    ASSERT_GT(SendPlaybackClose(device, 0), 0);
    ASSERT_TRUE(sim.WaitForRequests(0x1000C, 1, 5000));
    // On a failure, when the pictures came and what the DVR received (connection: request).
    std::string requests;
    for (const dvrsim::SimRequest& r : sim.Requests())
        requests += std::to_string(r.connectionId) + ": " + r.bytes.substr(0, r.bytes.find('\r')) + "\n";
    EXPECT_EQ(sim.PlaybackFramesSent(), 27)
        << "sent after the pause " << afterPause << ", after the step " << afterStep << "; requests:\n"
        << requests;
    EXPECT_EQ(pictures(), 27);
}

}  // namespace
