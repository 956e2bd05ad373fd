#include "platform/avi/avi_writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavformat/avio.h>
#include <libavutil/mem.h>
}

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace {

constexpr int kIoBufferBytes = 32 * 1024;
// Space is reserved in steps, so a file grows by one reservation now and then, not one per packet.
constexpr int64_t kReserveStep = 256 * 1024;
// The index takes at most this much per packet (the AVI index entry and the extended index entry with
// their share of the chunk headers); the headers the close rewrites in place, and the index's own chunk
// headers, fit in the margin.
constexpr int64_t kIndexBytesPerPacket = 32;
constexpr int64_t kReserveMargin = 64 * 1024;
// A chunk's header and padding byte.
constexpr int64_t kChunkOverhead = 9;

int RealReserve(int fd, int64_t offset, int64_t length) {
    return fallocate(fd, FALLOC_FL_KEEP_SIZE, static_cast<off_t>(offset), static_cast<off_t>(length)) == 0
               ? 0
               : errno;
}

std::atomic<AviReserveFn> g_reserve{RealReserve};
std::atomic<AviWriteFn> g_write{pwrite};

// The process's file-size limit in bytes: no byte of a file can be written past it (it can change while
// the program runs).
int64_t FileSizeLimit() {
    struct rlimit limit {};
    if (getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY ||
        limit.rlim_cur > static_cast<rlim_t>(INT64_MAX))
        return INT64_MAX;
    return static_cast<int64_t>(limit.rlim_cur);
}

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

// A picture side the frame rectangle can hold; a negative height (a top-down bitmap) counts by its size.
bool StorableSide(int32_t side) {
    return side != 0 && side >= -AVI_MAX_PICTURE_SIDE && side <= AVI_MAX_PICTURE_SIDE;
}

}  // namespace

void SetAviReserveFunction(AviReserveFn fn) {
    g_reserve.store(fn != nullptr ? fn : RealReserve);
}

void SetAviWriteFunction(AviWriteFn fn) {
    g_write.store(fn != nullptr ? fn : pwrite);
}

AviWriter::AviWriter() = default;

AviWriter::~AviWriter() {
    (void)Close();
}

int64_t AviWriter::WriteAt(const uint8_t* data, int64_t length, int64_t offset, int* error) {
    int64_t done = 0;
    while (done < length) {
        ssize_t n = g_write.load()(m_fd, data + done, static_cast<size_t>(length - done),
                                   static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            *error = n < 0 ? errno : EIO;
            break;
        }
        done += n;
    }
    return done;
}

// libav keeps the first failed write in its I/O context and then drops every later byte without a word.
// The writer keeps the bytes instead (and every byte after them, in order), so the file can still be
// completed when a second try succeeds; the failure shows at the packet through m_writeError.
int AviWriter::WriteBytes(void* opaque, uint8_t* data, int length) {
    auto* writer = static_cast<AviWriter*>(opaque);
    const int64_t at = writer->m_position;
    int64_t done = 0;
    if (writer->m_writeError == 0) {
        int error = 0;
        done = writer->WriteAt(data, length, at, &error);
        if (done < length)
            writer->m_writeError = error;
    }
    if (done < length)
        writer->m_pending.emplace_back(at + done, std::string(reinterpret_cast<const char*>(data) + done,
                                                              static_cast<size_t>(length - done)));
    writer->m_position += length;
    if (writer->m_position > writer->m_end)
        writer->m_end = writer->m_position;
    return length;
}

int AviWriter::RetryPending() {
    while (!m_pending.empty()) {
        auto& [offset, bytes] = m_pending.front();
        int error = 0;
        const int64_t done = WriteAt(reinterpret_cast<const uint8_t*>(bytes.data()),
                                     static_cast<int64_t>(bytes.size()), offset, &error);
        if (done < static_cast<int64_t>(bytes.size())) {
            bytes.erase(0, static_cast<size_t>(done));
            offset += done;
            m_writeError = error;
            return -1;
        }
        m_pending.erase(m_pending.begin());
    }
    m_writeError = 0;
    return 0;
}

int64_t AviWriter::SeekBytes(void* opaque, int64_t offset, int whence) {
    auto* writer = static_cast<AviWriter*>(opaque);
    int64_t target = 0;
    switch (whence & ~AVSEEK_FORCE) {
        case AVSEEK_SIZE:
            return writer->m_end;
        case SEEK_SET:
            target = offset;
            break;
        case SEEK_CUR:
            target = writer->m_position + offset;
            break;
        case SEEK_END:
            target = writer->m_end + offset;
            break;
        default:
            return AVERROR(EINVAL);
    }
    if (target < 0)
        return AVERROR(EINVAL);
    writer->m_position = target;
    return target;
}

