#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

extern "C" {
#include <libavcodec/avcodec.h>
}

#include "core/codec_map.h"
#include "core/file_helpers.h"
#include "core/net_helpers.h"
#include "core/text_helpers.h"
#include "core/worker_threads.h"

namespace {

using Clock = std::chrono::steady_clock;

unsigned QuitOnRequest(void*) {
    ThreadMessage msg;
    for (;;) {
        if (GetThreadMessage(&msg, 100) == 1 && msg.message == WM_QUIT)
            return 0;
    }
}

unsigned IgnoreQuitFor2s(void*) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2000));
    return 0;
}

TEST(WorkerThreads, StopEndsACooperativeWorkerAtOnce) {
    WorkerThread* handle = nullptr;
    ThreadId id = 0;
    ASSERT_EQ(StartWorkerThread(&handle, &id, QuitOnRequest, nullptr), 0);
    ASSERT_NE(handle, nullptr);
    auto start = Clock::now();
    EXPECT_EQ(StopWorkerThread(&handle, &id), 0);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(THREAD_STOP_WAIT_MS));
    EXPECT_EQ(handle, nullptr);
    EXPECT_EQ(id, 0u);
    EXPECT_EQ(StopWorkerThread(&handle, &id), 0);  // nothing to stop
}

TEST(WorkerThreads, AWorkerThatMissesTheBoundIsStillJoined) {
    WorkerThread* handle = nullptr;
    ThreadId id = 0;
    ASSERT_EQ(StartWorkerThread(&handle, &id, IgnoreQuitFor2s, nullptr), 0);
    auto start = Clock::now();
    StopWorkerThread(&handle, &id);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(THREAD_STOP_WAIT_MS));
    EXPECT_EQ(handle, nullptr);
}

TEST(WorkerThreads, StartingOnARunningPairStopsTheOldThreadFirst) {
    WorkerThread* handle = nullptr;
    ThreadId id = 0;
    ASSERT_EQ(StartWorkerThread(&handle, &id, QuitOnRequest, nullptr), 0);
    ThreadId first = id;
    ASSERT_EQ(StartWorkerThread(&handle, &id, QuitOnRequest, nullptr), 0);
    EXPECT_NE(id, first);
    EXPECT_FALSE(PostThreadMessage(first, WM_USER, 0, 0));
    StopWorkerThread(&handle, &id);
}

struct Listener {
    int fd = -1;
    sockaddr_in addr{};
    explicit Listener(int backlog) {
        fd = socket(AF_INET, SOCK_STREAM, 0);
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        socklen_t len = sizeof addr;
        getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
        listen(fd, backlog);
    }
    ~Listener() { close(fd); }
};

int Connect(const sockaddr_in& addr) {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    int r = ConnectWithTimeout(reinterpret_cast<const sockaddr*>(&addr), s, sizeof addr);
    close(s);
    return r;
}

TEST(ConnectWithTimeout, ConnectsToAListener) {
    Listener listener(4);
    EXPECT_EQ(Connect(listener.addr), 0);
}

TEST(ConnectWithTimeout, ARefusedConnectFailsAtOnce) {
    sockaddr_in addr;
    {
        Listener closed(1);
        addr = closed.addr;
    }
    auto start = Clock::now();
    EXPECT_EQ(Connect(addr), -1);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1000));
}

TEST(ConnectWithTimeout, ABlackHoleTimesOut) {
    // A listener whose accept queue is full drops further handshakes silently.
    Listener listener(0);
    std::vector<int> held;
    for (int i = 0; i < 8; ++i) {
        int s = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        connect(s, reinterpret_cast<sockaddr*>(&listener.addr), sizeof listener.addr);
        held.push_back(s);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    auto start = Clock::now();
    EXPECT_EQ(Connect(listener.addr), -1);
    auto elapsed = Clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(CONNECT_TIMEOUT_SECONDS * 1000 - 50));
    for (int s : held)
        close(s);
}

TEST(ResolveTcpAddress, ResolvesANumericLoopbackAddress) {
    addrinfo* result = nullptr;
    ASSERT_EQ(ResolveTcpAddress("127.0.0.1", "8000", &result), 0);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(ntohs(reinterpret_cast<sockaddr_in*>(result->ai_addr)->sin_port), 8000);
    freeaddrinfo(result);
}

