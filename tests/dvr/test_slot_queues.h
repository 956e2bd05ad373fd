#pragma once

// Real frame queues for the slots that frame-parser tests use, installed as the slot queue provider.

#include <map>
#include <memory>
#include <string>
#include <utility>

#include "dvr/slot_queues.h"

class TestSlotQueues {
public:
    TestSlotQueues() {
        current_ = this;
        SetSlotQueueProvider(Provide);
    }
    ~TestSlotQueues() {
        SetSlotQueueProvider(nullptr);
        current_ = nullptr;
    }
    // Creates the queue of a slot (before frames flow).
    FrameQueue* Add(int slot, SlotQueueKind kind, int nodes) {
        auto& queue = queues_[{slot, kind}];
        queue = std::make_unique<FrameQueue>();
        queue->Init(nodes);
        return queue.get();
    }
    // Pops every ready frame: (header, payload) pairs.
    static std::vector<std::pair<std::string, std::string>> Drain(FrameQueue* queue) {
        std::vector<std::pair<std::string, std::string>> frames;
        FrameNode* node = nullptr;
        while (queue->PopReady(&node) == 0) {
            auto text = [](FrameBuffer* b) {
                return b != nullptr && b->length > 0
                           ? std::string(reinterpret_cast<char*>(b->data), b->length)
                           : std::string();
            };
            frames.emplace_back(text(node->header), text(node->payload));
            queue->ReleaseNode(node);
        }
        return frames;
    }

private:
    static FrameQueue* Provide(int slot, SlotQueueKind kind) {
        auto found = current_->queues_.find({slot, kind});
        return found != current_->queues_.end() ? found->second.get() : nullptr;
    }
    static inline TestSlotQueues* current_ = nullptr;
    std::map<std::pair<int, SlotQueueKind>, std::unique_ptr<FrameQueue>> queues_;
};
