#include "media/decode_steps.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <cstdlib>
#include <mutex>

#include "media/pixel_routines.h"
#include "media/screen_slot.h"
#include "media/video_decoder.h"
#include "platform/system/thread_queue.h"

namespace {

// Header sizes beyond this are not used to size the picture buffer; the decoder's own size still is.
constexpr int kMaxHeaderSide = 8192;

bool SaneSize(int width, int height) {
    return width > 0 && height > 0 && width <= kMaxHeaderSide && height <= kMaxHeaderSide;
}

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

}  // namespace

void PictureBuffer::Resize(int width, int height) {
    m_buffer.Resize(width > 0 && height > 0 ? I420Size(width, height) : 0);
}

uint8_t* PictureBuffer::Holding(int width, int height) const {
    return m_buffer.data() != nullptr && m_buffer.size() >= I420Size(width, height) ? m_buffer.data()
                                                                                    : nullptr;
}

bool DecodeVideoNode(ScreenSlot& slot, VideoState& state, const FrameNode* node, AVFrame** frame, int* width,
                     int* height) {
    if (node->header != nullptr && node->header->length > 0)
        TakeVideoHeader(slot, state, node->header);
    if (!state.decoderOpen || node->payload == nullptr)
        return false;
    if (slot.decoder->Decode(node->payload->data, static_cast<int>(node->payload->length), frame, width,
                             height) != 0)
        return false;
    if (*width != state.header.width || *height != state.header.height) {
        state.header.width = *width;
        state.header.height = *height;
        SetDecodedSize(slot, state, *width, *height);
    }
    return SaneSize(*width, *height);
}

bool TakeAudioNode(AudioState& state, const FrameNode* node, AudioPacket* packet) {
    if (node->header != nullptr && node->header->length > 0) {
        ApplyStreamHeaderBlock(&state.header, node->header->data, node->header->length);
        state.haveHeader = true;
    }
    // Audio before its first header is dropped.
    if (!state.haveHeader)
        return false;
    packet->data = node->payload != nullptr ? node->payload->data : nullptr;
    packet->length = node->payload != nullptr ? node->payload->length : 0;
    return true;
}

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
