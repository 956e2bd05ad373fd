#pragma once

// The text protocol of the DVRs' command connection: message ids, constants, the sender and the request
// formatters of the session. Every request is one line of fields separated by single spaces and ended by
// MESSAGE_TERMINATOR; it goes out with one send of the whole message.

#include <cstdint>

#include "platform/system/win_types.h"

struct DVRDevice;

// Connection types of a DVR session.
constexpr int CONN_COMMAND = 0;
constexpr int CONN_LIVE = 1;
constexpr int CONN_PLAYBACK = 2;

constexpr char MESSAGE_TERMINATOR[] = "\r\n\r\n";
constexpr int MESSAGE_TERMINATOR_LENGTH = 4;
constexpr int LIST_BEGIN = 240;
constexpr int LIST_END = 255;
constexpr int REQUEST_BUFFER_SIZE = 4096;
constexpr int PROTOCOL_VERSION = 0x4000000;

// Bounds of the counts that a list's first message may announce; a larger or negative count is ignored.
constexpr int MAX_LIST_CHANNELS = 256;
constexpr int MAX_LIST_USERS = 32;
constexpr int MAX_LIST_DISKS = 256;
constexpr int MAX_LIST_LANGUAGES = 256;

constexpr int DVR_REQ_HELLO = 0x10001;
constexpr int DVR_REQ_LOGIN = 0x10002;
constexpr int DVR_REQ_KEEPALIVE = 0x10003;
constexpr int DVR_REQ_GET_CHANNEL_NAMES = 0x10005;
constexpr int DVR_REQ_OPEN_STREAM = 0x10006;
constexpr int DVR_REQ_CLOSE_STREAM = 0x10007;
constexpr int DVR_REQ_PTZ = 0x10008;
constexpr int DVR_REQ_PLAYBACK_OPEN = 0x1000B;
constexpr int DVR_REQ_PLAYBACK_CLOSE = 0x1000C;
constexpr int DVR_REQ_SEARCH_FILES = 0x1000D;
constexpr int DVR_REQ_GET_SYSTEM_PARAMS = 0x1000E;
constexpr int DVR_REQ_SET_SYSTEM_PARAMS = 0x1000F;
constexpr int DVR_REQ_GET_USER_LIST = 0x10010;
constexpr int DVR_REQ_GET_USER = 0x10011;
constexpr int DVR_REQ_SET_USER = 0x10012;
constexpr int DVR_REQ_GET_OVERLAY = 0x10013;
constexpr int DVR_REQ_SET_OVERLAY = 0x10014;
constexpr int DVR_REQ_GET_COLOR = 0x10015;
constexpr int DVR_REQ_SET_COLOR = 0x10016;
constexpr int DVR_REQ_GET_VIDEO_MASK = 0x10017;
constexpr int DVR_REQ_SET_VIDEO_MASK = 0x10018;
constexpr int DVR_REQ_GET_CAMERA = 0x10019;
constexpr int DVR_REQ_SET_CAMERA = 0x1001A;
constexpr int DVR_REQ_GET_PRESETS = 0x1001B;
constexpr int DVR_REQ_SET_PRESETS = 0x1001C;
constexpr int DVR_REQ_GET_VIDEO = 0x1001D;
constexpr int DVR_REQ_SET_VIDEO = 0x1001E;
constexpr int DVR_REQ_GET_AUDIO = 0x1001F;
constexpr int DVR_REQ_SET_AUDIO = 0x10020;
constexpr int DVR_REQ_GET_SCHEDULE = 0x10021;
constexpr int DVR_REQ_SET_SCHEDULE = 0x10022;
constexpr int DVR_REQ_GET_ALARM_PARAMS = 0x10023;
constexpr int DVR_REQ_SET_ALARM_PARAMS = 0x10024;
constexpr int DVR_REQ_GET_MOTION_MASK = 0x10025;
constexpr int DVR_REQ_SET_MOTION_MASK = 0x10026;
constexpr int DVR_REQ_GET_NETWORK = 0x10027;
constexpr int DVR_REQ_SET_NETWORK = 0x10028;
constexpr int DVR_REQ_GET_DISKS = 0x10029;
constexpr int DVR_REQ_GET_LANGUAGES = 0x1002A;
constexpr int DVR_REQ_AUTO_SCAN = 0x1002B;
constexpr int DVR_REQ_GET_MONTH_RECORDS = 0x1002C;
constexpr int DVR_REQ_PLAYBACK_CONTROL = 0x1002D;
constexpr int DVR_REQ_GET_DAY_RECORDS = 0x1002E;
constexpr int DVR_REQ_RESTORE_COLOR = 0x10030;
constexpr int DVR_REQ_GET_SUBSTREAM = 0x10031;
constexpr int DVR_REQ_SET_SUBSTREAM = 0x10032;

