// The record thread's turns, driven by the test's clock: packets pushed into a grid slot's real record
// queues become AVI files on a temporary drive, read back with libavformat.

#include "media/record_thread.h"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <thread>

#include "core/window_messages.h"
#include "core/worker_threads.h"
#include "dvr/device_tree_node.h"
#include "dvr/dvr_device.h"
#include "dvr/dvr_session.h"
#include "media/main_window_state.h"
#include "media/media_system.h"
#include "media/record_storage.h"
#include "platform/audio/sound_buffer.h"
#include "platform/avi/avi_writer.h"
#include "platform/system/file_size_limit.h"
#include "tests/bounded_wait.h"
#include "tests/context_switches.h"
#include "tests/media/avi_readback.h"
#include "tests/media/record_drive.h"
#include "tests/media/test_streams.h"
#include "tests/media/window_posts.h"

namespace {

using harness::MeasureIdle;
using harness::WaitUntil;

// 2024-06-01 12:00:00 UTC.
constexpr int64_t kNoon = 1717243200;
const HWND kMainWindow = reinterpret_cast<HWND>(0x95);
constexpr int kSlot = 3;
constexpr int kMpeg4 = 16;

int64_t g_now = 0;
int64_t TestClock() {
    return g_now;
}
uint64_t g_freeBytes = 0;
int TestFreeBytes(QChar, uint64_t* freeBytes) {
    *freeBytes = g_freeBytes;
    return 0;
}

class RecordThreadTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(drive.isValid());
        g_now = kNoon;
        g_freeBytes = 4000ull * 1024 * 1024;
        g_mainWindowState.m_hWnd = kMainWindow;
        ASSERT_EQ(InitMediaSystem(), 0);
        UseStorage("X", 0);
        node = static_cast<DeviceTreeNode*>(std::calloc(1, sizeof(DeviceTreeNode)));
        std::memcpy(node->name, u"Gate", sizeof(u"Gate"));
        device = new DVRDevice();
        device->node = node;
        ASSERT_EQ(AllocDeviceChannels(device, 4), 0);
        Show(device, 1);
        ASSERT_TRUE(EncodeTestStream("mpeg4", 176, 144, 24, &stream, 6));
    }
    void TearDown() override {
        SetAviReserveFunction(nullptr);
        EndSlotRecording(kSlot, g_recordStorage.get(), &state);
        FreeMediaSystem();
        delete device;
        std::free(node);
        g_mainWindowState.m_hWnd = nullptr;
    }
    void UseStorage(const char* disks, int action) {
        g_recordStorage = std::make_unique<RecordStorage>(RecordDrive::Storage(action, disks));
    }
    void Show(DVRDevice* d, int channel) {
        if (d == nullptr || channel < 0)
            ReleaseSlot(kSlot);
        else
            ASSERT_EQ(AssignSlotChannel(kSlot, d, channel), 0);
    }
    static void Push(FrameQueue* queue, const void* header, const void* payload, uint32_t length) {
        FrameNode* node = nullptr;
        ASSERT_EQ(queue->GetFreeNode(&node), 0);
        if (header != nullptr) {
            ASSERT_EQ(queue->SetNodeHeader(node, 16, header), 0);
        }
        if (length > 0) {
            ASSERT_EQ(queue->SetNodePayload(node, length, payload), 0);
        }
        ASSERT_EQ(queue->PushReady(node), 0);
    }
    // One video packet (with a header when given) and one turn.
    void Video(int index, const VideoStreamHeader* header = nullptr) {
        const std::vector<uint8_t>& p = stream.packets[index % stream.packets.size()];
        Push(g_screenSlots[kSlot].recordVideoQueue.get(), header, p.data(), static_cast<uint32_t>(p.size()));
        ASSERT_EQ(RecordSlotTurn(kSlot, g_recordStorage.get(), &state), 1);
    }
    // A large video packet whose bytes name it (the writer stores packets as they come).
    static std::string Numbered(int index) {
        std::string bytes(20000, static_cast<char>('a' + index % 26));
        std::snprintf(bytes.data(), 16, "frame %04d", index);
        return bytes;
    }
    void NumberedVideo(int index, const VideoStreamHeader* header = nullptr) {
        const std::string p = Numbered(index);
        Push(g_screenSlots[kSlot].recordVideoQueue.get(), header, p.data(), static_cast<uint32_t>(p.size()));
        ASSERT_EQ(RecordSlotTurn(kSlot, g_recordStorage.get(), &state), 1);
    }
    // The numbers of the packets a file holds, in order.
    std::vector<int> NumbersIn(const QString& name) const {
        std::vector<int> numbers;
        const AviContents c = Read(name);
        if (const AviStreamContents* v = c.Of(AVMEDIA_TYPE_VIDEO)) {
            for (const std::string& p : v->packets) {
                int n = -1;
                EXPECT_EQ(std::sscanf(p.c_str(), "frame %d", &n), 1);
                EXPECT_EQ(p, Numbered(n));
                numbers.push_back(n);
            }
        }
        return numbers;
    }
    static std::vector<int> Range(int from, int to) {
        std::vector<int> numbers;
        for (int i = from; i < to; ++i)
            numbers.push_back(i);
        return numbers;
    }
    void Audio(uint32_t bytes, const AudioStreamHeader* header = nullptr) {
        std::vector<uint8_t> pcm(bytes, 0x11);
        Push(g_screenSlots[kSlot].recordAudioQueue.get(), header, pcm.data(), bytes);
        ASSERT_EQ(RecordSlotTurn(kSlot, g_recordStorage.get(), &state), 1);
    }
    void EndMarker() {
        Push(g_screenSlots[kSlot].recordVideoQueue.get(), nullptr, nullptr, 0);
        ASSERT_EQ(RecordSlotTurn(kSlot, g_recordStorage.get(), &state), 1);
    }
    QString DayFolder(const char* dvr = "Gate") const {
        return drive.filePath(QStringLiteral("Records/%1/2024_06_01").arg(QString::fromUtf8(dvr)));
    }
    QStringList Files(const char* dvr = "Gate") const {
        return QDir(DayFolder(dvr)).entryList(QDir::Files, QDir::Name);
    }
    AviContents Read(const QString& name, const char* dvr = "Gate") const {
        AviContents contents;
        EXPECT_TRUE(ReadAvi(DayFolder(dvr) + QLatin1Char('/') + name, &contents)) << name.toStdString();
        return contents;
    }
    static int VideoFrames(const AviContents& c) {
        const AviStreamContents* v = c.Of(AVMEDIA_TYPE_VIDEO);
        return v != nullptr ? static_cast<int>(v->packets.size()) : -1;
    }

    RecordDrive drive{TestClock, TestFreeBytes};
    DeviceTreeNode* node = nullptr;
    DVRDevice* device = nullptr;
    EncodedStream stream;
    RecordThreadState state;
    const VideoStreamHeader header{176, 144, 2500, kMpeg4};
    const AudioStreamHeader audio{1, {}, 8000, 16, {}};
};

