// The media system's start and end around running DVR sessions: the sessions' stream threads fill the
// slots' queues, so the end stops and frees the sessions before the slots; the frame parser asks the
// main window state whether playback frames are wanted.

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "dvr/session_hooks.h"
#include "dvr/slot_queues.h"
#include "media/main_window_state.h"
#include "media/media_system.h"
#include "platform/audio/sound_buffer.h"
#include "tests/dvr/bounded_wait.h"
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
    std::vector<DeviceTreeNode*> nodes;  // the tree items: they outlive the sessions
};

TEST_F(MediaSessions, EndStopsStreamingSessionsBeforeFreeingTheirSlots) {
    dvrsim::SimConfig config;
    config.users.push_back(dvrsim::SimUser{"admin", "", 0x3F});
    for (int i = 0; i < 4; ++i)
        config.channels.push_back(dvrsim::SimChannel{"Camera", dvrsim::kCodecMpeg4, 352, 288});
    config.framesPerSecond = 50;
    dvrsim::DvrSim sim(config);
    ASSERT_EQ(sim.Start(), 0);

    ASSERT_EQ(InitMediaSystem(), 0);
    MediaThreadTable threads;
    threads.supervisorRoutine = SupervisorThreadProc;
    ASSERT_EQ(StartMediaThreads(&threads), 0);
    std::vector<DVRDevice*> devices;
    for (int d = 0; d < 2; ++d) {
        nodes.push_back(live_view::MakeDvrNode(d + 1, sim.Port()));
        devices.push_back(live_view::StartSession(nodes.back()));
    }
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
