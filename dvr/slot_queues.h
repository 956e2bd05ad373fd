#pragma once

// How the frame parser finds the frame queues of the screens that show a channel. The media system
// installs the provider when it creates its slots (and removes it before freeing them); without one every
// lookup gives nullptr and frames are dropped.

#include "dvr/frame_queue.h"

enum SlotQueueKind {
    SLOT_QUEUE_VIDEO,           // a live slot's (0-66) video queue
    SLOT_QUEUE_AUDIO,           // a live slot's audio queue
    SLOT_QUEUE_RECORD_VIDEO,    // a grid slot's (0-63) record video queue
    SLOT_QUEUE_RECORD_AUDIO,    // a grid slot's record audio queue
    SLOT_QUEUE_PLAYBACK_VIDEO,  // a playback slot's (0-15) video queue, only while playback is open
    SLOT_QUEUE_PLAYBACK_AUDIO,  // a playback slot's audio queue, only while playback is open
};

using SlotQueueProvider = FrameQueue* (*)(int slot, SlotQueueKind kind);
void SetSlotQueueProvider(SlotQueueProvider provider);
FrameQueue* GetSlotQueue(int slot, SlotQueueKind kind);
