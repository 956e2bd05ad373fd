#include "fuzz/screen_decoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/log.h>
}

#include <cstdlib>

#include "dvr/frame_queue.h"
#include "dvr/stream_headers.h"
#include "media/video_decoder.h"

struct ScreenDecoder::State {
    VideoStreamHeader header{};
    VideoDecoder decoder;
    bool open = false;
};

void QuietDecoderLog() {
    av_log_set_level(AV_LOG_QUIET);
}

ScreenDecoder::ScreenDecoder() : m_state(std::make_unique<State>()) {}
ScreenDecoder::~ScreenDecoder() = default;

void ScreenDecoder::Take(const FrameNode* node) {
    State& s = *m_state;
    if (node->header != nullptr && node->header->length > 0) {
        VideoStreamHeader next = s.header;
        ApplyStreamHeaderBlock(&next, node->header->data, node->header->length);
        if (next.codecType != s.header.codecType || !s.open) {
            s.decoder.Close();
            s.open = s.decoder.Open(DecoderCodecId(next.codecType)) == 0;
        }
        s.header = next;
    }
    if (!s.open || node->payload == nullptr)
        return;
    AVFrame* frame = nullptr;
    int width = 0, height = 0;
    if (s.decoder.Decode(node->payload->data, static_cast<int>(node->payload->length), &frame, &width,
                         &height) != 0)
        return;
    if (width <= 0 || height <= 0 || width % 2 != 0 || height % 2 != 0 || frame == nullptr ||
        frame->data[0] == nullptr || frame->data[1] == nullptr || frame->data[2] == nullptr)
        std::abort();
}
