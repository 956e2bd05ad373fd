#include "bench/live_frame_feed.h"

#include <cstring>

#include "dvr/dvr_protocol.h"
#include "dvr/stream_frame.h"

std::vector<uint8_t> LiveVideoFrame(int channel, const void* ext, uint32_t extLength, const uint8_t* payload,
                                    uint32_t payloadLength) {
    StreamFrameHeader header{STREAM_MAGIC | STREAM_FLAG_VIDEO, channel, extLength, payloadLength};
    std::vector<uint8_t> frame(sizeof header + extLength + payloadLength + STREAM_TRAILER_LENGTH);
    std::memcpy(frame.data(), &header, sizeof header);
    if (extLength > 0)
        std::memcpy(frame.data() + sizeof header, ext, extLength);
    if (payloadLength > 0)
        std::memcpy(frame.data() + sizeof header + extLength, payload, payloadLength);
    std::memcpy(frame.data() + sizeof header + extLength + payloadLength, STREAM_TRAILER,
                STREAM_TRAILER_LENGTH);
    return frame;
}

int ParseLiveFrame(DVRDevice* device, const std::vector<uint8_t>& frame) {
    return ParseStreamFrame(static_cast<int>(frame.size()), device, nullptr, CONN_LIVE, frame.data());
}
