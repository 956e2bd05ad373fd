// Parsers of the channel parameter replies. Each needs the channel (second field) below the device's
// channel count; the record is written first and the notification posted after it.

#include "core/system_settings.h"
#include "core/window_messages.h"
#include "dvr/dvr_device.h"
#include "dvr/dvr_fields.h"
#include "dvr/dvr_messages.h"
#include "dvr/dvr_parsers.h"
#include "dvr/reply_notify.h"

namespace {

// Reads the id and the channel; the channel's record, or null when either is missing or out of range.
DVRChannel* ReadChannel(FieldReader* reader, DVRDevice* device, int32_t* channel) {
    int32_t id = 0;
    if (!reader->Int(&id) || !reader->Int(channel))
        return nullptr;
    if (*channel < 0 || *channel >= device->channelCount.load(std::memory_order_acquire))
        return nullptr;
    return &device->channels[*channel];
}

bool ReadInts(FieldReader* reader, int32_t* values, int count) {
    for (int i = 0; i < count; ++i) {
        if (!reader->Int(&values[i]))
            return false;
    }
    return true;
}

// A reply of the channel and count numbers: the channel's record, or null when it does not convert.
DVRChannel* ReadChannelNumbers(const char* text, int length, DVRDevice* device, int32_t* channel,
                               int32_t* values, int count) {
    FieldReader reader(text, length);
    DVRChannel* record = ReadChannel(&reader, device, channel);
    return record != nullptr && ReadInts(&reader, values, count) ? record : nullptr;
}

// An inline list (masks, schedule, presets): the channel and n, cut to limit (a negative n reads nothing);
// then store(record, i, reader) for each entry until n are stored or one does not convert. Entries beyond
// keep their values; the notification is posted even when none was read.
template <typename Store>
int ParseInlineList(const char* text, int length, DVRDevice* device, int limit, int replyType, Store store) {
    FieldReader reader(text, length);
    int32_t channel = 0;
    int32_t n = 0;
    DVRChannel* record = ReadChannel(&reader, device, &channel);
    if (record == nullptr || !reader.Int(&n))
        return -1;
    n = n < 0 ? 0 : n > limit ? limit : n;
    for (int i = 0; i < n && store(record, i, &reader); ++i) {
    }
    PostSetupReply(replyType, channel);
    return 0;
}

// Store of one mask byte (the low byte of the value).
template <uint8_t* (*Mask)(DVRChannel*)>
bool StoreMaskByte(DVRChannel* record, int i, FieldReader* reader) {
    int32_t value = 0;
    if (!reader->Int(&value))
        return false;
    Mask(record)[i] = static_cast<uint8_t>(value);
    return true;
}

uint8_t* VideoMaskOf(DVRChannel* record) {
    return record->videoMask;
}

uint8_t* MotionMaskOf(DVRChannel* record) {
    return record->motionMask.rows;
}

// Nine fields of one overlay, kept aside until the whole message converted.
struct OverlayFields {
    int32_t numbers[8];
    char face[32];
};

bool ReadOverlay(FieldReader* reader, OverlayFields* fields) {
    return ReadInts(reader, fields->numbers, 8) && reader->Token(fields->face, sizeof fields->face);
}

void StoreOverlay(const OverlayFields& fields, OverlaySettings* overlay) {
    overlay->enabled = fields.numbers[0];
    overlay->position = fields.numbers[1];
    overlay->offsetX = fields.numbers[2];
    overlay->offsetY = fields.numbers[3];
    overlay->color = static_cast<COLORREF>(fields.numbers[4]);
    overlay->font.lfOutPrecision = static_cast<uint8_t>(fields.numbers[5]);
    overlay->font.lfClipPrecision = static_cast<uint8_t>(fields.numbers[6]);
    overlay->font.lfQuality = static_cast<uint8_t>(fields.numbers[7]);
    DecodeTextField(fields.face, overlay->font.lfFaceName, 32);
}

// Picture size of a resolution code for the DVR's video standard (PAL until its system parameters came).
void PictureSize(const DVRDevice* device, int32_t code, int32_t* width, int32_t* height) {
    bool pal = device->systemParams == nullptr || device->systemParams->VideoStandard == 1;
    *width = (code == 2 || code == 4) ? 640 : 320;
    if (pal)
        *height = code == 4 ? 576 : 288;
    else
        *height = code == 4 ? 480 : 240;
}

}  // namespace

int ParseOverlayParams(const char* text, int length, DVRDevice* device, HWND) {
    FieldReader reader(text, length);
    int32_t channel = 0;
    DVRChannel* record = ReadChannel(&reader, device, &channel);
    char name[TEXT_FIELD_SIZE];
    OverlayFields title;
    OverlayFields time;
    if (record == nullptr || !reader.Token(name, sizeof name) || !ReadOverlay(&reader, &title) ||
        !ReadOverlay(&reader, &time))
        return -1;
    DecodeTextField(name, record->name, 256);
    StoreOverlay(title, &record->titleOverlay);
    StoreOverlay(time, &record->timeOverlay);
    PostSetupReply(SETUP_REPLY_OVERLAY, channel);
    return 0;
}

