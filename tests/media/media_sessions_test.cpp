// The media system's start and end around running DVR sessions: the sessions' stream threads fill the
// slots' queues, so the end stops and frees the sessions before the slots; the frame parser asks the
// main window state whether playback frames are wanted.

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "dvr/session_hooks.h"
#include "dvr/slot_queues.h"
#include "media/main_window_state.h"
#include "media/media_system.h"
#include "platform/audio/sound_buffer.h"
#include "tests/bounded_wait.h"
#include "tests/media/live_view_support.h"
#include "tools/dvrsim/dvr_sim.h"
#include "tools/dvrsim/video_source.h"

namespace {

using harness::WaitUntil;

class MediaSessions : public ::testing::Test {
protected:
    void SetUp() override { SetSoundBackend(SOUND_BACKEND_NULL); }
    void TearDown() override {
        for (DeviceTreeNode* node : nodes)
            std::free(node);
        SetDvrSessionHooks(nullptr);
        SetSoundBackend(SOUND_BACKEND_AUTO);
    }
    // A DVR of four streaming MPEG-4 channels.
    static dvrsim::SimConfig StreamingConfig(int framesPerSecond) {
        dvrsim::SimConfig config;
        config.users.push_back(dvrsim::SimUser{"admin", "", 0x3F});
        for (int i = 0; i < 4; ++i)
            config.channels.push_back(dvrsim::SimChannel{"Camera", dvrsim::kCodecMpeg4, 352, 288});
        config.framesPerSecond = framesPerSecond;
        return config;
    }
    // The media system with its threads and the supervisor, and two sessions of the DVR at port.
    void StartMediaAndSessions(uint16_t port) {
        ASSERT_EQ(InitMediaSystem(), 0);
        threads.supervisorRoutine = SupervisorThreadProc;
        ASSERT_EQ(StartMediaThreads(&threads), 0);
        for (int d = 0; d < 2; ++d) {
            nodes.push_back(live_view::MakeDvrNode(d + 1, port));
            devices.push_back(live_view::StartSession(nodes.back()));
        }
    }
    std::vector<DeviceTreeNode*> nodes;  // the tree items: they outlive the sessions
    MediaThreadTable threads;
    std::vector<DVRDevice*> devices;
};

TEST_F(MediaSessions, EndStopsStreamingSessionsBeforeFreeingTheirSlots) {
    dvrsim::DvrSim sim(StreamingConfig(50));
    ASSERT_EQ(sim.Start(), 0);
    StartMediaAndSessions(sim.Port());
    ASSERT_TRUE(
        WaitUntil([&] { return live_view::IsOnline(devices[0]) && live_view::IsOnline(devices[1]); }));
    for (int slot = 0; slot < 8; ++slot)
        ASSERT_EQ(live_view::ShowChannel(devices[slot / 4], slot % 4, slot), 0);
    ASSERT_EQ(live_view::ShowChannel(devices[1], 3, PREVIEW_SLOT_FIRST), 0);
    ASSERT_TRUE(WaitUntil([] {
        for (int slot : {0, 1, 2, 3, 4, 5, 6, 7, PREVIEW_SLOT_FIRST}) {
            if (g_screenSlots[slot].decodedWidth.load() != 352)
                return false;
        }
        return true;
    }));

    // The decode threads stop first, as at shut-down; the DVRs go on streaming into the full queues.
    StopMediaThreads(&threads);
    int queued = sim.CountRequests(DVR_REQ_OPEN_STREAM);
    EXPECT_EQ(queued, 8);  // one open per channel: the second viewer of channel 3 asks for nothing
    auto start = std::chrono::steady_clock::now();
    FreeMediaSystem();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(THREAD_STOP_WAIT_MS));
    EXPECT_EQ(g_deviceList, nullptr);
    EXPECT_EQ(GetSlotQueue(0, SLOT_QUEUE_VIDEO), nullptr);
    EXPECT_EQ(g_screenSlots[0].videoQueue, nullptr);
}

