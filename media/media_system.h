#pragma once

// Start and end of the live media pipeline: the 67 screen slots with their queues and decoders, the
// live renderers and audio player, the two built-in pictures, and the media threads.

#include <cstdint>
#include <vector>

#include "core/worker_threads.h"
#include "dvr/dvr_device.h"
#include "dvr/slot_queues.h"
#include "media/record_thread.h"
#include "media/screen_slot.h"

// A built-in picture as I420 (empty when its bitmap is missing).
struct I420Picture {
    std::vector<uint8_t> data;
    int32_t width = 0;
    int32_t height = 0;
};
extern I420Picture g_noVideoImage;  // bitmap 130
extern I420Picture g_idleImage;     // bitmap 274

// The media threads: the record thread of each grid slot, the decode threads and the sessions'
// supervisor, whose routine the sessions supply. A routine left null is not started.
struct MediaThreadTable {
    WorkerRoutine recordRoutine = RecordThread;
    WorkerRoutine supervisorRoutine = nullptr;
    WorkerThreadRef recordThreads[GRID_SCREEN_COUNT] = {};
    WorkerThreadRef decodeThreads[SCREEN_SLOT_COUNT] = {};
    WorkerThreadRef supervisorThread = {};
};

// Makes the slots, the client's disk and language lists, the empty session list (the frame parser then
// asks the main window state whether playback is open), the renderers, the live player and the built-in
// pictures. 0, or -1 at the first slot member that cannot be made. Call once, before any media thread
// and any session runs.
int InitMediaSystem();
// Stops and frees the sessions first, so that no stream thread reaches a slot any more, then frees the
// slots and everything else InitMediaSystem made (also after a failed start). Call after
// StopMediaThreads.
void FreeMediaSystem();
// Slot 0 record, slot 0 decode, slot 1 record, ... slot 63 decode, slots 64-66 decode, the supervisor.
// -1 at the first thread that cannot be started (those started keep running).
int StartMediaThreads(MediaThreadTable* threads);
// Stops them in the same order, the supervisor last. Returns 0.
int StopMediaThreads(MediaThreadTable* threads);

// The slot queues the frame parser finds through GetSlotQueue while the media system exists.
FrameQueue* MediaSlotQueue(int slot, SlotQueueKind kind);
