#include "dvr/frame_queue.h"

#include <cstdlib>
#include <cstring>

namespace {

void FreeBuffer(FrameBuffer* buffer) {
    if (buffer == nullptr)
        return;
    std::free(buffer->data);
    std::free(buffer);
}

void FreeList(FrameNode* node) {
    while (node != nullptr) {
        FrameNode* next = node->next;
        FreeBuffer(node->header);
        FreeBuffer(node->payload);
        std::free(node);
        node = next;
    }
}

void Append(FrameNode** head, FrameNode** tail, FrameNode* node) {
    node->next = nullptr;
    if (*tail != nullptr) {
        (*tail)->next = node;
    } else {
        *head = node;
    }
    *tail = node;
}

FrameNode* TakeHead(FrameNode** head, FrameNode** tail) {
    FrameNode* node = *head;
    if (node == nullptr)
        return nullptr;
    *head = node->next;
    if (*head == nullptr)
        *tail = nullptr;
    node->next = nullptr;
    return node;
}

}  // namespace

FrameQueue* FrameQueue::Init(int count) {
    Destroy();
    for (int i = 0; i < count; ++i) {
        auto* node = static_cast<FrameNode*>(std::calloc(1, sizeof(FrameNode)));
        if (node == nullptr)
            continue;
        Append(&freeHead, &freeTail, node);
        ++nodeCount;
    }
    return this;
}

void FrameQueue::Destroy() {
    FreeList(freeHead);
    FreeList(readyHead);
    freeHead = freeTail = readyHead = readyTail = nullptr;
    nodeCount = 0;
}

int FrameQueue::GetFreeNode(FrameNode** node) {
    if (node == nullptr)
        return -1;
    FrameNode* taken = nullptr;
    {
        std::lock_guard<std::mutex> guard(lock);
        taken = TakeHead(&freeHead, &freeTail);
    }
    if (taken == nullptr)
        return -1;
    if (taken->header != nullptr)
        taken->header->length = 0;
    if (taken->payload != nullptr)
        taken->payload->length = 0;
    *node = taken;
    return 0;
}

FrameNode* FrameQueue::FreeHeadUnderLock() {
    std::lock_guard<std::mutex> guard(lock);
    return freeHead;
}

int FrameQueue::CopyInto(FrameBuffer** slot, uint32_t length, const void* bytes) {
    if (*slot == nullptr) {
        *slot = static_cast<FrameBuffer*>(std::calloc(1, sizeof(FrameBuffer)));
        if (*slot == nullptr)
            return -1;
    }
    FrameBuffer* buffer = *slot;
    if (buffer->capacity < length) {
        void* grown = std::realloc(buffer->data, length);
        if (grown == nullptr) {
            std::free(buffer->data);
            buffer->data = nullptr;
            buffer->capacity = 0;
            buffer->length = 0;
        } else {
            buffer->data = static_cast<uint8_t*>(grown);
            buffer->capacity = length;
        }
    }
    if (buffer->data == nullptr)
        return -1;
    buffer->length = length;
    if (length > 0 && bytes != nullptr)
        std::memcpy(buffer->data, bytes, length);
    return 0;
}

int FrameQueue::SetNodeHeader(FrameNode* node, uint32_t length, const void* bytes) {
    if (node == nullptr)
        node = FreeHeadUnderLock();
    if (node == nullptr)
        return -1;
    return CopyInto(&node->header, length, bytes);
}

int FrameQueue::SetNodePayload(FrameNode* node, uint32_t length, const void* bytes) {
    if (node == nullptr)
        node = FreeHeadUnderLock();
    if (node == nullptr)
        return -1;
    return CopyInto(&node->payload, length, bytes);
}

int FrameQueue::PushReady(FrameNode* node) {
    if (node == nullptr)
        return -1;
    bool wasEmpty = false;
    {
        std::lock_guard<std::mutex> guard(lock);
        wasEmpty = readyHead == nullptr;
        Append(&readyHead, &readyTail, node);
    }
    // The consumer empties the ready list before it waits, so only a push into an empty list must wake it.
    if (wasEmpty)
        Wake();
    return 0;
}

void FrameQueue::Wake() {
    if (FrameDoorbell* doorbell = m_doorbell.load())
        doorbell->Ring();
    else
        m_readySignal.Raise();
}

int FrameQueue::ReadyFd() {
    return m_readySignal.Fd();
}

void FrameQueue::ClearReadySignal() {
    m_readySignal.Clear();
}

void FrameQueue::WakeConsumer() {
    Wake();
}

int FrameQueue::PopReady(FrameNode** node) {
    if (node == nullptr)
        return -1;
    std::lock_guard<std::mutex> guard(lock);
    FrameNode* taken = TakeHead(&readyHead, &readyTail);
    if (taken == nullptr)
        return -1;
    *node = taken;
    return 0;
}

int FrameQueue::ReleaseNode(FrameNode* node) {
    if (node == nullptr)
        return -1;
    // A released node goes to the head of the free list, so the producer takes it next: the few nodes in
    // use keep their buffers warm, and the others never grow.
    std::lock_guard<std::mutex> guard(lock);
    node->next = freeHead;
    freeHead = node;
    if (freeTail == nullptr)
        freeTail = node;
    return 0;
}