TEST_F(RecordThreadTest, AFileHoldsTheStreamAsSentWithItsFormats) {
    Audio(1000, &audio);  // no file yet: dropped
    for (int i = 0; i < 10; ++i) {
        Video(i, i == 0 ? &header : nullptr);
        Audio(320 + i);  // shorter than a quarter second: still counted as one
    }
    EndMarker();
    ASSERT_EQ(Files(), QStringList{QStringLiteral("CH002_120000.avi")});
    AviContents c = Read(QStringLiteral("CH002_120000.avi"));
    ASSERT_EQ(c.streams.size(), 2u);
    const AviStreamContents* v = c.Of(AVMEDIA_TYPE_VIDEO);
    const AviStreamContents* a = c.Of(AVMEDIA_TYPE_AUDIO);
    ASSERT_TRUE(v != nullptr && a != nullptr);
    EXPECT_EQ(v->codec, AV_CODEC_ID_MPEG4);
    EXPECT_EQ(v->tag, MakeFourCC('X', 'V', 'I', 'D'));
    EXPECT_EQ(v->width, 176);
    EXPECT_EQ(v->height, 144);
    EXPECT_DOUBLE_EQ(v->secondsPerUnit, 0.04);
    ASSERT_EQ(v->packets.size(), 10u);
    EXPECT_EQ(IndexedKeyFrames(DayFolder() + QStringLiteral("/CH002_120000.avi")), 10);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(v->packets[i], std::string(stream.packets[i].begin(), stream.packets[i].end())) << i;
    EXPECT_EQ(a->codec, AV_CODEC_ID_PCM_S16LE);
    EXPECT_EQ(a->sampleRate, 8000);
    EXPECT_EQ(a->channels, 1);
    EXPECT_EQ(a->bytes, 10 * 320 + 45);
}

