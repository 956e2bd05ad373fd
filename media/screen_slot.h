#pragma once

// The media record behind one place where a channel's pictures are shown: the 64 grid screens of the
// main window and the three previews of the setup pages. Each slot holds the DVR and channel it shows,
// the frame queues the stream parser fills for it, its decoder and its latest-frame copy.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "dvr/frame_doorbell.h"
#include "dvr/frame_queue.h"
#include "platform/system/win_types.h"

struct DVRDevice;
struct DVRChannel;
struct MotionZoneMask;
class VideoDecoder;
class VideoRenderer;
class AviWriter;
struct OverlayKeyColor;

constexpr int SCREEN_SLOT_COUNT = 67;
constexpr int GRID_SCREEN_COUNT = 64;
constexpr int PREVIEW_SLOT_FIRST = 64;
constexpr int PREVIEW_WINDOW_COUNT = 3;
constexpr int LIVE_RENDERER_COUNT = 4;

struct ScreenSlot {
    // Overlay text of the playback speed label (playback slots).
    int32_t osdCorner = 0;
    int32_t osdOffsetX = 0;
    int32_t osdOffsetY = 0;
    COLORREF osdColor = 0;
    LOGFONTW osdFont{};
    // Guarded by lock: the DVR and channel shown (null / -1 when free) and the playback state values. The
    // device pointer is compared, never dereferenced, by the media threads; what they read of the channel
    // they reach through channels, the slot's share of the DVR's channel array, which stays valid after
    // the session that made it stopped or its record was freed.
    DVRDevice* device = nullptr;
    int32_t channel = -1;
    std::shared_ptr<DVRChannel[]> channels;
    int32_t channelCount = 0;
    char16_t dvrName[256] = {};  // the DVR's tree name, copied when the channel is assigned
    std::unique_ptr<FrameQueue> videoQueue;
    std::unique_ptr<FrameQueue> audioQueue;  // grid slots
    // What the live decode thread sleeps on: rung by a push into its empty queues and at its stop.
    FrameDoorbell decodeDoorbell;
    int32_t playBegin = 0;
    int32_t playDuration = 0;
    std::atomic<int32_t> decodedWidth{0};  // size of the last decoded picture (the decode thread's)
    std::atomic<int32_t> decodedHeight{0};
    int32_t playState = 0;
    int32_t playSpeed = 0;
    int32_t playPosition = 0;
    int32_t playDayStart = 0;
    std::mutex lock;
    std::unique_ptr<FrameQueue> recordVideoQueue;  // grid slots
    std::unique_ptr<FrameQueue> recordAudioQueue;  // grid slots
    std::unique_ptr<AviWriter> aviWriter;          // grid slots: the record file
    int32_t lastSplitTime = 0;
    std::unique_ptr<VideoDecoder> decoder;
    uint8_t* osdImage = nullptr;  // malloc
    int32_t osdImageWidth = 0;
    int32_t osdImageHeight = 0;
    OverlayKeyColor* overlayKey = nullptr;  // made with the playback overlay
    // Latest-frame copy, refreshed at most once a second by the drawing thread; guarded by lastFrameLock.
    // It keeps its own size: readers use lastFrameWidth / lastFrameHeight, never the decoder's newer size.
    int32_t lastFrameTime = 0;
    uint8_t* lastFrame = nullptr;  // realloc
    uint32_t lastFrameCapacity = 0;
    int32_t lastFrameWidth = 0;
    int32_t lastFrameHeight = 0;
    std::mutex lastFrameLock;
};

extern ScreenSlot g_screenSlots[SCREEN_SLOT_COUNT];
// The preview windows of slots 64-66 (set by the main window while a setup page shows one).
extern std::atomic<HWND> g_previewWindows[PREVIEW_WINDOW_COUNT];
// 0 draws the grid into the main video window, 1-3 the previews of slots 64-66.
extern std::unique_ptr<VideoRenderer> g_renderers[LIVE_RENDERER_COUNT];

// Puts a DVR's channel on a slot (0-66): the slot takes the device, the channel and its share of the
// channel array (under the device's lock, so never half of a run that is being stopped). -1 when the
// slot or channel is out of range or the session has no channels.
[[nodiscard]] int AssignSlotChannel(int slot, DVRDevice* device, int channel);
// Frees a slot: no device, channel -1, its share of the channel array dropped.
void ReleaseSlot(int slot);
// Empties a slot's own records: no DVR, channel -1, the playback values 0, no decoder, no overlay picture
// and no latest-frame copy. Its queues are the owner's business. No thread may use the slot.
void ResetSlotRecords(ScreenSlot& slot);
// Frees every slot, grid screens and previews 64-66, that shows one of the device's channels. The media
// system installs it as the sessions' releaseDeviceScreens when none is installed.
void ReleaseDeviceSlots(DVRDevice* device);

// The DVR and channel a slot shows, copied under its lock; false when it shows nothing (no DVR, a
// negative channel or one not below the count of the channel array the slot holds). The device is not
// dereferenced.
bool SlotShows(ScreenSlot& slot, DVRDevice** device, int* channel);
// The motion zones of the channel the slot shows, read under the channel's lock from the slot's share of
// the channel array; false when the slot shows nothing.
bool SlotMotionMask(ScreenSlot& slot, MotionZoneMask* mask);

// The wall-clock second of the latest-frame refresh; tests replace it (nullptr restores the real one).
using WallSecondsFn = int64_t (*)();
void SetLastFrameClock(WallSecondsFn clock);
int64_t LastFrameClockNow();
