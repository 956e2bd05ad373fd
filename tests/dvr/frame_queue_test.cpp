// The frame queue: a fixed pool of nodes between a free and a ready list.

#include <gtest/gtest.h>

#include <poll.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
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

TEST(FrameQueue, ReleasedNodesAreTakenNextSoOnlyTheNodesInUseGrow) {
    FrameQueue queue;
    queue.Init(4);
    // A consumer that keeps up: each frame is released before the next one comes.
    for (int i = 0; i < 10; ++i) {
        ASSERT_EQ(Push(queue, std::string(100 + i, 'x')), 0);
        FrameNode* node = nullptr;
        ASSERT_EQ(queue.PopReady(&node), 0);
        queue.ReleaseNode(node);
    }
    int grown = 0;
    for (FrameNode* n = queue.freeHead; n != nullptr; n = n->next)
        grown += n->payload != nullptr;
    EXPECT_EQ(grown, 1);
    // Two held nodes released in turn: the last released is taken first, the list stays whole.
    FrameNode* a = nullptr;
    FrameNode* b = nullptr;
    ASSERT_EQ(queue.GetFreeNode(&a), 0);
    ASSERT_EQ(queue.GetFreeNode(&b), 0);
    queue.ReleaseNode(a);
    queue.ReleaseNode(b);
    FrameNode* next = nullptr;
    ASSERT_EQ(queue.GetFreeNode(&next), 0);
    EXPECT_EQ(next, b);
    queue.ReleaseNode(next);
    int free = 0;
    FrameNode* last = nullptr;
    for (FrameNode* n = queue.freeHead; n != nullptr; n = n->next, ++free)
        last = n;
    EXPECT_EQ(free, 4);
    EXPECT_EQ(queue.freeTail, last);
}

bool Readable(int fd) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, 0) == 1;
}

TEST(FrameQueue, APushIntoTheEmptyReadyListRaisesTheConsumersSignal) {
    FrameQueue queue;
    queue.Init(3);
    ASSERT_EQ(Push(queue, "before"), 0);  // before anyone waits: no signal, the consumer pops first
    int fd = queue.ReadyFd();
    ASSERT_GE(fd, 0);
    EXPECT_EQ(queue.ReadyFd(), fd);
    EXPECT_FALSE(Readable(fd));
    FrameNode* node = nullptr;
    ASSERT_EQ(queue.PopReady(&node), 0);
    queue.ReleaseNode(node);
    // The steps of a consumer's turn: the state of the signal after each.
    struct Step {
        const char* what;
        bool readable;
    };
    const Step steps[] = {{"push into empty", true}, {"push behind it", true},
                          {"clear", false},          {"pop", false},
                          {"pop last", false},       {"push into empty", true}};
    for (const Step& step : steps) {
        std::string what = step.what;
        if (what.rfind("push", 0) == 0) {
            ASSERT_EQ(Push(queue, "x"), 0);
        } else if (what == "clear") {
            queue.ClearReadySignal();
        } else {
            ASSERT_EQ(queue.PopReady(&node), 0);
            queue.ReleaseNode(node);
        }
        EXPECT_EQ(Readable(fd), step.readable) << what;
    }
    // A consumer sleeping without a time-out is woken by the push.
    queue.ClearReadySignal();
    ASSERT_EQ(queue.PopReady(&node), 0);
    queue.ReleaseNode(node);
    std::thread producer([&] { Push(queue, "wake"); });
    pollfd p{fd, POLLIN, 0};
    EXPECT_EQ(poll(&p, 1, 10000), 1);
    producer.join();
}

TEST(FrameDoorbell, ARingBeforeTheWaitEndsItAtOnce) {
    FrameDoorbell bell;
    bell.Ring();
    bell.Ring();
    bell.Wait();  // rung: returns at once, and clears the ring
    bell.Ring();
    bell.Wait();
}

// Every frame is pushed into the empty list of a consumer that sleeps on the doorbell (or is on its way
// to): none is missed, each is taken before the next comes (a lost wake would leave it lying). A consumer
// left asleep by a fault is let go with what it uses (bounded: the test does not wait for it).
TEST(FrameQueue, AConsumerOnADoorbellMissesNoPush) {
    struct Shared {
        FrameQueue queue;
        FrameDoorbell bell;
        std::atomic<int> received{0};
        std::atomic<bool> done{false};
    };
    auto shared = std::make_shared<Shared>();
    shared->queue.Init(4);
    shared->queue.UseDoorbell(&shared->bell);
    constexpr int kFrames = 3000;
    std::thread consumer([shared] {
        while (!shared->done.load()) {
            FrameNode* node = nullptr;
            if (shared->queue.PopReady(&node) != 0) {
                shared->bell.Wait();
                continue;
            }
            ++shared->received;
            shared->queue.ReleaseNode(node);
        }
    });
    bool allTaken = true;
    for (int i = 0; i < kFrames && allTaken; ++i) {
        ASSERT_EQ(Push(shared->queue, "frame"), 0);
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (shared->received.load() <= i && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
        allTaken = shared->received.load() > i;
    }
    EXPECT_TRUE(allTaken) << "frame " << shared->received.load() << " was not taken";
    shared->done = true;
    shared->queue.WakeConsumer();
    if (allTaken)
        consumer.join();
    else
        consumer.detach();
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
