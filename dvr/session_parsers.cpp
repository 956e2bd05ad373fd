#include <cerrno>

#include "core/worker_threads.h"
#include "dvr/device_tree_events.h"
#include "dvr/dvr_device.h"
#include "dvr/dvr_fields.h"
#include "dvr/dvr_parsers.h"
#include "dvr/dvr_protocol.h"
#include "dvr/dvr_session.h"

namespace {

// Starts the two stream threads of a session that has just logged in. Only the command thread starts
// them (a login reply in a text frame of a stream connection does not), and only once per session.
void StartStreamThreads(DVRDevice* device) {
    if (!IsCommandThreadOf(device))
        return;
    bool started = true;
    if (device->liveThread.handle == nullptr)
        started = StartSessionThread(&device->liveThread, LiveStreamThreadProc, device) == 0;
    if (started && device->playbackThread.handle == nullptr)
        started = StartSessionThread(&device->playbackThread, PlaybackStreamThreadProc, device) == 0;
    // A session without its stream threads would never show video: the supervisor restarts it, after a
    // round, since threads or descriptors ran short.
    if (!started) {
        DelayRestartAfterShortage(device, "DVR stream threads could not be started", errno);
        ReportLinkError(device);
    }
}

}  // namespace

int ParseHelloReply(const char* text, int length, DVRDevice* device, HWND) {
    FieldReader reader(text, length);
    int32_t id = 0;
    int32_t version = 0;
    if (!reader.Int(&id) || !reader.Int(&version))
        return -1;
    if ((device->flags.load() & DEVICE_FLAG_HELLO) != 0)
        return 0;
    if (((static_cast<uint32_t>(version) >> 24) & 0xFF) > 4)
        return 0;
    device->flags.fetch_or(DEVICE_FLAG_HELLO);
    device->lastRequest.store(0);
    WakeCommandThread(device);  // when the reply came in a stream connection's text frame
    return 0;
}

int ParseLoginReply(const char* text, int length, DVRDevice* device, HWND) {
    FieldReader reader(text, length);
    int32_t id = 0;
    int32_t sessionId = 0;
    int32_t type = 0;
    int32_t result = 0;
    int32_t rights = 0;
    if (!reader.Int(&id) || !reader.Int(&sessionId) || !reader.Int(&type) || !reader.Int(&result) ||
        !reader.Int(&rights))
        return -1;
    if (type != CONN_COMMAND) {
        device->flags.fetch_or(type == CONN_LIVE ? DEVICE_FLAG_LIVE_BOUND : DEVICE_FLAG_PLAYBACK_BOUND);
        // The channel request waits for both binds; the command thread need not wait for its next turn.
        WakeCommandThread(device);
        return 0;
    }
    if (result != -1 && (device->flags.load() & DEVICE_FLAG_LOGGED_IN) == 0) {
        device->loginResult.store(result);
        device->rights.store(static_cast<uint32_t>(rights));
        device->sessionId.store(sessionId);
        device->lastRequest.store(0);
        if ((device->flags.fetch_or(DEVICE_FLAG_LOGGED_IN) & DEVICE_FLAG_LOGGED_IN) == 0) {
            StartStreamThreads(device);
            // The first keep-alive follows the login at once.
            WakeSupervisor();
            WakeCommandThread(device);
        }
    }
    PostDvrTreeEvent(device, DVR_TREE_LOGIN, result == -1 ? TREE_ICON_DVR_REFUSED : TREE_ICON_DVR_ONLINE);
    return 0;
}

int ParseKeepAliveReply(const char* text, int length, DVRDevice* device, HWND) {
    FieldReader reader(text, length);
    int32_t id = 0;
    int32_t interval = 0;
    if (!reader.Int(&id) || !reader.Int(&interval))
        return -1;
    // A shorter interval moves the next keep-alive forward: the supervisor looks at it now.
    if (device->keepAliveSeconds.exchange(interval) != interval)
        WakeSupervisor();
    return 0;
}

int ParseChannelNames(const char* text, int length, DVRDevice* device, HWND) {
    if ((device->flags.load() & DEVICE_FLAG_CHANNELS) != 0)
        return 0;
    FieldReader reader(text, length);
    int32_t id = 0;
    int32_t second = 0;
    if (!reader.Int(&id) || !reader.Int(&second))
        return -1;
    if (second == LIST_BEGIN) {
        int32_t count = 0;
        if (!reader.Int(&count) || count < 0 || count > MAX_LIST_CHANNELS)
            return -1;
        // Only the first list of a run makes the array (AllocDeviceChannels refuses a second one): the
        // stream threads and the screens read it from then on.
        return AllocDeviceChannels(device, count) == 0 ? 0 : -1;
    }
    if (second == LIST_END) {
        device->flags.fetch_or(DEVICE_FLAG_CHANNELS);
        device->lastRequest.store(0);
        WakeCommandThread(device);
        PostDvrChannelItems(device);
        return 0;
    }
    int32_t index = 0;
    char name[TEXT_FIELD_SIZE];
    if (!reader.Int(&index) || !reader.Token(name, sizeof name))
        return -1;
    if (index < 0 || index >= device->channelCount.load())
        return -1;
    DecodeTextField(name, device->channels[index].name, 256);
    return 0;
}

int ParseAlarmEvent(const char* text, int length, DVRDevice* device, HWND) {
    FieldReader reader(text, length);
    int32_t id = 0;
    int32_t event = 0;
    int32_t word = 0;
    if (!reader.Int(&id) || !reader.Int(&event) || !reader.Int(&word))
        return -1;
    if ((event & 0xFFFF) != 0)
        return 0;
    uint32_t channel = static_cast<uint32_t>(word) >> 16;
    if (channel >= static_cast<uint32_t>(device->channelCount.load()))
        return -1;
    device->channels[channel].flags.fetch_or(CHANNEL_FLAG_ALARM);
    return 0;
}