int AviWriter::Open(const std::string& path) {
    (void)Close();
    if (path.empty())
        return -1;
    m_fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (m_fd < 0)
        return -1;
    m_path = path;
    m_position = m_end = m_reserved = m_packets = 0;
    // The streams' headers need room too: a file that cannot have it is not begun.
    auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferBytes));
    if (buffer != nullptr)
        m_io = avio_alloc_context(buffer, kIoBufferBytes, 1, this, nullptr, WriteBytes, SeekBytes);
    if (m_io == nullptr)
        av_free(buffer);
    AVFormatContext* file = nullptr;
    if (m_io == nullptr || Reserve(0) != 0 ||
        avformat_alloc_output_context2(&file, nullptr, "avi", nullptr) < 0 || file == nullptr ||
        (m_packet = av_packet_alloc()) == nullptr) {
        avformat_free_context(file);
        m_file = nullptr;
        (void)Finish(false);
        return -1;
    }
    file->pb = m_io;
    file->flags |= AVFMT_FLAG_CUSTOM_IO;
    m_file = file;
    return 0;
}

int AviWriter::Reserve(int64_t bytes) {
    const int64_t next = m_io != nullptr ? avio_tell(m_io) : 0;
    const int64_t needed = next + bytes + (m_packets + 1) * kIndexBytesPerPacket + kReserveMargin;
    // Past the file-size limit no write can succeed: the packet is refused while the index still fits.
    const int64_t limit = FileSizeLimit();
    if (needed > limit)
        return -1;
    if (needed <= m_reserved)
        return 0;
    int64_t target = needed > m_reserved + kReserveStep ? needed : m_reserved + kReserveStep;
    if (target > limit)
        target = limit;
    int error = m_zeroFill ? EOPNOTSUPP : g_reserve.load()(m_fd, m_reserved, target - m_reserved);
    if (error == EOPNOTSUPP || error == ENOSYS) {
        m_zeroFill = true;
        error = ReserveByWriting(m_reserved, target);
    }
    if (error != 0)
        return -1;
    m_reserved = target;
    return 0;
}

// Takes the room by writing zeros past the file's end; they are cut off when the file closes.
int AviWriter::ReserveByWriting(int64_t from, int64_t to) {
    static const uint8_t kZeros[64 * 1024] = {};
    if (from < m_end)
        from = m_end;
    while (from < to) {
        const int64_t chunk = to - from < static_cast<int64_t>(sizeof kZeros) ? to - from : sizeof kZeros;
        int error = 0;
        const int64_t done = WriteAt(kZeros, chunk, from, &error);
        from += done;
        if (from > m_zeroed)
            m_zeroed = from;
        if (done < chunk)
            return -1;
    }
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
    if (m_video != nullptr || format.biWidth <= 0 || !StorableSide(format.biWidth) ||
        !StorableSide(format.biHeight))
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
    if (stream == nullptr || data == nullptr || length == 0 || length > INT32_MAX || m_failed)
        return -1;
    // No room for the packet and its index entry: refused whole, so the file closes complete.
    if (Reserve(static_cast<int64_t>(length) + kChunkOverhead) != 0 || BeginWriting() != 0) {
        m_failed = true;
        return -1;
    }
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
    ++m_packets;
    // av_write_frame returns 0 whatever became of the bytes: they are pushed out now, and the I/O
    // context's error and the writer's own tell whether they reached the disk.
    avio_flush(m_io);
    if (result < 0 || m_io->error < 0 || m_writeError != 0) {
        m_failed = true;
        return -1;
    }
    return 0;
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

int AviWriter::Finish(bool keep) {
    const bool wasOpen = m_file != nullptr;
    const bool holdsPackets = m_videoFrames > 0 || m_audioSamples > 0;
    bool complete = false;
    if (m_file != nullptr) {
        // A file whose streams were added but got no packet still gets its headers, so it opens. Bytes
        // that failed to reach the disk get one more try before the index goes after them.
        if (keep && BeginWriting() == 0 && (m_writeError == 0 || RetryPending() == 0) && m_io->error == 0 &&
            av_write_trailer(m_file) >= 0) {
            avio_flush(m_io);
            complete = m_io->error == 0 && (m_writeError == 0 || RetryPending() == 0);
        }
        avformat_free_context(m_file);
        m_file = nullptr;
    }
    if (m_io != nullptr) {
        avio_flush(m_io);
        av_freep(&m_io->buffer);
        avio_context_free(&m_io);
    }
    if (m_fd >= 0) {
        // Space reserved past the end goes back to the file system.
        if (m_zeroFill) {
            if (m_zeroed > m_end)
                (void)ftruncate(m_fd, static_cast<off_t>(m_end));
        } else if (m_reserved > m_end) {
            (void)fallocate(m_fd, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, static_cast<off_t>(m_end),
                            static_cast<off_t>(m_reserved - m_end));
        }
        close(m_fd);
        m_fd = -1;
        // A file left without its index keeps the pictures that reached the disk.
        if (!complete && !(keep && holdsPackets))
            unlink(m_path.c_str());
    }
    av_packet_free(&m_packet);
    m_video = m_audio = nullptr;
    m_headerWritten = m_headerFailed = m_failed = false;
    m_zeroFill = false;
    m_writeError = 0;
    m_pending.clear();
    m_path.clear();
    m_position = m_end = m_reserved = m_zeroed = m_packets = 0;
    m_videoFrames = 0;
    m_audioSamples = 0;
    return !wasOpen || complete ? 0 : -1;
}

int AviWriter::Close() {
    return Finish(true);
}

void AviWriter::Discard() {
    (void)Finish(false);
}
