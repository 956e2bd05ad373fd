#include "media/screen_slot.h"

#include <ctime>

#include "dvr/dvr_device.h"
#include "media/video_decoder.h"
#include "platform/avi/avi_writer.h"
#include "media/video_renderer.h"

ScreenSlot g_screenSlots[SCREEN_SLOT_COUNT];
std::atomic<HWND> g_previewWindows[PREVIEW_WINDOW_COUNT];
std::unique_ptr<VideoRenderer> g_renderers[LIVE_RENDERER_COUNT];

namespace {
std::atomic<WallSecondsFn> g_lastFrameClock{nullptr};
}

bool SlotShows(ScreenSlot& slot, DVRDevice** device, int* channel) {
    {
        std::lock_guard<std::mutex> guard(slot.lock);
        *device = slot.device;
        *channel = slot.channel;
    }
    return *device != nullptr && *channel >= 0 && *channel < (*device)->channelCount;
}

void SetLastFrameClock(WallSecondsFn clock) {
    g_lastFrameClock.store(clock);
}

int64_t LastFrameClockNow() {
    WallSecondsFn clock = g_lastFrameClock.load();
    return clock != nullptr ? clock() : static_cast<int64_t>(std::time(nullptr));
}
