#pragma once

// The libav functions the client calls, each with the library that defines it (0 libavutil, 1 libavcodec,
// 2 libavformat), and the table of their addresses in the loaded libraries.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavformat/avio.h>
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
}

#define VISTAL_LIBAV_FUNCTIONS(X)        \
    X(0, av_buffer_alloc)                \
    X(0, av_buffer_is_writable)          \
    X(0, av_buffer_ref)                  \
    X(0, av_buffer_unref)                \
    X(0, av_channel_layout_default)      \
    X(0, av_frame_alloc)                 \
    X(0, av_frame_free)                  \
    X(0, av_free)                        \
    X(0, av_freep)                       \
    X(0, av_log_set_callback)            \
    X(0, av_malloc)                      \
    X(1, av_packet_alloc)                \
    X(1, av_packet_free)                 \
    X(1, av_packet_unref)                \
    X(1, avcodec_alloc_context3)         \
    X(1, avcodec_descriptor_get_by_name) \
    X(1, avcodec_find_decoder)           \
    X(1, avcodec_free_context)           \
    X(1, avcodec_open2)                  \
    X(1, avcodec_receive_frame)          \
    X(1, avcodec_send_packet)            \
    X(2, av_codec_get_id)                \
    X(2, av_write_frame)                 \
    X(2, av_write_trailer)               \
    X(2, avformat_alloc_output_context2) \
    X(2, avformat_free_context)          \
    X(2, avformat_get_riff_video_tags)   \
    X(2, avformat_new_stream)            \
    X(2, avformat_write_header)          \
    X(2, avio_alloc_context)             \
    X(2, avio_context_free)              \
    X(2, avio_flush)                     \
    X(2, avio_seek)

struct LibavTable {
#define VISTAL_LIBAV_SLOT(library, name) decltype(&::name) name = nullptr;
    VISTAL_LIBAV_FUNCTIONS(VISTAL_LIBAV_SLOT)
#undef VISTAL_LIBAV_SLOT
};

// The table, the libraries loaded first when they are not yet; a function that was not found is null.
const LibavTable& Libav();
