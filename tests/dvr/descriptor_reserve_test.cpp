// The descriptors the DVR sessions leave free: under a hard limit far too small for every DVR of a loaded
// device tree, the sessions that fit come online and the others wait, and the free descriptors, sampled
// all the while, never fall under the reserve. The sessions run in a child process (the limit is the
// process's); the simulated DVR runs in the parent, so its own descriptors do not count against the child.

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <chrono>
#include <thread>

#include "dvr/device_tree.h"
#include "dvr/dvr_session.h"
#include "dvr/session_hooks.h"
#include "platform/system/descriptor_account.h"
#include "platform/system/descriptor_limit.h"
#include "platform/system/window_post.h"
#include "tests/dvr/memory_tree_view.h"
#include "tests/dvr/tree_file_fixture.h"
#include "tools/dvrsim/dvr_sim.h"

namespace {

constexpr rlim_t kLimit = 320;
constexpr int kDvrs = 100;  // about 6 descriptors each: far more than the limit holds
constexpr int kSampleMs = 6000;

struct Figures {
    long leastFree = -1;
    int samples = 0;
    int online = 0;
    int listed = 0;
    long reservedAtEnd = -1;
};

BOOL DropPost(HWND, UINT, WPARAM, LPARAM lParam, PostPayloadDeleter deleter) {
    if (deleter != nullptr)
        deleter(lParam);
    return TRUE;
}

// Reads exactly size bytes from fd within timeoutMs.
bool ReadAll(int fd, void* data, size_t size, int timeoutMs) {
    auto* bytes = static_cast<char*>(data);
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (size > 0) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        struct pollfd p = {fd, POLLIN, 0};
        if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0)
            return false;
        ssize_t n = read(fd, bytes, size);
        if (n <= 0)
            return false;
        bytes += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// The child: loads the tree under the limit and samples the free descriptors while the sessions start,
// come online and wait.
Figures RunSessions(uint16_t port) {
    Figures figures;
    struct rlimit limit = {kLimit, kLimit};
    if (setrlimit(RLIMIT_NOFILE, &limit) != 0)
        return figures;
    QTemporaryDir dir;
    std::vector<DeviceTreeNode> records;
    for (int i = 1; i <= kDvrs; ++i)
        records.push_back(DvrRecord(i, QStringLiteral("DVR"), QStringLiteral("127.0.0.1"), port));
    const QString path = dir.path() + QStringLiteral("/tree.dat");
    if (!WriteBytes(path, TreeFileBytes(records)))
        return figures;
    SetWindowPostHandler(DropPost);
    DvrSessionHooks hooks;
    hooks.mainWindow = reinterpret_cast<HWND>(uintptr_t{1});
    SetDvrSessionHooks(&hooks);
    InitDeviceList();
    if (StartSupervisorThread() != 0)
        return figures;
    MemoryTreeView tree;
    LoadDeviceTree(&tree, path);
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kSampleMs);
    while (std::chrono::steady_clock::now() < end) {
        const long free = FreeDescriptors();
        figures.leastFree = figures.samples == 0 ? free : std::min(figures.leastFree, free);
        ++figures.samples;
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    {
        std::lock_guard<std::mutex> guard(g_deviceListLock);
        for (DVRDevice* device = g_deviceList; device != nullptr; device = device->next) {
            ++figures.listed;
            constexpr uint32_t kOnline = DEVICE_FLAG_HELLO | DEVICE_FLAG_LOGGED_IN | DEVICE_FLAG_LIVE_BOUND |
                                         DEVICE_FLAG_PLAYBACK_BOUND | DEVICE_FLAG_CHANNELS |
                                         DEVICE_FLAG_SYSTEM_PARAMS;
            figures.online += (device->flags.load() & kOnline) == kOnline ? 1 : 0;
        }
    }
    StopSupervisorThread();
    FreeDeviceList();
    ClearDeviceTree(&tree);
    figures.reservedAtEnd = ReservedDescriptors();
    return figures;
}

TEST(DescriptorReserve, SessionsOfALargeListNeverTakeTheReserve) {
    struct rlimit own;
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &own), 0);
    if (own.rlim_max != RLIM_INFINITY && own.rlim_max < kLimit)
        GTEST_SKIP() << "the hard limit of open files is below " << kLimit;
    int portPipe[2];
    int resultPipe[2];
    ASSERT_EQ(pipe(portPipe), 0);
    ASSERT_EQ(pipe(resultPipe), 0);
    // The child is made before any thread of this process, and the simulator started after it.
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        uint16_t port = 0;
        Figures figures;
        if (ReadAll(portPipe[0], &port, sizeof port, 10000))
            figures = RunSessions(port);
        ssize_t written = write(resultPipe[1], &figures, sizeof figures);
        _exit(written == static_cast<ssize_t>(sizeof figures) ? 0 : 1);
    }
    close(portPipe[0]);
    close(resultPipe[1]);
    dvrsim::SimConfig config;
    config.users.push_back(dvrsim::SimUser{"admin", "", 0x3F});
    config.channels.push_back(dvrsim::SimChannel{"Camera", 16, 352, 288});
    config.stream = false;
    dvrsim::DvrSim sim(config);
    const bool started = sim.Start() == 0;
    const uint16_t port = started ? sim.Port() : 0;
    EXPECT_EQ(write(portPipe[1], &port, sizeof port), static_cast<ssize_t>(sizeof port));
    close(portPipe[1]);
    Figures figures;
    const bool reported = ReadAll(resultPipe[0], &figures, sizeof figures, kSampleMs + 30000);
    close(resultPipe[0]);
    if (!reported)
        kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(started);
    ASSERT_TRUE(reported) << "the child did not report";
    ASSERT_GT(figures.samples, 0) << "the child could not set up its sessions";
    EXPECT_EQ(figures.listed, kDvrs);
    EXPECT_GE(figures.leastFree, SESSION_DESCRIPTOR_RESERVE) << "over " << figures.samples << " samples";
    // The sessions that fit came online; the others waited for descriptors.
    EXPECT_GE(figures.online, 10);
    EXPECT_LT(figures.online, kDvrs);
    // Every reservation went back with its session.
    EXPECT_EQ(figures.reservedAtEnd, 0);
    std::printf("limit %d, %d DVRs: %d online, least free %ld of %d samples\n", static_cast<int>(kLimit),
                kDvrs, figures.online, figures.leastFree, figures.samples);
}

}  // namespace
