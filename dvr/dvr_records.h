#pragma once

// The parameter and playback records that the reply parsers fill and the setup and playback dialogs read,
// and the request records that the playback dialog posts. Plain records: zeroed before use.

#include <cstdint>

#include "core/disk_list.h"
#include "core/language_list.h"

// One user account of a DVR. Channel bitmaps: bit (i % 8) of byte (i / 8) stands for channel i (256).
struct DVRUserAccount {
    char16_t name[256];
    char16_t password[256];
    char16_t description[256];
    uint32_t rights;  // USER_RIGHT_* (dvr_device.h)
    uint8_t viewChannels[32];
    uint8_t recordChannels[32];
    uint8_t ptzChannels[32];
};

struct DVRNetworkParams {
    char16_t hostName[256];
    int32_t httpPort;
    int32_t listenPort;
    char16_t mailTo[256];
    int32_t wanEnabled;
    int32_t wanServer;  // the choice of WAN server
    char16_t wanUser[256];
    char16_t wanPassword[256];
};

// One file of the last search. In a handed-over file list the nodes are linked in arrival order.
struct RemoteFileNode {
    char16_t name[256];  // the file's path on the DVR
    int32_t param1;      // kept with the node, not interpreted
    int32_t param2;
    RemoteFileNode* prev;  // null for the first node
    RemoteFileNode* next;
};

// Minute m of the day (0-1439) is bits 2(m % 4) and 2(m % 4) + 1 of minutes[m / 4].
constexpr int DAY_RECORD_BYTES = 360;
struct DayRecordMap {
    int32_t value1;
    int32_t value2;
    uint8_t minutes[DAY_RECORD_BYTES];
};

constexpr int PLAYBACK_MODE_TIME = 0;
constexpr int PLAYBACK_MODE_FILE = 1;
constexpr int PLAYBACK_WINDOW_COUNT = 16;

constexpr int PLAYBACK_CMD_PLAY = 1;
constexpr int PLAYBACK_CMD_PAUSE = 2;
constexpr int PLAYBACK_CMD_STOP = 3;
constexpr int PLAYBACK_CMD_STEP = 4;
constexpr int PLAYBACK_CMD_SPEED = 5;  // parameter +1 or -1
constexpr int PLAYBACK_CMD_SEEK = 6;   // parameter: the target

// Playback states of a playback screen as the DVR reports them.
constexpr int PLAYBACK_STATE_IDLE = 0;
constexpr int PLAYBACK_STATE_PLAYING = 1;
constexpr int PLAYBACK_STATE_PAUSED = 2;
constexpr int PLAYBACK_STATE_STOPPED = 3;
constexpr int PLAYBACK_STATE_STEPPING = 4;
constexpr int PLAYBACK_STATE_SPEED = 5;
constexpr int PLAYBACK_STATE_NO_STOP = 6;
// The change a state report announces (high half of the lParam of its PLAYBACK_DATA_STATE).
constexpr int PLAYBACK_CHANGE_STATE = 0;
constexpr int PLAYBACK_CHANGE_POSITION = 1;
constexpr int PLAYBACK_CHANGE_BOTH = 3;
// The playback speed value of normal speed.
constexpr int PLAYBACK_SPEED_NORMAL = 6;

// Posted by the playback dialog (allocated with new); the request relay hands them to the formatters.
struct PlaybackSearch {
    int32_t channel;  // -1: all
    int32_t begin;    // time_t, 32 bits
    int32_t end;
};

struct PlaybackOpen {
    int32_t mode;    // PLAYBACK_MODE_*
    int32_t window;  // 0-15
    int32_t channel;
    int32_t dayStart;    // time mode
    char16_t path[256];  // file mode
};

struct PlaybackControl {
    int32_t window;
    int32_t command;  // PLAYBACK_CMD_*
    int32_t parameter;
};

// PTZ command codes (second field of DVR_REQ_PTZ).
enum PtzCommand : int {
    PTZ_TILT_UP = 1,
    PTZ_TILT_DOWN = 2,
    PTZ_PAN_LEFT = 3,
    PTZ_PAN_RIGHT = 4,
    PTZ_FOCUS_NEAR = 5,
    PTZ_FOCUS_FAR = 6,
    PTZ_ZOOM_IN = 7,
    PTZ_ZOOM_OUT = 8,
    PTZ_IRIS_OPEN = 9,
    PTZ_IRIS_CLOSE = 10,
    PTZ_PRESET_SET = 11,  // parameter: preset 1-32
    PTZ_PRESET_CLEAR = 12,
    PTZ_PRESET_GOTO = 13,
    PTZ_STOP = 14,
    PTZ_AUTOSCAN_START = 15,
    PTZ_AUTOSCAN_STOP = 16,
};

// Bound of a file list: entries beyond it are dropped.
constexpr int MAX_LIST_FILES = 4096;
