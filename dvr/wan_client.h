#pragma once

// The WAN server client. In WAN mode the operator's login is checked by the WAN server, which also
// supplies the operator's list of DVRs; the DVR sessions still connect to each DVR directly. One TCP
// connection (VISTAL_WAN_SERVER, default WAN_SERVER_HOST port 9999) carries text messages framed like the
// DVR command protocol: fields separated by spaces, each message ended by MESSAGE_TERMINATOR.
//
// Threads: everything here runs on the UI thread only (login dialog, start-up auto-login, device list
// refresh, the request relay's delete). Each call that waits blocks that thread for a bounded time:
// CheckLogin at most the connect time-out (3 s) plus RELAY_LOGIN_DEADLINE_MS, RefreshDeviceList (WAN
// mode) at most RELAY_LIST_DEADLINE_MS, and either ends after RELAY_TIMEOUT_MS of silence.

#include <QString>
#include <cstdint>
#include <vector>

#include "dvr/device_tree_node.h"

constexpr char RELAY_PORT[] = "9999";
constexpr int RELAY_TIMEOUT_MS = 3000;
// The built-in WAN server, used when VISTAL_WAN_SERVER does not name one.
constexpr char WAN_SERVER_HOST[] = "wan.vistal.example";
// Whole wait for the login reply, and for the device list to end, however the bytes trickle in.
constexpr int RELAY_LOGIN_DEADLINE_MS = RELAY_TIMEOUT_MS;
constexpr int RELAY_LIST_DEADLINE_MS = 2 * RELAY_TIMEOUT_MS;
constexpr int RELAY_BUFFER_SIZE = 8192;
// Most device entries one list may announce; a larger count is cut to it.
constexpr int RELAY_MAX_ENTRIES = 4096;

constexpr int LOGIN_OK = 0;
constexpr int LOGIN_FAILED = 1;
constexpr int LOGIN_NO_SERVER = 2;
// WAN mode: the user or password cannot travel whole in the login (nothing was sent).
constexpr int LOGIN_CREDENTIAL_TOO_LONG = 3;
constexpr int LOGIN_CREDENTIAL_NOT_IN_CODE_PAGE = 4;

constexpr int RELAY_REQ_LOGIN = 0x30002;
constexpr int RELAY_REQ_GET_DEVICES = 0x30012;
constexpr int RELAY_REQ_DELETE_DEVICE = 0x30013;
constexpr int RELAY_RSP_LOGIN = 0x40002;
constexpr int RELAY_RSP_PARAM = 0x40003;
constexpr int RELAY_RSP_LOGOUT = 0x40004;
constexpr int RELAY_RSP_DEVICES = 0x40012;

constexpr uint32_t RELAY_FLAG_LOGIN_ANSWERED = 0x80;
constexpr uint32_t RELAY_FLAG_LIST_COMPLETE = 0x08;

// One DVR of the WAN server's list, as its entry message gave it.
struct RelayDeviceEntry {
    int32_t spare0 = 0;
    char name[256] = {};  // 8-bit code page
    int32_t spare1 = 0;
    int32_t spare2 = 0;
    char host[256] = {};  // UTF-8
    int32_t port = 0;
    char altHost[256] = {};  // UTF-8
    int32_t altValue = 0;
    bool received = false;  // an entry message filled it (announced entries that never came are skipped)
};

// The WAN server connection and what its replies left.
struct RelaySession {
    int32_t relayId = 0;      // from the login reply; -1 after a logout message
    int32_t loginResult = 0;  // of the last login reply, negative kept as -1; -1 after a logout message
    int socket = -1;
    uint8_t buffer[RELAY_BUFFER_SIZE] = {};
    int32_t fill = 0;
    int32_t param = 0;  // the last PARAM value; nothing reads it
    uint32_t flags = 0;
    int32_t entryCount = 0;
    std::vector<RelayDeviceEntry> entries;
};

// The one session, made by InitRelaySession (InitMediaSystem) and freed by FreeRelaySession
// (FreeMediaSystem), which closes its connection.
extern RelaySession* g_relaySession;
[[nodiscard]] int InitRelaySession();
void FreeRelaySession();
// Closes the connection (if open) and empties the receive buffer.
void CloseRelayConnection(RelaySession* session);

// The login check of both modes (UI thread).
// - Empty user: LOGIN_FAILED.
// - LAN mode: LOGIN_OK when user and password equal theApp's local account exactly, else LOGIN_FAILED.
// - WAN mode: a user or password that the login cannot carry whole gives LOGIN_CREDENTIAL_TOO_LONG or
//   LOGIN_CREDENTIAL_NOT_IN_CODE_PAGE at once, without connecting. Otherwise opens a new connection to the
//   WAN server, sends the login and waits for its reply (at most RELAY_LOGIN_DEADLINE_MS after the
//   connect, which takes at most 3 s). LOGIN_OK (and theApp's WAN user and password set) or LOGIN_FAILED
//   only on a login reply received in this call; LOGIN_NO_SERVER when the server cannot be reached, stays
//   silent, closes the connection or sends only other messages. A server that cannot be reached leaves
//   the earlier connection and its relay id in use; once the new connection is up it replaces the earlier
//   one and stays open (also after a refused login) for the device list and delete requests.
[[nodiscard]] int CheckLogin(const QString& user, const QString& password);

// Hands one message (its bytes without the terminator) to the parser of its id. 0; -1 when no id can be
// read. Messages of other ids are ignored.
[[nodiscard]] int DispatchRelayMessage(RelaySession* session, const char* message, int length);

// Sends length bytes with one send. send's result; -1 for a null session or no connection.
int SendRelayMessage(RelaySession* session, const char* bytes, int length);
int SendRelayLogin(const QString& user, const QString& password, RelaySession* session);
int SendRelayGetDevices(RelaySession* session);
// Sends the delete request for the node's DVR name (UTF-8, spaces kept) and frees the node (malloc'd by
// the poster). No reply is awaited; the tree file is not changed here.
void SendRelayDeleteDevice(DeviceTreeNode* node);

// Reply parsers, each given one message (without terminator). 0, or -1 when the fields do not parse.
[[nodiscard]] int ParseRelayLoginReply(const char* message, int length, RelaySession* session);
[[nodiscard]] int ParseRelayParam(const char* message, int length, RelaySession* session);
[[nodiscard]] int ParseRelayLogout(const char* message, int length, RelaySession* session);
// The device list messages: list start (count, clamped to 0..RELAY_MAX_ENTRIES), entries, and the list
// end, which builds the list of the received entries, merges it into the tree file (MergeDeviceTreeFile)
// and sets RELAY_FLAG_LIST_COMPLETE.
[[nodiscard]] int ParseRelayDeviceList(const char* message, int length, RelaySession* session);

// Receives into the session's buffer and dispatches every complete message until one of them sets
// doneFlag, the connection closes or fails, nothing arrives for RELAY_TIMEOUT_MS, or deadlineMs
// (MonotonicMs) passes. A buffer filled without a terminator is discarded. 0 when the flag was set, -1
// otherwise.
[[nodiscard]] int ReceiveRelayMessages(RelaySession* session, uint32_t doneFlag, uint64_t deadlineMs);