TEST_F(RecordThreadTest, CutsAtEveryHalfHourOnceInTheBoundarySecond) {
    // From 11:58:30 to 12:31:10, with several packets in each boundary second.
    struct Tick {
        int64_t time;
        int packets;
    } ticks[] = {{kNoon - 90, 3},   {kNoon - 1, 2},    {kNoon, 4},       {kNoon + 1, 1},
                 {kNoon + 1799, 1}, {kNoon + 1800, 3}, {kNoon + 1870, 2}};
    int sent = 0;
    g_now = ticks[0].time;
    Audio(2000, &audio);  // before any file: only the header is kept
    for (const Tick& t : ticks) {
        g_now = t.time;
        for (int k = 0; k < t.packets; ++k, ++sent) {
            Video(sent, sent == 0 ? &header : nullptr);
            Audio(2000);
        }
    }
    EndSlotRecording(kSlot, g_recordStorage.get(), &state);
    const QStringList expected = {QStringLiteral("CH002_115830.avi"), QStringLiteral("CH002_120000.avi"),
                                  QStringLiteral("CH002_123000.avi")};
    ASSERT_EQ(Files(), expected);
    EXPECT_EQ(VideoFrames(Read(expected[0])), 5);
    EXPECT_EQ(VideoFrames(Read(expected[1])), 6);
    EXPECT_EQ(VideoFrames(Read(expected[2])), 5);
    EXPECT_EQ(Read(expected[1]).Of(AVMEDIA_TYPE_AUDIO)->bytes, 6 * 2000);
}

TEST_F(RecordThreadTest, AChangedHeaderBeginsANewFileARepeatedOneContinues) {
    Video(0, &header);
    Video(1);
    Video(2, &header);  // the DVR repeats its header before key frames
    g_now += 1;
    VideoStreamHeader larger = header;
    larger.width = 352;
    larger.height = 288;
    Video(3, &larger);
    Video(4);
    g_now += 1;
    AudioStreamHeader otherRate = audio;
    otherRate.sampleRate = 16000;
    Audio(400, &otherRate);  // an audio header cuts too: the next video packet begins the next file
    Audio(400);              // no file: dropped
    Video(5);
    Audio(400);
    EndSlotRecording(kSlot, g_recordStorage.get(), &state);
    const QStringList expected = {QStringLiteral("CH002_120000.avi"), QStringLiteral("CH002_120001.avi"),
                                  QStringLiteral("CH002_120002.avi")};
    ASSERT_EQ(Files(), expected);
    AviContents first = Read(expected[0]);
    AviContents second = Read(expected[1]);
    AviContents third = Read(expected[2]);
    EXPECT_EQ(VideoFrames(first), 3);
    EXPECT_EQ(first.Of(AVMEDIA_TYPE_AUDIO), nullptr);  // no audio header yet: video only
    EXPECT_EQ(VideoFrames(second), 2);
    EXPECT_EQ(second.Of(AVMEDIA_TYPE_VIDEO)->width, 352);
    EXPECT_EQ(VideoFrames(third), 1);
    ASSERT_NE(third.Of(AVMEDIA_TYPE_AUDIO), nullptr);
    EXPECT_EQ(third.Of(AVMEDIA_TYPE_AUDIO)->sampleRate, 16000);
    EXPECT_EQ(third.Of(AVMEDIA_TYPE_AUDIO)->bytes, 400);
}

TEST_F(RecordThreadTest, EndMarkersCloseAndFilesOfTheSameSecondNeverReplaceEachOther) {
    Video(0, &header);
    Video(1);
    EndMarker();
    EndMarker();  // nothing open: nothing happens
    Video(2);     // same second: the first file moves aside
    EndMarker();
    Video(3);  // and again: the earlier ones stay as they are, this packet waits for another second
    g_now += 1;
    Video(4);
    EndSlotRecording(kSlot, g_recordStorage.get(), &state);
    const QStringList expected = {QStringLiteral("CH002_120000.avi"), QStringLiteral("CH002_120000.avi.avi"),
                                  QStringLiteral("CH002_120001.avi")};
    ASSERT_EQ(Files(), expected);
    EXPECT_EQ(VideoFrames(Read(expected[0])), 1);  // the second file
    EXPECT_EQ(VideoFrames(Read(expected[1])), 2);  // the first
    EXPECT_EQ(VideoFrames(Read(expected[2])), 1);
}

