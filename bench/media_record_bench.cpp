// Recording and snapshots. 64 CIF channels recorded at once through the record threads' turns (frame
// queues, header handling, the AVI writer) against writing the same bytes to 64 files with plain write;
// one D1 snapshot against converting the same picture with libyuv and encoding it with libjpeg-turbo
// directly (the file written the same way). Times are wall-clock per run; "cpu_s" is the processor time
// of the whole process per run.

#include <fcntl.h>
#include <stdio.h>
// After stdio.h, which declares the FILE it uses.
#include <jpeglib.h>
#include <libyuv.h>
#include <time.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "bench/ratio_reporter.h"
#include "dvr/device_tree_node.h"
#include "dvr/dvr_device.h"
#include "dvr/dvr_session.h"
#include "media/media_system.h"
#include "media/pixel_routines.h"
#include "media/record_storage.h"
#include "media/record_thread.h"
#include "media/snapshot_jpeg.h"
#include "platform/audio/sound_buffer.h"
#include "tests/media/test_streams.h"

namespace {

constexpr int kChannels = 64;
constexpr int kFrames = 50;                      // two seconds of 25 frames a second per channel
constexpr uint32_t kAudioBytes = 8000 / 25 * 2;  // one packet of 8000 Hz 16-bit audio a frame

double ProcessSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double WallSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

int64_t FixedClock() {
    return 1717243300;
}
int PlentyFree(QChar, uint64_t* freeBytes) {
    *freeBytes = 1ull << 40;
    return 0;
}

const EncodedStream& CifStream(int* dvrCodec) {
    static EncodedStream stream;
    static int codec = HaveEncoder("libx264") ? 17 : 16;
    if (stream.packets.empty())
        EncodeTestStream(codec == 17 ? "libx264" : "mpeg4", 352, 288, kFrames, &stream, 25, false, true);
    *dvrCodec = codec;
    return stream;
}

void Push(FrameQueue* queue, const void* header, const void* payload, uint32_t length) {
    FrameNode* node = nullptr;
    if (queue->GetFreeNode(&node) != 0)
        return;
    if (header != nullptr)
        (void)queue->SetNodeHeader(node, 16, header);
    (void)queue->SetNodePayload(node, length, payload);
    (void)queue->PushReady(node);
}

void Record64(benchmark::State& state) {
    int codec = 0;
    const EncodedStream& stream = CifStream(&codec);
    QTemporaryDir drive;
    qputenv("VISTAL_DRIVE_X", QFile::encodeName(drive.path()));
    SetRecordClock(FixedClock);
    SetDiskFreeBytesFunction(PlentyFree);
    SetSoundBackend(SOUND_BACKEND_NULL);
    if (InitMediaSystem() != 0) {
        state.SkipWithError("media system");
        return;
    }
    RecordStorageConfig config;
    config.disks = QStringLiteral("X");
    config.recordDir = QStringLiteral("Records");
    config.extension = QStringLiteral("avi");
    config.cleanupThread = false;
    g_recordStorage = std::make_unique<RecordStorage>(config);
    auto* node = static_cast<DeviceTreeNode*>(std::calloc(1, sizeof(DeviceTreeNode)));
    std::memcpy(node->name, u"Bench", sizeof(u"Bench"));
    auto* device = new DVRDevice();
    device->node = node;
    if (AllocDeviceChannels(device, kChannels) != 0)
        std::abort();
    for (int i = 0; i < kChannels; ++i) {
        if (AssignSlotChannel(i, device, i) != 0)
            std::abort();
    }
    const VideoStreamHeader video{352, 288, 2500, codec};
    const AudioStreamHeader audio{1, {}, 8000, 16, {}};
    const std::vector<uint8_t> pcm(kAudioBytes, 0x22);
    std::vector<RecordThreadState> states(kChannels);
    double cpu = 0;
    for (auto _ : state) {
        const double wall0 = WallSeconds(), cpu0 = ProcessSeconds();
        for (int f = 0; f < kFrames; ++f) {
            for (int i = 0; i < kChannels; ++i) {
                ScreenSlot& slot = g_screenSlots[i];
                Push(slot.recordAudioQueue.get(), f == 0 ? &audio : nullptr, pcm.data(), kAudioBytes);
                Push(slot.recordVideoQueue.get(), f == 0 ? &video : nullptr, stream.packets[f].data(),
                     static_cast<uint32_t>(stream.packets[f].size()));
                while (RecordSlotTurn(i, g_recordStorage.get(), &states[i]) > 0) {
                }
            }
        }
        for (int i = 0; i < kChannels; ++i)
            EndSlotRecording(i, g_recordStorage.get(), &states[i]);
        const double wall = WallSeconds() - wall0;
        cpu += ProcessSeconds() - cpu0;
        state.SetIterationTime(wall);
        state.PauseTiming();
        QDir(drive.filePath(QStringLiteral("Records"))).removeRecursively();
        states.assign(kChannels, RecordThreadState{});
        state.ResumeTiming();
    }
    state.counters["cpu_s"] = benchmark::Counter(cpu / static_cast<double>(state.iterations()));
    state.SetItemsProcessed(state.iterations() * kChannels * kFrames * 2);
    FreeMediaSystem();
    delete device;
    std::free(node);
    SetRecordClock(nullptr);
    SetDiskFreeBytesFunction(nullptr);
}

void PlainWrite64(benchmark::State& state) {
    int codec = 0;
    const EncodedStream& stream = CifStream(&codec);
    QTemporaryDir folder;
    const std::vector<uint8_t> pcm(kAudioBytes, 0x22);
    double cpu = 0;
    for (auto _ : state) {
        const double wall0 = WallSeconds(), cpu0 = ProcessSeconds();
        std::vector<int> files(kChannels);
        for (int i = 0; i < kChannels; ++i)
            files[i] = open(QFile::encodeName(folder.filePath(QString::number(i))).constData(),
                            O_WRONLY | O_CREAT | O_TRUNC, 0644);
        for (int f = 0; f < kFrames; ++f) {
            for (int i = 0; i < kChannels; ++i) {
                if (write(files[i], pcm.data(), pcm.size()) < 0 ||
                    write(files[i], stream.packets[f].data(), stream.packets[f].size()) < 0)
                    state.SkipWithError("write");
            }
        }
        for (int fd : files)
            close(fd);
        const double wall = WallSeconds() - wall0;
        cpu += ProcessSeconds() - cpu0;
        state.SetIterationTime(wall);
    }
    state.counters["cpu_s"] = benchmark::Counter(cpu / static_cast<double>(state.iterations()));
    state.SetItemsProcessed(state.iterations() * kChannels * kFrames * 2);
}

// The D1 test picture as I420.
struct D1Picture {
    std::vector<uint8_t> i420 = TestPicture(3, 704, 576, true);
};

void SnapshotOurs(benchmark::State& state) {
    static D1Picture picture;
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("snap.jpg"));
    for (auto _ : state) {
        const double wall0 = WallSeconds();
        if (SaveSnapshotJpeg(picture.i420.data(), path, 704, 576) != 0)
            state.SkipWithError("snapshot");
        state.SetIterationTime(WallSeconds() - wall0);
    }
}

