// The supervisor's sleep after a round: until the earliest keep-alive or silence deadline of a logged-in
// session; one short round while a session waits for its restart or keeps alive every round; no limit
// when nothing can fall due.

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "dvr/dvr_session.h"
#include "platform/system/clock.h"

namespace {

std::atomic<uint64_t> g_now{1000000};
uint64_t FakeNow() {
    return g_now.load();
}

constexpr int64_t kNever = -1;

struct SessionAt {
    uint32_t flags;
    int keepAliveSeconds;
    int64_t sinceKeepAlive;  // ms since the last keep-alive, kNever for none yet
    int64_t sinceReceived;   // ms since the last text message
    bool threadRunning;      // the run's command thread exists
};

struct Case {
    const char* name;
    std::vector<SessionAt> sessions;
    int expected;
};

TEST(SupervisorWait, SleepsUntilTheEarliestDueTime) {
    constexpr uint32_t kIn = DEVICE_FLAG_LOGGED_IN;
    constexpr uint32_t kLost = DEVICE_FLAG_LINK_ERROR;
    const Case cases[] = {
        {"no session", {}, -1},
        {"not logged in: nothing falls due", {{0, 10, kNever, 0, true}}, -1},
        {"the first keep-alive follows the login at once", {{kIn, 10, kNever, 0, true}}, 0},
        {"keep-alive due in 40 ms", {{kIn, 10, 9960, 0, true}}, 40},
        {"keep-alive overdue", {{kIn, 10, 12000, 0, true}}, 0},
        {"interval 0: one keep-alive a round", {{kIn, 0, 0, 0, true}}, SUPERVISOR_WAIT_MS},
        {"a negative interval counts as 0", {{kIn, -3, 0, 0, true}}, SUPERVISOR_WAIT_MS},
        {"silent for 30 s: due in 31 ms", {{kIn, 3600, 0, 29970, true}}, 31},
        {"the earliest of two sessions", {{kIn, 10, 9930, 0, true}, {kIn, 10, 9975, 0, true}}, 25},
        {"a far deadline is cut to a round on a replaced clock",
         {{kIn, 10, 0, 0, true}},
         REPLACED_CLOCK_WAIT_MS},
        {"a run without its thread is restarted next round", {{0, 10, kNever, 0, false}}, SUPERVISOR_WAIT_MS},
        {"a lost connection is restarted next round", {{kLost, 10, kNever, 0, true}}, SUPERVISOR_WAIT_MS},
        {"a nearer deadline still counts", {{kIn | kLost, 10, 9990, 0, true}}, 10},
    };
    SetMonotonicClock(FakeNow);
    // Only compared with null: the sessions of this test have no threads.
    static int standIn = 0;
    auto* runningThread = reinterpret_cast<WorkerThread*>(&standIn);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        InitDeviceList();
        std::vector<DVRDevice*> devices;
        const int64_t now = static_cast<int64_t>(g_now.load());
        for (const SessionAt& at : c.sessions) {
            auto* device = new DVRDevice();
            device->flags.store(at.flags);
            device->keepAliveSeconds.store(at.keepAliveSeconds);
            device->lastKeepAlive.store(at.sinceKeepAlive == kNever ? 0 : now - at.sinceKeepAlive);
            device->lastReceived.store(now - at.sinceReceived);
            device->commandThread.handle = at.threadRunning ? runningThread : nullptr;
            AppendDevice(device);
            devices.push_back(device);
        }
        EXPECT_EQ(SupervisorWaitMs(), c.expected);
        InitDeviceList();
        for (DVRDevice* device : devices) {
            device->commandThread.handle = nullptr;
            delete device;
        }
    }
    SetMonotonicClock(nullptr);
}

}  // namespace
