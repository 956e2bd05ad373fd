#include "dvr/dvr_session.h"

#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/window_messages.h"
#include "core/worker_threads.h"
#include "dvr/device_tree_events.h"
#include "dvr/device_tree_node.h"
#include "dvr/dvr_protocol.h"
#include "dvr/dvr_records.h"
#include "dvr/reply_notify.h"
#include "dvr/session_hooks.h"
#include "platform/system/clock.h"
#include "platform/system/descriptor_account.h"

DVRDevice* g_deviceList = nullptr;
std::mutex g_deviceListLock;
std::atomic<DVRDevice*> g_currentDevice{nullptr};
// The last session of g_deviceList (under g_deviceListLock), so that a list of thousands is built in
// linear time. Null whenever the list is emptied.
static DVRDevice* g_deviceTail = nullptr;

namespace {

// Rounds of the supervisor that are restarting sessions outside the list lock: FreeDeviceList waits for
// them before it stops anything.
std::mutex g_restartLock;
std::condition_variable g_restartDone;
int g_restartsInFlight = 0;
// The last round left sessions to restart for the next one (the supervisor then does not sleep).
std::atomic<bool> g_restartsLeft{false};

// The real clock, not MonotonicMs: an injected clock must not stretch a slice.
int64_t SteadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void ResetSessionState(DVRDevice* device) {
    device->flags.store(0);
    device->loginResult.store(-1);
    device->rights.store(0);
    device->keepAliveSeconds.store(DEFAULT_KEEPALIVE_SECONDS);
    device->lastReceived.store(static_cast<int64_t>(MonotonicMs()));
}

void ClearCurrentDevice(DVRDevice* device) {
    DVRDevice* expected = device;
    g_currentDevice.compare_exchange_strong(expected, nullptr);
}

// Detaches the whole list under its lock.
DVRDevice* TakeDeviceList() {
    std::lock_guard<std::mutex> guard(g_deviceListLock);
    DVRDevice* head = g_deviceList;
    g_deviceList = nullptr;
    g_deviceTail = nullptr;
    return head;
}

void StopAndDeleteDevices(DVRDevice* head, bool releaseScreens) {
    const DvrSessionHooks& hooks = GetDvrSessionHooks();
    while (head != nullptr) {
        DVRDevice* device = head;
        head = device->next;
        ClearCurrentDevice(device);
        if (releaseScreens && hooks.releaseDeviceScreens != nullptr)
            hooks.releaseDeviceScreens(device);
        StopDeviceSession(device);
        delete device;
    }
}

// True when the supervisor must restart the session: a logged-in session that fell silent or lost a
// connection, or one whose command thread could not be started.
bool NeedsRestart(DVRDevice* device, int64_t now) {
    if (now < device->restartNotBefore.load())
        return false;
    if (device->commandThread.handle == nullptr)
        return true;
    uint32_t flags = device->flags.load();
    if ((flags & DEVICE_FLAG_LOGGED_IN) == 0)
        return false;
    return now - device->lastReceived.load() > int64_t{SILENCE_TIMEOUT_SECONDS} * 1000 ||
           (flags & DEVICE_FLAG_LINK_ERROR) != 0;
}

// Detaches the whole list once the supervisor's restarts in flight have ended.
DVRDevice* DetachDevices() {
    g_currentDevice.store(nullptr);
    DVRDevice* head = TakeDeviceList();
    std::unique_lock<std::mutex> guard(g_restartLock);
    g_restartDone.wait(guard, [] { return g_restartsInFlight == 0; });
    return head;
}

// Threads stopping retired sessions (RetireDeviceList), joined before any other list is freed.
std::mutex g_retireLock;
std::vector<pthread_t> g_retirers;

struct RetiredSessions {
    DVRDevice* head;
    std::vector<void*> blocks;
};

void* RetireThread(void* arg) {
    auto* retired = static_cast<RetiredSessions*>(arg);
    StopAndDeleteDevices(retired->head, false);
    for (void* block : retired->blocks)
        std::free(block);
    delete retired;
    return nullptr;
}

void JoinRetirers() {
    std::vector<pthread_t> retirers;
    {
        std::lock_guard<std::mutex> guard(g_retireLock);
        retirers.swap(g_retirers);
    }
    for (pthread_t thread : retirers)
        pthread_join(thread, nullptr);
}

// Stops and deletes every session outside the list lock. The list is detached first; a restart the
// supervisor has in flight ends before any session is stopped here.
void FreeDevices(bool releaseScreens) {
    JoinRetirers();
    StopAndDeleteDevices(DetachDevices(), releaseScreens);
}

}  // namespace

