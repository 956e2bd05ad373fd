#include "dvr/dvr_session.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "core/worker_threads.h"
#include "dvr/device_tree_events.h"
#include "dvr/device_tree_node.h"
#include "dvr/dvr_protocol.h"
#include "dvr/session_hooks.h"
#include "platform/system/clock.h"

DVRDevice* g_deviceList = nullptr;
std::mutex g_deviceListLock;
std::atomic<DVRDevice*> g_currentDevice{nullptr};

namespace {

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

}  // namespace

void InitDeviceList() {
    std::lock_guard<std::mutex> guard(g_deviceListLock);
    g_deviceList = nullptr;
    g_currentDevice.store(nullptr);
}

void FreeDeviceList() {
    g_currentDevice.store(nullptr);
    std::lock_guard<std::mutex> guard(g_deviceListLock);
    while (g_deviceList != nullptr) {
        DVRDevice* device = g_deviceList;
        g_deviceList = device->next;
        StopDeviceSession(device);
        delete device;
    }
}

void AppendDevice(DVRDevice* device) {
    if (device == nullptr)
        return;
    device->next = nullptr;
    std::lock_guard<std::mutex> guard(g_deviceListLock);
    DVRDevice** tail = &g_deviceList;
    while (*tail != nullptr)
        tail = &(*tail)->next;
    *tail = device;
}

void CloseDeviceSocket(DVRDevice* device, std::atomic<int>* socketField) {
    std::lock_guard<std::mutex> guard(device->sendLock);
    int sock = socketField->exchange(-1);
    if (sock >= 0)
        close(sock);
}

int StartDeviceSession(DVRDevice* device) {
    if (device == nullptr)
        return -1;
    device->commandSocket.store(-1);
    device->liveSocket.store(-1);
    device->playbackSocket.store(-1);
    std::memset(device->commandBuffer, 0, sizeof device->commandBuffer);
    device->commandFill = 0;
    device->commandThread = WorkerThreadRef{};
    device->liveThread = WorkerThreadRef{};
    device->playbackThread = WorkerThreadRef{};
    device->systemParams = nullptr;
    device->networkParams = nullptr;
    device->channelCount.store(0);
    device->channels = nullptr;
    device->userCount = 0;
    device->users = nullptr;
    device->diskCount = 0;
    device->disks = nullptr;
    device->languageCount = 0;
    device->languages = nullptr;
    device->remoteFiles = nullptr;
    ResetSessionState(device);
    return StartWorkerThread(&device->commandThread.handle, &device->commandThread.id, CommandThreadProc,
                             device) == 0
               ? 0
               : -1;
}

void StopDeviceSession(DVRDevice* device) {
    if (device == nullptr)
        return;
    // The command thread first: it is the one that starts the stream threads.
    StopWorkerThread(&device->commandThread.handle, &device->commandThread.id);
    StopWorkerThread(&device->liveThread.handle, &device->liveThread.id);
    StopWorkerThread(&device->playbackThread.handle, &device->playbackThread.id);
    std::lock_guard<std::mutex> guard(device->lock);
    CloseDeviceSocket(device, &device->commandSocket);
    CloseDeviceSocket(device, &device->liveSocket);
    CloseDeviceSocket(device, &device->playbackSocket);
    std::memset(device->commandBuffer, 0, sizeof device->commandBuffer);
    device->commandFill = 0;
    device->liveFill = 0;
    device->playbackFill = 0;
    std::free(device->liveBuffer);
    device->liveBuffer = nullptr;
    std::free(device->playbackBuffer);
    device->playbackBuffer = nullptr;
    if (device->address != nullptr) {
        freeaddrinfo(device->address);
        device->address = nullptr;
    }
    std::free(device->systemParams);
    device->systemParams = nullptr;
    std::free(device->networkParams);
    device->networkParams = nullptr;
    FreeDeviceChannels(device);
    std::free(device->users);
    device->users = nullptr;
    device->userCount = 0;
    std::free(device->disks);
    device->disks = nullptr;
    device->diskCount = 0;
    std::free(device->languages);
    device->languages = nullptr;
    device->languageCount = 0;
    ResetDeviceLists(&device->lists);
    ResetSessionState(device);
    device->generation.fetch_add(1);
}

