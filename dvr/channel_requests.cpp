// Formatters of the channel parameter requests.

#include "dvr/channel_requests.h"

#include <cstdio>
#include <string>

#include "dvr/dvr_device.h"
#include "dvr/dvr_fields.h"
#include "dvr/dvr_protocol.h"

namespace {

// The channel's record, or null when the device or the channel does not exist.
DVRChannel* Channel(DVRDevice* device, int channel) {
    if (device == nullptr || channel < 0 || channel >= device->channelCount.load(std::memory_order_acquire))
        return nullptr;
    return &device->channels[channel];
}

int SendChannelGet(DVRDevice* device, int channel, int id) {
    if (Channel(device, channel) == nullptr)
        return -1;
    return SendIdValueRequest(device, id, channel);
}

// An inline list: "id channel count v1 v2 ... " as one string field of numbers.
int SendInlineList(DVRDevice* device, int id, int channel, int count, const std::string& values) {
    return SendFormatted(device, device->commandSocket, "%d %d %d %s %s", id, channel, count, values.c_str(),
                         MESSAGE_TERMINATOR);
}

void AppendNumber(std::string* list, long long value) {
    if (!list->empty())
        list->push_back(' ');
    list->append(std::to_string(value));
}

int SendMask(DVRDevice* device, int channel, int id, const uint8_t* mask) {
    if (Channel(device, channel) == nullptr)
        return -1;
    std::string values;
    for (int i = 0; i < 8; ++i)
        AppendNumber(&values, mask[i]);
    return SendInlineList(device, id, channel, 8, values);
}

// The three-number video settings of the record stream or the network stream.
int SendVideoSettings(DVRDevice* device, int channel, int id, int resolution, int quality, int frameRate) {
    return SendFormatted(device, device->commandSocket, "%d %d %d %d %d %s", id, channel, resolution, quality,
                         frameRate, MESSAGE_TERMINATOR);
}

}  // namespace

int SendGetOverlayParams(DVRDevice* device, int channel) {
    return SendChannelGet(device, channel, DVR_REQ_GET_OVERLAY);
}

int SendSetOverlayParams(DVRDevice* device, int channel) {
    DVRChannel* record = Channel(device, channel);
    if (record == nullptr)
        return -1;
    char name[TEXT_FIELD_SIZE];
    char titleFace[32];
    char timeFace[32];
    EncodeTextField(record->name, name, sizeof name);
    EncodeTextField(record->titleOverlay.font.lfFaceName, titleFace, sizeof titleFace);
    EncodeTextField(record->timeOverlay.font.lfFaceName, timeFace, sizeof timeFace);
    const OverlaySettings& a = record->titleOverlay;
    const OverlaySettings& b = record->timeOverlay;
    return SendFormatted(
        device, device->commandSocket, "%d %d %s %d %d %d %d %d %d %d %d %s %d %d %d %d %d %d %d %d %s %s",
        DVR_REQ_SET_OVERLAY, channel, name, a.enabled, a.position, a.offsetX, a.offsetY,
        static_cast<int32_t>(a.color), a.font.lfOutPrecision, a.font.lfClipPrecision, a.font.lfQuality,
        titleFace, b.enabled, b.position, b.offsetX, b.offsetY, static_cast<int32_t>(b.color),
        b.font.lfOutPrecision, b.font.lfClipPrecision, b.font.lfQuality, timeFace, MESSAGE_TERMINATOR);
}

int SendGetColorParams(DVRDevice* device, int channel) {
    return SendChannelGet(device, channel, DVR_REQ_GET_COLOR);
}

int SendSetColorParams(DVRDevice* device, int channel) {
    DVRChannel* record = Channel(device, channel);
    if (record == nullptr)
        return -1;
    return SendFormatted(device, device->commandSocket, "%d %d %d %d %d %d %s", DVR_REQ_SET_COLOR, channel,
                         record->brightness, record->contrast, record->hue, record->saturation,
                         MESSAGE_TERMINATOR);
}

int SendRestoreColor(DVRDevice* device, int channel, int value) {
    if (Channel(device, channel) == nullptr)
        return -1;
    return SendFormatted(device, device->commandSocket, "%d %d %d %s", DVR_REQ_RESTORE_COLOR, channel, value,
                         MESSAGE_TERMINATOR);
}

int SendGetVideoMask(DVRDevice* device, int channel) {
    return SendChannelGet(device, channel, DVR_REQ_GET_VIDEO_MASK);
}

int SendSetVideoMask(DVRDevice* device, int channel) {
    DVRChannel* record = Channel(device, channel);
    return record == nullptr ? -1 : SendMask(device, channel, DVR_REQ_SET_VIDEO_MASK, record->videoMask);
}

