#pragma once

// LAN discovery: one request datagram to the discovery address (VISTAL_DISCOVERY_ADDRESS, default the
// broadcast address 255.255.255.255 port 8999) and the DVRs' reply datagrams, received on
// VISTAL_DISCOVERY_REPLY_PORT (default 8998). Nothing is ever sent anywhere else; the address must be a
// numeric IPv4 address (no name is resolved). UI thread: the refresh and the device list dialog's search.

#include <QByteArray>
#include <QString>

#include "dvr/device_list_node.h"

constexpr int DVR_REQ_DISCOVER = 65587;
constexpr int DISCOVERY_PORT = 8999;
constexpr int DISCOVERY_REPLY_PORT = 8998;
constexpr int DISCOVERY_ROUNDS = 3;
constexpr int DISCOVERY_ROUND_MS = 200;
// Largest reply taken; a longer datagram is dropped, never read cut short.
constexpr int DISCOVERY_REPLY_SIZE = 1024;

// "65587 0 \r\n\r\n", sent without a NUL.
QByteArray FormatDiscoveryRequest();

// The fields of a reply that the client uses.
struct DiscoveryReply {
    QString name;  // "(NULL)" read as empty, SPACE_SUBSTITUTE as spaces, from the 8-bit code page
    QString host;  // the same rules
    int port = 0;
};

// Reads the eight fields of a reply datagram (bytes, length: the datagram, not NUL-terminated). 0, or -1
// when fewer than eight fields can be read, a text field is longer than 255 bytes, field 2 or 3 is not 0,
// or the port is outside 1-65535.
[[nodiscard]] int ParseDiscoveryReply(const char* bytes, int length, DiscoveryReply* reply);

// The UDP socket the replies arrive on, bound to every local address at the reply port. Closed with the
// object.
class DiscoveryReceiver {
public:
    DiscoveryReceiver() = default;
    DiscoveryReceiver(const DiscoveryReceiver&) = delete;
    DiscoveryReceiver& operator=(const DiscoveryReceiver&) = delete;
    ~DiscoveryReceiver();

    // Binds the reply port (VISTAL_DISCOVERY_REPLY_PORT or DISCOVERY_REPLY_PORT). 0, or -1.
    [[nodiscard]] int Open();
    // Drops every datagram that has arrived so far (called right before the request goes out: nothing sent
    // before it is a reply). The number dropped.
    int DropQueued();
    // Waits up to timeoutMs for one datagram. 1 with it in *datagram; 0 when none came; 2 when one came
    // but was longer than DISCOVERY_REPLY_SIZE (dropped); -1 on a socket error.
    [[nodiscard]] int Receive(int timeoutMs, QByteArray* datagram);

private:
    int m_socket = -1;
};

// Sends the discovery request to the configured discovery address with SO_BROADCAST set. 0, or -1 when
// the address setting is not a numeric IPv4 address with a valid port or the datagram cannot be sent.
[[nodiscard]] int SendDiscoveryRequest();

// One discovery: opens the receiver, sends the request, takes at most one datagram in each of
// DISCOVERY_ROUNDS rounds of DISCOVERY_ROUND_MS, and appends a NODE_DVR node for each valid reply whose host
// no earlier node has (ids 0, 1, 2 in order, user the Base64 of "admin", empty password). 0, or -1 when
// the receiver cannot be bound or the request cannot be sent (found is then left empty). Blocks the
// calling thread up to about 0.6 s.
[[nodiscard]] int DiscoverDevices(DeviceList* found);

// How a pass of the device list dialog's search differs from the refresh's: the pause after each receive
// attempt, and a user kept as the plain text "admin" (it is encoded when the list is saved).
struct DiscoveryPass {
    int pauseMs = 1;
    bool plainUser = false;
};
constexpr DiscoveryPass DEVICE_LIST_SEARCH_PASS = {100, true};
// DiscoverDevices with the pass's pause and user form.
[[nodiscard]] int DiscoverDevices(DeviceList* found, const DiscoveryPass& pass);
