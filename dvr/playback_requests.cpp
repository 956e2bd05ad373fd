// Remote playback requests: search, open, close, control, and the month and day record maps.

#include "dvr/playback_requests.h"

#include "dvr/dvr_device.h"
#include "dvr/dvr_fields.h"
#include "dvr/dvr_protocol.h"

int SendSearchFiles(DVRDevice* device, std::unique_ptr<PlaybackSearch> search) {
    if (device == nullptr || search == nullptr)
        return -1;
    return SendFormatted(device, device->commandSocket, "%d %d %d %d %s", DVR_REQ_SEARCH_FILES,
                         search->channel, search->begin, search->end, MESSAGE_TERMINATOR);
}

int SendPlaybackOpen(DVRDevice* device, std::unique_ptr<PlaybackOpen> open) {
    if (device == nullptr || open == nullptr)
        return -1;
    if (open->mode == PLAYBACK_MODE_TIME)
        return SendFormatted(device, device->commandSocket, "%d %d %d %d %d %s", DVR_REQ_PLAYBACK_OPEN,
                             PLAYBACK_MODE_TIME, open->window, open->channel, open->dayStart,
                             MESSAGE_TERMINATOR);
    if (open->mode != PLAYBACK_MODE_FILE)
        return -1;
    char path[TEXT_FIELD_SIZE];
    EncodeTextFieldRaw(open->path, path, sizeof path);
    return SendFormatted(device, device->commandSocket, "%d %d %d %s %s", DVR_REQ_PLAYBACK_OPEN,
                         PLAYBACK_MODE_FILE, open->window, path, MESSAGE_TERMINATOR);
}

int SendPlaybackClose(DVRDevice* device, int window) {
    return SendIdValueRequest(device, DVR_REQ_PLAYBACK_CLOSE, window);
}

int SendPlaybackControl(DVRDevice* device, const PlaybackControl* control, int mode) {
    if (device == nullptr || control == nullptr)
        return -1;
    return SendFormatted(device, device->commandSocket, "%d %d %d %d %d %s", DVR_REQ_PLAYBACK_CONTROL,
                         control->window, control->command, control->parameter, mode, MESSAGE_TERMINATOR);
}

int SendGetMonthRecords(DVRDevice* device, int32_t date) {
    return SendIdValueRequest(device, DVR_REQ_GET_MONTH_RECORDS, date);
}

int SendGetDayRecords(DVRDevice* device, uint32_t channelAndWindow, int32_t dayStart) {
    if (device == nullptr)
        return -1;
    return SendFormatted(device, device->commandSocket, "%d %d %d %s", DVR_REQ_GET_DAY_RECORDS,
                         static_cast<int32_t>(channelAndWindow), dayStart, MESSAGE_TERMINATOR);
}