TEST(CreateDirectoryPath, CreatesEveryFolderBeforeTheLastSeparator) {
    QTemporaryDir dir;
    QString base = dir.path();
    struct Case {
        QString path;
        QStringList made;
        QStringList notMade;
    } cases[] = {
        {base + "\\rec\\cam1\\file.avi", {"rec", "rec/cam1"}, {"rec/cam1/file.avi"}},
        {base + "/a/b/", {"a", "a/b"}, {}},
        {base + "/x/y", {"x"}, {"x/y"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CreateDirectoryPath(c.path), 1) << c.path.toStdString();
        for (const QString& m : c.made)
            EXPECT_TRUE(QFileInfo(base + "/" + m).isDir()) << m.toStdString();
        for (const QString& m : c.notMade)
            EXPECT_FALSE(QFileInfo::exists(base + "/" + m)) << m.toStdString();
    }
    EXPECT_EQ(CreateDirectoryPath(base + "/a/b/"), 1);  // existing folders count as success
    EXPECT_EQ(CreateDirectoryPath(QString()), 0);
    EXPECT_EQ(CreateDirectoryPath("nofolder"), 1);
    QFile blocker(base + "/file");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_EQ(CreateDirectoryPath(base + "/file/sub/"), 0);
}

TEST(CreateDirectoryPath, NeverCreatesTheFirstComponent) {
    QTemporaryDir dir;
    QString base = dir.path();
    QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(base));
    qputenv("VISTAL_DRIVE_P", (base + "/proot").toLocal8Bit());
    qunsetenv("VISTAL_DRIVE_Q");
    struct Case {
        QString path;
        int result;
        QStringList made;
        QStringList notMade;
    } cases[] = {
        // A letter mapped to nothing fails and leaves no folder named after it.
        {"Q:\\qa\\qb\\", 0, {}, {"Q:", "Q:/qa"}},
        // The drive's root is not made, so nothing below it can be.
        {"P:\\pa\\", 0, {}, {"proot"}},
        // The first folder of a relative path is not made either.
        {"r1\\r2\\r3", 0, {}, {"r1"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CreateDirectoryPath(c.path), c.result) << c.path.toStdString();
        for (const QString& m : c.made)
            EXPECT_TRUE(QFileInfo(base + "/" + m).isDir()) << m.toStdString();
        for (const QString& m : c.notMade)
            EXPECT_FALSE(QFileInfo::exists(base + "/" + m)) << m.toStdString();
    }
    ASSERT_TRUE(QDir(base).mkpath("proot"));
    ASSERT_TRUE(QDir(base).mkpath("r1"));
    EXPECT_EQ(CreateDirectoryPath("P:\\pa\\pb\\"), 1);
    EXPECT_TRUE(QFileInfo(base + "/proot/pa/pb").isDir());
    EXPECT_EQ(CreateDirectoryPath("r1\\r2\\r3"), 1);
    EXPECT_TRUE(QFileInfo(base + "/r1/r2").isDir());
    qunsetenv("VISTAL_DRIVE_P");
    ASSERT_TRUE(QDir::setCurrent(previous));
}

TEST(ShellHelpers, RenameAndDeleteFilesAndFolders) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("day/cam");
    QFile f(dir.filePath("day/cam/a.avi"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_EQ(ShellRenameFile(dir.filePath("day/cam/a.avi"), dir.filePath("day/cam/b.avi")), 1);
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("day/cam/b.avi")));
    EXPECT_EQ(ShellRenameFile(dir.filePath("none"), dir.filePath("x")), 0);
    // A rename never replaces: both files stay as they were.
    QFile c(dir.filePath("day/cam/c.avi"));
    ASSERT_TRUE(c.open(QIODevice::WriteOnly));
    c.write("earlier");
    c.close();
    EXPECT_EQ(ShellRenameFile(dir.filePath("day/cam/b.avi"), dir.filePath("day/cam/c.avi")), 0);
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("day/cam/b.avi")));
    EXPECT_EQ(QFileInfo(dir.filePath("day/cam/c.avi")).size(), 7);
    EXPECT_EQ(ShellDeleteFiles({dir.filePath("day")}), 1);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("day")));
}

