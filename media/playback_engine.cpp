#include "media/playback_engine.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>

#include "core/system_settings.h"
#include "dvr/dvr_records.h"
#include "media/decode_steps.h"
#include "media/main_window_state.h"
#include "media/overlay_text.h"
#include "media/pixel_routines.h"
#include "media/thread_wait.h"
#include "media/video_decoder.h"
#include "media/video_renderer.h"
#include "platform/avi/avi_writer.h"

ScreenSlot g_playbackChannels[PLAYBACK_CHANNEL_COUNT];
std::unique_ptr<VideoRenderer> g_playbackRenderer;
std::atomic<PlaybackView*> g_playbackDialog{nullptr};

namespace {

// Set while the engine's slots are made: the frame parser gets their queues only then.
std::atomic<bool> g_engineUp{false};

// A playback queue lives as long as the program: the frame parser may still hold one for a moment after
// the dialog closed, so closing empties the queues instead of freeing them.
void MakeOrEmptyQueue(std::unique_ptr<FrameQueue>& queue, int nodes) {
    if (!queue) {
        auto* made = new (std::nothrow) FrameQueue();
        if (made != nullptr)
            made->Init(nodes);
        queue.reset(made);
        return;
    }
    FrameNode* node = nullptr;
    for (int i = 0; i < PLAYBACK_VIDEO_QUEUE_NODES && queue->PopReady(&node) == 0; ++i)
        queue->ReleaseNode(node);
}

void ClearPlaybackSlot(ScreenSlot& slot) {
    ResetSlotRecords(slot);
    delete slot.overlayKey;
    slot.overlayKey = nullptr;
}

void CopyFaceName(LOGFONTW& font, const char* name) {
    for (int i = 0; i < 31 && name[i] != 0; ++i)
        font.lfFaceName[i] = static_cast<char16_t>(name[i]);
}

}  // namespace

void PlaybackView::SetScreenRect(int screen, const VideoRect& rect) {
    if (screen >= 0 && screen < PLAYBACK_CHANNEL_COUNT)
        m_rcScreen[screen].Store(rect);
}

VideoRect PlaybackView::ScreenRect(int screen) const {
    if (screen < 0 || screen >= PLAYBACK_CHANNEL_COUNT)
        return VideoRect{0, 0, 0, 0};
    return m_rcScreen[screen].Load();
}

void InitPlaybackOsd(int screen) {
    if (screen < 0 || screen >= PLAYBACK_CHANNEL_COUNT)
        return;
    ScreenSlot& slot = g_playbackChannels[screen];
    slot.osdCorner = OSD_CORNER_BOTTOM_RIGHT;
    slot.osdOffsetX = 0;
    slot.osdOffsetY = 0;
    slot.osdColor = 0x00FF00;
    slot.osdFont = LOGFONTW{};
    slot.osdFont.lfHeight = -10;
    slot.osdFont.lfWeight = 700;
    slot.osdFont.lfOutPrecision = 1;
    slot.osdFont.lfClipPrecision = 2;
    slot.osdFont.lfQuality = 1;
    slot.osdFont.lfPitchAndFamily = 0x22;
    CopyFaceName(slot.osdFont, "MS Sans Serif");
}

int InitPlaybackChannels(PlaybackView* view) {
    if (view == nullptr)
        return -1;
    for (int i = 0; i < PLAYBACK_CHANNEL_COUNT; ++i) {
        ScreenSlot& slot = g_playbackChannels[i];
        ClearPlaybackSlot(slot);
        InitPlaybackOsd(i);
        MakeOrEmptyQueue(slot.videoQueue, PLAYBACK_VIDEO_QUEUE_NODES);
        MakeOrEmptyQueue(slot.audioQueue, PLAYBACK_AUDIO_QUEUE_NODES);
        if (!slot.videoQueue || !slot.audioQueue)
            return -1;
        slot.decoder.reset(new (std::nothrow) VideoDecoder());
        slot.overlayKey = new (std::nothrow) OverlayKeyColor(MakeOverlayKeyColor());
        if (!slot.decoder || slot.overlayKey == nullptr)
            return -1;
    }
    g_playbackRenderer.reset(new (std::nothrow) VideoRenderer(g_systemSettings.EnableRGB));
    if (!g_playbackRenderer)
        return -1;
    if (ReplaceAudioPlayer(view->audio, LiveAudioFormat{1, 8000, 16}, view->m_hWnd.load()) != 0)
        return -1;
    g_playbackDialog.store(view);
    g_engineUp.store(true);
    return 0;
}

void FreePlaybackChannels() {
    g_engineUp.store(false);
    PlaybackView* view = g_playbackDialog.exchange(nullptr);
    for (ScreenSlot& slot : g_playbackChannels) {
        MakeOrEmptyQueue(slot.videoQueue, PLAYBACK_VIDEO_QUEUE_NODES);
        MakeOrEmptyQueue(slot.audioQueue, PLAYBACK_AUDIO_QUEUE_NODES);
        ClearPlaybackSlot(slot);
    }
    g_playbackRenderer.reset();
    if (view != nullptr)
        FreeAudioOutput(view->audio);
}

HWND PlaybackDialogWindow() {
    PlaybackView* view = g_playbackDialog.load();
    return view != nullptr ? view->m_hWnd.load() : nullptr;
}

FrameQueue* PlaybackSlotQueue(int screen, bool video) {
    if (!g_engineUp.load() || screen < 0 || screen >= PLAYBACK_CHANNEL_COUNT)
        return nullptr;
    ScreenSlot& slot = g_playbackChannels[screen];
    return video ? slot.videoQueue.get() : slot.audioQueue.get();
}