TEST_F(RecordThreadTest, AScreenThatShowsAnotherChannelOrNothingClosesTheFile) {
    Video(0, &header);
    Video(1);
    g_now += 1;
    Show(device, 2);
    Video(2);  // another channel: its own file
    g_now += 1;
    Show(nullptr, -1);
    EXPECT_EQ(RecordSlotTurn(kSlot, g_recordStorage.get(), &state), 0);  // idle turn: the file closes
    EXPECT_FALSE(state.fileOpen);
    Video(3);  // nothing shown: dropped
    const QStringList expected = {QStringLiteral("CH002_120000.avi"), QStringLiteral("CH003_120001.avi")};
    ASSERT_EQ(Files(), expected);
    EXPECT_EQ(VideoFrames(Read(expected[0])), 2);
    EXPECT_EQ(VideoFrames(Read(expected[1])), 1);
}

TEST_F(RecordThreadTest, TheThreadSleepsUntilAPacketComesAndClosesTheFileOnTheEndMarkerOrAChannelChange) {
    WorkerThread* thread = nullptr;
    ThreadId id = 0;
    ASSERT_EQ(StartWorkerThread(&thread, &id, RecordThread, reinterpret_cast<void*>(intptr_t{kSlot})), 0);
    // With nothing to record the thread sleeps: one that looked every 20 ms would switch about 25 times
    // in this interval.
    EXPECT_LT(MeasureIdle(50, 4, 500).switches, 10);

    // A pushed packet wakes it and begins a file; the end marker closes the file whole.
    const std::vector<uint8_t>& p = stream.packets[0];
    FrameQueue* queue = g_screenSlots[kSlot].recordVideoQueue.get();
    Push(queue, &header, p.data(), static_cast<uint32_t>(p.size()));
    EXPECT_TRUE(WaitUntil([&] { return Files().size() == 1; }));
    Push(queue, nullptr, nullptr, 0);
    EXPECT_TRUE(WaitUntil([&] {
        AviContents contents;
        return Files().size() == 1 && ReadAvi(DayFolder() + QLatin1Char('/') + Files()[0], &contents) &&
               VideoFrames(contents) == 1;
    }));

    // With a file open it sleeps as well; the screen leaving the channel wakes it, and the file is closed.
    Push(queue, nullptr, p.data(), static_cast<uint32_t>(p.size()));
    EXPECT_TRUE(WaitUntil([&] { return Files().size() == 2; }));
    EXPECT_LT(MeasureIdle(50, 4, 500).switches, 10);
    Show(nullptr, -1);
    EXPECT_TRUE(WaitUntil([&] {
        AviContents contents;
        // The new file took the name; the first moved aside (a dot and "avi" appended).
        return Files().size() == 2 && ReadAvi(DayFolder() + QLatin1Char('/') + Files()[0], &contents) &&
               VideoFrames(contents) == 1;
    }));

    auto start = std::chrono::steady_clock::now();
    StopWorkerThread(&thread, &id);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(THREAD_STOP_WAIT_MS));
}

