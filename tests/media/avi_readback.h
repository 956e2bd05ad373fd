#pragma once

// Reads a record file back with libavformat: its streams' formats and every packet.

extern "C" {
#include <libavformat/avformat.h>
}

#include <QFile>
#include <QString>
#include <algorithm>
#include <string>
#include <vector>

struct AviStreamContents {
    AVMediaType type = AVMEDIA_TYPE_UNKNOWN;
    AVCodecID codec = AV_CODEC_ID_NONE;
    uint32_t tag = 0;
    int width = 0;
    int height = 0;
    int sampleRate = 0;
    int channels = 0;
    double secondsPerUnit = 0;  // the stream's time base
    std::vector<std::string> packets;
    int keyPackets = 0;
    int64_t bytes = 0;
};

struct AviContents {
    std::vector<AviStreamContents> streams;
    const AviStreamContents* Of(AVMediaType type) const {
        for (const AviStreamContents& s : streams)
            if (s.type == type)
                return &s;
        return nullptr;
    }
};

// False when the file cannot be opened as an AVI or a packet cannot be read.
inline bool ReadAvi(const QString& path, AviContents* out) {
    AVFormatContext* file = nullptr;
    QByteArray native = QFile::encodeName(path);
    if (avformat_open_input(&file, native.constData(), av_find_input_format("avi"), nullptr) < 0)
        return false;
    out->streams.clear();
    for (unsigned i = 0; i < file->nb_streams; ++i) {
        const AVStream* st = file->streams[i];
        AviStreamContents s;
        s.type = st->codecpar->codec_type;
        s.codec = st->codecpar->codec_id;
        s.tag = st->codecpar->codec_tag;
        s.width = st->codecpar->width;
        s.height = st->codecpar->height;
        s.sampleRate = st->codecpar->sample_rate;
        s.channels = st->codecpar->ch_layout.nb_channels;
        s.secondsPerUnit = av_q2d(st->time_base);
        out->streams.push_back(s);
    }
    AVPacket* packet = av_packet_alloc();
    int result = 0;
    while ((result = av_read_frame(file, packet)) >= 0) {
        AviStreamContents& s = out->streams.at(packet->stream_index);
        s.packets.emplace_back(reinterpret_cast<const char*>(packet->data), packet->size);
        s.bytes += packet->size;
        s.keyPackets += (packet->flags & AV_PKT_FLAG_KEY) != 0 ? 1 : 0;
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    avformat_close_input(&file);
    return result == AVERROR_EOF;
}

// The video entries of the file's index (idx1) that carry the key-frame flag; -1 without an index.
inline int IndexedKeyFrames(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = file.readAll();
    const qsizetype at = bytes.lastIndexOf("idx1");
    if (at < 0 || at + 8 > bytes.size())
        return -1;
    auto le32 = [&](qsizetype i) {
        return static_cast<uint32_t>(static_cast<uint8_t>(bytes[i])) |
               static_cast<uint32_t>(static_cast<uint8_t>(bytes[i + 1])) << 8 |
               static_cast<uint32_t>(static_cast<uint8_t>(bytes[i + 2])) << 16 |
               static_cast<uint32_t>(static_cast<uint8_t>(bytes[i + 3])) << 24;
    };
    const qsizetype end = std::min<qsizetype>(bytes.size(), at + 8 + le32(at + 4));
    int keys = 0;
    for (qsizetype entry = at + 8; entry + 16 <= end; entry += 16) {
        const bool video = bytes[entry] == '0' && bytes[entry + 1] == '0' && bytes[entry + 2] == 'd';
        if (video && (le32(entry + 4) & 0x10) != 0)
            ++keys;
    }
    return keys;
}

// A whole record file: its RIFF header counts every byte of the file, libavformat reads every packet, and
// its index holds one key-frame entry per video packet. frames: the video packets (-1 when not whole).
inline bool WholeIndexedAvi(const QString& path, int* frames) {
    *frames = -1;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(8);
    if (head.size() != 8 || !head.startsWith("RIFF"))
        return false;
    const uint32_t riff = static_cast<uint32_t>(static_cast<uint8_t>(head[4])) |
                          static_cast<uint32_t>(static_cast<uint8_t>(head[5])) << 8 |
                          static_cast<uint32_t>(static_cast<uint8_t>(head[6])) << 16 |
                          static_cast<uint32_t>(static_cast<uint8_t>(head[7])) << 24;
    AviContents contents;
    const AviStreamContents* video = nullptr;
    if (static_cast<int64_t>(riff) + 8 != file.size() || !ReadAvi(path, &contents) ||
        (video = contents.Of(AVMEDIA_TYPE_VIDEO)) == nullptr ||
        IndexedKeyFrames(path) != static_cast<int>(video->packets.size()))
        return false;
    *frames = static_cast<int>(video->packets.size());
    return true;
}
