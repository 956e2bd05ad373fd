#include "bench/live_grid.h"

#include <atomic>
#include <cstdlib>
#include <mutex>

#include "dvr/dvr_device.h"
#include "dvr/dvr_session.h"
#include "dvr/frame_queue.h"
#include "media/main_window_state.h"
#include "media/screen_slot.h"

DVRDevice* MakeGridDevice() {
    auto* device = new DVRDevice();
    if (AllocDeviceChannels(device, GRID_SCREEN_COUNT) != 0)
        std::abort();
    return device;
}

void ShowGridChannels(DVRDevice* device, int channels, bool drawn,
                      const std::function<VideoRect(int)>& rect) {
    for (int i = 0; i < GRID_SCREEN_COUNT; ++i) {
        bool used = i < channels;
        g_mainWindowState.m_bScreenShown[i] = used && drawn;
        if (used)
            g_mainWindowState.SetScreenRect(i, rect(i));
        DVRChannel& channel = device->channels[i];
        bool shown = used && AssignSlotChannel(i, device, i) == 0;
        if (!shown)
            ReleaseSlot(i);
        std::lock_guard<std::mutex> guard(channel.lock);
        std::atomic_ref<int32_t>(channel.viewSlots[0]).store(shown ? i : -1);
        if (shown)
            channel.flags.fetch_and(~CHANNEL_FLAG_STREAM_CLOSED);
        else
            channel.flags.fetch_or(CHANNEL_FLAG_STREAM_CLOSED);
    }
}

bool GridQueuesDrained(int channels) {
    for (int i = 0; i < channels; ++i) {
        FrameQueue* q = g_screenSlots[i].videoQueue.get();
        std::lock_guard<std::mutex> guard(q->lock);
        int free = 0;
        for (FrameNode* n = q->freeHead; n != nullptr; n = n->next)
            ++free;
        if (free != q->nodeCount)
            return false;
    }
    return true;
}