constexpr int DVR_RSP_HELLO = 0x20001;
constexpr int DVR_RSP_LOGIN = 0x20002;
constexpr int DVR_RSP_KEEPALIVE = 0x20003;
constexpr int DVR_RSP_CHANNEL_NAMES = 0x20005;
constexpr int DVR_RSP_FILE_LIST = 0x2000D;
constexpr int DVR_RSP_SYSTEM_PARAMS = 0x2000E;
constexpr int DVR_RSP_USER_LIST = 0x20010;
constexpr int DVR_RSP_USER = 0x20011;
constexpr int DVR_RSP_OVERLAY = 0x20013;
constexpr int DVR_RSP_COLOR = 0x20015;
constexpr int DVR_RSP_VIDEO_MASK = 0x20017;
constexpr int DVR_RSP_CAMERA = 0x20019;
constexpr int DVR_RSP_PRESETS = 0x2001B;
constexpr int DVR_RSP_VIDEO = 0x2001D;
constexpr int DVR_RSP_AUDIO = 0x2001F;
constexpr int DVR_RSP_SCHEDULE = 0x20021;
constexpr int DVR_RSP_ALARM_PARAMS = 0x20023;
constexpr int DVR_RSP_MOTION_MASK = 0x20025;
constexpr int DVR_RSP_NETWORK = 0x20027;
constexpr int DVR_RSP_DISKS = 0x20029;
constexpr int DVR_RSP_LANGUAGES = 0x2002A;
constexpr int DVR_RSP_MONTH_RECORDS = 0x2002C;
constexpr int DVR_RSP_DAY_RECORDS = 0x2002E;
constexpr int DVR_RSP_PLAYBACK_STATE = 0x2002F;
constexpr int DVR_RSP_SUBSTREAM = 0x20031;
constexpr int DVR_RSP_ALARM_EVENT = 0x20036;

// Sends length bytes of text on sock with one send call; returns what send returned. -1 without sending
// when the device is null or sock is not one of the device's open connections.
int SendDvrMessage(const char* text, int length, int sock, DVRDevice* device);

// Formats a request (printf-style) into a zeroed REQUEST_BUFFER_SIZE buffer, cut at 4095 characters, and
// sends it on sock. Returns SendDvrMessage's result.
int SendFormatted(DVRDevice* device, int sock, const char* format, ...) __attribute__((format(printf, 3, 4)));

// A request of no fields ("%d %s") and one of one number ("%d %d %s") on the command connection.
int SendIdRequest(DVRDevice* device, int id);
int SendIdValueRequest(DVRDevice* device, int id, int value);

int SendHello(DVRDevice* device);
// CONN_COMMAND: the login on the command connection; CONN_LIVE / CONN_PLAYBACK: the bind on that
// connection; any other type sends nothing (-1).
int SendLogin(DVRDevice* device, int connectionType);
int SendKeepAlive(DVRDevice* device);
int SendGetChannelNames(DVRDevice* device);
int SendOpenStream(DVRDevice* device, int channel);
int SendCloseStream(DVRDevice* device, int channel);
int SendGetSystemParams(DVRDevice* device);
