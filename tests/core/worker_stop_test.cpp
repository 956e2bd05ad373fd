// Stopping a worker ends each kind of wait it can be blocked in, well within the stop bound.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "core/async_lookup.h"
#include "core/net_helpers.h"
#include "core/worker_threads.h"

namespace {

using Clock = std::chrono::steady_clock;

// A name server that never answers until the test lets it: no query leaves the machine.
std::mutex g_serverLock;
std::condition_variable g_serverWake;
bool g_serverReleased = false;
int g_lookupsRunning = 0;

int SilentNameServer(const char*, const char*, const addrinfo* hints, addrinfo** result) {
    std::unique_lock<std::mutex> lock(g_serverLock);
    ++g_lookupsRunning;
    g_serverWake.wait(lock, [] { return g_serverReleased; });
    // Answers at last, with a result the abandoned lookup must free.
    getaddrinfo("127.0.0.1", "9", hints, result);
    --g_lookupsRunning;
    g_serverWake.notify_all();
    return 0;
}

struct Wait {
    sockaddr_in blackHole{};  // a listener whose accept queue is full
    int idleSocket = -1;      // connected, nothing ever comes
    std::atomic<int> result{99};
    std::atomic<bool> entered{false};
};

unsigned ConnectWait(void* arg) {
    auto* w = static_cast<Wait*>(arg);
    int s = socket(AF_INET, SOCK_STREAM, 0);
    w->entered = true;
    w->result = ConnectWithTimeout(reinterpret_cast<sockaddr*>(&w->blackHole), s, sizeof w->blackHole);
    close(s);
    return 0;
}

unsigned ReceiveWait(void* arg) {
    auto* w = static_cast<Wait*>(arg);
    pollfd pfd = {w->idleSocket, POLLIN, 0};
    w->entered = true;
    w->result = PollUntilStop(&pfd, 1, -1);
    return 0;
}

unsigned LookupWait(void* arg) {
    auto* w = static_cast<Wait*>(arg);
    addrinfo* found = nullptr;
    w->entered = true;
    w->result = ResolveTcpAddress("never-answers.invalid", "80", &found);
    if (found != nullptr)
        freeaddrinfo(found);
    return 0;
}

unsigned QueueWait(void* arg) {
    auto* w = static_cast<Wait*>(arg);
    ThreadMessage msg;
    w->entered = true;
    while (GetThreadMessage(&msg, -1) == 1 && msg.message != WM_QUIT) {
    }
    w->result = 0;
    return 0;
}

TEST(WorkerStop, EndsEveryKindOfBlockingWait) {
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    Wait w;
    w.blackHole.sin_family = AF_INET;
    w.blackHole.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&w.blackHole), sizeof w.blackHole), 0);
    socklen_t len = sizeof w.blackHole;
    getsockname(listener, reinterpret_cast<sockaddr*>(&w.blackHole), &len);
    listen(listener, 0);
    std::vector<int> held;
    for (int i = 0; i < 8; ++i) {
        int s = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        connect(s, reinterpret_cast<sockaddr*>(&w.blackHole), sizeof w.blackHole);
        held.push_back(s);
    }
    w.idleSocket = held.front();
    SetNameLookup(SilentNameServer);

    struct Case {
        const char* name;
        WorkerRoutine routine;
        int result;  // what the blocked call reports when the stop ends it
    } cases[] = {
        {"connect", ConnectWait, -1},
        {"receive", ReceiveWait, -2},
        {"name lookup", LookupWait, -1},
        {"queue wait", QueueWait, 0},
    };
    for (const Case& c : cases) {
        w.result = 99;
        w.entered = false;
        WorkerThread* handle = nullptr;
        ThreadId id = 0;
        ASSERT_EQ(StartWorkerThread(&handle, &id, c.routine, &w), 0) << c.name;
        while (!w.entered)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));  // let it block
        EXPECT_EQ(w.result.load(), 99) << c.name << " ended before the stop";
        auto start = Clock::now();
        EXPECT_EQ(StopWorkerThread(&handle, &id), 0);
        // Well inside the bound even on a loaded machine: without the wake-up these waits last 3 s or more.
        EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(THREAD_STOP_WAIT_MS)) << c.name;
        EXPECT_EQ(w.result.load(), c.result) << c.name;
    }

    // The abandoned lookup finishes on its own thread once the name server answers, and frees its result.
    {
        std::unique_lock<std::mutex> lock(g_serverLock);
        g_serverReleased = true;
        g_serverWake.notify_all();
        EXPECT_TRUE(
            g_serverWake.wait_for(lock, std::chrono::seconds(10), [] { return g_lookupsRunning == 0; }));
    }
    SetNameLookup(nullptr);
    for (int s : held)
        close(s);
    close(listener);
}

TEST(WorkerStop, ALookupThatAnswersGivesItsResult) {
    {
        std::lock_guard<std::mutex> lock(g_serverLock);
        g_serverReleased = true;
    }
    SetNameLookup(SilentNameServer);
    struct Result {
        int status = 99;
        int port = 0;
    } r;
    WorkerThread* handle = nullptr;
    ThreadId id = 0;
    auto run = [](void* arg) -> unsigned {
        auto* out = static_cast<Result*>(arg);
        addrinfo* found = nullptr;
        out->status = ResolveTcpAddress("any-name", "80", &found);
        if (found != nullptr) {
            out->port = ntohs(reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_port);
            freeaddrinfo(found);
        }
        return 0;
    };
    ASSERT_EQ(StartWorkerThread(&handle, &id, run, &r), 0);
    ASSERT_TRUE(WaitWorkerThread(handle, 10000));
    StopWorkerThread(&handle, &id);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.port, 9);
    SetNameLookup(nullptr);
}

}  // namespace
