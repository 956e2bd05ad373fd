#include "media/screen_slot.h"

#include <cstdlib>

#include <cstring>
#include <ctime>

#include "dvr/device_tree_node.h"
#include "dvr/dvr_device.h"
#include "media/video_decoder.h"
#include "media/video_renderer.h"
#include "platform/avi/avi_writer.h"

ScreenSlot g_screenSlots[SCREEN_SLOT_COUNT];
std::atomic<HWND> g_previewWindows[PREVIEW_WINDOW_COUNT];
std::unique_ptr<VideoRenderer> g_renderers[LIVE_RENDERER_COUNT];

namespace {
std::atomic<WallSecondsFn> g_lastFrameClock{nullptr};
}

namespace {
// The record thread sleeps until a packet comes: a change of the slot's channel wakes it, so that it closes
// a file of the channel the slot no longer shows.
void WakeRecordThread(ScreenSlot& slot) {
    if (slot.recordVideoQueue)
        slot.recordVideoQueue->WakeConsumer();
}
}  // namespace

int AssignSlotChannel(int index, DVRDevice* device, int channel) {
    if (index < 0 || index >= SCREEN_SLOT_COUNT || device == nullptr || channel < 0)
        return -1;
    std::shared_ptr<DVRChannel[]> channels;
    int32_t count = 0;
    char16_t name[256] = {};
    if (device->node != nullptr)
        std::memcpy(name, device->node->name, sizeof name - sizeof name[0]);
    {
        std::lock_guard<std::mutex> guard(device->lock);
        count = device->channelCount.load(std::memory_order_acquire);
        channels = device->channels;
    }
    if (channels == nullptr || channel >= count)
        return -1;
    ScreenSlot& slot = g_screenSlots[index];
    std::lock_guard<std::mutex> guard(slot.lock);
    slot.device = device;
    slot.channel = channel;
    slot.channels = std::move(channels);
    slot.channelCount = count;
    std::memcpy(slot.dvrName, name, sizeof name);
    WakeRecordThread(slot);
    return 0;
}

void ResetSlotRecords(ScreenSlot& slot) {
    {
        std::lock_guard<std::mutex> guard(slot.lock);
        slot.device = nullptr;
        slot.channel = -1;
        slot.channels.reset();
        slot.channelCount = 0;
        slot.playBegin = slot.playDuration = slot.playState = slot.playSpeed = 0;
        slot.playPosition = slot.playDayStart = 0;
    }
    slot.decoder.reset();
    slot.decodedWidth.store(0);
    slot.decodedHeight.store(0);
    std::free(slot.osdImage);
    slot.osdImage = nullptr;
    slot.osdImageWidth = slot.osdImageHeight = 0;
    std::lock_guard<std::mutex> guard(slot.lastFrameLock);
    std::free(slot.lastFrame);
    slot.lastFrame = nullptr;
    slot.lastFrameCapacity = 0;
    slot.lastFrameWidth = slot.lastFrameHeight = 0;
    slot.lastFrameTime = 0;
}

void ReleaseSlot(int index) {
    if (index < 0 || index >= SCREEN_SLOT_COUNT)
        return;
    std::shared_ptr<DVRChannel[]> dropped;
    ScreenSlot& slot = g_screenSlots[index];
    {
        std::lock_guard<std::mutex> guard(slot.lock);
        slot.device = nullptr;
        slot.channel = -1;
        dropped = std::move(slot.channels);
        slot.channelCount = 0;
        slot.dvrName[0] = 0;
    }
    WakeRecordThread(slot);
    // The array may be freed here, outside the slot lock.
}

void ReleaseDeviceSlots(DVRDevice* device) {
    if (device == nullptr)
        return;
    for (int i = 0; i < SCREEN_SLOT_COUNT; ++i) {
        bool shows = false;
        {
            std::lock_guard<std::mutex> guard(g_screenSlots[i].lock);
            shows = g_screenSlots[i].device == device;
        }
        if (shows)
            ReleaseSlot(i);
    }
}

bool SlotShows(ScreenSlot& slot, DVRDevice** device, int* channel) {
    std::lock_guard<std::mutex> guard(slot.lock);
    *device = slot.device;
    *channel = slot.channel;
    return *device != nullptr && slot.channels != nullptr && *channel >= 0 && *channel < slot.channelCount;
}

bool SlotMotionMask(ScreenSlot& slot, MotionZoneMask* mask) {
    std::shared_ptr<DVRChannel[]> channels;
    int channel = -1;
    {
        std::lock_guard<std::mutex> guard(slot.lock);
        if (slot.channels == nullptr || slot.channel < 0 || slot.channel >= slot.channelCount)
            return false;
        channels = slot.channels;
        channel = slot.channel;
    }
    std::lock_guard<std::mutex> guard(channels[channel].lock);
    *mask = channels[channel].motionMask;
    return true;
}

void SetLastFrameClock(WallSecondsFn clock) {
    g_lastFrameClock.store(clock);
}

int64_t LastFrameClockNow() {
    WallSecondsFn clock = g_lastFrameClock.load();
    return clock != nullptr ? clock() : static_cast<int64_t>(std::time(nullptr));
}
