#include "media/decode_thread.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <cstdlib>

#include "dvr/dvr_device.h"
#include "dvr/stream_headers.h"
#include "media/audio_output.h"
#include "media/heap_buffer.h"
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

// Header sizes beyond this are not used to size the picture buffer; the decoder's own size still is.
constexpr int kMaxHeaderSide = 8192;

// The thread's contiguous I420 picture; resized with the picture size.
class PictureBuffer {
public:
    void Resize(int width, int height) {
        m_buffer.Resize(width > 0 && height > 0 ? I420Size(width, height) : 0);
    }
    uint8_t* Holding(int width, int height) const {
        return m_buffer.data() != nullptr && m_buffer.size() >= I420Size(width, height) ? m_buffer.data()
                                                                                        : nullptr;
    }

private:
    HeapBuffer m_buffer;
};

bool SaneSize(int width, int height) {
    return width > 0 && height > 0 && width <= kMaxHeaderSide && height <= kMaxHeaderSide;
}

int DisplaySlotPicture(int index, const I420Source& source, uint8_t* picture, int width, int height);

struct VideoState {
    VideoStreamHeader header{};
    bool decoderOpen = false;
    PictureBuffer picture;
};

void SetDecodedSize(ScreenSlot& slot, VideoState& state, int width, int height) {
    slot.decodedWidth.store(width);
    slot.decodedHeight.store(height);
    if (SaneSize(width, height))
        state.picture.Resize(width, height);
}

void TakeVideoHeader(ScreenSlot& slot, VideoState& state, const FrameBuffer* block) {
    VideoStreamHeader next = state.header;
    ApplyStreamHeaderBlock(&next, block->data, block->length);
    if (next.width != state.header.width || next.height != state.header.height)
        SetDecodedSize(slot, state, next.width, next.height);
    if (next.codecType != state.header.codecType)
        state.decoderOpen = false;
    state.header = next;
    if (!state.decoderOpen) {
        slot.decoder->Close();
        state.decoderOpen = slot.decoder->Open(DecoderCodecId(state.header.codecType)) == 0;
    }
}

void DecodeVideoNode(int index, ScreenSlot& slot, VideoState& state, const FrameNode* node) {
    if (node->header != nullptr && node->header->length > 0)
        TakeVideoHeader(slot, state, node->header);
    if (!state.decoderOpen || node->payload == nullptr)
        return;
    AVFrame* frame = nullptr;
    int width = 0, height = 0;
    if (slot.decoder->Decode(node->payload->data, static_cast<int>(node->payload->length), &frame, &width,
                             &height) != 0)
        return;
    if (width != state.header.width || height != state.header.height) {
        state.header.width = width;
        state.header.height = height;
        SetDecodedSize(slot, state, width, height);
    }
    if (!SaneSize(width, height))
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

struct AudioState {
    AudioStreamHeader header{};
    bool haveHeader = false;
};

void PlayAudioNode(int index, AudioState& state, const FrameNode* node) {
    if (node->header != nullptr && node->header->length > 0) {
        ApplyStreamHeaderBlock(&state.header, node->header->data, node->header->length);
        state.haveHeader = true;
    }
    if (!state.haveHeader)
        return;  // audio before its first header is dropped
    const uint8_t* data = node->payload != nullptr ? node->payload->data : nullptr;
    uint32_t length = node->payload != nullptr ? node->payload->length : 0;
    PlaySlotAudio(index, data, length, state.header.channels, state.header.sampleRate,
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
    // A turn handles at most one video and one audio packet. The thread sleeps only after a turn that
    // found both queues empty, so a backlog is worked off without pauses.
    bool idle = false;
    PrepareFrameWait(videoQueue, grid ? audioQueue : nullptr);
    for (;;) {
        if (idle)
            WaitForFrames(videoQueue, grid ? audioQueue : nullptr, -1);
        if (QuitRequested(0))
            break;
        idle = true;
        FrameNode* node = nullptr;
        if (videoQueue->PopReady(&node) == 0) {
            idle = false;
            DecodeVideoNode(index, slot, video, node);
            videoQueue->ReleaseNode(node);
        }
        if (grid && audioQueue->PopReady(&node) == 0) {
            idle = false;
            PlayAudioNode(index, audio, node);
            audioQueue->ReleaseNode(node);
        }
    }
    return 0;
}

namespace {
// Refreshes the latest-frame copy of a grid slot once a wall-clock second.
void RefreshLastFrame(ScreenSlot& slot, const I420Source& source, int width, int height) {
    int32_t now = static_cast<int32_t>(LastFrameClockNow());
    std::lock_guard<std::mutex> guard(slot.lastFrameLock);
    if (now == slot.lastFrameTime)
        return;
    uint32_t bytes = I420Size(width, height);
    if (slot.lastFrameCapacity < bytes) {
        void* grown = std::realloc(slot.lastFrame, bytes);
        if (grown == nullptr) {
            std::free(slot.lastFrame);
            slot.lastFrame = nullptr;
            slot.lastFrameCapacity = 0;
            slot.lastFrameWidth = slot.lastFrameHeight = 0;
            return;
        }
        slot.lastFrame = static_cast<uint8_t*>(grown);
        slot.lastFrameCapacity = bytes;
    }
    if (const uint8_t* picture = ContiguousBuffer(source, width, height)) {
        ImgCopyMem(slot.lastFrame, picture, bytes);
    } else {
        ImgCopyStridedI420(slot.lastFrame, source.plane[0], source.stride[0], source.plane[1],
                           source.stride[1], source.plane[2], source.stride[2], width, height);
    }
    slot.lastFrameWidth = width;
    slot.lastFrameHeight = height;
    slot.lastFrameTime = now;
}

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
