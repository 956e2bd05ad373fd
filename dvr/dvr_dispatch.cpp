#include <cstddef>
#include <mutex>

#include "dvr/dvr_device.h"
#include "dvr/dvr_fields.h"
#include "dvr/dvr_parsers.h"
#include "dvr/dvr_protocol.h"
#include "platform/system/clock.h"

namespace {

struct ParserEntry {
    int replyId;
    DvrMessageParser parser;
};

const ParserEntry kParsers[] = {
    {DVR_RSP_HELLO, ParseHelloReply},           {DVR_RSP_LOGIN, ParseLoginReply},
    {DVR_RSP_KEEPALIVE, ParseKeepAliveReply},   {DVR_RSP_CHANNEL_NAMES, ParseChannelNames},
    {DVR_RSP_SYSTEM_PARAMS, ParseSystemParams}, {DVR_RSP_ALARM_EVENT, ParseAlarmEvent},
    {DVR_RSP_USER_LIST, ParseUserList},         {DVR_RSP_USER, ParseUserParams},
    {DVR_RSP_NETWORK, ParseNetworkParams},      {DVR_RSP_DISKS, ParseDiskList},
    {DVR_RSP_LANGUAGES, ParseLanguageList},     {DVR_RSP_OVERLAY, ParseOverlayParams},
    {DVR_RSP_COLOR, ParseColorParams},          {DVR_RSP_VIDEO_MASK, ParseVideoMask},
    {DVR_RSP_CAMERA, ParseCameraParams},        {DVR_RSP_PRESETS, ParsePresets},
    {DVR_RSP_VIDEO, ParseVideoParams},          {DVR_RSP_AUDIO, ParseAudioParams},
    {DVR_RSP_SCHEDULE, ParseSchedule},          {DVR_RSP_ALARM_PARAMS, ParseAlarmParams},
    {DVR_RSP_MOTION_MASK, ParseMotionMask},     {DVR_RSP_SUBSTREAM, ParseSubStreamParams},
    {DVR_RSP_FILE_LIST, ParseFileList},         {DVR_RSP_MONTH_RECORDS, ParseMonthRecords},
    {DVR_RSP_DAY_RECORDS, ParseDayRecords},     {DVR_RSP_PLAYBACK_STATE, ParsePlaybackState},
};

}  // namespace

DvrMessageParser FindDvrParser(int replyId) {
    for (const ParserEntry& entry : kParsers) {
        if (entry.replyId == replyId)
            return entry.parser;
    }
    return nullptr;
}

int DispatchDvrMessage(const char* text, DVRDevice* device, HWND mainWindow, int length) {
    if (device == nullptr || text == nullptr)
        return -1;
    device->lastReceived.store(static_cast<int64_t>(MonotonicMs()));
    int32_t id = 0;
    FieldReader reader(text, length);
    if (!reader.Int(&id))
        return -1;
    DvrMessageParser parser = FindDvrParser(id);
    if (parser != nullptr) {
        // Every connection of the session may carry replies (a stream connection in its text frames);
        // the parsers of one DVR run one at a time, so no record is written by two threads at once.
        std::lock_guard<std::mutex> guard(device->parseLock);
        (void)parser(text, length, device, mainWindow);
    }
    return 0;
}
