#pragma once

// A fixed pool of frame nodes moved between a free list and a ready list under one lock. Producers take a
// free node or drop the frame (the queue never blocks and never grows); consumers pop the oldest ready
// node and give it back. A node's buffers only grow, so no allocation happens per frame once they have
// reached the largest frame seen. A released node goes to the head of the free list (the next one taken),
// so the nodes in use stay few. A consumer that waits for frames polls ReadyFd(): it becomes readable when
// a node is pushed into the empty ready list.

#include <atomic>
#include <cstdint>
#include <mutex>

#include "dvr/frame_doorbell.h"
#include "platform/system/wake_signal.h"

constexpr int LIVE_VIDEO_QUEUE_NODES = 90;
constexpr int LIVE_AUDIO_QUEUE_NODES = 3;
constexpr int PLAYBACK_VIDEO_QUEUE_NODES = 180;
constexpr int PLAYBACK_AUDIO_QUEUE_NODES = 6;

struct FrameBuffer {
    uint32_t capacity;
    uint32_t length;
    uint8_t* data;
};

// A node whose payload length is 0 is an end marker (it ends the current record file).
struct FrameNode {
    FrameBuffer* header;
    FrameBuffer* payload;
    FrameNode* next;
};

class FrameQueue {
public:
    FrameQueue() = default;
    ~FrameQueue() { Destroy(); }
    FrameQueue(const FrameQueue&) = delete;
    FrameQueue& operator=(const FrameQueue&) = delete;

    // Empties both lists and creates count nodes on the free list (a node that cannot be allocated is
    // skipped). Returns this queue.
    FrameQueue* Init(int count);
    // Frees every node on both lists. Nodes held by a consumer are not freed: the queue's threads must have
    // ended.
    void Destroy();

    int GetFreeNode(FrameNode** node);
    // Copy length bytes into the node's header or payload buffer; a null node stands for the head of the
    // free list. -1 when no buffer could be had (also for length 0 on a buffer that never held data).
    int SetNodeHeader(FrameNode* node, uint32_t length, const void* bytes);
    int SetNodePayload(FrameNode* node, uint32_t length, const void* bytes);
    int PushReady(FrameNode* node);
    int PopReady(FrameNode** node);
    int ReleaseNode(FrameNode* node);

    // For the one consumer: the descriptor to wait on (made on the first call; -1 when none can be made).
    // The consumer clears the signal, then pops until the ready list is empty, and only then waits.
    int ReadyFd();
    void ClearReadySignal();
    // Wakes the consumer without a frame, to look at what it serves (it finds the ready list as it is).
    void WakeConsumer();
    // A consumer that waits on a doorbell instead of the descriptor: pushes ring it (null: the descriptor
    // again). Set before the first push the consumer waits for.
    void UseDoorbell(FrameDoorbell* doorbell) { m_doorbell.store(doorbell); }

    FrameNode* freeHead = nullptr;
    FrameNode* readyHead = nullptr;
    int32_t nodeCount = 0;
    std::mutex lock;
    FrameNode* freeTail = nullptr;
    FrameNode* readyTail = nullptr;

private:
    int CopyInto(FrameBuffer** slot, uint32_t length, const void* bytes);
    FrameNode* FreeHeadUnderLock();

    void Wake();

    WakeSignal m_readySignal;
    std::atomic<FrameDoorbell*> m_doorbell{nullptr};
};