// Sessions restart while their channels are on grid screens and on the three previews and the decode
// threads draw them: a restart releases every slot of the DVR, previews included, and no media thread
// reads a channel array or a session record that was freed. At the end the records are deleted while
// the slots still show their channels.
TEST_F(MediaSessions, RestartsWhileChannelsAreOnScreens) {
    dvrsim::DvrSim sim(StreamingConfig(25));
    ASSERT_EQ(sim.Start(), 0);
    StartMediaAndSessions(sim.Port());
    // Device 0 on grid slots 0-3 and the previews 64-66; device 1 on grid slots 4-7.
    auto show = [&](int d) {
        if (!WaitUntil([&] { return live_view::IsOnline(devices[d]); }))
            return false;
        for (int c = 0; c < 4; ++c) {
            if (live_view::ShowChannel(devices[d], c, d * 4 + c) != 0)
                return false;
        }
        for (int p = 0; d == 0 && p < PREVIEW_WINDOW_COUNT; ++p) {
            if (live_view::ShowChannel(devices[d], p, PREVIEW_SLOT_FIRST + p) != 0)
                return false;
        }
        return true;
    };
    auto slotDevice = [](int slot) {
        std::lock_guard<std::mutex> guard(g_screenSlots[slot].lock);
        return g_screenSlots[slot].device;
    };
    ASSERT_TRUE(show(0));
    ASSERT_TRUE(show(1));
    ASSERT_TRUE(WaitUntil([] { return g_screenSlots[PREVIEW_SLOT_FIRST + 2].decodedWidth.load() == 352; }));

    for (int round = 0; round < 4; ++round) {
        int d = round % 2;
        uint32_t generation = devices[d]->generation.load();
        ReportLinkError(devices[d]);  // the supervisor restarts the session
        ASSERT_TRUE(WaitUntil([&] { return devices[d]->generation.load() != generation; })) << round;
        // Every slot of the restarted DVR was released, the previews too; the other DVR's stay.
        for (int slot : {0, 3, 4, 7, PREVIEW_SLOT_FIRST, PREVIEW_SLOT_FIRST + 2}) {
            bool ofRestarted = (slot < GRID_SCREEN_COUNT ? slot / 4 : 0) == d;
            EXPECT_EQ(slotDevice(slot) == nullptr, ofRestarted) << "round " << round << " slot " << slot;
        }
        ASSERT_TRUE(show(d)) << round;
    }

    // A reload deletes the records while the slots still show their channels and the decode threads run.
    FreeDeviceList();
    EXPECT_EQ(g_deviceList, nullptr);
    for (int slot : {0, 7, PREVIEW_SLOT_FIRST + 2}) {
        DVRDevice* shown = nullptr;
        int channel = -1;
        EXPECT_TRUE(SlotShows(g_screenSlots[slot], &shown, &channel)) << slot;  // its channel array lives on
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the decode threads go on meanwhile
    StopMediaThreads(&threads);
    FreeMediaSystem();
}

TEST_F(MediaSessions, TheParserAsksTheMainWindowWhetherPlaybackIsOpen) {
    DvrSessionHooks hooks;
    hooks.mainWindow = reinterpret_cast<HWND>(uintptr_t{7});
    SetDvrSessionHooks(&hooks);
    ASSERT_EQ(InitMediaSystem(), 0);
    const DvrSessionHooks& installed = GetDvrSessionHooks();
    ASSERT_NE(installed.playbackOpen, nullptr);
    EXPECT_EQ(installed.mainWindow, hooks.mainWindow);  // the window's own hooks stay
    for (int open : {1, 0}) {
        g_mainWindowState.m_bPlaybackOpen = open;
        EXPECT_EQ(installed.playbackOpen(), open == 1);
    }
    FreeMediaSystem();
    EXPECT_EQ(GetDvrSessionHooks().playbackOpen, nullptr);
    EXPECT_EQ(GetDvrSessionHooks().mainWindow, hooks.mainWindow);
}

}  // namespace
