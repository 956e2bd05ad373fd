#pragma once

// Helpers of the session benchmarks: DVR nodes on a loopback port and waiting for sessions.

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "dvr/device_tree_node.h"
#include "dvr/dvr_session.h"
#include "tools/dvrsim/dvr_sim.h"

inline DeviceTreeNode* LoopbackNode(uint16_t port) {
    auto* node = static_cast<DeviceTreeNode*>(std::calloc(1, sizeof(DeviceTreeNode)));
    node->type = NODE_DVR;
    std::memcpy(node->host, u"127.0.0.1", sizeof(u"127.0.0.1"));
    node->port = port;
    std::memcpy(node->user, u"admin", sizeof(u"admin"));
    return node;
}

constexpr uint32_t kSessionOnline = DEVICE_FLAG_HELLO | DEVICE_FLAG_LOGGED_IN | DEVICE_FLAG_LIVE_BOUND |
                                    DEVICE_FLAG_PLAYBACK_BOUND | DEVICE_FLAG_CHANNELS |
                                    DEVICE_FLAG_SYSTEM_PARAMS;

// Waits (at most timeoutMs) until the device has every flag of mask.
inline bool WaitForFlags(DVRDevice* device, uint32_t mask, int timeoutMs) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while ((device->flags.load() & mask) != mask) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    return true;
}

// A simulated DVR with the user "admin" (no password) and channels that send no video.
inline dvrsim::SimConfig TextOnlySimConfig(int channels) {
    dvrsim::SimConfig config;
    config.users.push_back(dvrsim::SimUser{"admin", "", 0x3F});
    for (int i = 0; i < channels; ++i)
        config.channels.push_back(dvrsim::SimChannel{"Camera", 16, 352, 288});
    config.stream = false;
    return config;
}
