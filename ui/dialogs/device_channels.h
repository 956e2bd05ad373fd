#pragma once

// The selected DVR's channels as the dialogs list them: how many a dialog may address (the DVR's count,
// bounded by the 256 channels a channel mask holds) and a channel's name as text.

#include <QString>

struct DVRChannel;
struct DVRDevice;

constexpr int CHANNEL_MASK_BYTES = 32;
constexpr int CHANNEL_MASK_MAX = CHANNEL_MASK_BYTES * 8;

// 0 without a device or before its channels arrived.
int DeviceChannelCount(const DVRDevice* device);
// The name up to its terminator or the end of its field.
QString DeviceChannelName(const DVRChannel& channel);
