// Parsers of the remote playback replies: the file list, the month and day record maps and the DVR's own
// playback-state messages.

#include <cstdlib>
#include <cstring>
#include <mutex>

#include "core/window_messages.h"
#include "dvr/dvr_device.h"
#include "dvr/dvr_fields.h"
#include "dvr/dvr_messages.h"
#include "dvr/dvr_parsers.h"
#include "dvr/dvr_protocol.h"
#include "dvr/dvr_session.h"
#include "dvr/reply_notify.h"
#include "dvr/session_hooks.h"

namespace {

void FreeDayRecordMap(LPARAM lParam) {
    std::free(reinterpret_cast<DayRecordMap*>(lParam));
}

// A copy of the working file list with its nodes linked in arrival order.
std::shared_ptr<std::vector<RemoteFileNode>> LinkedCopy(const std::vector<RemoteFileNode>& work) {
    auto list = std::make_shared<std::vector<RemoteFileNode>>(work);
    for (size_t i = 0; i < list->size(); ++i) {
        (*list)[i].prev = i > 0 ? &(*list)[i - 1] : nullptr;
        (*list)[i].next = i + 1 < list->size() ? &(*list)[i + 1] : nullptr;
    }
    return list;
}

}  // namespace

int ParseFileList(const char* text, int length, DVRDevice* device, HWND) {
    FieldReader reader(text, length);
    int32_t id = 0;
    int32_t second = 0;
    if (!reader.Int(&id) || !reader.Int(&second))
        return -1;
    DeviceLists& lists = device->lists;
    std::lock_guard<std::mutex> guard(lists.buildLock);
    if (second == LIST_BEGIN) {
        lists.fileWork.clear();
        lists.fileListOpen = true;
        return 0;
    }
    // Entries and an end without the list's start are ignored.
    if (!lists.fileListOpen)
        return -1;
    if (second == LIST_END) {
        lists.fileListOpen = false;
        lists.remoteFiles.Publish(LinkedCopy(lists.fileWork));
        PostPlaybackData(PLAYBACK_DATA_FILE_LIST, 0);
        return 0;
    }
    // Entries are appended in arrival order; their count and index are not looked at.
    int32_t index = 0;
    char name[TEXT_FIELD_SIZE];
    int32_t param1 = 0;
    int32_t param2 = 0;
    if (!reader.Int(&index) || !reader.Token(name, sizeof name) || !reader.Int(&param1) ||
        !reader.Int(&param2))
        return -1;
    if (lists.fileWork.size() >= static_cast<size_t>(MAX_LIST_FILES))
        return -1;
    RemoteFileNode node{};
    DecodeTextField(name, node.name, 256);
    node.param1 = param1;
    node.param2 = param2;
    lists.fileWork.push_back(node);
    return 0;
}

int ParseMonthRecords(const char* text, int length, DVRDevice*, HWND) {
    FieldReader reader(text, length);
    int32_t id = 0;
    int32_t unused = 0;
    int32_t days = 0;
    if (!reader.Int(&id) || !reader.Int(&unused) || !reader.Int(&days))
        return -1;
    PostPlaybackData(PLAYBACK_DATA_MONTH_RECORDS, static_cast<LPARAM>(static_cast<uint32_t>(days)));
    return 0;
}

int ParseDayRecords(const char* text, int length, DVRDevice*, HWND) {
    FieldReader reader(text, length);
    int32_t id = 0;
    int32_t value1 = 0;
    int32_t value2 = 0;
    int32_t n = 0;
    if (!reader.Int(&id) || !reader.Int(&value1) || !reader.Int(&value2) || !reader.Int(&n))
        return -1;
    if (n > DAY_RECORD_BYTES)
        n = DAY_RECORD_BYTES;
    uint8_t minutes[DAY_RECORD_BYTES] = {};
    uint32_t value = 0;
    for (int i = 0; i < n && reader.Hex(&value); ++i)
        minutes[i] = static_cast<uint8_t>(value);
    if (PlaybackDialog() == nullptr)
        return 0;
    auto* map = static_cast<DayRecordMap*>(std::calloc(1, sizeof(DayRecordMap)));
    if (map == nullptr)
        return 0;
    map->value1 = value1;
    map->value2 = value2;
    std::memcpy(map->minutes, minutes, sizeof minutes);
    // The dialog frees the map; a post that cannot be delivered frees it here.
    PostPlaybackData(PLAYBACK_DATA_DAY_RECORDS, reinterpret_cast<LPARAM>(map), FreeDayRecordMap);
    return 0;
}

int ParsePlaybackState(const char* text, int length, DVRDevice* device, HWND) {
    FieldReader reader(text, length);
    int32_t id = 0;
    int32_t window = 0;
    int32_t v = 0;
    int32_t values[6];
    if (!reader.Int(&id) || !reader.Int(&window) || !reader.Int(&v))
        return -1;
    for (int32_t& value : values) {
        if (!reader.Int(&value))
            return -1;
    }
    const DvrSessionHooks& hooks = GetDvrSessionHooks();
    if (device != g_currentDevice.load() || hooks.playbackOpen == nullptr || !hooks.playbackOpen() ||
        static_cast<uint32_t>(window) >= static_cast<uint32_t>(PLAYBACK_WINDOW_COUNT))
        return -1;
    if (hooks.storePlaybackState != nullptr)
        hooks.storePlaybackState(window, values);
    PostPlaybackData(PLAYBACK_DATA_STATE, static_cast<LPARAM>(static_cast<uint32_t>(v) << 16 |
                                                              (static_cast<uint32_t>(window) & 0xFFFF)));
    return 0;
}