int SendGetCameraParams(DVRDevice* device, int channel) {
    return SendChannelGet(device, channel, DVR_REQ_GET_CAMERA);
}

int SendSetCameraParams(DVRDevice* device, int channel) {
    DVRChannel* record = Channel(device, channel);
    if (record == nullptr)
        return -1;
    char comPort[TEXT_FIELD_SIZE];
    EncodeTextField(record->comPort, comPort, sizeof comPort);
    return SendFormatted(device, device->commandSocket, "%d %d %d %d %d %s %d %d %d %d %d %s",
                         DVR_REQ_SET_CAMERA, channel, record->cameraType, record->ptzProtocol,
                         record->ptzAddress, comPort, record->baudRate, record->dataBits, record->parity,
                         record->stopBits, static_cast<int32_t>(record->ptzOptions), MESSAGE_TERMINATOR);
}

int SendGetPresets(DVRDevice* device, int channel) {
    return SendChannelGet(device, channel, DVR_REQ_GET_PRESETS);
}

int SendSetPresets(DVRDevice* device, int channel) {
    DVRChannel* record = Channel(device, channel);
    if (record == nullptr)
        return -1;
    std::string values;
    for (const AutoScanStep& step : record->autoScan) {
        AppendNumber(&values, step.enabled);
        AppendNumber(&values, step.staySeconds);
    }
    return SendInlineList(device, DVR_REQ_SET_PRESETS, channel, 32, values);
}

int SendGetVideoParams(DVRDevice* device, int channel) {
    return SendChannelGet(device, channel, DVR_REQ_GET_VIDEO);
}

int SendSetVideoParams(DVRDevice* device, int channel) {
    DVRChannel* record = Channel(device, channel);
    if (record == nullptr)
        return -1;
    return SendVideoSettings(device, channel, DVR_REQ_SET_VIDEO, record->resolution, record->quality,
                             record->frameRate);
}

int SendGetAudioParams(DVRDevice* device, int channel) {
    return SendChannelGet(device, channel, DVR_REQ_GET_AUDIO);
}

int SendSetAudioParams(DVRDevice* device, int channel) {
    DVRChannel* record = Channel(device, channel);
    if (record == nullptr)
        return -1;
    return SendFormatted(device, device->commandSocket, "%d %d %d %u %d %d %s", DVR_REQ_SET_AUDIO, channel,
                         record->sampleRate, static_cast<unsigned>(record->bitsPerSample),
                         record->audioQuality, record->audioEnabled, MESSAGE_TERMINATOR);
}

int SendGetSchedule(DVRDevice* device, int channel) {
    return SendChannelGet(device, channel, DVR_REQ_GET_SCHEDULE);
}

int SendSetSchedule(DVRDevice* device, int channel) {
    DVRChannel* record = Channel(device, channel);
    if (record == nullptr)
        return -1;
    std::string values;
    for (uint32_t word : record->recordSchedule)
        AppendNumber(&values, static_cast<int32_t>(word));
    return SendInlineList(device, DVR_REQ_SET_SCHEDULE, channel, 8, values);
}

int SendGetAlarmParams(DVRDevice* device, int channel) {
    return SendChannelGet(device, channel, DVR_REQ_GET_ALARM_PARAMS);
}

int SendSetAlarmParams(DVRDevice* device, int channel) {
    DVRChannel* record = Channel(device, channel);
    if (record == nullptr)
        return -1;
    return SendFormatted(device, device->commandSocket, "%d %d %d %d %s", DVR_REQ_SET_ALARM_PARAMS, channel,
                         record->motionSensitivity, static_cast<int32_t>(record->alarmActions),
                         MESSAGE_TERMINATOR);
}

int SendGetMotionMask(DVRDevice* device, int channel) {
    return SendChannelGet(device, channel, DVR_REQ_GET_MOTION_MASK);
}

int SendSetMotionMask(DVRDevice* device, int channel) {
    DVRChannel* record = Channel(device, channel);
    return record == nullptr ? -1
                             : SendMask(device, channel, DVR_REQ_SET_MOTION_MASK, record->motionMask.rows);
}

int SendGetSubStreamParams(DVRDevice* device, int channel) {
    return SendChannelGet(device, channel, DVR_REQ_GET_SUBSTREAM);
}

int SendSetSubStreamParams(DVRDevice* device, int channel) {
    DVRChannel* record = Channel(device, channel);
    if (record == nullptr)
        return -1;
    return SendVideoSettings(device, channel, DVR_REQ_SET_SUBSTREAM, record->subResolution,
                             record->subQuality, record->subFrameRate);
}
