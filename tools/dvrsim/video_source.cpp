#include "tools/dvrsim/video_source.h"

#include "tools/dvrsim/time_mark.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/opt.h>
}

#include <cmath>
#include <cstring>
#include <map>
#include <mutex>
#include <tuple>

namespace dvrsim {

namespace {

constexpr int kGopLength = 10;
constexpr int64_t kGopBitRate = 400000;
// Pictures that are all key frames need more bits for the same look.
constexpr int64_t kKeyFramesBitRate = 1500000;

const AVCodec* FindEncoder(int codec) {
    switch (codec) {
        case kCodecH263:
            return avcodec_find_encoder(AV_CODEC_ID_H263);
        case kCodecMpeg4:
            return avcodec_find_encoder(AV_CODEC_ID_MPEG4);
        case kCodecH264:
            return avcodec_find_encoder(AV_CODEC_ID_H264);
        default:
            return nullptr;
    }
}

// A moving picture: diagonal bands that shift with the frame index, a box that travels across.
void DrawPicture(AVFrame* frame, int index) {
    for (int y = 0; y < frame->height; ++y) {
        uint8_t* row = frame->data[0] + y * frame->linesize[0];
        for (int x = 0; x < frame->width; ++x)
            row[x] = static_cast<uint8_t>(((x + y + index * 8) & 0x3F) * 3 + 16);
    }
    int box = frame->width / 8;
    int left = (index * 12) % (frame->width - box);
    for (int y = frame->height / 3; y < frame->height / 3 + box; ++y) {
        uint8_t* row = frame->data[0] + y * frame->linesize[0];
        for (int x = left; x < left + box; ++x)
            row[x] = 235;
    }
    for (int plane = 1; plane < 3; ++plane) {
        for (int y = 0; y < frame->height / 2; ++y) {
            uint8_t* row = frame->data[plane] + y * frame->linesize[plane];
            for (int x = 0; x < frame->width / 2; ++x)
                row[x] = static_cast<uint8_t>(plane == 1 ? 128 + ((x + index) & 0x1F) : 128 - (y & 0x1F));
        }
    }
}

void Drain(AVCodecContext* context, AVPacket* packet, EncodedGop* gop) {
    while (avcodec_receive_packet(context, packet) == 0) {
        EncodedPicture picture;
        picture.bytes.assign(reinterpret_cast<const char*>(packet->data), packet->size);
        picture.key = (packet->flags & AV_PKT_FLAG_KEY) != 0;
        gop->pictures.push_back(std::move(picture));
        av_packet_unref(packet);
    }
}

// An encoder for the codec at that size and rate with a key frame every gop pictures and about that many
// bits a second; null when libavcodec has none here or it does not open.
AVCodecContext* OpenEncoder(int codec, int width, int height, int framesPerSecond, int gop, int64_t bitRate) {
    const AVCodec* encoder = FindEncoder(codec);
    if (encoder == nullptr)
        return nullptr;
    AVCodecContext* context = avcodec_alloc_context3(encoder);
    if (context == nullptr)
        return nullptr;
    context->width = width;
    context->height = height;
    context->pix_fmt = AV_PIX_FMT_YUV420P;
    context->time_base = AVRational{1, framesPerSecond};
    context->framerate = AVRational{framesPerSecond, 1};
    context->gop_size = gop;
    context->max_b_frames = 0;
    context->bit_rate = bitRate;
    context->thread_count = 1;
    if (codec == kCodecH264) {
        av_opt_set(context->priv_data, "preset", "ultrafast", 0);
        av_opt_set(context->priv_data, "tune", "zerolatency", 0);
    }
    if (avcodec_open2(context, encoder, nullptr) != 0)
        avcodec_free_context(&context);
    return context;
}

AVFrame* PictureFrame(int width, int height) {
    AVFrame* frame = av_frame_alloc();
    if (frame == nullptr)
        return nullptr;
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = width;
    frame->height = height;
    if (av_frame_get_buffer(frame, 0) != 0)
        av_frame_free(&frame);
    return frame;
}

std::shared_ptr<EncodedGop> Encode(int codec, int width, int height, int framesPerSecond) {
    AVCodecContext* context = OpenEncoder(codec, width, height, framesPerSecond, kGopLength, kGopBitRate);
    AVFrame* frame = PictureFrame(width, height);
    AVPacket* packet = av_packet_alloc();
    std::shared_ptr<EncodedGop> gop;
    if (context != nullptr && frame != nullptr && packet != nullptr) {
        gop = std::make_shared<EncodedGop>();
        gop->codec = codec;
        gop->width = width;
        gop->height = height;
        gop->framesPerSecond = framesPerSecond;
        for (int i = 0; i < kGopLength; ++i) {
            if (av_frame_make_writable(frame) != 0)
                break;
            DrawPicture(frame, i);
            frame->pts = i;
            if (avcodec_send_frame(context, frame) != 0)
                break;
            Drain(context, packet, gop.get());
        }
        avcodec_send_frame(context, nullptr);
        Drain(context, packet, gop.get());
        if (gop->pictures.empty() || !gop->pictures.front().key)
            gop.reset();
    }
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&context);
    return gop;
}

}  // namespace

