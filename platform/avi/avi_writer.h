#pragma once

// The record file of one grid screen: an AVI file with one video stream and one PCM audio stream. Open
// the file, add the streams, then write packets: every video packet is one frame flagged as a key frame,
// every audio packet counts as the number of samples the caller gives. The file's headers are written
// before its first packet and its index when it is closed, so every file that was closed is complete.
//
// Disk space is reserved ahead of the packets, with room for the index: a packet that finds no room is
// refused before any of it is written (-1), and the file can still be closed whole with its index. Room
// past the process's file-size limit counts as no room. On a file system that cannot reserve, the room is
// taken by writing zeros ahead, cut off again when the file closes. The caller then closes the file; the
// writer refuses every later packet until it is closed. Space reserved past the end of the file is given
// back when it closes.
//
// A write that fails all the same (a disk error) fails its packet (-1): every byte is on disk or known
// to be missing once a packet call returns. The bytes that did not reach the disk are kept and written
// again when the file closes, before its index; a file whose bytes still cannot all be written keeps
// what reached the disk but has no index, and Close says so (-1). One writer per screen, used by one
// thread at a time.

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/avi/avi_formats.h"

struct AVFormatContext;
struct AVIOContext;
struct AVStream;
struct AVPacket;

// Largest picture side the file's frame rectangle can hold.
constexpr int32_t AVI_MAX_PICTURE_SIDE = 65535;

// Reserves disk space for a range of an open file: 0, or an errno value (EOPNOTSUPP: the file system
// cannot reserve; the writer then writes without a reservation). Tests replace it (nullptr restores the
// real one, fallocate keeping the file's size).
using AviReserveFn = int (*)(int fd, int64_t offset, int64_t length);
void SetAviReserveFunction(AviReserveFn fn);

// Writes bytes at an offset of an open file as pwrite does: the count written, or -1 with errno set.
// Tests replace it to make writes fail (nullptr restores pwrite).
using AviWriteFn = ssize_t (*)(int fd, const void* data, size_t length, off_t offset);
void SetAviWriteFunction(AviWriteFn fn);

class AviWriter {
public:
    AviWriter();
    ~AviWriter();
    AviWriter(const AviWriter&) = delete;
    AviWriter& operator=(const AviWriter&) = delete;

    // Creates (or truncates) the file at a native path. 0, or -1 (the writer stays closed, nothing is left
    // on disk).
    [[nodiscard]] int Open(const std::string& path);
    // Video stream at rate / 100 frames a second with the codec the format's compression names ("H264",
    // "XVID", ...). 0, or -1 without an open file, with a rate or picture side outside 1 ..
    // AVI_MAX_PICTURE_SIDE (a negative height counts by its size), or once a packet was written.
    [[nodiscard]] int AddVideoStream(int32_t rate, const BITMAPINFOHEADER& format);
    // PCM audio stream (8 or 16 bits) at rate samples a second; formatSize is 18 plus the extra bytes.
    // 0, or -1 as for the video stream.
    [[nodiscard]] int AddAudioStream(int32_t rate, const WAVEFORMATEX& format, int formatSize);
    // One video frame at the frame counter; the counter advances on success. 0 or -1.
    [[nodiscard]] int WriteVideo(const void* data, uint32_t length);
    // Audio bytes counted as samples at the sample counter; the counter advances on success. 0 or -1.
    [[nodiscard]] int WriteAudio(int32_t samples, const void* data, uint32_t length);
    // Writes the index and closes the file; counters 0. A file that never got its streams is removed.
    // 0 when the file is complete (or none was open); -1 when its bytes or its index could not all be
    // written (the file keeps what reached the disk; one that holds no packet is removed).
    [[nodiscard]] int Close();
    // Closes the file and removes it (a file whose streams could not all be added). Safe when closed.
    void Discard();

    bool IsOpen() const { return m_file != nullptr; }
    int32_t VideoFrames() const { return m_videoFrames; }
    int32_t AudioSamples() const { return m_audioSamples; }

private:
    // A new stream of a media type and codec (libavformat's numbers); nullptr without an open file, once
    // a packet was written, or with no codec or rate.
    AVStream* AddStream(int type, int codec, uint32_t tag, int32_t rate);
    [[nodiscard]] int BeginWriting();
    // Space for the next bytes of the file and the index of every packet so far and the next: 0, or -1.
    [[nodiscard]] int Reserve(int64_t bytes);
    [[nodiscard]] int ReserveByWriting(int64_t from, int64_t to);
    [[nodiscard]] int WritePacket(AVStream* stream, int64_t position, int64_t duration, int flags,
                                  const void* data, uint32_t length);
    // Writes bytes at an offset: how many reached the disk; *error is the errno of the write that
    // stopped short.
    int64_t WriteAt(const uint8_t* data, int64_t length, int64_t offset, int* error);
    // Writes the bytes kept from failed writes, in order. 0 when all are on disk, -1 otherwise.
    [[nodiscard]] int RetryPending();
    [[nodiscard]] int Finish(bool keep);
    static int WriteBytes(void* opaque, uint8_t* data, int length);
    static int64_t SeekBytes(void* opaque, int64_t offset, int whence);

    AVFormatContext* m_file = nullptr;
    AVIOContext* m_io = nullptr;
    AVStream* m_video = nullptr;
    AVStream* m_audio = nullptr;
    AVPacket* m_packet = nullptr;
    int m_fd = -1;
    int64_t m_position = 0;   // where the next bytes go
    int64_t m_end = 0;        // bytes in the file
    int64_t m_reserved = 0;   // bytes reserved from the file's start
    bool m_zeroFill = false;  // the file system cannot reserve: zeros are written ahead instead
    int64_t m_zeroed = 0;     // how far the zeros written ahead reach
    int64_t m_packets = 0;    // packets written, each an index entry
    bool m_headerWritten = false;
    bool m_headerFailed = false;
    bool m_failed = false;  // a write failed: the file takes no more packets
    int m_writeError = 0;   // errno of the first write that did not reach the disk, 0 while all did
    // Bytes that did not reach the disk, with their offsets, in the order they were written.
    std::vector<std::pair<int64_t, std::string>> m_pending;
    std::string m_path;
    int32_t m_videoFrames = 0;
    int32_t m_audioSamples = 0;
};
