#pragma once

// The record file of one grid screen: an AVI file with one video stream and one PCM audio stream. Open
// the file, add the streams, then write packets: every video packet is one frame flagged as a key frame,
// every audio packet counts as the number of samples the caller gives. The file's headers are written
// before its first packet and its index when it is closed, so every file that was closed is complete.
// One writer per screen, used by one thread at a time.

#include <cstdint>
#include <string>

#include "platform/avi/avi_formats.h"

struct AVFormatContext;
struct AVStream;
struct AVPacket;

class AviWriter {
public:
    AviWriter();
    ~AviWriter();
    AviWriter(const AviWriter&) = delete;
    AviWriter& operator=(const AviWriter&) = delete;

    // Creates (or truncates) the file at a native path. 0, or -1 (the writer stays closed).
    [[nodiscard]] int Open(const std::string& path);
    // Video stream at rate / 100 frames a second with the codec the format's compression names ("H264",
    // "XVID", ...). 0, or -1 without an open file, with a zero rate or size, or once a packet was written.
    [[nodiscard]] int AddVideoStream(int32_t rate, const BITMAPINFOHEADER& format);
    // PCM audio stream (8 or 16 bits) at rate samples a second; formatSize is 18 plus the extra bytes.
    // 0, or -1 as for the video stream.
    [[nodiscard]] int AddAudioStream(int32_t rate, const WAVEFORMATEX& format, int formatSize);
    // One video frame at the frame counter; the counter advances on success. 0 or -1.
    [[nodiscard]] int WriteVideo(const void* data, uint32_t length);
    // Audio bytes counted as samples at the sample counter; the counter advances on success. 0 or -1.
    [[nodiscard]] int WriteAudio(int32_t samples, const void* data, uint32_t length);
    // Writes the index and closes the file; counters 0. A file that never got its streams is removed.
    // Safe when closed.
    void Close();

    bool IsOpen() const { return m_file != nullptr; }
    int32_t VideoFrames() const { return m_videoFrames; }
    int32_t AudioSamples() const { return m_audioSamples; }

private:
    // A new stream of a media type and codec (libavformat's numbers); nullptr without an open file, once
    // a packet was written, or with no codec or rate.
    AVStream* AddStream(int type, int codec, uint32_t tag, int32_t rate);
    [[nodiscard]] int BeginWriting();
    [[nodiscard]] int WritePacket(AVStream* stream, int64_t position, int64_t duration, int flags,
                                  const void* data, uint32_t length);

    AVFormatContext* m_file = nullptr;
    AVStream* m_video = nullptr;
    AVStream* m_audio = nullptr;
    AVPacket* m_packet = nullptr;
    bool m_headerWritten = false;
    bool m_headerFailed = false;
    std::string m_path;
    int32_t m_videoFrames = 0;
    int32_t m_audioSamples = 0;
};
