#pragma once

// The record of the device tree files (areas and DVRs) and the item data of the device tree's items
// (also the channel items, which are never stored). Little-endian, 1812 bytes.

#include <cstddef>
#include <cstdint>

constexpr int32_t NODE_AREA = 0;
constexpr int32_t NODE_DVR = 1;
constexpr int32_t NODE_CHANNEL = 2;

// Images of the device tree's items (indexes into its image list).
constexpr int TREE_ICON_AREA = 0;
constexpr int TREE_ICON_DVR = 1;
constexpr int TREE_ICON_DVR_ONLINE = 2;
constexpr int TREE_ICON_CHANNEL = 3;
constexpr int TREE_ICON_CHANNEL_OPEN = 4;
constexpr int TREE_ICON_DVR_REFUSED = 5;

struct DeviceTreeNode {
    int32_t type;
    int32_t id;
    char16_t name[256];
    int32_t parentId;
    char16_t host[64];
    int32_t port;
    char16_t altHost[64];
    int32_t altValue;
    char16_t user[256];      // in a file: Base64 of the value; in memory: the value
    char16_t password[256];  // the same
};
static_assert(sizeof(DeviceTreeNode) == 1812, "DeviceTreeNode layout");
static_assert(offsetof(DeviceTreeNode, id) == 4, "DeviceTreeNode layout");
static_assert(offsetof(DeviceTreeNode, name) == 8, "DeviceTreeNode layout");
static_assert(offsetof(DeviceTreeNode, parentId) == 520, "DeviceTreeNode layout");
static_assert(offsetof(DeviceTreeNode, host) == 524, "DeviceTreeNode layout");
static_assert(offsetof(DeviceTreeNode, port) == 652, "DeviceTreeNode layout");
static_assert(offsetof(DeviceTreeNode, altHost) == 656, "DeviceTreeNode layout");
static_assert(offsetof(DeviceTreeNode, altValue) == 784, "DeviceTreeNode layout");
static_assert(offsetof(DeviceTreeNode, user) == 788, "DeviceTreeNode layout");
static_assert(offsetof(DeviceTreeNode, password) == 1300, "DeviceTreeNode layout");
