#pragma once

// The steps that the live decode threads and the playback threads share: the loop with its wait between
// turns (thread_wait), the video header and decoder reopen, the decoded-size bookkeeping, the audio header
// and the latest-frame copy of a slot.

#include <cstdint>

#include "dvr/frame_queue.h"
#include "dvr/stream_headers.h"
#include "media/heap_buffer.h"
#include "media/i420_source.h"
#include "media/thread_wait.h"

struct ScreenSlot;
struct AVFrame;

// A thread's contiguous I420 picture; resized with the picture size.
class PictureBuffer {
public:
    void Resize(int width, int height);
    // The buffer when it holds a width x height picture, else null.
    uint8_t* Holding(int width, int height) const;

private:
    HeapBuffer m_buffer;
};

// What a thread knows of its slot's video stream.
struct VideoState {
    VideoStreamHeader header{};
    bool decoderOpen = false;
    PictureBuffer picture;
};

// Takes a node's header block (when it has one) and decodes its payload with the slot's decoder. True
// when a picture of a usable size came out: *frame, *width and *height describe it (the decoder's).
bool DecodeVideoNode(ScreenSlot& slot, VideoState& state, const FrameNode* node, AVFrame** frame, int* width,
                     int* height);

// What a thread knows of its slot's audio stream: packets before the first header are dropped.
struct AudioState {
    AudioStreamHeader header{};
    bool haveHeader = false;
};
// A node's payload (null and 0 for an empty node: it stops the player).
struct AudioPacket {
    const uint8_t* data = nullptr;
    uint32_t length = 0;
};
// Takes a node's header block; true when the node's payload (into *packet) is to be played with
// state.header.
bool TakeAudioNode(AudioState& state, const FrameNode* node, AudioPacket* packet);

// Refreshes the slot's latest-frame copy once a wall-clock second (under its lastFrameLock). A copy that
// cannot grow leaves no copy.
void RefreshLastFrame(ScreenSlot& slot, const I420Source& source, int width, int height);

// The loop of a slot's thread until WM_QUIT: a turn hands at most one video node to onVideo and one audio
// node to onAudio (audioQueue may be null: no audio); the thread sleeps only after a turn that found both
// queues empty, so a backlog is worked off without pauses. With a doorbell the thread sleeps on it (its
// stopper rings it after posting WM_QUIT), else on the queues' descriptors and its message queue.
template <typename OnVideo, typename OnAudio>
void RunSlotLoop(FrameQueue* videoQueue, FrameQueue* audioQueue, OnVideo onVideo, OnAudio onAudio,
                 FrameDoorbell* doorbell = nullptr) {
    bool idle = false;
    if (doorbell != nullptr) {
        videoQueue->UseDoorbell(doorbell);
        if (audioQueue != nullptr)
            audioQueue->UseDoorbell(doorbell);
    } else {
        PrepareFrameWait(videoQueue, audioQueue);
    }
    for (;;) {
        if (idle && doorbell != nullptr)
            doorbell->Wait();
        else if (idle)
            WaitForFrames(videoQueue, audioQueue, -1);
        if (QuitRequested(0))
            break;
        idle = true;
        FrameNode* node = nullptr;
        if (videoQueue->PopReady(&node) == 0) {
            idle = false;
            onVideo(node);
            videoQueue->ReleaseNode(node);
        }
        if (audioQueue != nullptr && audioQueue->PopReady(&node) == 0) {
            idle = false;
            onAudio(node);
            audioQueue->ReleaseNode(node);
        }
    }
}
