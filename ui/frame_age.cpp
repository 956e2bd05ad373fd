#include "ui/frame_age.h"

#include <mutex>

FrameAgeState AgeChannelFrame(DVRChannel& channel) {
    std::lock_guard<std::mutex> hold(channel.lock);
    if (++channel.frameAge >= FRAME_AGE_WRAP)
        channel.frameAge = 3;
    FrameAgeState state{channel.frameAge > FRAME_AGE_LATE, channel.frameAge > FRAME_AGE_LOST, false};
    if (state.lost) {
        uint32_t before = channel.flags.fetch_or(CHANNEL_FLAG_VIDEO_LOSS);
        if (before & CHANNEL_FLAG_RECORDING) {
            channel.flags.fetch_and(~CHANNEL_FLAG_RECORDING);
            state.recordingEnded = true;
        }
    } else {
        channel.flags.fetch_and(~CHANNEL_FLAG_VIDEO_LOSS);
    }
    return state;
}

void RunFrameAgeTick(DVRChannel* const (&slotChannels)[FRAME_AGE_SLOTS], FrameAgeTick& tick) {
    tick.endMarkerCount = 0;
    for (int s = 0; s < FRAME_AGE_SLOTS; ++s) {
        tick.slots[s] = FrameAgeState{false, false, false};
        DVRChannel* channel = slotChannels[s];
        if (channel == nullptr)
            continue;
        // A channel already aged for an earlier slot of this tick takes that slot's state.
        int earlier = -1;
        for (int e = 0; e < s && earlier < 0; ++e) {
            if (slotChannels[e] == channel)
                earlier = e;
        }
        if (earlier >= 0) {
            tick.slots[s] = tick.slots[earlier];
            continue;
        }
        tick.slots[s] = AgeChannelFrame(*channel);
        if (tick.slots[s].recordingEnded) {
            int32_t gridSlot =
                std::atomic_ref<int32_t>(channel->viewSlots[0]).load(std::memory_order_relaxed);
            if (gridSlot >= 0 && gridSlot < 64)
                tick.endMarkerSlots[tick.endMarkerCount++] = gridSlot;
        }
    }
}