void SnapshotLibjpeg(benchmark::State& state) {
    static D1Picture picture;
    QTemporaryDir folder;
    const QByteArray path = QFile::encodeName(folder.filePath(QStringLiteral("direct.jpg")));
    // The reference's B, G, R rows (top-down) in a buffer made once, outside the timing.
    std::vector<uint8_t> bgr(704 * 576 * 3);
    const uint8_t* y = picture.i420.data();
    const uint8_t* u = y + 704 * 576;
    const uint8_t* v = u + 704 * 576 / 4;
    for (auto _ : state) {
        const double wall0 = WallSeconds();
        libyuv::I420ToRGB24(y, 704, u, 352, v, 352, bgr.data(), 704 * 3, 704, 576);
        FILE* file = std::fopen(path.constData(), "w+b");
        jpeg_compress_struct info{};
        jpeg_error_mgr error{};
        info.err = jpeg_std_error(&error);
        jpeg_create_compress(&info);
        jpeg_stdio_dest(&info, file);
        info.image_width = 704;
        info.image_height = 576;
        info.input_components = 3;
        info.in_color_space = JCS_EXT_BGR;
        jpeg_set_defaults(&info);
        jpeg_set_quality(&info, 75, TRUE);
        jpeg_start_compress(&info, TRUE);
        while (info.next_scanline < info.image_height) {
            JSAMPROW row = bgr.data() + static_cast<size_t>(info.next_scanline) * 704 * 3;
            jpeg_write_scanlines(&info, &row, 1);
        }
        jpeg_finish_compress(&info);
        jpeg_destroy_compress(&info);
        std::fclose(file);
        state.SetIterationTime(WallSeconds() - wall0);
    }
}

}  // namespace

int main(int argc, char** argv) {
    ImgInitDispatch();
    benchmark::RegisterBenchmark("record_64cif/ours", Record64)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    benchmark::RegisterBenchmark("record_64cif/reference", PlainWrite64)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    benchmark::RegisterBenchmark("snapshot_d1/ours", SnapshotOurs)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("snapshot_d1/reference", SnapshotLibjpeg)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    return RunWithRatios(argc, argv, 9, "0.1");
}
