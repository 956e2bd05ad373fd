#include "ui/dialogs/device_channels.h"

#include <algorithm>
#include <iterator>

#include "dvr/dvr_device.h"

int DeviceChannelCount(const DVRDevice* device) {
    if (device == nullptr || device->channels == nullptr)
        return 0;
    return std::clamp(static_cast<int>(device->channelCount.load()), 0, CHANNEL_MASK_MAX);
}

QString DeviceChannelName(const DVRChannel& channel) {
    const char16_t* name = channel.name;
    qsizetype length = 0;
    while (length < static_cast<qsizetype>(std::size(channel.name)) && name[length] != 0)
        ++length;
    return QString::fromUtf16(name, length);
}
