#include "platform/avi/avi_writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavformat/avio.h>
}

#include <unistd.h>

namespace {

AVCodecID VideoCodecOf(uint32_t fourcc) {
    const AVCodecTag* const tables[] = {avformat_get_riff_video_tags(), nullptr};
    return av_codec_get_id(tables, fourcc);
}

AVCodecID PcmCodecOf(const WAVEFORMATEX& format) {
    if (format.wFormatTag != WAVE_FORMAT_PCM)
        return AV_CODEC_ID_NONE;
    if (format.wBitsPerSample == 16)
        return AV_CODEC_ID_PCM_S16LE;
    if (format.wBitsPerSample == 8)
        return AV_CODEC_ID_PCM_U8;
    return AV_CODEC_ID_NONE;
}

}  // namespace

AviWriter::AviWriter() = default;

AviWriter::~AviWriter() {
    Close();
}

int AviWriter::Open(const std::string& path) {
    Close();
    if (path.empty())
        return -1;
    AVFormatContext* file = nullptr;
    if (avformat_alloc_output_context2(&file, nullptr, "avi", path.c_str()) < 0 || file == nullptr)
        return -1;
    m_packet = av_packet_alloc();
    if (m_packet == nullptr || avio_open(&file->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) {
        avformat_free_context(file);
        av_packet_free(&m_packet);
        return -1;
    }
    m_file = file;
    m_path = path;
    return 0;
}

AVStream* AviWriter::AddStream(int type, int codec, uint32_t tag, int32_t rate) {
    if (m_file == nullptr || m_headerWritten || rate <= 0 || codec == AV_CODEC_ID_NONE)
        return nullptr;
    AVStream* stream = avformat_new_stream(m_file, nullptr);
    if (stream == nullptr)
        return nullptr;
    stream->codecpar->codec_type = static_cast<AVMediaType>(type);
    stream->codecpar->codec_id = static_cast<AVCodecID>(codec);
    stream->codecpar->codec_tag = tag;
    return stream;
}

int AviWriter::AddVideoStream(int32_t rate, const BITMAPINFOHEADER& format) {
    if (m_video != nullptr || format.biWidth <= 0 || format.biHeight == 0)
        return -1;
    AVStream* stream =
        AddStream(AVMEDIA_TYPE_VIDEO, VideoCodecOf(format.biCompression), format.biCompression, rate);
    if (stream == nullptr)
        return -1;
    AVCodecParameters* p = stream->codecpar;
    p->width = format.biWidth;
    p->height = format.biHeight < 0 ? -format.biHeight : format.biHeight;
    // The rate is in hundredths of a frame a second: one frame lasts 100 / rate seconds.
    stream->time_base = AVRational{100, rate};
    stream->avg_frame_rate = AVRational{rate, 100};
    m_video = stream;
    return 0;
}

int AviWriter::AddAudioStream(int32_t rate, const WAVEFORMATEX& format, int formatSize) {
    if (m_audio != nullptr || formatSize < static_cast<int>(sizeof(WAVEFORMATEX)) || format.nChannels == 0)
        return -1;
    AVStream* stream = AddStream(AVMEDIA_TYPE_AUDIO, PcmCodecOf(format), WAVE_FORMAT_PCM, rate);
    if (stream == nullptr)
        return -1;
    AVCodecParameters* p = stream->codecpar;
    p->sample_rate = rate;
    av_channel_layout_default(&p->ch_layout, format.nChannels);
    p->bits_per_coded_sample = format.wBitsPerSample;
    p->block_align = format.nChannels * format.wBitsPerSample / 8;
    p->bit_rate = static_cast<int64_t>(rate) * p->block_align * 8;
    stream->time_base = AVRational{1, rate};
    m_audio = stream;
    return 0;
}

int AviWriter::BeginWriting() {
    if (m_headerWritten)
        return 0;
    if (m_file == nullptr || m_headerFailed || m_file->nb_streams == 0)
        return -1;
    if (avformat_write_header(m_file, nullptr) < 0) {
        m_headerFailed = true;
        return -1;
    }
    m_headerWritten = true;
    return 0;
}

int AviWriter::WritePacket(AVStream* stream, int64_t position, int64_t duration, int flags, const void* data,
                           uint32_t length) {
    if (stream == nullptr || data == nullptr || length == 0 || length > INT32_MAX || BeginWriting() != 0)
        return -1;
    // The muxer copies what it keeps, so the packet only borrows the caller's bytes.
    m_packet->data = static_cast<uint8_t*>(const_cast<void*>(data));
    m_packet->size = static_cast<int>(length);
    m_packet->stream_index = stream->index;
    m_packet->pts = m_packet->dts = position;
    m_packet->duration = duration;
    m_packet->flags = flags;
    int result = av_write_frame(m_file, m_packet);
    m_packet->data = nullptr;
    m_packet->size = 0;
    return result < 0 ? -1 : 0;
}

int AviWriter::WriteVideo(const void* data, uint32_t length) {
    if (WritePacket(m_video, m_videoFrames, 1, AV_PKT_FLAG_KEY, data, length) != 0)
        return -1;
    ++m_videoFrames;
    return 0;
}

int AviWriter::WriteAudio(int32_t samples, const void* data, uint32_t length) {
    if (samples <= 0 || WritePacket(m_audio, m_audioSamples, samples, 0, data, length) != 0)
        return -1;
    m_audioSamples += samples;
    return 0;
}

void AviWriter::Close() {
    if (m_file != nullptr) {
        // A file whose streams were added but got no packet still gets its headers, so it opens.
        bool complete = BeginWriting() == 0;
        if (complete)
            av_write_trailer(m_file);
        avio_closep(&m_file->pb);
        avformat_free_context(m_file);
        m_file = nullptr;
        if (!complete)
            unlink(m_path.c_str());
    }
    av_packet_free(&m_packet);
    m_video = m_audio = nullptr;
    m_headerWritten = m_headerFailed = false;
    m_path.clear();
    m_videoFrames = 0;
    m_audioSamples = 0;
}