DVRDevice* DetachDeviceList() {
    DVRDevice* head = DetachDevices();
    const DvrSessionHooks& hooks = GetDvrSessionHooks();
    for (DVRDevice* device = head; device != nullptr; device = device->next) {
        if (hooks.releaseDeviceScreens != nullptr)
            hooks.releaseDeviceScreens(device);
    }
    return head;
}

void RetireDevices(DVRDevice* head, std::vector<void*> blocks) {
    auto* retired = new (std::nothrow) RetiredSessions{head, std::move(blocks)};
    pthread_t thread;
    if (retired != nullptr && pthread_create(&thread, nullptr, RetireThread, retired) == 0) {
        std::lock_guard<std::mutex> guard(g_retireLock);
        g_retirers.push_back(thread);
        return;
    }
    // No thread for it: the sessions stop here.
    if (retired != nullptr) {
        RetireThread(retired);
        return;
    }
    StopAndDeleteDevices(head, false);
    for (void* block : blocks)
        std::free(block);
}

void RemoteFileListDeleter::operator()(RemoteFileNode* head) const {
    while (head != nullptr) {
        RemoteFileNode* next = head->next;
        std::free(head);
        head = next;
    }
}

void InitDeviceList() {
    std::lock_guard<std::mutex> guard(g_deviceListLock);
    g_deviceList = nullptr;
    g_deviceTail = nullptr;
    g_currentDevice.store(nullptr);
}

void FreeDeviceList() {
    FreeDevices(false);
}

void ReleaseAndFreeDeviceList() {
    FreeDevices(true);
}

void AppendDevice(DVRDevice* device) {
    if (device == nullptr)
        return;
    device->next = nullptr;
    AppendDevices(device);
}

void AppendDevices(DVRDevice* head) {
    if (head == nullptr)
        return;
    DVRDevice* last = head;
    while (last->next != nullptr)
        last = last->next;
    {
        std::lock_guard<std::mutex> guard(g_deviceListLock);
        DVRDevice** tail = g_deviceTail != nullptr ? &g_deviceTail->next : &g_deviceList;
        while (*tail != nullptr)
            tail = &(*tail)->next;
        *tail = head;
        g_deviceTail = last;
    }
    WakeSupervisor();  // it starts the sessions that have no thread
}

void CloseDeviceSocket(DVRDevice* device, std::atomic<int>* socketField) {
    std::lock_guard<std::mutex> guard(device->sendLock);
    int sock = socketField->exchange(-1);
    if (sock >= 0) {
        NoteDescriptorClosing();
        close(sock);
    }
}

void PrepareDeviceSession(DVRDevice* device) {
    device->commandSocket.store(-1);
    device->liveSocket.store(-1);
    device->playbackSocket.store(-1);
    device->commandThread = WorkerThreadRef{};
    device->liveThread = WorkerThreadRef{};
    device->playbackThread = WorkerThreadRef{};
    ResetSessionState(device);
}

int StartDeviceSession(DVRDevice* device) {
    if (device == nullptr)
        return -1;
    PrepareDeviceSession(device);
    static_cast<DVRSessionState&>(*device) = DVRSessionState{};
    // The run's descriptors are reserved before any of them is opened and given back when the run ends.
    if (device->reservedDescriptors.load() == 0) {
        if (!ReserveDescriptors(SESSION_DESCRIPTORS, SESSION_DESCRIPTOR_RESERVE)) {
            DelayRestartAfterShortage(device, "DVR session could not be started", EMFILE);
            return -1;
        }
        device->reservedDescriptors.store(SESSION_DESCRIPTORS);
    }
    if (StartSessionThread(&device->commandThread, CommandThreadProc, device) == 0)
        return 0;
    const int error = errno;
    ReleaseDescriptors(device->reservedDescriptors.exchange(0));
    DelayRestartAfterShortage(device, "DVR session could not be started", error);
    return -1;
}

int StartSessionThread(WorkerThreadRef* thread, WorkerRoutine routine, DVRDevice* device) {
    if (StartWorkerThread(&thread->handle, &thread->id, routine, device) != 0)
        return -1;
    NoteDescriptorOpened();  // the thread's queue
    return 0;
}

void StopSessionThread(WorkerThreadRef* thread) {
    if (thread->handle != nullptr)
        NoteDescriptorClosing();  // its queue closes when the thread is joined
    StopWorkerThread(&thread->handle, &thread->id);
}

void DelayRestartAfterShortage(DVRDevice* device, const char* what, int error) {
    device->restartNotBefore.store(static_cast<int64_t>(MonotonicMs()) + SUPERVISOR_WAIT_MS);
    // Once per text and cause for the whole program: a shortage lasts, and every round would repeat it.
    static std::mutex reportedLock;
    static std::set<std::pair<std::string, int>> reported;
    std::lock_guard<std::mutex> guard(reportedLock);
    if (reported.insert({what, error}).second)
        std::fprintf(stderr, "%s (%s); it is tried again\n", what, std::strerror(error));
}