TEST_F(RecordThreadTest, WithoutADiskTheNoticeIsPostedOncePerRunOfFailures) {
    WindowPostRecorder posts;
    g_freeBytes = 10ull * 1024 * 1024;
    UseStorage("X", 0);  // full, and the disk-full action is off
    Video(0, &header);
    Video(1);
    Video(2);
    EXPECT_EQ(posts.CountOf(WM_RECORD_DISKFULL), 1u);
    g_freeBytes = 4000ull * 1024 * 1024;
    UseStorage("X", 0);
    Video(3);  // recording again
    EndMarker();
    g_freeBytes = 0;
    UseStorage("X", 0);
    Video(4);
    Video(5);
    UseStorage("", 1);  // no disk at all
    Video(6);
    g_freeBytes = 4000ull * 1024 * 1024;
    UseStorage("X", 0);
    Video(7);  // recording again
    EndMarker();
    UseStorage("Q", 1);  // a letter the drive map does not know: never a folder below the working one
    Video(8);
    std::vector<RecordedPost> all = posts.Posts();
    ASSERT_EQ(all.size(), 3u);
    for (const RecordedPost& p : all) {
        EXPECT_EQ(p.hwnd, kMainWindow);
        EXPECT_EQ(p.message, WM_RECORD_DISKFULL);
        EXPECT_EQ(p.wParam, 1u);
        EXPECT_EQ(p.lParam, 0);
    }
    EXPECT_EQ(Files(),
              (QStringList{QStringLiteral("CH002_120000.avi"), QStringLiteral("CH002_120000.avi.avi")}));
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("Q:")));
}

// Reservations fail while the test says the disk is full.
std::atomic<bool> g_diskFull{false};
std::atomic<int> g_reservations{0};
int TestReserve(int, int64_t, int64_t) {
    ++g_reservations;
    return g_diskFull ? ENOSPC : 0;
}

TEST_F(RecordThreadTest, AFailedWriteClosesTheFileWholeTellsTheOperatorAndTheNextPacketBeginsANewFile) {
    WindowPostRecorder posts;
    SetAviReserveFunction(TestReserve);
    NumberedVideo(0, &header);
    g_diskFull = true;  // what the file reserved at its start still takes a few packets
    int sent = 1;
    for (; sent < 40 && state.fileOpen; ++sent)
        NumberedVideo(sent);
    ASSERT_FALSE(state.fileOpen) << "no write ever failed";
    const int kept = sent - 1;  // the packet that found no room is not in the file
    EXPECT_GE(kept, 3);
    EXPECT_EQ(posts.CountOf(WM_RECORD_DISKFULL), 1u);
    for (int i = 0; i < 5; ++i, ++sent)
        NumberedVideo(sent);  // still full: no file can be begun, none is left behind
    // The first attempt moved the closed file of the same second aside.
    EXPECT_EQ(Files(), QStringList{QStringLiteral("CH002_120000.avi.avi")});

    g_diskFull = false;  // the clean-up freed space
    g_now += 1;
    const int resumed = sent;
    for (int i = 0; i < 5; ++i, ++sent)
        NumberedVideo(sent);
    EndMarker();
    SetAviReserveFunction(nullptr);
    const QStringList expected = {QStringLiteral("CH002_120000.avi.avi"), QStringLiteral("CH002_120001.avi")};
    ASSERT_EQ(Files(), expected);
    EXPECT_EQ(NumbersIn(expected[0]), Range(0, kept));
    EXPECT_EQ(IndexedKeyFrames(DayFolder() + QLatin1Char('/') + expected[0]), kept);  // closed with its index
    EXPECT_EQ(NumbersIn(expected[1]), Range(resumed, resumed + 5));
    for (const RecordedPost& p : posts.Posts()) {
        EXPECT_EQ(p.message, WM_RECORD_DISKFULL);
        EXPECT_EQ(p.wParam, 1u);
    }
}

TEST_F(RecordThreadTest, StartingOnADiskWithNoRoomTellsTheOperator) {
    WindowPostRecorder posts;
    SetAviReserveFunction(TestReserve);
    g_diskFull = true;  // the path and its folders can be made, the file cannot take its first picture
    Video(0, &header);
    Video(1);
    Video(2);
    EXPECT_EQ(posts.CountOf(WM_RECORD_DISKFULL), 1u);
    EXPECT_TRUE(Files().isEmpty());
    g_diskFull = false;
    Video(3);
    EndMarker();
    g_diskFull = true;  // a new run of failures after a file was begun is told again
    g_now += 1;
    Video(4);
    Video(5);
    g_diskFull = false;
    EXPECT_EQ(posts.CountOf(WM_RECORD_DISKFULL), 2u);
    EXPECT_EQ(Files(), QStringList{QStringLiteral("CH002_120000.avi")});
}

