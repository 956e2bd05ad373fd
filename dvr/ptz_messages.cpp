// PTZ commands and the camera's auto-scan tour.

#include "dvr/dvr_device.h"
#include "dvr/dvr_protocol.h"
#include "dvr/playback_requests.h"

namespace {

// A 16-bit half as the DVR reads it: 0-65534, and -1 for 0xFFFF.
int Half(uint32_t value) {
    value &= 0xFFFF;
    return value == 0xFFFF ? -1 : static_cast<int>(value);
}

}  // namespace

int SendPtzRequest(uint32_t channelAndCommand, uint32_t params, DVRDevice* device) {
    if (device == nullptr)
        return -1;
    return SendFormatted(device, device->commandSocket, "%d %d %d %d %d %s", DVR_REQ_PTZ,
                         Half(channelAndCommand), Half(channelAndCommand >> 16), Half(params),
                         Half(params >> 16), MESSAGE_TERMINATOR);
}

int SendChannelPtz(DVRDevice* device, int channel, int command, int param1, int param2) {
    if (device == nullptr || channel < 0 || channel >= device->channelCount.load(std::memory_order_acquire))
        return -1;
    uint32_t channelAndCommand =
        static_cast<uint32_t>(command) << 16 | (static_cast<uint32_t>(channel) & 0xFFFF);
    uint32_t params = static_cast<uint32_t>(param2) << 16 | (static_cast<uint32_t>(param1) & 0xFFFF);
    return SendPtzRequest(channelAndCommand, params, device);
}

int SendAutoScan(uint32_t modeAndSwitch, DVRDevice* device, int channel) {
    if (device == nullptr)
        return -1;
    return SendFormatted(device, device->commandSocket, "%d %d %d %d %s", DVR_REQ_AUTO_SCAN, channel,
                         static_cast<int>(modeAndSwitch & 0xFFFF), static_cast<int>(modeAndSwitch >> 16),
                         MESSAGE_TERMINATOR);
}
