// The libav functions the client calls, defined here in place of the libraries' own: each calls its
// counterpart in the loaded libraries, or fails as libav does when out of memory when it is missing.
// The definitions are hidden (the whole library is built with hidden visibility), so the loaded libraries
// keep calling each other and never these.

#include <cerrno>

#include "platform/libav/libav_table.h"

namespace {

// f(args...) when the library's function was found, else failed.
template <typename Function, typename Result, typename... Args>
Result Call(Function f, Result failed, Args... args) {
    return f != nullptr ? f(args...) : failed;
}

// f(args...) when the library's function was found; nothing else.
template <typename Function, typename... Args>
void CallVoid(Function f, Args... args) {
    if (f != nullptr)
        f(args...);
}

constexpr int kMissing = AVERROR(ENOSYS);

}  // namespace

extern "C" {

// libavutil
AVBufferRef* av_buffer_alloc(size_t size) {
    return Call(Libav().av_buffer_alloc, static_cast<AVBufferRef*>(nullptr), size);
}
int av_buffer_is_writable(const AVBufferRef* buf) {
    return Call(Libav().av_buffer_is_writable, 0, buf);
}
AVBufferRef* av_buffer_ref(const AVBufferRef* buf) {
    return Call(Libav().av_buffer_ref, static_cast<AVBufferRef*>(nullptr), buf);
}
void av_buffer_unref(AVBufferRef** buf) {
    CallVoid(Libav().av_buffer_unref, buf);
}
void av_channel_layout_default(AVChannelLayout* ch_layout, int nb_channels) {
    CallVoid(Libav().av_channel_layout_default, ch_layout, nb_channels);
}
AVFrame* av_frame_alloc(void) {
    return Call(Libav().av_frame_alloc, static_cast<AVFrame*>(nullptr));
}
void av_frame_free(AVFrame** frame) {
    CallVoid(Libav().av_frame_free, frame);
}
void av_free(void* ptr) {
    CallVoid(Libav().av_free, ptr);
}
void av_freep(void* ptr) {
    CallVoid(Libav().av_freep, ptr);
}
void av_log_set_callback(void (*callback)(void*, int, const char*, va_list)) {
    CallVoid(Libav().av_log_set_callback, callback);
}
void* av_malloc(size_t size) {
    return Call(Libav().av_malloc, static_cast<void*>(nullptr), size);
}

// libavcodec
AVPacket* av_packet_alloc(void) {
    return Call(Libav().av_packet_alloc, static_cast<AVPacket*>(nullptr));
}
void av_packet_free(AVPacket** pkt) {
    CallVoid(Libav().av_packet_free, pkt);
}
void av_packet_unref(AVPacket* pkt) {
    CallVoid(Libav().av_packet_unref, pkt);
}
AVCodecContext* avcodec_alloc_context3(const AVCodec* codec) {
    return Call(Libav().avcodec_alloc_context3, static_cast<AVCodecContext*>(nullptr), codec);
}
const AVCodecDescriptor* avcodec_descriptor_get_by_name(const char* name) {
    return Call(Libav().avcodec_descriptor_get_by_name, static_cast<const AVCodecDescriptor*>(nullptr), name);
}
const AVCodec* avcodec_find_decoder(enum AVCodecID id) {
    return Call(Libav().avcodec_find_decoder, static_cast<const AVCodec*>(nullptr), id);
}
void avcodec_free_context(AVCodecContext** avctx) {
    CallVoid(Libav().avcodec_free_context, avctx);
}
int avcodec_open2(AVCodecContext* avctx, const AVCodec* codec, AVDictionary** options) {
    return Call(Libav().avcodec_open2, kMissing, avctx, codec, options);
}
int avcodec_receive_frame(AVCodecContext* avctx, AVFrame* frame) {
    return Call(Libav().avcodec_receive_frame, kMissing, avctx, frame);
}
int avcodec_send_packet(AVCodecContext* avctx, const AVPacket* avpkt) {
    return Call(Libav().avcodec_send_packet, kMissing, avctx, avpkt);
}

// libavformat
enum AVCodecID av_codec_get_id(const struct AVCodecTag* const* tags, unsigned int tag) {
    return Call(Libav().av_codec_get_id, AV_CODEC_ID_NONE, tags, tag);
}
int av_write_frame(AVFormatContext* s, AVPacket* pkt) {
    return Call(Libav().av_write_frame, kMissing, s, pkt);
}
int av_write_trailer(AVFormatContext* s) {
    return Call(Libav().av_write_trailer, kMissing, s);
}
int avformat_alloc_output_context2(AVFormatContext** ctx, const AVOutputFormat* oformat,
                                   const char* format_name, const char* filename) {
    if (Libav().avformat_alloc_output_context2 == nullptr) {
        *ctx = nullptr;
        return kMissing;
    }
    return Libav().avformat_alloc_output_context2(ctx, oformat, format_name, filename);
}
void avformat_free_context(AVFormatContext* s) {
    CallVoid(Libav().avformat_free_context, s);
}
const struct AVCodecTag* avformat_get_riff_video_tags(void) {
    return Call(Libav().avformat_get_riff_video_tags, static_cast<const struct AVCodecTag*>(nullptr));
}
AVStream* avformat_new_stream(AVFormatContext* s, const AVCodec* c) {
    return Call(Libav().avformat_new_stream, static_cast<AVStream*>(nullptr), s, c);
}
int avformat_write_header(AVFormatContext* s, AVDictionary** options) {
    return Call(Libav().avformat_write_header, kMissing, s, options);
}
AVIOContext* avio_alloc_context(unsigned char* buffer, int buffer_size, int write_flag, void* opaque,
                                int (*read_packet)(void* opaque, uint8_t* buf, int buf_size),
                                int (*write_packet)(void* opaque, uint8_t* buf, int buf_size),
                                int64_t (*seek)(void* opaque, int64_t offset, int whence)) {
    return Call(Libav().avio_alloc_context, static_cast<AVIOContext*>(nullptr), buffer, buffer_size,
                write_flag, opaque, read_packet, write_packet, seek);
}
void avio_context_free(AVIOContext** s) {
    CallVoid(Libav().avio_context_free, s);
}
void avio_flush(AVIOContext* s) {
    CallVoid(Libav().avio_flush, s);
}
int64_t avio_seek(AVIOContext* s, int64_t offset, int whence) {
    return Call(Libav().avio_seek, static_cast<int64_t>(kMissing), s, offset, whence);
}

}  // extern "C"