bool HasEncoder(int codec) {
    return FindEncoder(codec) != nullptr;
}

std::shared_ptr<const EncodedGop> GetEncodedGop(int codec, int width, int height, int framesPerSecond) {
    static std::mutex lock;
    static std::map<std::tuple<int, int, int, int>, std::shared_ptr<const EncodedGop>> cache;
    std::lock_guard<std::mutex> guard(lock);
    auto key = std::make_tuple(codec, width, height, framesPerSecond);
    auto found = cache.find(key);
    if (found != cache.end())
        return found->second;
    std::shared_ptr<const EncodedGop> gop = Encode(codec, width, height, framesPerSecond);
    cache[key] = gop;
    return gop;
}

RecordedPictureEncoder::RecordedPictureEncoder(int codec, int width, int height, int framesPerSecond)
    : context_(
          OpenEncoder(codec, width, height, framesPerSecond > 0 ? framesPerSecond : 1, 1, kKeyFramesBitRate)),
      frame_(PictureFrame(width, height)),
      packet_(av_packet_alloc()) {}

RecordedPictureEncoder::~RecordedPictureEncoder() {
    av_packet_free(&packet_);
    av_frame_free(&frame_);
    avcodec_free_context(&context_);
}

bool RecordedPictureEncoder::Encode(int64_t index, uint32_t recordedTime, std::string* bytes) {
    if (context_ == nullptr || frame_ == nullptr || packet_ == nullptr || av_frame_make_writable(frame_) != 0)
        return false;
    DrawPicture(frame_, static_cast<int>(index % 1000000));
    DrawTimeMark(frame_->data[0], frame_->linesize[0], frame_->width, frame_->height, recordedTime);
    // Neutral chroma under the mark: it shows black and white.
    const int band = static_cast<int>(frame_->height * kTimeMarkHeight) / 2;
    for (int plane = 1; plane < 3; ++plane) {
        for (int y = 0; y < band; ++y)
            std::memset(frame_->data[plane] + y * frame_->linesize[plane], 128,
                        static_cast<size_t>(frame_->width / 2));
    }
    // The encoder wants rising times whatever picture of whichever window it encodes.
    frame_->pts = nextPts_++;
    if (avcodec_send_frame(context_, frame_) != 0)
        return false;
    bool got = false;
    while (avcodec_receive_packet(context_, packet_) == 0) {
        bytes->assign(reinterpret_cast<const char*>(packet_->data), static_cast<size_t>(packet_->size));
        got = true;
        av_packet_unref(packet_);
    }
    return got;
}

std::string PcmPacket(int sampleRate, int framesPerSecond, int index) {
    int samples = sampleRate / (framesPerSecond > 0 ? framesPerSecond : 1);
    std::string bytes(static_cast<size_t>(samples) * 2, '\0');
    for (int i = 0; i < samples; ++i) {
        double t = static_cast<double>(index * samples + i) / sampleRate;
        auto value = static_cast<int16_t>(std::lround(8000.0 * std::sin(2.0 * M_PI * 440.0 * t)));
        bytes[2 * i] = static_cast<char>(value & 0xFF);
        bytes[2 * i + 1] = static_cast<char>((value >> 8) & 0xFF);
    }
    return bytes;
}

}  // namespace dvrsim