int AllocDeviceChannels(DVRDevice* device, int count) {
    if (device == nullptr || count < 0)
        return -1;
    DVRChannel* channels = count > 0 ? new (std::nothrow) DVRChannel[count]() : nullptr;
    if (count > 0 && channels == nullptr)
        return -1;
    for (int i = 0; i < count; ++i) {
        channels[i].videoHeader = static_cast<uint8_t*>(std::calloc(1, 16));
        channels[i].audioHeader = static_cast<uint8_t*>(std::calloc(1, 16));
        if (channels[i].videoHeader == nullptr || channels[i].audioHeader == nullptr) {
            for (int j = 0; j <= i; ++j) {
                std::free(channels[j].videoHeader);
                std::free(channels[j].audioHeader);
            }
            delete[] channels;
            return -1;
        }
        channels[i].flags.store(CHANNEL_FLAG_STREAM_CLOSED);
        for (int32_t& slot : channels[i].viewSlots)
            slot = -1;
    }
    FreeDeviceChannels(device);
    device->channels = channels;
    device->channelCount.store(count, std::memory_order_release);
    return 0;
}

void FreeDeviceChannels(DVRDevice* device) {
    if (device == nullptr)
        return;
    int count = device->channelCount.exchange(0);
    DVRChannel* channels = device->channels;
    device->channels = nullptr;
    if (channels == nullptr)
        return;
    for (int i = 0; i < count; ++i) {
        std::free(channels[i].videoHeader);
        std::free(channels[i].audioHeader);
    }
    delete[] channels;
}

void HandleDeviceLost(HWND, DVRDevice* device) {
    if (device == nullptr)
        return;
    const DvrSessionHooks& hooks = GetDvrSessionHooks();
    if (hooks.releaseDeviceScreens != nullptr)
        hooks.releaseDeviceScreens(device);
    ClearCurrentDevice(device);
    StopDeviceSession(device);
    // Posted before the new run starts, so it reaches the tree before anything of that run.
    PostDvrTreeEvent(device, DVR_TREE_LOST, TREE_ICON_DVR);
    StartDeviceSession(device);
}

void SuperviseDevices(HWND mainWindow, int64_t now) {
    std::lock_guard<std::mutex> guard(g_deviceListLock);
    for (DVRDevice* device = g_deviceList; device != nullptr; device = device->next) {
        uint32_t flags = device->flags.load();
        if ((flags & DEVICE_FLAG_LOGGED_IN) == 0)
            continue;
        int64_t lastKeepAlive = device->lastKeepAlive.load();
        if (lastKeepAlive == 0 || now - lastKeepAlive >= int64_t{device->keepAliveSeconds.load()} * 1000) {
            SendKeepAlive(device);
            device->lastKeepAlive.store(now);
        }
        if (now - device->lastReceived.load() > int64_t{SILENCE_TIMEOUT_SECONDS} * 1000 ||
            (flags & DEVICE_FLAG_LINK_ERROR) != 0)
            HandleDeviceLost(mainWindow, device);
    }
}

unsigned SupervisorThreadProc(void*) {
    for (;;) {
        ThreadMessage msg;
        if (GetThreadMessage(&msg, SUPERVISOR_WAIT_MS) == 1 && msg.message == WM_QUIT)
            return 0;
        while (PeekThreadMessage(&msg) == 1) {
            if (msg.message == WM_QUIT)
                return 0;
        }
        SuperviseDevices(GetDvrSessionHooks().mainWindow, static_cast<int64_t>(MonotonicMs()));
    }
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
