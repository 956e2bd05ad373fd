#pragma once

// The posting half of the device tree's events: the sessions change the device tree only through
// WM_DVR_TREE_EVENT posted to the main window; the payload names the session and its generation. The UI
// thread applies it (device_tree_apply.h) and drops an event whose session was freed or restarted since.
// No session thread ever waits for the UI thread.

#include <cstdint>

#include "dvr/device_tree_node.h"
#include "platform/system/win_types.h"

struct DVRDevice;

enum DvrTreeEventKind {
    DVR_TREE_LOGIN,     // a login reply: image is TREE_ICON_DVR_ONLINE or TREE_ICON_DVR_REFUSED
    DVR_TREE_CHANNELS,  // the channel list is complete: replace the DVR's children by channel items
    DVR_TREE_LOST,      // the session was restarted: TREE_ICON_DVR, channel items deleted
};

struct DvrTreeEvent {
    DVRDevice* device;
    uint32_t generation;
    int kind;
    int image;
    int channelCount;
    char16_t (*names)[256];  // DVR_TREE_CHANNELS: the channel names (owned)
};

// Posts an event for the device's current generation (nothing without a main window).
void PostDvrTreeEvent(DVRDevice* device, int kind, int image);
// Posts the channel items of the device (names copied from its channels).
void PostDvrChannelItems(DVRDevice* device);
void FreeDvrTreeEvent(LPARAM lParam);
