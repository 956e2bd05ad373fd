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
constexpr int DVR_REQ_GET_SYSTEM_PARAMS = 0x1000E;

constexpr int DVR_RSP_HELLO = 0x20001;
constexpr int DVR_RSP_LOGIN = 0x20002;
constexpr int DVR_RSP_KEEPALIVE = 0x20003;
constexpr int DVR_RSP_CHANNEL_NAMES = 0x20005;
constexpr int DVR_RSP_SYSTEM_PARAMS = 0x2000E;
constexpr int DVR_RSP_ALARM_EVENT = 0x20036;

// Sends length bytes of text on sock with one send call; returns what send returned. -1 without sending
// when the device is null or sock is not one of the device's open connections.
int SendDvrMessage(const char* text, int length, int sock, DVRDevice* device);

// Formats a request (printf-style) into a zeroed REQUEST_BUFFER_SIZE buffer, cut at 4095 characters, and
// sends it on sock. Returns SendDvrMessage's result.
int SendFormatted(DVRDevice* device, int sock, const char* format, ...) __attribute__((format(printf, 3, 4)));

int SendHello(DVRDevice* device);
// CONN_COMMAND: the login on the command connection; CONN_LIVE / CONN_PLAYBACK: the bind on that
// connection; any other type sends nothing (-1).
int SendLogin(DVRDevice* device, int connectionType);
int SendKeepAlive(DVRDevice* device);
int SendGetChannelNames(DVRDevice* device);
int SendOpenStream(DVRDevice* device, int channel);
int SendCloseStream(DVRDevice* device, int channel);
int SendGetSystemParams(DVRDevice* device);