void StorePlaybackState(int window, const int32_t values[6]) {
    if (window < 0 || window >= PLAYBACK_CHANNEL_COUNT || values == nullptr)
        return;
    ScreenSlot& slot = g_playbackChannels[window];
    std::lock_guard<std::mutex> guard(slot.lock);
    slot.playState = values[0];
    slot.playSpeed = values[1];
    slot.playBegin = values[2];
    slot.playDuration = values[3];
    slot.playPosition = values[4];
    slot.playDayStart = values[5];
}

uint32_t StopDevicePlayback(DVRDevice* device) {
    uint32_t stopped = 0;
    if (device == nullptr)
        return stopped;
    for (int window = 0; window < PLAYBACK_CHANNEL_COUNT; ++window) {
        ScreenSlot& slot = g_playbackChannels[window];
        std::lock_guard<std::mutex> guard(slot.lock);
        if (slot.device != device || slot.playState == PLAYBACK_STATE_IDLE ||
            slot.playState == PLAYBACK_STATE_STOPPED)
            continue;
        slot.playState = PLAYBACK_STATE_STOPPED;
        stopped |= 1u << window;
    }
    return stopped;
}

namespace {

struct SpeedState {
    int lastPassed = 0;
};

void DecodePlaybackVideo(int screen, ScreenSlot& slot, VideoState& state, SpeedState& speed,
                         const FrameNode* node) {
    int code = 0;
    {
        std::lock_guard<std::mutex> guard(slot.lock);
        code = slot.playSpeed;
    }
    AVFrame* frame = nullptr;
    int width = 0, height = 0;
    if (!DecodeVideoNode(slot, state, node, &frame, &width, &height))
        return;
    uint8_t* picture = state.picture.Holding(width, height);
    if (picture == nullptr)
        return;
    ImgCopyStridedI420(picture, frame->data[0], frame->linesize[0], frame->data[1], frame->linesize[1],
                       frame->data[2], frame->linesize[2], width, height);
    // A speed code goes with the picture when it differs from the one passed last; the label made from it
    // stays on the slot until the next change.
    int passed = code != speed.lastPassed ? code : 0;
    speed.lastPassed = passed;
    PresentPlaybackFrame(screen, picture, I420Size(width, height), width, height, passed);
}

void PlayPlaybackNode(int screen, AudioState& state, const FrameNode* node) {
    AudioPacket packet;
    if (TakeAudioNode(state, node, &packet))
        PlayPlaybackAudio(state.header.channels, screen, packet.data, packet.length, state.header.sampleRate,
                          state.header.bitsPerSample);
}

}  // namespace

unsigned PlaybackThread(void* arg) {
    int screen = static_cast<int>(reinterpret_cast<intptr_t>(arg));
    if (screen < 0 || screen >= PLAYBACK_CHANNEL_COUNT)
        return static_cast<unsigned>(-1);
    ScreenSlot& slot = g_playbackChannels[screen];
    FrameQueue* videoQueue = slot.videoQueue.get();
    FrameQueue* audioQueue = slot.audioQueue.get();
    if (!slot.decoder || videoQueue == nullptr || audioQueue == nullptr)
        return static_cast<unsigned>(-1);
    VideoState video;
    AudioState audio;
    SpeedState speed;
    RunSlotLoop(
        videoQueue, audioQueue,
        [&](const FrameNode* node) { DecodePlaybackVideo(screen, slot, video, speed, node); },
        [&](const FrameNode* node) { PlayPlaybackNode(screen, audio, node); });
    return 0;
}

int PresentPlaybackFrame(int screen, uint8_t* picture, uint32_t bytes, int width, int height, int speedCode) {
    if (picture == nullptr || screen < 0 || screen >= PLAYBACK_CHANNEL_COUNT)
        return 0;
    ScreenSlot& slot = g_playbackChannels[screen];
    if (bytes < I420Size(width, height))
        return 0;
    char16_t label[16];
    if (speedCode != 0 && FormatSpeedLabel(speedCode, label, 16)) {
        // A label that cannot be rendered leaves the previous one.
        (void)RenderOverlayTextI420(&slot.osdImage, &slot.osdImageWidth, &slot.osdImageHeight, slot.osdColor,
                                    label, &slot.osdFont);
    }
    if (slot.osdImage != nullptr && slot.overlayKey != nullptr) {
        (void)BlendOverlayI420(slot.osdCorner, slot.overlayKey, picture, width, height, slot.osdImage,
                               slot.osdImageWidth, slot.osdImageHeight, slot.osdOffsetX, slot.osdOffsetY);
    }
    // The copy is taken after the label is drawn, so a snapshot shows the speed it was played at.
    RefreshLastFrame(slot, ContiguousI420(picture, width, height), width, height);
    PlaybackView* view = g_playbackDialog.load();
    VideoRenderer* renderer = g_playbackRenderer.get();
    if (view != nullptr && renderer != nullptr && view->m_bScreenShown[screen].load()) {
        renderer->RenderFrame(width, height, screen, picture, view->ScreenRect(screen),
                              screen == view->m_nCurScreen.load());
    }
    return 0;
}

int PlayPlaybackAudio(int channels, int screen, const uint8_t* data, uint32_t length, uint32_t sampleRate,
                      int bitsPerSample) {
    PlaybackView* view = g_playbackDialog.load();
    if (view == nullptr || screen != view->m_nCurScreen.load())
        return 0;
    LiveAudioFormat format{static_cast<uint16_t>(channels), sampleRate, static_cast<uint16_t>(bitsPerSample)};
    int32_t volume = LiveVolume(view->m_nVolumePos.load(), view->m_bMuted.load());
    return PlayAudioPacket(view->audio, data, length, format, view->m_hWnd.load(), volume);
}
