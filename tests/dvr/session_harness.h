#pragma once

// A harness for session tests against the simulated DVR: an injected monotonic clock, a window-post
// handler that collects the sessions' tree events for a test-driven "UI thread", and helpers that make,
// start and wait for sessions.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "dvr/device_tree.h"
#include "dvr/device_tree_apply.h"
#include "dvr/dvr_messages.h"
#include "dvr/dvr_session.h"
#include "dvr/session_hooks.h"
#include "platform/system/clock.h"
#include "platform/system/window_post.h"
#include "tests/bounded_wait.h"
#include "tests/dvr/memory_tree_view.h"
#include "tools/dvrsim/dvr_sim.h"

namespace harness {

inline std::atomic<uint64_t> g_now{1000000};
inline std::mutex g_postLock;
inline std::deque<LPARAM> g_treeEvents;
inline HWND const kMainWindow = reinterpret_cast<HWND>(uintptr_t{1});

inline uint64_t FakeNow() {
    return g_now.load();
}

inline BOOL CollectPost(HWND hwnd, UINT msg, WPARAM, LPARAM lParam, PostPayloadDeleter deleter) {
    if (hwnd != kMainWindow || msg != WM_DVR_TREE_EVENT) {
        if (deleter != nullptr)
            deleter(lParam);
        return FALSE;
    }
    std::lock_guard<std::mutex> guard(g_postLock);
    g_treeEvents.push_back(lParam);
    return TRUE;
}

// Stops every session when it leaves its scope. Declared after the slot queues a test makes, it stops the
// stream threads before those queues are freed, so no thread pushes into a queue that is gone.
struct StopSessionsAtExit {
    ~StopSessionsAtExit() {
        FreeDeviceList();
        InitDeviceList();
    }
};

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_now = 1000000;
        SetMonotonicClock(FakeNow);
        SetWindowPostHandler(CollectPost);
        DvrSessionHooks hooks;
        hooks.mainWindow = kMainWindow;
        SetDvrSessionHooks(&hooks);
        InitDeviceList();
        EXPECT_EQ(StartSupervisorThread(), 0);
    }
    void TearDown() override {
        StopSupervisorThread();
        FreeDeviceList();
        ApplyTreeEvents();
        ClearDeviceTree(&tree);
        SetDvrSessionHooks(nullptr);
        SetWindowPostHandler(nullptr);
        SetMonotonicClock(nullptr);
        nodes.clear();
    }

    static dvrsim::SimConfig Config(int channels = 2) {
        dvrsim::SimConfig config;
        config.users.push_back(dvrsim::SimUser{"admin", "", 0x3F});
        config.users.push_back(dvrsim::SimUser{"guest user", "pass word", 0x01});
        for (int i = 0; i < channels; ++i)
            config.channels.push_back(dvrsim::SimChannel{"Camera " + std::to_string(i + 1), 16, 352, 288});
        config.stream = false;
        return config;
    }

    // A DVR item in the tree with its session started.
    DVRDevice* AddDevice(uint16_t port, const char16_t* user = u"admin", const char16_t* password = u"") {
        auto* node = static_cast<DeviceTreeNode*>(std::calloc(1, sizeof(DeviceTreeNode)));
        node->type = NODE_DVR;
        node->id = static_cast<int>(nodes.size()) + 1;
        std::memcpy(node->name, u"DVR", sizeof(u"DVR"));
        std::memcpy(node->host, u"127.0.0.1", sizeof(u"127.0.0.1"));
        node->port = port;
        std::memcpy(node->user, user, std::char_traits<char16_t>::length(user) * 2);
        std::memcpy(node->password, password, std::char_traits<char16_t>::length(password) * 2);
        tree.InsertItem(nullptr, node->name, TREE_ICON_DVR, node);
        nodes.push_back(node);
        auto* device = new DVRDevice();
        device->node = node;
        EXPECT_EQ(StartDeviceSession(device), 0);
        AppendDevice(device);
        return device;
    }

    // Carries out the posted tree events on this thread, as the UI thread would.
    int ApplyTreeEvents() {
        int applied = 0;
        for (;;) {
            LPARAM event;
            {
                std::lock_guard<std::mutex> guard(g_postLock);
                if (g_treeEvents.empty())
                    return applied;
                event = g_treeEvents.front();
                g_treeEvents.pop_front();
            }
            applied += HandleDvrTreeEvent(&tree, event) == 0 ? 1 : 0;
        }
    }

    static bool HasFlags(DVRDevice* device, uint32_t flags) {
        return (device->flags.load() & flags) == flags;
    }
    static constexpr uint32_t kOnline = DEVICE_FLAG_HELLO | DEVICE_FLAG_LOGGED_IN | DEVICE_FLAG_LIVE_BOUND |
                                        DEVICE_FLAG_PLAYBACK_BOUND | DEVICE_FLAG_CHANNELS |
                                        DEVICE_FLAG_SYSTEM_PARAMS;

    MemoryTreeView tree;
    std::vector<DeviceTreeNode*> nodes;  // owned by the tree items
};

}  // namespace harness
