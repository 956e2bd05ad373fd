#include "dvr/dvr_protocol.h"

#include <sys/socket.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "dvr/device_tree_node.h"
#include "dvr/dvr_device.h"
#include "dvr/dvr_fields.h"

int SendDvrMessage(const char* text, int length, int sock, DVRDevice* device) {
    if (device == nullptr || text == nullptr || length <= 0 || sock < 0)
        return -1;
    std::lock_guard<std::mutex> guard(device->sendLock);
    // A socket that is no longer one of the device's connections was closed (and its number may belong
    // to something else by now).
    if (sock != device->commandSocket.load() && sock != device->liveSocket.load() &&
        sock != device->playbackSocket.load())
        return -1;
    return static_cast<int>(send(sock, text, static_cast<size_t>(length), MSG_NOSIGNAL | MSG_DONTWAIT));
}

int SendFormatted(DVRDevice* device, int sock, const char* format, ...) {
    char buffer[REQUEST_BUFFER_SIZE] = {};
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return SendDvrMessage(buffer, static_cast<int>(std::strlen(buffer)), sock, device);
}

int SendIdRequest(DVRDevice* device, int id) {
    if (device == nullptr)
        return -1;
    return SendFormatted(device, device->commandSocket, "%d %s", id, MESSAGE_TERMINATOR);
}

int SendIdValueRequest(DVRDevice* device, int id, int value) {
    if (device == nullptr)
        return -1;
    return SendFormatted(device, device->commandSocket, "%d %d %s", id, value, MESSAGE_TERMINATOR);
}

int SendHello(DVRDevice* device) {
    return SendIdValueRequest(device, DVR_REQ_HELLO, PROTOCOL_VERSION);
}

int SendLogin(DVRDevice* device, int connectionType) {
    if (device == nullptr)
        return -1;
    if (connectionType == CONN_COMMAND) {
        char user[TEXT_FIELD_SIZE];
        char password[TEXT_FIELD_SIZE];
        // A credential too long for its field is refused rather than sent cut.
        if (EncodeCredentialField(device->node != nullptr ? device->node->user : nullptr, user,
                                  sizeof user) != 0 ||
            EncodeCredentialField(device->node != nullptr ? device->node->password : nullptr, password,
                                  sizeof password) != 0)
            return -1;
        return SendFormatted(device, device->commandSocket, "%d %d %d %s %s %s", DVR_REQ_LOGIN,
                             device->sessionId.load(), 0, user, password, MESSAGE_TERMINATOR);
    }
    int sock = connectionType == CONN_LIVE       ? device->liveSocket.load()
               : connectionType == CONN_PLAYBACK ? device->playbackSocket.load()
                                                 : -1;
    if (sock < 0)
        return -1;
    return SendFormatted(device, sock, "%d %d %d %s", DVR_REQ_LOGIN, device->sessionId.load(), connectionType,
                         MESSAGE_TERMINATOR);
}

int SendKeepAlive(DVRDevice* device) {
    return SendIdValueRequest(device, DVR_REQ_KEEPALIVE, 0);
}

int SendGetChannelNames(DVRDevice* device) {
    return SendIdRequest(device, DVR_REQ_GET_CHANNEL_NAMES);
}

int SendOpenStream(DVRDevice* device, int channel) {
    return SendIdValueRequest(device, DVR_REQ_OPEN_STREAM, channel);
}

int SendCloseStream(DVRDevice* device, int channel) {
    return SendIdValueRequest(device, DVR_REQ_CLOSE_STREAM, channel);
}

int SendGetSystemParams(DVRDevice* device) {
    return SendIdRequest(device, DVR_REQ_GET_SYSTEM_PARAMS);
}
