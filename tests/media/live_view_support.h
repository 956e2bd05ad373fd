#pragma once

// What the screen grid does to put a DVR's channel on a live slot, for suites that run sessions against
// the simulated DVR: the slot takes the pair under its lock, the channel names the slot, and the first
// viewer asks the DVR for the stream.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "dvr/device_tree_node.h"
#include "dvr/dvr_protocol.h"
#include "dvr/dvr_session.h"
#include "media/screen_slot.h"

namespace live_view {

inline int ShowChannel(DVRDevice* device, int channel, int slot) {
    if (device == nullptr || channel < 0 || channel >= device->channelCount.load() || slot < 0 ||
        slot >= SCREEN_SLOT_COUNT)
        return -1;
    if (AssignSlotChannel(slot, device, channel) != 0)
        return -1;
    DVRChannel& c = device->channels[channel];
    std::lock_guard<std::mutex> guard(c.lock);
    std::atomic_ref<int32_t>(c.viewSlots[slot < GRID_SCREEN_COUNT ? 0 : slot - 63]).store(slot);
    if ((c.flags.load() & CHANNEL_FLAG_STREAM_CLOSED) != 0) {
        SendOpenStream(device, channel);
        c.flags.fetch_and(~CHANNEL_FLAG_STREAM_CLOSED);
    }
    return 0;
}

// A DVR node on 127.0.0.1 at port, user "admin" without a password (the caller frees it with free()).
inline DeviceTreeNode* MakeDvrNode(int id, uint16_t port) {
    auto* node = static_cast<DeviceTreeNode*>(std::calloc(1, sizeof(DeviceTreeNode)));
    node->type = NODE_DVR;
    node->id = id;
    std::memcpy(node->name, u"DVR", sizeof(u"DVR"));
    std::memcpy(node->host, u"127.0.0.1", sizeof(u"127.0.0.1"));
    node->port = port;
    std::memcpy(node->user, u"admin", sizeof(u"admin"));
    return node;
}

// A started session of the node, on the device list.
inline DVRDevice* StartSession(DeviceTreeNode* node) {
    auto* device = new DVRDevice();
    device->node = node;
    EXPECT_EQ(StartDeviceSession(device), 0);
    AppendDevice(device);
    return device;
}

constexpr uint32_t kOnline = DEVICE_FLAG_HELLO | DEVICE_FLAG_LOGGED_IN | DEVICE_FLAG_LIVE_BOUND |
                             DEVICE_FLAG_PLAYBACK_BOUND | DEVICE_FLAG_CHANNELS | DEVICE_FLAG_SYSTEM_PARAMS;

inline bool IsOnline(const DVRDevice* device) {
    return (device->flags.load() & kOnline) == kOnline;
}

}  // namespace live_view
