#include "dvr/stream_frame.h"

#include <atomic>
#include <cstring>
#include <mutex>

#include "dvr/dvr_device.h"
#include "dvr/dvr_parsers.h"
#include "dvr/dvr_protocol.h"
#include "dvr/session_hooks.h"
#include "dvr/slot_queues.h"

namespace {

constexpr int kPlaybackWindows = 16;

struct FramePart {
    const uint8_t* ext;
    uint32_t extLength;
    const uint8_t* payload;
    uint32_t payloadLength;
};

int32_t ViewSlot(DVRChannel& channel, int k) {
    return std::atomic_ref<int32_t>(channel.viewSlots[k]).load(std::memory_order_relaxed);
}

// True when flag was set; it is cleared in the same atomic step.
bool TakeFlag(DVRChannel& channel, uint32_t flag) {
    return (channel.flags.fetch_and(~flag) & flag) != 0;
}

// Copies one frame into a free node of queue and pushes it; header (16 bytes) only when given. False when
// there is no queue or no free node.
bool QueueFrame(FrameQueue* queue, const uint8_t* header, uint32_t headerLength, const FramePart& part) {
    FrameNode* node = nullptr;
    if (queue == nullptr || queue->GetFreeNode(&node) != 0)
        return false;
    if (header != nullptr)
        queue->SetNodeHeader(node, headerLength, header);
    queue->SetNodePayload(node, part.payloadLength, part.payload);
    queue->PushReady(node);
    return true;
}

// Takes a node for a consumer that may be owed a header: the header goes along only when the flag was
// set, and the flag is cleared only when the node was had.
void QueueWithPendingHeader(FrameQueue* queue, DVRChannel& channel, uint32_t flag, const uint8_t* header,
                            const FramePart& part) {
    FrameNode* node = nullptr;
    if (queue == nullptr || queue->GetFreeNode(&node) != 0)
        return;
    if (TakeFlag(channel, flag))
        queue->SetNodeHeader(node, STREAM_HEADER_MAX, header);
    queue->SetNodePayload(node, part.payloadLength, part.payload);
    queue->PushReady(node);
}

void LiveVideo(DVRChannel& channel, const FramePart& part) {
    {
        std::lock_guard<std::mutex> guard(channel.lock);
        channel.frameAge = 0;
    }
    for (int k = 0; k < 4; ++k) {
        int32_t slot = ViewSlot(channel, k);
        if (slot == -1)
            continue;
        QueueWithPendingHeader(GetSlotQueue(slot, SLOT_QUEUE_VIDEO), channel,
                               k == 0 ? CHANNEL_FLAG_VIDEO_HEADER_VIEW : CHANNEL_FLAG_VIDEO_HEADER_PREVIEW,
                               channel.videoHeader, part);
    }
    uint32_t flags;
    {
        std::lock_guard<std::mutex> guard(channel.lock);
        flags = channel.flags.load();
    }
    int32_t gridSlot = ViewSlot(channel, 0);
    FrameQueue* recordQueue = gridSlot != -1 ? GetSlotQueue(gridSlot, SLOT_QUEUE_RECORD_VIDEO) : nullptr;
    if ((flags & CHANNEL_FLAG_RECORD_WANTED) != 0) {
        FrameNode* node = nullptr;
        if (recordQueue == nullptr || recordQueue->GetFreeNode(&node) != 0)
            return;
        channel.flags.fetch_or(CHANNEL_FLAG_RECORDING);
        if (TakeFlag(channel, CHANNEL_FLAG_VIDEO_HEADER_RECORD))
            recordQueue->SetNodeHeader(node, STREAM_HEADER_MAX, channel.videoHeader);
        recordQueue->SetNodePayload(node, part.payloadLength, part.payload);
        recordQueue->PushReady(node);
        return;
    }
    if (TakeFlag(channel, CHANNEL_FLAG_RECORDING) && recordQueue != nullptr) {
        // The end marker that closes the record file.
        FrameNode* node = nullptr;
        if (recordQueue->GetFreeNode(&node) == 0)
            recordQueue->PushReady(node);
    }
}

void LiveAudio(DVRChannel& channel, const FramePart& part) {
    int32_t gridSlot = ViewSlot(channel, 0);
    if (gridSlot == -1)
        return;
    QueueWithPendingHeader(GetSlotQueue(gridSlot, SLOT_QUEUE_AUDIO), channel, CHANNEL_FLAG_AUDIO_HEADER_VIEW,
                           channel.audioHeader, part);
    bool recording;
    {
        std::lock_guard<std::mutex> guard(channel.lock);
        recording = (channel.flags.load() & CHANNEL_FLAG_RECORDING) != 0;
    }
    if (recording)
        QueueWithPendingHeader(GetSlotQueue(gridSlot, SLOT_QUEUE_RECORD_AUDIO), channel,
                               CHANNEL_FLAG_AUDIO_HEADER_RECORD, channel.audioHeader, part);
}

void StoreHeader(DVRChannel& channel, bool video, const FramePart& part) {
    uint32_t length = part.extLength < STREAM_HEADER_MAX ? part.extLength : STREAM_HEADER_MAX;
    if (video) {
        std::memcpy(channel.videoHeader, part.ext, length);
        channel.flags.fetch_or(CHANNEL_FLAG_VIDEO_HEADER_RECORD | CHANNEL_FLAG_VIDEO_HEADER_VIEW |
                               CHANNEL_FLAG_VIDEO_HEADER_PREVIEW);
    } else {
        std::memcpy(channel.audioHeader, part.ext, length);
        channel.flags.fetch_or(CHANNEL_FLAG_AUDIO_HEADER_RECORD | CHANNEL_FLAG_AUDIO_HEADER_VIEW |
                               CHANNEL_FLAG_AUDIO_HEADER_PREVIEW);
    }
}

}  // namespace