int ParseColorParams(const char* text, int length, DVRDevice* device, HWND) {
    int32_t channel = 0;
    int32_t values[4];
    DVRChannel* record = ReadChannelNumbers(text, length, device, &channel, values, 4);
    if (record == nullptr)
        return -1;
    record->brightness = values[0];
    record->contrast = values[1];
    record->hue = values[2];
    record->saturation = values[3];
    PostSetupReply(SETUP_REPLY_COLOR, channel);
    return 0;
}

int ParseVideoMask(const char* text, int length, DVRDevice* device, HWND) {
    return ParseInlineList(text, length, device, 8, SETUP_REPLY_VIDEO_MASK, StoreMaskByte<VideoMaskOf>);
}

int ParseMotionMask(const char* text, int length, DVRDevice* device, HWND) {
    return ParseInlineList(text, length, device, 8, SETUP_REPLY_MOTION_MASK, StoreMaskByte<MotionMaskOf>);
}

int ParseCameraParams(const char* text, int length, DVRDevice* device, HWND) {
    FieldReader reader(text, length);
    int32_t channel = 0;
    DVRChannel* record = ReadChannel(&reader, device, &channel);
    int32_t head[3];
    char comPort[TEXT_FIELD_SIZE];
    int32_t tail[5];
    if (record == nullptr || !ReadInts(&reader, head, 3) || !reader.Token(comPort, sizeof comPort) ||
        !ReadInts(&reader, tail, 5))
        return -1;
    record->cameraType = head[0];
    record->ptzProtocol = head[1];
    record->ptzAddress = head[2];
    DecodeTextField(comPort, record->comPort, 256);
    record->baudRate = tail[0];
    record->dataBits = static_cast<uint8_t>(tail[1]);
    record->parity = static_cast<uint8_t>(tail[2]);
    record->stopBits = static_cast<uint8_t>(tail[3]);
    record->ptzOptions = static_cast<uint32_t>(tail[4]);
    PostSetupReply(SETUP_REPLY_CAMERA, channel);
    return 0;
}

int ParsePresets(const char* text, int length, DVRDevice* device, HWND) {
    return ParseInlineList(text, length, device, 32, SETUP_REPLY_PRESETS,
                           [](DVRChannel* record, int i, FieldReader* reader) {
                               int32_t preset = 0;
                               int32_t seconds = 0;
                               if (!reader->Int(&preset) || !reader->Int(&seconds))
                                   return false;
                               record->autoScan[i].enabled = static_cast<uint8_t>(preset);
                               record->autoScan[i].staySeconds = seconds;
                               return true;
                           });
}

int ParseVideoParams(const char* text, int length, DVRDevice* device, HWND) {
    int32_t channel = 0;
    int32_t values[3];
    DVRChannel* record = ReadChannelNumbers(text, length, device, &channel, values, 3);
    if (record == nullptr)
        return -1;
    record->resolution = values[0];
    int32_t width = 0;
    PictureSize(device, values[0], &width, &record->height);
    record->width = static_cast<uint32_t>(width);
    record->quality = values[1];
    record->frameRate = values[2];
    PostSetupReply(SETUP_REPLY_VIDEO, channel);
    return 0;
}

int ParseSubStreamParams(const char* text, int length, DVRDevice* device, HWND) {
    int32_t channel = 0;
    int32_t values[3];
    DVRChannel* record = ReadChannelNumbers(text, length, device, &channel, values, 3);
    if (record == nullptr)
        return -1;
    record->subResolution = values[0];
    PictureSize(device, values[0], &record->subWidth, &record->subHeight);
    record->subQuality = values[1];
    record->subFrameRate = values[2];
    PostSetupReply(SETUP_REPLY_VIDEO, channel);
    return 0;
}

int ParseAudioParams(const char* text, int length, DVRDevice* device, HWND) {
    int32_t channel = 0;
    int32_t values[4];
    DVRChannel* record = ReadChannelNumbers(text, length, device, &channel, values, 4);
    if (record == nullptr)
        return -1;
    record->sampleRate = values[0];
    record->bitsPerSample = static_cast<uint16_t>(values[1]);
    record->audioQuality = values[2];
    record->audioEnabled = values[3];
    PostSetupReply(SETUP_REPLY_AUDIO, channel);
    return 0;
}

int ParseAlarmParams(const char* text, int length, DVRDevice* device, HWND) {
    int32_t channel = 0;
    int32_t values[2];
    DVRChannel* record = ReadChannelNumbers(text, length, device, &channel, values, 2);
    if (record == nullptr)
        return -1;
    record->motionSensitivity = values[0];
    record->alarmActions = static_cast<uint32_t>(values[1]);
    PostSetupReply(SETUP_REPLY_ALARM, channel);
    return 0;
}

int ParseSchedule(const char* text, int length, DVRDevice* device, HWND) {
    return ParseInlineList(text, length, device, 8, SETUP_REPLY_SCHEDULE,
                           [](DVRChannel* record, int i, FieldReader* reader) {
                               int32_t word = 0;
                               if (!reader->Int(&word))
                                   return false;
                               record->recordSchedule[i] = static_cast<uint32_t>(word);
                               return true;
                           });
}
