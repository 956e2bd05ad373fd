#include "tests/media/test_streams.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
}

std::vector<uint8_t> TestPicture(int frame, int width, int height, bool textured) {
    std::vector<uint8_t> picture(static_cast<size_t>(width) * height * 3 / 2);
    int box = width > 16 ? (frame * 8) % (width - 16) : 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t value = x < width / 2 ? 60 : 200;
            if (x >= box && x < box + 16 && y >= 8 && y < 24)
                value = 120;
            if (textured)
                value = static_cast<uint8_t>(value + (((x * 7 + y * 13 + frame * 5) ^ (x * y + frame)) & 31));
            picture[static_cast<size_t>(y) * width + x] = value;
        }
    }
    size_t luma = static_cast<size_t>(width) * height;
    std::fill(picture.begin() + luma, picture.begin() + luma + luma / 4, 100);
    std::fill(picture.begin() + luma + luma / 4, picture.end(), 160);
    return picture;
}

bool HaveEncoder(const char* encoder) {
    return avcodec_find_encoder_by_name(encoder) != nullptr;
}

namespace {
void Drain(AVCodecContext* context, AVPacket* packet, EncodedStream* out) {
    while (avcodec_receive_packet(context, packet) == 0) {
        out->packets.emplace_back(packet->data, packet->data + packet->size);
        av_packet_unref(packet);
    }
}
}  // namespace

bool EncodeTestStream(const char* encoder, int width, int height, int frames, EncodedStream* out, int gop,
                      bool yuv422, bool textured) {
    av_log_set_level(AV_LOG_ERROR);
    const AVCodec* codec = avcodec_find_encoder_by_name(encoder);
    if (codec == nullptr)
        return false;
    AVCodecContext* context = avcodec_alloc_context3(codec);
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    bool ok = context != nullptr && frame != nullptr && packet != nullptr;
    if (ok) {
        bool jpeg = codec->id == AV_CODEC_ID_MJPEG;
        context->width = width;
        context->height = height;
        context->time_base = AVRational{1, 25};
        context->framerate = AVRational{25, 1};
        context->pix_fmt = jpeg ? (yuv422 ? AV_PIX_FMT_YUVJ422P : AV_PIX_FMT_YUVJ420P) : AV_PIX_FMT_YUV420P;
        context->gop_size = gop;
        context->max_b_frames = 0;
        context->bit_rate = static_cast<int64_t>(width) * height * 8;  // CIF about 800 kbit/s
        context->thread_count = 1;
        if (codec->id == AV_CODEC_ID_H264) {
            // Textured streams are for measuring: CABAC and the loop filter on, as cameras encode.
            av_opt_set(context->priv_data, "preset", textured ? "veryfast" : "ultrafast", 0);
            av_opt_set(context->priv_data, "tune", "zerolatency", 0);
        }
        ok = avcodec_open2(context, codec, nullptr) >= 0;
    }
    if (ok) {
        out->width = width;
        out->height = height;
        out->packets.clear();
        frame->format = context->pix_fmt;
        frame->width = width;
        frame->height = height;
        ok = av_frame_get_buffer(frame, 0) >= 0;
    }
    for (int i = 0; ok && i < frames; ++i) {
        ok = av_frame_make_writable(frame) >= 0;
        std::vector<uint8_t> picture = TestPicture(i, width, height, textured);
        const uint8_t* planes[3] = {picture.data(), picture.data() + width * height,
                                    picture.data() + width * height * 5 / 4};
        for (int p = 0; ok && p < 3; ++p) {
            int pw = p == 0 ? width : width / 2;
            int ph = p == 0 || yuv422 ? height : height / 2;
            for (int y = 0; y < ph; ++y) {
                const uint8_t* row = planes[p] + (p == 0 ? y * width : (yuv422 ? y / 2 : y) * pw);
                std::copy(row, row + pw, frame->data[p] + y * frame->linesize[p]);
            }
        }
        frame->pts = i;
        ok = ok && avcodec_send_frame(context, frame) >= 0;
        if (ok)
            Drain(context, packet, out);
    }
    if (ok && avcodec_send_frame(context, nullptr) >= 0)
        Drain(context, packet, out);
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&context);
    return ok && !out->packets.empty();
}
