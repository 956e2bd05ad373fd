#include "media/decode_thread.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

#include "dvr/dvr_device.h"
#include "dvr/stream_headers.h"
#include "media/audio_output.h"
#include "media/decode_steps.h"
#include "media/i420_source.h"
#include "media/main_window_state.h"
#include "media/pixel_routines.h"
#include "media/screen_slot.h"
#include "media/thread_wait.h"
#include "media/video_decoder.h"
#include "media/video_renderer.h"
#include "platform/system/thread_queue.h"
#include "platform/video/video_canvas.h"

namespace {

int DisplaySlotPicture(int index, const I420Source& source, uint8_t* picture, int width, int height);

void DecodeSlotVideo(int index, ScreenSlot& slot, VideoState& state, const FrameNode* node) {
    AVFrame* frame = nullptr;
    int width = 0, height = 0;
    if (!DecodeVideoNode(slot, state, node, &frame, &width, &height))
        return;
    if (index < GRID_SCREEN_COUNT) {
        // Grid screens draw (and keep their latest-frame copy) straight from the decoder's planes.
        I420Source planes{{frame->data[0], frame->data[1], frame->data[2]},
                          {frame->linesize[0], frame->linesize[1], frame->linesize[2]}};
        DisplaySlotPicture(index, planes, nullptr, width, height);
        return;
    }
    // Previews draw the zone grid into the picture: they take a contiguous copy.
    uint8_t* picture = state.picture.Holding(width, height);
    if (picture == nullptr)
        return;
    ImgCopyStridedI420(picture, frame->data[0], frame->linesize[0], frame->data[1], frame->linesize[1],
                       frame->data[2], frame->linesize[2], width, height);
    DisplaySlotFrame(index, picture, width, height);
}

void PlayAudioNode(int index, AudioState& state, const FrameNode* node) {
    AudioPacket packet;
    if (TakeAudioNode(state, node, &packet))
        PlaySlotAudio(index, packet.data, packet.length, state.header.channels, state.header.sampleRate,
                      state.header.bitsPerSample);
}

}  // namespace

unsigned DecodeThread(void* arg) {
    int index = static_cast<int>(reinterpret_cast<intptr_t>(arg));
    if (index < 0 || index >= SCREEN_SLOT_COUNT)
        return static_cast<unsigned>(-1);
    ScreenSlot& slot = g_screenSlots[index];
    bool grid = index < GRID_SCREEN_COUNT;
    FrameQueue* videoQueue = slot.videoQueue.get();
    FrameQueue* audioQueue = slot.audioQueue.get();
    if (!slot.decoder || videoQueue == nullptr || (grid && audioQueue == nullptr))
        return static_cast<unsigned>(-1);
    VideoState video;
    AudioState audio;
    RunSlotLoop(
        videoQueue, grid ? audioQueue : nullptr,
        [&](const FrameNode* node) { DecodeSlotVideo(index, slot, video, node); },
        [&](const FrameNode* node) { PlayAudioNode(index, audio, node); }, &slot.decodeDoorbell);
    return 0;
}

namespace {
void DrawPreview(int index, uint8_t* picture, int width, int height) {
    int preview = index - PREVIEW_SLOT_FIRST;
    if (index == PREVIEW_SLOT_FIRST) {
        ImgDrawGridI420(picture, width, height);
    } else if (index == PREVIEW_SLOT_FIRST + 2) {
        MotionZoneMask mask;
        if (SlotMotionMask(g_screenSlots[index], &mask))
            ImgDrawZonesI420(picture, width, height, mask.rows);
    }
    // A preview is drawn only while its window is set and on screen (the setup dialog may stay hidden).
    HWND window = g_previewWindows[preview].load();
    VideoRenderer* renderer = g_renderers[1 + preview].get();
    if (window == nullptr || renderer == nullptr)
        return;
    std::shared_ptr<VideoCanvas> canvas = FindWindowCanvas(window);
    if (canvas != nullptr && !canvas->IsShown())
        return;
    renderer->SetWindow(window);
    renderer->RenderToWindow(window, width, height, picture);
}

// DisplaySlotFrame for a picture given by its planes; picture is the same picture as a contiguous buffer
// that may be drawn into, needed by the preview slots (null for the grid's decoder planes).
int DisplaySlotPicture(int index, const I420Source& source, uint8_t* picture, int width, int height) {
    if (index < 0 || index >= SCREEN_SLOT_COUNT)
        return -1;
    ScreenSlot& slot = g_screenSlots[index];
    DVRDevice* device = nullptr;
    int channel = -1;
    if (!SlotShows(slot, &device, &channel))
        return -1;
    if (source.plane[0] == nullptr)
        return 0;
    if (index < GRID_SCREEN_COUNT)
        RefreshLastFrame(slot, source, width, height);
    if (g_mainWindowState.m_bPlaybackOpen.load())
        return 0;
    if (index >= PREVIEW_SLOT_FIRST) {
        if (picture != nullptr)
            DrawPreview(index, picture, width, height);
        return 0;
    }
    VideoRenderer* renderer = g_renderers[0].get();
    if (renderer != nullptr && g_mainWindowState.m_bScreenShown[index].load()) {
        renderer->RenderPlanes(width, height, index, source, g_mainWindowState.ScreenRect(index),
                               index == g_mainWindowState.m_nCurScreen.load());
    }
    return 0;
}
}  // namespace

int DisplaySlotFrame(int index, uint8_t* picture, int width, int height) {
    I420Source source = picture != nullptr ? ContiguousI420(picture, width, height) : I420Source{};
    return DisplaySlotPicture(index, source, picture, width, height);
}

int PlaySlotAudio(int index, const uint8_t* data, uint32_t length, int channels, uint32_t sampleRate,
                  int bitsPerSample) {
    if (index < 0 || index >= GRID_SCREEN_COUNT)
        return -1;
    DVRDevice* device = nullptr;
    int channel = -1;
    if (!SlotShows(g_screenSlots[index], &device, &channel))
        return -1;
    if (g_mainWindowState.m_bPlaybackOpen.load() || index != g_mainWindowState.m_nCurScreen.load())
        return 0;
    LiveAudioFormat format{static_cast<uint16_t>(channels), sampleRate, static_cast<uint16_t>(bitsPerSample)};
    int32_t volume = LiveVolume(g_mainWindowState.m_nVolumePos.load(), g_mainWindowState.m_bMute.load());
    return PlayAudioPacket(g_liveAudio, data, length, format, g_mainWindowState.m_hWnd.load(), volume);
}