void StopDeviceSession(DVRDevice* device) {
    if (device == nullptr)
        return;
    // The command thread first: it is the one that starts the stream threads.
    StopSessionThread(&device->commandThread);
    StopSessionThread(&device->liveThread);
    StopSessionThread(&device->playbackThread);
    std::lock_guard<std::mutex> guard(device->lock);
    CloseDeviceSocket(device, &device->commandSocket);
    CloseDeviceSocket(device, &device->liveSocket);
    CloseDeviceSocket(device, &device->playbackSocket);
    // Frees everything the run owned; the channel array lives on while a screen slot still holds it.
    device->channelCount.store(0);
    static_cast<DVRSessionState&>(*device) = DVRSessionState{};
    ResetDeviceLists(&device->lists);
    ResetSessionState(device);
    device->generation.fetch_add(1);
    // Everything the run opened is closed: its descriptors go back to the account.
    ReleaseDescriptors(device->reservedDescriptors.exchange(0));
}

namespace {
// Frees the 16-byte stream headers of each channel, then the array.
struct ChannelArrayDeleter {
    int count;
    void operator()(DVRChannel* channels) const {
        for (int i = 0; i < count; ++i) {
            std::free(channels[i].videoHeader);
            std::free(channels[i].audioHeader);
        }
        delete[] channels;
    }
};
}  // namespace

int AllocDeviceChannels(DVRDevice* device, int count) {
    if (device == nullptr || count < 0)
        return -1;
    DVRChannel* channels = count > 0 ? new (std::nothrow) DVRChannel[count]() : nullptr;
    if (count > 0 && channels == nullptr)
        return -1;
    for (int i = 0; i < count; ++i) {
        channels[i].flags.store(CHANNEL_FLAG_STREAM_CLOSED);
        for (int32_t& slot : channels[i].viewSlots)
            slot = -1;
    }
    std::shared_ptr<DVRChannel[]> owned(channels, ChannelArrayDeleter{count});
    for (int i = 0; i < count; ++i) {
        channels[i].videoHeader = static_cast<uint8_t*>(std::calloc(1, 16));
        channels[i].audioHeader = static_cast<uint8_t*>(std::calloc(1, 16));
        if (channels[i].videoHeader == nullptr || channels[i].audioHeader == nullptr)
            return -1;  // owned frees what was made
    }
    // One step under the device's lock: of two callers racing, only the first sets the array.
    std::lock_guard<std::mutex> guard(device->lock);
    if (device->channels != nullptr)
        return -1;
    device->channels = std::move(owned);
    device->channelCount.store(count, std::memory_order_release);
    return 0;
}

void FreeDeviceChannels(DVRDevice* device) {
    if (device == nullptr)
        return;
    device->channelCount.store(0);
    device->channels.reset();
}

void HandleDeviceLost(HWND, DVRDevice* device) {
    if (device == nullptr)
        return;
    // A run whose thread never started showed nothing and changed nothing in the tree: while threads or
    // descriptors are short it is only tried again, without a tree event each round.
    const bool ran = device->commandThread.handle != nullptr;
    const DvrSessionHooks& hooks = GetDvrSessionHooks();
    if (ran && hooks.releaseDeviceScreens != nullptr)
        hooks.releaseDeviceScreens(device);
    // The playbacks of the lost run end with it, and the playback dialog shows them stopped.
    const uint32_t stopped =
        ran && hooks.stopDevicePlayback != nullptr ? hooks.stopDevicePlayback(device) : 0;
    for (uint32_t window = 0; window < PLAYBACK_WINDOW_COUNT; ++window) {
        if ((stopped & (1u << window)) != 0)
            PostPlaybackData(PLAYBACK_DATA_STATE,
                             static_cast<LPARAM>(static_cast<uint32_t>(PLAYBACK_CHANGE_BOTH) << 16 | window));
    }
    ClearCurrentDevice(device);
    StopDeviceSession(device);
    // Posted before the new run starts, so it reaches the tree before anything of that run.
    if (ran)
        PostDvrTreeEvent(device, DVR_TREE_LOST, TREE_ICON_DVR);
    // A run whose thread cannot start is tried again by the supervisor after a round (and reported once).
    static_cast<void>(StartDeviceSession(device));
}