int ParseStreamFrame(int frameLength, DVRDevice* device, HWND mainWindow, int connectionType,
                     const uint8_t* frame) {
    if (device == nullptr || frame == nullptr || frameLength < STREAM_FRAME_OVERHEAD)
        return -1;
    StreamFrameHeader header;
    std::memcpy(&header, frame, sizeof header);
    uint32_t ext = header.extLength & 0xFF;
    if ((header.flags & 0xFF) != STREAM_MAGIC ||
        frameLength < STREAM_FRAME_OVERHEAD + static_cast<int>(ext) ||
        static_cast<int64_t>(frameLength) - ext - STREAM_FRAME_OVERHEAD != header.payloadLength)
        return -1;
    FramePart part{frame + 16, ext, frame + 16 + ext, header.payloadLength};
    bool video = (header.flags & STREAM_FLAG_VIDEO) != 0;

    if ((header.flags & STREAM_FLAG_TEXT) != 0) {
        DispatchDvrMessage(reinterpret_cast<const char*>(part.payload), device, mainWindow,
                           static_cast<int>(part.payloadLength));
        return 0;
    }
    if (connectionType == CONN_LIVE) {
        if (header.channel < 0 || header.channel >= device->channelCount.load(std::memory_order_acquire))
            return -1;
        DVRChannel& channel = device->channels[header.channel];
        if (ext != 0) {
            StoreHeader(channel, video, part);
        } else if (video) {
            LiveVideo(channel, part);
        } else {
            LiveAudio(channel, part);
        }
        return 0;
    }
    if (connectionType == CONN_PLAYBACK) {
        const DvrSessionHooks& hooks = GetDvrSessionHooks();
        if (hooks.playbackOpen == nullptr || !hooks.playbackOpen() || header.channel < 0 ||
            header.channel >= kPlaybackWindows)
            return -1;
        FrameQueue* queue =
            GetSlotQueue(header.channel, video ? SLOT_QUEUE_PLAYBACK_VIDEO : SLOT_QUEUE_PLAYBACK_AUDIO);
        uint32_t headerLength = ext < STREAM_HEADER_MAX ? ext : STREAM_HEADER_MAX;
        QueueFrame(queue, ext != 0 ? part.ext : nullptr, headerLength, part);
        return 0;
    }
    return 0;
}