// Writes that the disk refuses (not a refused reservation): g_failingWrites writes fail with
// g_writeError (-1: every write), and no write reaches past g_fileRoom bytes of a file (ENOSPC there).
std::atomic<int> g_failingWrites{0};
std::atomic<int> g_writeError{EIO};
std::atomic<int64_t> g_fileRoom{INT64_MAX};
ssize_t TestWrite(int fd, const void* data, size_t length, off_t offset) {
    int failing = g_failingWrites.load();
    if (failing != 0) {
        if (failing > 0)
            g_failingWrites = failing - 1;
        errno = g_writeError;
        return -1;
    }
    const int64_t room = g_fileRoom.load();
    if (offset + static_cast<int64_t>(length) > room) {
        if (offset >= room) {
            errno = ENOSPC;
            return -1;
        }
        length = static_cast<size_t>(room - offset);
    }
    return pwrite(fd, data, length, offset);
}

class RefusedWrites {
public:
    RefusedWrites() { SetAviWriteFunction(TestWrite); }
    ~RefusedWrites() {
        SetAviWriteFunction(nullptr);
        g_failingWrites = 0;
        g_writeError = EIO;
        g_fileRoom = INT64_MAX;
    }
};

TEST_F(RecordThreadTest, AWriteTheDiskRefusesEndsTheFileWholeWhenItsSecondTryWorks) {
    const int errors[] = {EIO, EFBIG, ENOSPC};
    for (int error : errors) {
        SCOPED_TRACE(std::strerror(error));
        QDir(drive.filePath(QStringLiteral("Records"))).removeRecursively();
        state = RecordThreadState{};
        g_now = kNoon;
        WindowPostRecorder posts;
        RefusedWrites refused;
        for (int i = 0; i < 5; ++i)
            NumberedVideo(i, i == 0 ? &header : nullptr);
        ASSERT_TRUE(state.fileOpen);
        g_writeError = error;
        g_failingWrites = 1;  // the write of picture 5 fails once; libav still reports success
        NumberedVideo(5);
        EXPECT_FALSE(state.fileOpen);
        EXPECT_EQ(posts.CountOf(WM_RECORD_DISKFULL), 1u);
        g_now += 1;
        for (int i = 6; i < 10; ++i)
            NumberedVideo(i);
        EndMarker();
        const QStringList expected = {QStringLiteral("CH002_120000.avi"), QStringLiteral("CH002_120001.avi")};
        ASSERT_EQ(Files(), expected);
        int frames = 0;
        // The close wrote the failed picture again before the index.
        EXPECT_TRUE(WholeIndexedAvi(DayFolder() + QLatin1Char('/') + expected[0], &frames));
        EXPECT_EQ(NumbersIn(expected[0]), Range(0, 6));
        EXPECT_TRUE(WholeIndexedAvi(DayFolder() + QLatin1Char('/') + expected[1], &frames));
        EXPECT_EQ(NumbersIn(expected[1]), Range(6, 10));
    }
}

TEST_F(RecordThreadTest, ADiskThatKeepsRefusingKeepsThePicturesItTookAndRecordingResumesWhenItWrites) {
    WindowPostRecorder posts;
    RefusedWrites refused;
    for (int i = 0; i < 5; ++i)
        NumberedVideo(i, i == 0 ? &header : nullptr);
    g_failingWrites = -1;
    NumberedVideo(5);
    EXPECT_FALSE(state.fileOpen);
    g_now += 1;
    for (int i = 6; i < 9; ++i)
        NumberedVideo(i);  // no file can take its first picture: none is left behind
    EXPECT_EQ(posts.CountOf(WM_RECORD_DISKFULL), 1u);
    g_failingWrites = 0;
    g_now += 1;
    for (int i = 9; i < 13; ++i)
        NumberedVideo(i);
    EndMarker();
    const QStringList expected = {QStringLiteral("CH002_120000.avi"), QStringLiteral("CH002_120002.avi")};
    ASSERT_EQ(Files(), expected);
    // The first file could get no index; what reached the disk stays there.
    const QString first = DayFolder() + QLatin1Char('/') + expected[0];
    EXPECT_EQ(IndexedKeyFrames(first), -1);
    EXPECT_GE(QFileInfo(first).size(), 5 * 20000);
    int frames = 0;
    EXPECT_TRUE(WholeIndexedAvi(DayFolder() + QLatin1Char('/') + expected[1], &frames));
    EXPECT_EQ(NumbersIn(expected[1]), Range(9, 13));
}