TEST(RunProgram, RunsAndWaits) {
    QTemporaryDir dir;
    RunProgram(1, "/bin/sh", "-c \"echo done > out.txt\"", dir.path(), 1);
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("out.txt")));
    RunProgram(0, dir.filePath("no-such-program"), QString(), QString(), 1);  // not reported
}

TEST(GetModuleFolder, KeepsTheLetterCase) {
    QTemporaryDir dir;
    QString home = dir.path() + "/Program Files/App";
    QDir().mkpath(home);
    qputenv("VISTAL_HOME", home.toLocal8Bit());
    QString folder;
    GetModuleFolder(&folder);
    EXPECT_EQ(folder, home + "/");
    qunsetenv("VISTAL_HOME");
}

TEST(FindBytes, FindsTheFirstOccurrence) {
    const char buffer[] = "\r\n\r\nabc\r\n\r\n";
    struct Case {
        const char* pattern;
        int bufferLength;
        int expected;
    } cases[] = {{"\r\n\r\n", 11, 0}, {"abc", 11, 4}, {"abc", 6, -1},
                 {"", 11, -1},        {"x", 11, -1},  {"\r\n\r\nabc\r\n\r\n!", 11, -1}};
    for (const Case& c : cases) {
        EXPECT_EQ(FindBytes(c.pattern, static_cast<int>(std::strlen(c.pattern)), c.bufferLength, buffer),
                  c.expected);
    }
}

TEST(RestoreSpaces, TurnsTheSubstituteIntoSpaces) {
    char a[] =
        "Front\x08"
        "Door\x08";
    RestoreSpacesA(a);
    EXPECT_STREQ(a, "Front Door ");
    char16_t w[] =
        u"A\x0008"
        u"B";
    RestoreSpacesW(w);
    EXPECT_EQ(QString::fromUtf16(w), "A B");
}

TEST(ScaleByteUnit, ScalesToTheLargestUnit) {
    struct Case {
        uint64_t value;
        int unit;
        uint64_t scaled;
        int scaledUnit;
    } cases[] = {
        {1023, 0, 1023, 0},        {1024, 0, 1, 2},       {5000, 0, 4, 2},       {3ULL << 30, 0, 3, 4},
        {465ULL << 30, 0, 465, 4}, {2ULL << 40, 0, 2, 5}, {1ULL << 50, 0, 1, 6}, {4096, 6, 4096, 6},
    };
    for (const Case& c : cases) {
        uint64_t v = c.value;
        int u = c.unit;
        EXPECT_EQ(ScaleByteUnit(&v, &u), 1);
        EXPECT_EQ(v, c.scaled) << c.value;
        EXPECT_EQ(u, c.scaledUnit) << c.value;
    }
    int u = 0;
    EXPECT_EQ(ScaleByteUnit(nullptr, &u), 0);
}

TEST(CodecMap, MapsToTheDecodersLibavcodecNames) {
    struct Case {
        int dvrCodec;
        const char* name;
    } cases[] = {{10, "mpeg1video"}, {11, "mpeg2video"},   {12, "h261"},         {13, "h263"},
                 {14, "mjpeg"},      {15, "jpegls"},       {16, "mpeg4"},        {17, "h264"},
                 {18, "jpeg2000"},   {1003, "adpcm_g722"}, {1004, "adpcm_g726"}, {1005, "mp2"},
                 {1006, "mp3"},      {1007, "aac"}};
    for (const Case& c : cases) {
        int id = DvrCodecToAvCodecId(c.dvrCodec);
        ASSERT_NE(id, AV_CODEC_ID_NONE) << c.dvrCodec;
        EXPECT_STREQ(avcodec_get_name(static_cast<AVCodecID>(id)), c.name);
    }
    for (int dvrCodec : {13, 16, 17}) {
        EXPECT_NE(avcodec_find_decoder(static_cast<AVCodecID>(DvrCodecToAvCodecId(dvrCodec))), nullptr);
    }
    EXPECT_EQ(DvrCodecToAvCodecId(0), AV_CODEC_ID_NONE);
    EXPECT_EQ(DvrCodecToAvCodecId(19), AV_CODEC_ID_NONE);
}

}  // namespace
