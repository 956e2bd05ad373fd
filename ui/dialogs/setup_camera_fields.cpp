#include "ui/dialogs/setup_camera_fields.h"

#include <algorithm>
#include <cstring>

#include "dvr/dvr_records.h"
#include "dvr/dvr_session.h"
#include "dvr/playback_requests.h"
#include "ui/dialogs/setup_channel_fields.h"

namespace {

constexpr qsizetype kPortChars = 255;

struct CameraValues {
    int32_t type;
    int32_t protocol;
    int32_t address;
    char16_t port[256];
    int32_t baudRate;
    uint8_t dataBits;
    uint8_t parity;
    uint8_t stopBits;
    uint32_t options;
    uint8_t enabled[AUTOSCAN_STEPS];
    int32_t stay[AUTOSCAN_STEPS];
};

CameraValues ValuesOf(const DVRChannel& record) {
    CameraValues v{};
    v.type = record.cameraType;
    v.protocol = record.ptzProtocol;
    v.address = record.ptzAddress;
    std::memcpy(v.port, record.comPort, sizeof(v.port));
    v.baudRate = record.baudRate;
    v.dataBits = record.dataBits;
    v.parity = record.parity;
    v.stopBits = record.stopBits;
    v.options = record.ptzOptions;
    for (int i = 0; i < AUTOSCAN_STEPS; ++i) {
        v.enabled[i] = record.autoScan[i].enabled;
        v.stay[i] = record.autoScan[i].staySeconds;
    }
    return v;
}

bool Same(const CameraValues& a, const CameraValues& b) {
    return a.type == b.type && a.protocol == b.protocol && a.address == b.address &&
           std::memcmp(a.port, b.port, sizeof(a.port)) == 0 && a.baudRate == b.baudRate &&
           a.dataBits == b.dataBits && a.parity == b.parity && a.stopBits == b.stopBits &&
           a.options == b.options && std::memcmp(a.enabled, b.enabled, sizeof(a.enabled)) == 0 &&
           std::memcmp(a.stay, b.stay, sizeof(a.stay)) == 0;
}

template <typename T>
T Chosen(int selected, T current) {
    return selected < 0 ? current : static_cast<T>(selected);
}

}  // namespace

int CollectCameraInto(const CameraControls& controls, DVRChannel* record) {
    if (record == nullptr)
        return -1;
    const CameraValues before = ValuesOf(*record);
    CameraValues after = before;
    after.type = Chosen(controls.type, before.type);
    after.protocol = Chosen(controls.protocol, before.protocol);
    after.address = ParseLeadingInt(controls.address);
    if (controls.portSelected) {
        std::fill(std::begin(after.port), std::end(after.port), u'\0');
        std::copy_n(reinterpret_cast<const char16_t*>(controls.port.utf16()),
                    std::min(controls.port.size(), kPortChars), after.port);
    }
    after.baudRate = Chosen(controls.baudRate, before.baudRate);
    after.dataBits = Chosen(controls.dataBits, before.dataBits);
    after.parity = Chosen(controls.parity, before.parity);
    after.stopBits = Chosen(controls.stopBits, before.stopBits);
    after.options = (static_cast<uint32_t>(controls.speed) & CAMERA_SPEED_MASK) |
                    (controls.reverseBits & CAMERA_REVERSE_BITS);
    for (int i = 0; i < AUTOSCAN_STEPS; ++i) {
        after.enabled[i] = controls.steps[i].enabled ? 1 : 0;
        after.stay[i] = ParseLeadingInt(controls.steps[i].staySeconds);
    }
    if (Same(before, after))
        return -1;
    record->cameraType = after.type;
    record->ptzProtocol = after.protocol;
    record->ptzAddress = after.address;
    std::memcpy(record->comPort, after.port, sizeof(after.port));
    record->baudRate = after.baudRate;
    record->dataBits = after.dataBits;
    record->parity = after.parity;
    record->stopBits = after.stopBits;
    record->ptzOptions = after.options;
    for (int i = 0; i < AUTOSCAN_STEPS; ++i) {
        record->autoScan[i].enabled = after.enabled[i];
        record->autoScan[i].staySeconds = after.stay[i];
    }
    return 0;
}

int ReversedPtzCommand(uint32_t options, int command) {
    struct Pair {
        uint32_t bit;
        int first;
        int second;
    };
    static constexpr Pair kPairs[] = {
        {CAMERA_REVERSE_TILT, PTZ_TILT_UP, PTZ_TILT_DOWN},
        {CAMERA_REVERSE_PAN, PTZ_PAN_LEFT, PTZ_PAN_RIGHT},
        {CAMERA_REVERSE_FOCUS, PTZ_FOCUS_NEAR, PTZ_FOCUS_FAR},
        {CAMERA_REVERSE_ZOOM, PTZ_ZOOM_IN, PTZ_ZOOM_OUT},
    };
    for (const Pair& pair : kPairs) {
        if ((options & pair.bit) == 0)
            continue;
        if (command == pair.first)
            return pair.second;
        if (command == pair.second)
            return pair.first;
    }
    return command;
}

int SendPtzCommand(int command, int channel, int param1, int param2) {
    DVRDevice* device = g_currentDevice.load();
    if (device == nullptr || device->channels == nullptr || channel < 0 ||
        channel >= device->channelCount.load())
        return -1;
    uint32_t options = device->channels[channel].ptzOptions;
    return SendChannelPtz(device, channel, ReversedPtzCommand(options, command), param1, param2);
}