// The process's file-size limit, for the life of the object.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        EXPECT_EQ(IgnoreFileSizeSignal(), 0);
        m_ok = getrlimit(RLIMIT_FSIZE, &m_saved) == 0;
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        m_ok = m_ok && setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        if (m_ok)
            setrlimit(RLIMIT_FSIZE, &m_saved);
    }
    bool ok() const { return m_ok; }

private:
    rlimit m_saved{};
    bool m_ok = false;
};

TEST_F(RecordThreadTest, RoomThatRunsOutEndsEveryFileWholeWithItsIndexAndTheNextPictureBeginsTheNext) {
    constexpr int64_t kRoom = 300000;
    enum class Limit { FileSize, FileSystemThatCannotReserve };
    for (Limit limit : {Limit::FileSize, Limit::FileSystemThatCannotReserve}) {
        SCOPED_TRACE(limit == Limit::FileSize ? "file-size limit" : "a file system that cannot reserve");
        QDir(drive.filePath(QStringLiteral("Records"))).removeRecursively();
        state = RecordThreadState{};
        g_now = kNoon;
        WindowPostRecorder posts;
        RefusedWrites refused;
        std::optional<FileSizeLimit> fileSize;
        if (limit == Limit::FileSize) {
            fileSize.emplace(kRoom);
            ASSERT_TRUE(fileSize->ok());
        } else {
            SetAviReserveFunction([](int, int64_t, int64_t) { return EOPNOTSUPP; });
            g_fileRoom = kRoom;
        }
        constexpr int kPictures = 60;
        for (int i = 0; i < kPictures; ++i, ++g_now)
            NumberedVideo(i, i == 0 ? &header : nullptr);
        EndMarker();
        fileSize.reset();
        SetAviReserveFunction(nullptr);
        const QStringList files = Files();
        ASSERT_GE(files.size(), 3);
        EXPECT_GE(posts.CountOf(WM_RECORD_DISKFULL), 1u);
        int next = 0;
        for (const QString& name : files) {
            SCOPED_TRACE(name.toStdString());
            const QString path = DayFolder() + QLatin1Char('/') + name;
            int frames = 0;
            EXPECT_TRUE(WholeIndexedAvi(path, &frames));
            EXPECT_LE(QFileInfo(path).size(), kRoom);
            const std::vector<int> numbers = NumbersIn(name);
            ASSERT_FALSE(numbers.empty());
            // Each file goes on from the picture after the one the last file had no room for.
            EXPECT_EQ(numbers, Range(next, numbers.front() + static_cast<int>(numbers.size())));
            next = numbers.back() + 2;
        }
        EXPECT_GE(next, kPictures);
    }
}

// A 1 MiB file system as drive X (only where this process may mount one).
class SmallDrive {
public:
    SmallDrive() {
        m_ok = m_folder.isValid() && mount("tmpfs", QFile::encodeName(m_folder.path()).constData(), "tmpfs",
                                           MS_NOSUID | MS_NODEV, "size=1m,mode=0700") == 0;
        if (m_ok)
            qputenv("VISTAL_DRIVE_X", QFile::encodeName(m_folder.path()));
    }
    ~SmallDrive() {
        if (m_ok)
            umount2(QFile::encodeName(m_folder.path()).constData(), MNT_DETACH);
    }
    bool ok() const { return m_ok; }
    QString filePath(const QString& name) const { return m_folder.filePath(name); }

private:
    QTemporaryDir m_folder;
    bool m_ok = false;
};

