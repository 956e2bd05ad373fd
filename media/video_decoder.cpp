#include "media/video_decoder.h"

#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/pixfmt.h>
}

#include "core/codec_map.h"
#include "media/libav_log.h"

int DecoderCodecId(int dvrCodec) {
    if (dvrCodec == 0)
        return AV_CODEC_ID_MPEG4;
    return DvrCodecToAvCodecId(dvrCodec);
}

namespace {
// 16 megapixels: 4096 x 4096, or 4K pictures with room to spare.
constexpr int64_t kMaxPicturePixels = int64_t(4096) * 4096;
}  // namespace

int VideoDecoder::Open(int codecId) {
    if (codecId == AV_CODEC_ID_NONE)
        return -1;
    InstallLibavLog();
    codec = avcodec_find_decoder(static_cast<AVCodecID>(codecId));
    if (codec == nullptr)
        return -1;
    context = avcodec_alloc_context3(codec);
    if (context == nullptr)
        return -1;
    // One thread per decoder: the slots already decode on 67 threads, and frame threading would delay
    // every picture by a frame per extra thread.
    context->thread_count = 1;
    // A stream header inside the packets may claim any picture size; bigger than any camera's pictures it
    // only makes the decoder allocate and clear huge frames (about a second each), so it is refused.
    context->max_pixels = kMaxPicturePixels;
    if (avcodec_open2(context, codec, nullptr) < 0)
        return -1;
    frame = av_frame_alloc();
    packet = av_packet_alloc();
    return frame != nullptr && packet != nullptr ? 0 : -1;
}

void VideoDecoder::Close() {
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&context);
    codec = nullptr;
}

namespace {
bool IsPlanar420(int format) {
    return format == AV_PIX_FMT_YUV420P || format == AV_PIX_FMT_YUVJ420P;
}
}  // namespace

int VideoDecoder::Decode(const uint8_t* data, int length, AVFrame** out, int* width, int* height) {
    if (context == nullptr || packet == nullptr || frame == nullptr)
        return -1;
    int received = AVERROR(EAGAIN);
    if (data != nullptr && length > 0) {
        // The packet only points at the caller's bytes; the decoder copies what it keeps.
        packet->data = const_cast<uint8_t*>(data);
        packet->size = length;
        int sent = avcodec_send_packet(context, packet);
        if (sent == AVERROR(EAGAIN)) {
            // A picture is still waiting: take it, then the decoder accepts the packet.
            received = avcodec_receive_frame(context, frame);
            sent = avcodec_send_packet(context, packet);
        }
        av_packet_unref(packet);
        if (sent < 0 && received != 0)
            return -1;
    }
    if (received != 0)
        received = avcodec_receive_frame(context, frame);
    int w = (received == 0 ? frame->width : context->width) & ~1;
    int h = (received == 0 ? frame->height : context->height) & ~1;
    if (width != nullptr)
        *width = w;
    if (height != nullptr)
        *height = h;
    if (received != 0)
        return -1;
    if (!IsPlanar420(frame->format) || w < 2 || h < 2 || frame->data[0] == nullptr ||
        frame->data[1] == nullptr || frame->data[2] == nullptr)
        return -1;
    if (out != nullptr)
        *out = frame;
    return 0;
}
