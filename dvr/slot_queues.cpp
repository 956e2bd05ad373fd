#include "dvr/slot_queues.h"

#include <atomic>

namespace {
std::atomic<SlotQueueProvider> g_provider{nullptr};
}

void SetSlotQueueProvider(SlotQueueProvider provider) {
    g_provider.store(provider, std::memory_order_release);
}

FrameQueue* GetSlotQueue(int slot, SlotQueueKind kind) {
    SlotQueueProvider provider = g_provider.load(std::memory_order_acquire);
    return provider != nullptr ? provider(slot, kind) : nullptr;
}
