#include "ui/slot_channels.h"

#include <atomic>
#include <memory>
#include <mutex>

#include "dvr/dvr_device.h"
#include "dvr/dvr_protocol.h"
#include "media/screen_slot.h"

namespace {

// The entry of DVRChannel::viewSlots that belongs to a slot: 0 for the grid, 1-3 for the previews.
int ViewEntryOfSlot(int slot) {
    return slot < GRID_SCREEN_COUNT ? 0 : slot - (PREVIEW_SLOT_FIRST - 1);
}

bool SlotInRange(int slot) {
    return slot >= 0 && slot < SCREEN_SLOT_COUNT;
}

}  // namespace

int AssignSlotChannel(DVRDevice* device, int channel, int slot) {
    if (device == nullptr || channel < 0 || !SlotInRange(slot))
        return -1;
    if (AssignSlotChannel(slot, device, channel) != 0)
        return -1;
    std::shared_ptr<DVRChannel[]> channels;
    {
        std::lock_guard<std::mutex> guard(g_screenSlots[slot].lock);
        channels = g_screenSlots[slot].channels;
    }
    if (channels == nullptr)
        return -1;
    DVRChannel& c = channels[channel];
    bool open = false;
    {
        std::lock_guard<std::mutex> guard(c.lock);
        std::atomic_ref<int32_t>(c.viewSlots[ViewEntryOfSlot(slot)]).store(slot);
        if ((c.flags.load() & CHANNEL_FLAG_STREAM_CLOSED) != 0) {
            c.flags.fetch_and(~CHANNEL_FLAG_STREAM_CLOSED);
            open = true;
        }
    }
    // A failed send is not retried: the flag says the stream is wanted either way.
    if (open)
        (void)SendOpenStream(device, channel);
    return 0;
}

int ReleaseSlotChannel(DVRDevice* device, int channel, int slot) {
    if (device == nullptr || channel < 0 || !SlotInRange(slot))
        return -1;
    std::shared_ptr<DVRChannel[]> channels;
    {
        std::lock_guard<std::mutex> guard(g_screenSlots[slot].lock);
        ScreenSlot& s = g_screenSlots[slot];
        if (s.device != device || s.channel != channel || s.channels == nullptr || channel >= s.channelCount)
            return -1;
        channels = s.channels;
    }
    ReleaseSlot(slot);
    DVRChannel& c = channels[channel];
    bool close = false;
    {
        std::lock_guard<std::mutex> guard(c.lock);
        std::atomic_ref<int32_t> entry(c.viewSlots[ViewEntryOfSlot(slot)]);
        if (entry.load() == slot)
            entry.store(-1);
        bool shown = false;
        for (int32_t& v : c.viewSlots)
            shown = shown || std::atomic_ref<int32_t>(v).load() != -1;
        if (!shown && (c.flags.load() & CHANNEL_FLAG_STREAM_CLOSED) == 0) {
            c.flags.fetch_or(CHANNEL_FLAG_STREAM_CLOSED);
            close = true;
        }
    }
    // Only the run that made this channel array is asked: a restarted session has a new array whose
    // streams start closed.
    bool sameRun = false;
    {
        std::lock_guard<std::mutex> guard(device->lock);
        sameRun = device->channels == channels;
    }
    if (close && sameRun)
        (void)SendCloseStream(device, channel);
    return 0;
}

int ReleaseSlotShown(int slot, DVRDevice** device, int* channel) {
    if (!SlotInRange(slot))
        return -1;
    DVRDevice* d = nullptr;
    int c = -1;
    if (!SlotShows(g_screenSlots[slot], &d, &c))
        return -1;
    if (ReleaseSlotChannel(d, c, slot) != 0)
        return -1;
    if (device != nullptr)
        *device = d;
    if (channel != nullptr)
        *channel = c;
    return 0;
}

void CloseAllScreens() {
    for (int slot = 0; slot < GRID_SCREEN_COUNT; ++slot)
        (void)ReleaseSlotShown(slot, nullptr, nullptr);
}

int GridScreenOfChannel(DVRDevice* device, int channel) {
    for (int slot = 0; slot < GRID_SCREEN_COUNT; ++slot) {
        std::lock_guard<std::mutex> guard(g_screenSlots[slot].lock);
        if (g_screenSlots[slot].device == device && g_screenSlots[slot].channel == channel)
            return slot;
    }
    return -1;
}

int SetSlotRecordWanted(int slot, bool on) {
    if (slot < 0 || slot >= GRID_SCREEN_COUNT)
        return -1;
    ScreenSlot& screen = g_screenSlots[slot];
    std::shared_ptr<DVRChannel[]> channels;
    int channel = -1;
    {
        std::lock_guard<std::mutex> guard(screen.lock);
        if (screen.device == nullptr || screen.channels == nullptr || screen.channel < 0 ||
            screen.channel >= screen.channelCount)
            return -1;
        channels = screen.channels;
        channel = screen.channel;
    }
    std::lock_guard<std::mutex> guard(channels[channel].lock);
    if (on)
        channels[channel].flags.fetch_or(CHANNEL_FLAG_RECORD_WANTED);
    else
        channels[channel].flags.fetch_and(~CHANNEL_FLAG_RECORD_WANTED);
    return 0;
}
