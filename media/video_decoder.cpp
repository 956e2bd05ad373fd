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
    for (AVBufferRef*& buffer : packetBuffers)
        av_buffer_unref(&buffer);
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&context);
    codec = nullptr;
}

namespace {
bool IsPlanar420(int format) {
    return format == AV_PIX_FMT_YUV420P || format == AV_PIX_FMT_YUVJ420P;
}

// Points the packet at a copy of the bytes (with the zeroed padding libavcodec reads past the end) in one of
// the buffers: one the decoder let go of and large enough, else a new one in place of one of them. -1
// without memory.
int FillPacket(AVPacket* packet, AVBufferRef* (&buffers)[2], const uint8_t* data, int length) {
    size_t needed = static_cast<size_t>(length) + AV_INPUT_BUFFER_PADDING_SIZE;
    AVBufferRef** buffer = nullptr;
    for (AVBufferRef*& b : buffers) {
        if (b != nullptr && b->size >= needed && av_buffer_is_writable(b)) {
            buffer = &b;
            break;
        }
    }
    if (buffer == nullptr) {
        // One the decoder holds is given up to it (freed when it lets go), else the smaller one is replaced.
        buffer = buffers[0] == nullptr || !av_buffer_is_writable(buffers[0]) ? &buffers[0] : &buffers[1];
        av_buffer_unref(buffer);
        // Grown with room, so a stream's packets of slowly rising size do not each replace it.
        *buffer = av_buffer_alloc(needed + needed / 2);
        if (*buffer == nullptr)
            return -1;
    }
    std::memcpy((*buffer)->data, data, static_cast<size_t>(length));
    std::memset((*buffer)->data + length, 0, AV_INPUT_BUFFER_PADDING_SIZE);
    packet->buf = av_buffer_ref(*buffer);
    if (packet->buf == nullptr)
        return -1;
    packet->data = (*buffer)->data;
    packet->size = length;
    return 0;
}
}  // namespace

int VideoDecoder::Decode(const uint8_t* data, int length, AVFrame** out, int* width, int* height) {
    if (context == nullptr || packet == nullptr || frame == nullptr)
        return -1;
    int received = AVERROR(EAGAIN);
    if (data != nullptr && length > 0) {
        // The decoder takes a reference to the packet's buffer rather than a copy of its own.
        if (FillPacket(packet, packetBuffers, data, length) != 0) {
            av_packet_unref(packet);
            return -1;
        }
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
