#pragma once

// A session record for tests that work on one DVRDevice without its threads: its command connection is
// one end of a socket pair whose other end the test reads.

#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "dvr/device_tree_node.h"
#include "dvr/dvr_device.h"
#include "dvr/dvr_session.h"

struct TestDevice {
    DeviceTreeNode node{};
    DVRDevice* device = new DVRDevice();
    int peer = -1;

    TestDevice() {
        node.type = NODE_DVR;
        node.id = 1;
        device->node = &node;
        device->commandSocket = -1;
        device->liveSocket = -1;
        device->playbackSocket = -1;
        device->loginResult = -1;
        device->keepAliveSeconds = DEFAULT_KEEPALIVE_SECONDS;
        int pair[2];
        if (socketpair(AF_UNIX, SOCK_STREAM, 0, pair) == 0) {
            device->commandSocket = pair[0];
            peer = pair[1];
        }
    }
    ~TestDevice() {
        // The per-run records are owned by the device and go with it.
        if (device->commandSocket >= 0)
            close(device->commandSocket);
        if (peer >= 0)
            close(peer);
        delete device;
    }
    // What the device sent so far.
    std::string Sent() {
        std::string out;
        char buffer[8192];
        for (;;) {
            ssize_t got = recv(peer, buffer, sizeof buffer, MSG_DONTWAIT);
            if (got <= 0)
                break;
            out.append(buffer, static_cast<size_t>(got));
        }
        return out;
    }
    void SetText(char16_t* field, size_t chars, const std::u16string& text) {
        std::memset(field, 0, chars * sizeof(char16_t));
        std::memcpy(field, text.data(), std::min(text.size(), chars - 1) * sizeof(char16_t));
    }
};