void SuperviseDevices(HWND mainWindow, int64_t now) {
    // Sessions to restart are picked under the list lock and restarted outside it, so that neither the UI
    // thread nor a tree event ever waits for a session's threads to end. They stay on the list (their
    // tree events still apply); FreeDeviceList waits for the restarts in flight before it stops them.
    std::vector<DVRDevice*> lost;
    {
        std::lock_guard<std::mutex> guard(g_deviceListLock);
        for (DVRDevice* device = g_deviceList; device != nullptr; device = device->next) {
            if ((device->flags.load() & DEVICE_FLAG_LOGGED_IN) != 0) {
                int64_t lastKeepAlive = device->lastKeepAlive.load();
                if (lastKeepAlive == 0 ||
                    now - lastKeepAlive >= int64_t{device->keepAliveSeconds.load()} * 1000) {
                    (void)SendKeepAlive(device);
                    device->lastKeepAlive.store(now);
                }
            }
            if (NeedsRestart(device, now))
                lost.push_back(device);
        }
        if (lost.empty()) {
            g_restartsLeft.store(false);
            return;
        }
        std::lock_guard<std::mutex> restart(g_restartLock);
        ++g_restartsInFlight;
    }
    // In slices: a list of thousands starts over many rounds, so a reload on the UI thread, which waits
    // for the restarts in flight, never waits for all of them. The rest stay due for the next round.
    const int64_t sliceEnd = SteadyMs() + RESTART_SLICE_MS;
    size_t done = 0;
    while (done < lost.size() && (done == 0 || SteadyMs() < sliceEnd))
        HandleDeviceLost(mainWindow, lost[done++]);
    g_restartsLeft.store(done < lost.size());
    std::lock_guard<std::mutex> restart(g_restartLock);
    --g_restartsInFlight;
    g_restartDone.notify_all();
}

int SupervisorWaitMs() {
    constexpr int64_t kNone = INT64_MAX;
    int64_t next = kNone;
    bool soon = false;
    {
        std::lock_guard<std::mutex> guard(g_deviceListLock);
        for (DVRDevice* device = g_deviceList; device != nullptr; device = device->next) {
            uint32_t flags = device->flags.load();
            if (device->commandThread.handle == nullptr || (flags & DEVICE_FLAG_LINK_ERROR) != 0)
                soon = true;
            if ((flags & DEVICE_FLAG_LOGGED_IN) == 0)
                continue;
            // An interval of 0 (or less) means a keep-alive every round.
            int64_t interval = int64_t{device->keepAliveSeconds.load()} * 1000;
            if (interval < SUPERVISOR_WAIT_MS)
                interval = SUPERVISOR_WAIT_MS;
            int64_t lastKeepAlive = device->lastKeepAlive.load();
            int64_t keepAliveDue = lastKeepAlive == 0 ? 0 : lastKeepAlive + interval;
            int64_t silenceDue = device->lastReceived.load() + int64_t{SILENCE_TIMEOUT_SECONDS} * 1000 + 1;
            next = std::min({next, keepAliveDue, silenceDue});
        }
    }
    int wait = next == kNone ? -1 : WaitMsUntil(next);
    if (soon && (wait < 0 || wait > SUPERVISOR_WAIT_MS))
        wait = SUPERVISOR_WAIT_MS;
    return wait;
}

namespace {
// The running supervisor's queue (0 while none runs).
std::atomic<ThreadId> g_supervisorQueue{0};
}  // namespace

void WakeSupervisor() {
    ThreadId queue = g_supervisorQueue.load();
    if (queue != 0)
        PostThreadMessage(queue, WM_NULL, 0, 0);
}

void ReportLinkError(DVRDevice* device) {
    device->flags.fetch_or(DEVICE_FLAG_LINK_ERROR);
    WakeSupervisor();
}

unsigned SupervisorThreadProc(void*) {
    const ThreadId self = GetCurrentThreadId();
    g_supervisorQueue.store(self);
    // The first round at once; after each round the thread sleeps until the next due time or a wake-up
    // (every change that makes something due sooner posts one, so none is missed between the round and
    // the wait).
    int waitMs = 0;
    for (;;) {
        ThreadMessage msg;
        bool quit = GetThreadMessage(&msg, waitMs) == 1 && msg.message == WM_QUIT;
        while (!quit && PeekThreadMessage(&msg) == 1)
            quit = msg.message == WM_QUIT;
        if (quit)
            break;
        SuperviseDevices(GetDvrSessionHooks().mainWindow, static_cast<int64_t>(MonotonicMs()));
        waitMs = g_restartsLeft.load() ? 0 : SupervisorWaitMs();
    }
    ThreadId expected = self;
    g_supervisorQueue.compare_exchange_strong(expected, 0);
    return 0;
}

namespace {
WorkerThread* g_supervisorThread = nullptr;
ThreadId g_supervisorId = 0;
}  // namespace

int StartSupervisorThread() {
    return StartWorkerThread(&g_supervisorThread, &g_supervisorId, SupervisorThreadProc, nullptr);
}

void StopSupervisorThread() {
    StopWorkerThread(&g_supervisorThread, &g_supervisorId);
}
