// The frame queue: a fixed pool of nodes between a free and a ready list.

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "dvr/frame_queue.h"

namespace {

int Push(FrameQueue& queue, const std::string& payload, const std::string& header = {}) {
    FrameNode* node = nullptr;
    if (queue.GetFreeNode(&node) != 0)
        return -1;
    if (!header.empty())
        queue.SetNodeHeader(node, static_cast<uint32_t>(header.size()), header.data());
    queue.SetNodePayload(node, static_cast<uint32_t>(payload.size()), payload.data());
    return queue.PushReady(node);
}

TEST(FrameQueue, HoldsAtMostItsNodesInOrder) {
    FrameQueue queue;
    queue.Init(3);
    EXPECT_EQ(queue.nodeCount, 3);
    for (const char* payload : {"a", "bb", "ccc"})
        EXPECT_EQ(Push(queue, payload), 0);
    EXPECT_EQ(Push(queue, "dropped"), -1);
    FrameNode* node = nullptr;
    ASSERT_EQ(queue.PopReady(&node), 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(node->payload->data), node->payload->length), "a");
    queue.ReleaseNode(node);
    EXPECT_EQ(Push(queue, "d"), 0);
    std::string order;
    while (queue.PopReady(&node) == 0) {
        order.append(reinterpret_cast<char*>(node->payload->data), node->payload->length);
        order += ',';
        queue.ReleaseNode(node);
    }
    EXPECT_EQ(order, "bb,ccc,d,");
    EXPECT_EQ(queue.readyHead, nullptr);
    EXPECT_EQ(queue.readyTail, nullptr);
}

TEST(FrameQueue, EmptyListsGiveMinusOneAndChangeNothing) {
    FrameQueue queue;
    queue.Init(1);
    FrameNode* node = nullptr;
    EXPECT_EQ(queue.PopReady(&node), -1);
    ASSERT_EQ(queue.GetFreeNode(&node), 0);
    FrameNode* other = nullptr;
    EXPECT_EQ(queue.GetFreeNode(&other), -1);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(queue.SetNodePayload(nullptr, 1, "x"), -1);  // null node: the free head, which is empty
    queue.ReleaseNode(node);
    EXPECT_EQ(queue.freeHead, node);
    EXPECT_EQ(queue.freeTail, node);
}

TEST(FrameQueue, BuffersGrowAndAreReusedWithFreshLengths) {
    FrameQueue queue;
    queue.Init(1);
    ASSERT_EQ(Push(queue, std::string(1000, 'x'), "HEADER0123456789"), 0);
    FrameNode* node = nullptr;
    ASSERT_EQ(queue.PopReady(&node), 0);
    EXPECT_EQ(node->header->length, 16u);
    queue.ReleaseNode(node);
    // Reused for a smaller frame without a header: capacity kept, lengths new.
    ASSERT_EQ(Push(queue, "tiny"), 0);
    ASSERT_EQ(queue.PopReady(&node), 0);
    EXPECT_EQ(node->payload->capacity, 1000u);
    EXPECT_EQ(node->payload->length, 4u);
    EXPECT_EQ(node->header->length, 0u);
    queue.ReleaseNode(node);
}

TEST(FrameQueue, EndMarkerOnAFreshNode) {
    FrameQueue queue;
    queue.Init(1);
    FrameNode* node = nullptr;
    ASSERT_EQ(queue.GetFreeNode(&node), 0);
    EXPECT_EQ(queue.SetNodePayload(node, 0, nullptr), -1);
    ASSERT_NE(node->payload, nullptr);
    EXPECT_EQ(node->payload->length, 0u);
    queue.PushReady(node);
    ASSERT_EQ(queue.PopReady(&node), 0);
    EXPECT_EQ(node->payload->length, 0u);
    queue.ReleaseNode(node);
}

TEST(FrameQueue, OneProducerOneConsumer) {
    FrameQueue queue;
    queue.Init(8);
    constexpr int kFrames = 20000;
    std::atomic<bool> done{false};
    int received = 0;
    int last = -1;
    bool ordered = true;
    std::thread consumer([&] {
        for (;;) {
            // done is read before the pop: when it was set, every push came before it.
            bool finished = done.load();
            FrameNode* node = nullptr;
            if (queue.PopReady(&node) != 0) {
                if (finished)
                    break;
                std::this_thread::yield();
                continue;
            }
            int value = 0;
            std::memcpy(&value, node->payload->data, sizeof value);
            ordered = ordered && value > last;
            last = value;
            ++received;
            queue.ReleaseNode(node);
        }
    });
    int sent = 0;
    for (int i = 0; i < kFrames; ++i) {
        FrameNode* node = nullptr;
        if (queue.GetFreeNode(&node) != 0)
            continue;
        queue.SetNodePayload(node, sizeof i, &i);
        queue.PushReady(node);
        ++sent;
    }
    done = true;
    consumer.join();
    EXPECT_EQ(received, sent);
    EXPECT_TRUE(ordered);
}

}  // namespace
