// Fuzz target: the record path. The input is a run of packets pushed into a grid screen's record queues
// as the stream parser would, each followed by one record turn, so hostile stream headers (picture size,
// frame rate, codec, sample rate) and payloads reach the AVI writer; the clock moves between packets.
// Packets: a kind byte, a length (2 bytes, little-endian) and that many bytes. Kinds (mod 6): 0 video
// with a header (its first 16 bytes), 1 video, 2 audio with a header, 3 audio, 4 the end marker, 5 the
// clock moves on by the packet's first byte in seconds (times 60 when the second byte is odd).
// Checks, once the recording is closed: every file reads back whole as an AVI with one video stream of a
// size the frame rectangle holds, at least one picture and an index entry per picture, and no more
// pictures than were sent.

extern "C" {
#include <libavutil/log.h>
}

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "dvr/device_tree_node.h"
#include "dvr/dvr_device.h"
#include "dvr/dvr_session.h"
#include "media/main_window_state.h"
#include "media/media_system.h"
#include "media/record_storage.h"
#include "media/record_thread.h"
#include "media/screen_slot.h"
#include "platform/audio/sound_buffer.h"
#include "platform/avi/avi_writer.h"
#include "tests/dvr/fuzz/fuzz_target.h"
#include "tests/media/avi_readback.h"
#include "tests/media/record_drive.h"

namespace {

constexpr int kSlot = 0;
constexpr int64_t kNoon = 1717243200;  // 2024-06-01 12:00:00 UTC

int64_t g_now = kNoon;
int64_t FuzzClock() {
    return g_now;
}
int PlentyFree(QChar, uint64_t* freeBytes) {
    *freeBytes = uint64_t{1} << 40;
    return 0;
}

[[noreturn]] void Fail(const char* what, const QString& file) {
    std::fprintf(stderr, "record property does not hold: %s (%s)\n", what, qPrintable(file));
    std::abort();
}

struct Recorder {
    RecordDrive drive{FuzzClock, PlentyFree};
    DeviceTreeNode node{};
    DVRDevice* device = nullptr;

    Recorder() {
        av_log_set_level(AV_LOG_QUIET);  // the muxer's remarks on hostile streams
        if (InitMediaSystem() != 0)
            std::abort();
        g_recordStorage = std::make_unique<RecordStorage>(RecordDrive::Storage(0));
        std::memcpy(node.name, u"Gate", sizeof(u"Gate"));
        device = new DVRDevice();
        device->node = &node;
        if (AllocDeviceChannels(device, 2) != 0 || AssignSlotChannel(kSlot, device, 1) != 0)
            std::abort();
    }
};

void Push(FrameQueue* queue, const std::string& header, const std::string& payload) {
    FrameNode* node = nullptr;
    if (queue->GetFreeNode(&node) != 0)
        std::abort();
    if (!header.empty() &&
        queue->SetNodeHeader(node, static_cast<uint32_t>(header.size()), header.data()) != 0)
        std::abort();
    if (!payload.empty() &&
        queue->SetNodePayload(node, static_cast<uint32_t>(payload.size()), payload.data()) != 0)
        std::abort();
    if (queue->PushReady(node) != 0)
        std::abort();
}

void CheckFiles(const QString& root, int videoSent) {
    int videoRead = 0;
    QDirIterator files(root, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString file = files.next();
        AviContents contents;
        if (!ReadAvi(file, &contents))
            Fail("the file reads back whole", file);
        int videoStreams = 0;
        for (const AviStreamContents& s : contents.streams) {
            if (s.type == AVMEDIA_TYPE_VIDEO) {
                ++videoStreams;
                if (s.width < 1 || s.width > AVI_MAX_PICTURE_SIDE || s.height < 1 ||
                    s.height > AVI_MAX_PICTURE_SIDE)
                    Fail("the picture size fits the frame rectangle", file);
                if (s.packets.empty())
                    Fail("a file holds a picture", file);
                if (IndexedKeyFrames(file) != static_cast<int>(s.packets.size()))
                    Fail("every video frame has its index entry", file);
                videoRead += static_cast<int>(s.packets.size());
            } else if (s.type == AVMEDIA_TYPE_AUDIO && s.sampleRate < 1) {
                Fail("the sample rate is one the wave format holds", file);
            }
        }
        if (videoStreams != 1)
            Fail("one video stream", file);
    }
    if (videoRead > videoSent)
        Fail("no more frames than were sent", root);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Recorder recorder;
    ScreenSlot& slot = g_screenSlots[kSlot];
    RecordThreadState state;
    g_now = kNoon;
    int videoSent = 0;
    size_t at = 0;
    while (at + 3 <= size) {
        const int kind = data[at] % 6;
        size_t length = data[at + 1] | (size_t{data[at + 2]} << 8);
        at += 3;
        if (length > size - at)
            length = size - at;
        const std::string bytes(reinterpret_cast<const char*>(data + at), length);
        at += length;
        const bool withHeader = kind == 0 || kind == 2;
        const std::string header = withHeader ? bytes.substr(0, 16) : std::string();
        const std::string payload =
            withHeader ? (bytes.size() > 16 ? bytes.substr(16) : std::string()) : bytes;
        switch (kind) {
            case 0:
            case 1:
                if (payload.empty())
                    continue;  // an empty video node is the end marker: kind 4
                Push(slot.recordVideoQueue.get(), header, payload);
                ++videoSent;
                break;
            case 2:
            case 3:
                Push(slot.recordAudioQueue.get(), header, payload);
                break;
            case 4:
                Push(slot.recordVideoQueue.get(), std::string(), std::string());
                break;
            default:
                g_now +=
                    bytes.empty() ? 1 : (uint8_t(bytes[0]) * ((bytes.size() > 1 && (bytes[1] & 1)) ? 60 : 1));
                continue;
        }
        if (RecordSlotTurn(kSlot, g_recordStorage.get(), &state) != 1)
            std::abort();
    }
    EndSlotRecording(kSlot, g_recordStorage.get(), &state);
    const QString root = recorder.drive.filePath(QStringLiteral("Records"));
    CheckFiles(root, videoSent);
    QDir(root).removeRecursively();
    return 0;
}