TEST_F(RecordThreadTest, OnAFullFileSystemTheFileKeepsWhatItHoldsAndRecordingResumesWhenSpaceIsFreed) {
    SmallDrive small;
    if (!small.ok())
        GTEST_SKIP() << "no permission to mount a small file system";
    WindowPostRecorder posts;
    QFile filler(small.filePath(QStringLiteral("filler")));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
    ASSERT_EQ(filler.write(QByteArray(600 * 1024, 'x')), 600 * 1024);
    filler.close();
    const QString day = small.filePath(QStringLiteral("Records/Gate/2024_06_01"));
    int sent = 0;
    for (; sent < 60 && posts.CountOf(WM_RECORD_DISKFULL) == 0; ++sent)
        NumberedVideo(sent, sent == 0 ? &header : nullptr);
    ASSERT_EQ(posts.CountOf(WM_RECORD_DISKFULL), 1u);
    const int kept = sent - 1;
    ASSERT_TRUE(QFile::remove(small.filePath(QStringLiteral("filler"))));  // space freed
    g_now += 1;
    const int resumed = sent;
    for (int i = 0; i < 5; ++i, ++sent)
        NumberedVideo(sent);
    EndMarker();
    ASSERT_EQ(QDir(day).entryList(QDir::Files, QDir::Name),
              (QStringList{QStringLiteral("CH002_120000.avi"), QStringLiteral("CH002_120001.avi")}));
    AviContents first;
    AviContents second;
    ASSERT_TRUE(ReadAvi(day + QStringLiteral("/CH002_120000.avi"), &first));
    ASSERT_TRUE(ReadAvi(day + QStringLiteral("/CH002_120001.avi"), &second));
    EXPECT_EQ(VideoFrames(first), kept);
    EXPECT_GE(kept, 3);
    EXPECT_EQ(IndexedKeyFrames(day + QStringLiteral("/CH002_120000.avi")), kept);
    EXPECT_EQ(second.Of(AVMEDIA_TYPE_VIDEO)->packets.front(), Numbered(resumed));
    EXPECT_EQ(VideoFrames(second), 5);
    // The space reserved ahead of the first file went back when it closed.
    struct stat info {};
    ASSERT_EQ(stat(QFile::encodeName(day + QStringLiteral("/CH002_120000.avi")).constData(), &info), 0);
    EXPECT_LE(info.st_blocks * 512, info.st_size + 8192);
}

TEST_F(RecordThreadTest, HeadersTheWriterCannotStoreCountAsNoHeader) {
    struct Case {
        const char* name;
        VideoStreamHeader video;
        uint32_t sampleRate;  // 0: no audio header
        int files;            // files with video
        bool audio;           // they have an audio stream
    } cases[] = {
        {"height INT_MIN", {176, INT32_MIN, 2500, kMpeg4}, 8000, 0, false},
        {"width 0", {0, 144, 2500, kMpeg4}, 0, 0, false},
        {"width past the frame rectangle", {70000, 144, 2500, kMpeg4}, 0, 0, false},
        {"no frame rate", {176, 144, 0, kMpeg4}, 0, 0, false},
        {"negative height counts by its size", {176, -144, 2500, kMpeg4}, 8000, 1, true},
        {"sample rate 0", {176, 144, 2500, kMpeg4}, 0xFFFFFFFFu, 1, false},
        {"sample rate 2^31", {176, 144, 2500, kMpeg4}, 0x80000000u, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(drive.filePath(QStringLiteral("Records"))).removeRecursively();
        state = RecordThreadState{};
        if (c.sampleRate != 0) {
            AudioStreamHeader a = audio;
            a.sampleRate = c.sampleRate == 0xFFFFFFFFu ? 0 : c.sampleRate;
            Audio(400, &a);
        }
        for (int i = 0; i < 20; ++i) {
            Video(i, i % 5 == 0 ? &c.video : nullptr);
            Audio(400);
        }
        EndMarker();
        const QStringList files = Files();
        ASSERT_EQ(files.size(), static_cast<qsizetype>(c.files));
        if (c.files == 1) {
            AviContents contents = Read(files[0]);
            EXPECT_EQ(VideoFrames(contents), 20);
            EXPECT_EQ(contents.Of(AVMEDIA_TYPE_VIDEO)->height, 144);
            EXPECT_EQ(contents.Of(AVMEDIA_TYPE_AUDIO) != nullptr, c.audio);
        }
    }
}

TEST_F(RecordThreadTest, ADvrNameThatNoFolderCanHoldBecomesOneSafeFolder) {
    std::memcpy(node->name, u"../Gate:1", sizeof(u"../Gate:1"));
    Show(device, 1);  // the slot takes the DVR's name when the channel is assigned
    Video(0, &header);
    EndSlotRecording(kSlot, g_recordStorage.get(), &state);
    EXPECT_EQ(Files(".._Gate_1"), QStringList{QStringLiteral("CH002_120000.avi")});
    EXPECT_EQ(QDir(drive.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{"Records"});
}

}  // namespace
