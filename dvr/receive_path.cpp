#include "dvr/receive_path.h"

#include <sys/socket.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "core/text_helpers.h"
#include "dvr/dvr_device.h"
#include "dvr/dvr_parsers.h"
#include "dvr/dvr_protocol.h"
#include "dvr/stream_frame.h"

namespace {

// Receives per call at most this many times before the thread looks at its queue again.
constexpr int kMaxReceivesPerRound = 64;

struct ConnectionBuffer {
    uint8_t* data;
    int32_t* fill;
    int capacity;
    const char* separator;
    int separatorLength;
};

// The buffer of a connection; the stream buffers are allocated on the first data (null when that fails).
bool GetBuffer(DVRDevice* device, int type, ConnectionBuffer* buffer) {
    if (type == CONN_COMMAND) {
        *buffer = {device->commandBuffer, &device->commandFill, COMMAND_BUFFER_SIZE, MESSAGE_TERMINATOR,
                   MESSAGE_TERMINATOR_LENGTH};
        return true;
    }
    MallocPtr<uint8_t>* data = type == CONN_LIVE       ? &device->liveBuffer
                               : type == CONN_PLAYBACK ? &device->playbackBuffer
                                                       : nullptr;
    if (data == nullptr)
        return false;
    if (*data == nullptr) {
        data->reset(static_cast<uint8_t*>(std::malloc(STREAM_BUFFER_SIZE)));
        if (*data == nullptr)
            return false;
    }
    *buffer = {data->get(), type == CONN_LIVE ? &device->liveFill : &device->playbackFill, STREAM_BUFFER_SIZE,
               STREAM_TRAILER, STREAM_TRAILER_LENGTH};
    return true;
}

// Handles every complete message held in the buffer. Bytes before oldFill were searched already, so
// only the new bytes (and the separator's length before them) are searched again.
void CutMessages(DVRDevice* device, HWND mainWindow, int type, const ConnectionBuffer& buffer, int oldFill) {
    int fill = *buffer.fill;
    int start = 0;
    int searchFrom = oldFill - (buffer.separatorLength - 1);
    if (searchFrom < 0)
        searchFrom = 0;
    for (;;) {
        int found =
            FindBytes(buffer.separator, buffer.separatorLength, fill - searchFrom, buffer.data + searchFrom);
        if (found < 0)
            break;
        int end = searchFrom + found + buffer.separatorLength;
        if (type == CONN_COMMAND) {
            DispatchDvrMessage(reinterpret_cast<const char*>(buffer.data + start), device, mainWindow,
                               end - start);
        } else {
            ParseStreamFrame(end - start, device, mainWindow, type, buffer.data + start);
        }
        start = end;
        searchFrom = end;
    }
    if (start > 0) {
        std::memmove(buffer.data, buffer.data + start, fill - start);
        fill -= start;
    }
    if (fill == buffer.capacity) {
        // Full without a separator: what is held can never end well. Keep only the bytes that may begin
        // the next separator, so the stream resynchronises at the next one.
        int keep = buffer.separatorLength - 1;
        std::memmove(buffer.data, buffer.data + fill - keep, keep);
        fill = keep;
    }
    *buffer.fill = fill;
}

}  // namespace

void SplitReceivedData(int connectionType, int length, const void* bytes, DVRDevice* device,
                       HWND mainWindow) {
    ConnectionBuffer buffer;
    if (device == nullptr || length <= 0 || !GetBuffer(device, connectionType, &buffer))
        return;
    const auto* in = static_cast<const uint8_t*>(bytes);
    // Taken in pieces of at most the room left, so that a buffer that fills up resynchronises instead of
    // dropping the rest of what came.
    while (length > 0) {
        int oldFill = *buffer.fill;
        int room = buffer.capacity - oldFill;
        int take = length < room ? length : room;
        std::memcpy(buffer.data + oldFill, in, take);
        *buffer.fill = oldFill + take;
        in += take;
        length -= take;
        CutMessages(device, mainWindow, connectionType, buffer, oldFill);
    }
}

int ReceiveDeviceData(DVRDevice* device, HWND mainWindow, int connectionType, int sock) {
    ConnectionBuffer buffer;
    if (device == nullptr || sock < 0 || !GetBuffer(device, connectionType, &buffer))
        return -1;
    for (int i = 0; i < kMaxReceivesPerRound; ++i) {
        int oldFill = *buffer.fill;
        int room = buffer.capacity - oldFill;
        ssize_t got = recv(sock, buffer.data + oldFill, static_cast<size_t>(room), MSG_DONTWAIT);
        if (got > 0) {
            *buffer.fill = oldFill + static_cast<int>(got);
            CutMessages(device, mainWindow, connectionType, buffer, oldFill);
            if (got < room)
                return 0;
            continue;
        }
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
            return 0;
        return -1;
    }
    return 0;
}
