// Whole sessions over loopback against the simulated DVR.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QFile>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "core/system_settings.h"
#include "core/worker_threads.h"

#include "dvr/dvr_protocol.h"
#include "dvr/stream_frame.h"
#include "tests/context_switches.h"
#include "tests/dvr/session_harness.h"
#include "tests/dvr/test_slot_queues.h"
#include "tools/dvrsim/video_source.h"

namespace {

using harness::g_now;
using harness::MeasureIdle;
using harness::SessionTest;
using harness::WaitUntil;

std::vector<std::string> CommandRequests(dvrsim::DvrSim& sim, int keepAliveId = 0x10003) {
    std::vector<std::string> out;
    for (const dvrsim::SimRequest& request : sim.Requests()) {
        if (request.connection == dvrsim::SIM_COMMAND && request.id != keepAliveId)
            out.push_back(request.bytes);
    }
    return out;
}

std::string StreamRequest(dvrsim::DvrSim& sim, int connection) {
    for (const dvrsim::SimRequest& request : sim.Requests()) {
        if (request.connection == connection)
            return request.bytes;
    }
    return std::string();
}

TEST_F(SessionTest, WholeHandshakeInOrder) {
    dvrsim::DvrSim sim(Config(3));
    ASSERT_EQ(sim.Start(), 0);
    DVRDevice* device = AddDevice(sim.Port());
    ASSERT_TRUE(WaitUntil([&] { return HasFlags(device, kOnline); }));

    EXPECT_EQ(CommandRequests(sim), (std::vector<std::string>{
                                        "65537 67108864 \r\n\r\n",
                                        "65538 0 0 YWRtaW4= (NULL) \r\n\r\n",
                                        "65541 \r\n\r\n",
                                        "65550 \r\n\r\n",
                                    }));
    EXPECT_EQ(StreamRequest(sim, dvrsim::SIM_LIVE), "65538 1000 1 \r\n\r\n");
    EXPECT_EQ(StreamRequest(sim, dvrsim::SIM_PLAYBACK), "65538 1000 2 \r\n\r\n");
    EXPECT_EQ(sim.Requests().front().bytes, "65537 67108864 \r\n\r\n");
    EXPECT_TRUE(sim.WaitForRequests(0x10003, 1, 2000));  // the first keep-alive follows the login at once
    EXPECT_EQ(device->sessionId.load(), 1000);
    EXPECT_EQ(device->rights.load(), 0x3Fu);
    EXPECT_EQ(std::u16string(device->channels[2].name), u"Camera 3");
    EXPECT_EQ(std::u16string(device->systemParams->RecordDir), u"Record Files");

    ApplyTreeEvents();
    auto* item = tree.Roots().front().get();
    EXPECT_EQ(item->image, TREE_ICON_DVR_ONLINE);
    ASSERT_EQ(item->children.size(), 3u);
    EXPECT_EQ(item->children[1]->text, u"Camera 2");
    EXPECT_EQ(item->children[1]->data->id, 1);
    EXPECT_EQ(item->children[1]->image, TREE_ICON_CHANNEL);
}

TEST_F(SessionTest, CredentialsWithSpacesLogIn) {
    dvrsim::DvrSim sim(Config());
    ASSERT_EQ(sim.Start(), 0);
    DVRDevice* device = AddDevice(sim.Port(), u"guest user", u"pass word");
    ASSERT_TRUE(WaitUntil([&] { return HasFlags(device, DEVICE_FLAG_LOGGED_IN); }));
    EXPECT_EQ(device->rights.load(), 0x01u);
}

TEST_F(SessionTest, RefusedLoginIsRepeatedWithTheSameCredentials) {
    dvrsim::DvrSim sim(Config());
    sim.RefuseLogins(1);
    ASSERT_EQ(sim.Start(), 0);
    DVRDevice* device = AddDevice(sim.Port());
    ASSERT_TRUE(sim.WaitForRequests(0x10002, 1, 5000));
    ASSERT_TRUE(WaitUntil([&] {
        ApplyTreeEvents();
        return tree.Roots().front()->image == TREE_ICON_DVR_REFUSED;
    }));
    EXPECT_FALSE(HasFlags(device, DEVICE_FLAG_LOGGED_IN));
    // Not before more than three seconds.
    g_now += 3000;
    EXPECT_FALSE(sim.WaitForRequests(0x10002, 2, 300));
    g_now += 1;
    ASSERT_TRUE(WaitUntil([&] { return HasFlags(device, kOnline); }));
    std::vector<std::string> logins;
    for (const auto& request : sim.Requests()) {
        if (request.id == 0x10002 && request.connection == dvrsim::SIM_COMMAND)
            logins.push_back(request.bytes);
    }
    ASSERT_EQ(logins.size(), 2u);
    EXPECT_EQ(logins[0], logins[1]);
    EXPECT_EQ(sim.AcceptedConnections(), 3);  // the supervisor never restarted it
    ApplyTreeEvents();
    EXPECT_EQ(tree.Roots().front()->image, TREE_ICON_DVR_ONLINE);
}

TEST_F(SessionTest, SilentDvrIsRestartedWithItsOldSessionId) {
    dvrsim::DvrSim sim(Config());
    ASSERT_EQ(sim.Start(), 0);
    DVRDevice* device = AddDevice(sim.Port());
    ASSERT_TRUE(WaitUntil([&] { return HasFlags(device, kOnline); }));
    ApplyTreeEvents();
    ASSERT_EQ(tree.Roots().front()->children.size(), 2u);
    uint32_t generation = device->generation.load();
    g_currentDevice = device;

    sim.SetSilent(true);
    g_now += 30000;
    EXPECT_FALSE(WaitUntil([&] { return device->generation.load() != generation; }, 300));
    g_now += 1;
    ASSERT_TRUE(WaitUntil([&] { return device->generation.load() != generation; }));
    EXPECT_EQ(g_currentDevice.load(), nullptr);
    sim.SetSilent(false);
    auto newHello = [&] {
        for (const auto& request : sim.Requests()) {
            if (request.id == 0x10001 && request.connectionId > 3)
                return true;
        }
        return false;
    };
    ASSERT_TRUE(WaitUntil(newHello));
    // A hello that reached the DVR while it was still silent is repeated after three seconds.
    if (!WaitUntil([&] { return HasFlags(device, DEVICE_FLAG_HELLO); }, 300))
        g_now += 3001;
    ASSERT_TRUE(WaitUntil([&] { return HasFlags(device, kOnline); }));
    std::vector<std::string> logins;
    for (const auto& request : sim.Requests()) {
        if (request.id == 0x10002 && request.connection == dvrsim::SIM_COMMAND && request.connectionId > 3)
            logins.push_back(request.bytes);
    }
    ASSERT_FALSE(logins.empty());
    EXPECT_EQ(logins.front(), "65538 1000 0 YWRtaW4= (NULL) \r\n\r\n");
    EXPECT_EQ(device->sessionId.load(), 1001);

    // The tree went back to a DVR without channels and was rebuilt by the new run.
    ApplyTreeEvents();
    auto* item = tree.Roots().front().get();
    EXPECT_EQ(item->image, TREE_ICON_DVR_ONLINE);
    EXPECT_EQ(item->children.size(), 2u);
}

TEST_F(SessionTest, StaleTreeEventsAreDropped) {
    dvrsim::DvrSim sim(Config());
    ASSERT_EQ(sim.Start(), 0);
    DVRDevice* device = AddDevice(sim.Port());
    ASSERT_TRUE(WaitUntil([&] { return HasFlags(device, kOnline); }));
    // The events of this run are still queued when the session is lost.
    uint32_t generation = device->generation.load();
    sim.SetSilent(true);
    g_now += 30001;
    ASSERT_TRUE(WaitUntil([&] { return device->generation.load() != generation; }));
    ApplyTreeEvents();
    auto* item = tree.Roots().front().get();
    EXPECT_EQ(item->image, TREE_ICON_DVR);
    EXPECT_TRUE(item->children.empty());
}

TEST_F(SessionTest, KeepAliveIntervals) {
    dvrsim::SimConfig config = Config();
    config.keepAliveSeconds = 2;
    dvrsim::DvrSim sim(config);
    ASSERT_EQ(sim.Start(), 0);
    DVRDevice* device = AddDevice(sim.Port());
    ASSERT_TRUE(sim.WaitForRequests(0x10003, 1, 5000));
    ASSERT_TRUE(WaitUntil([&] { return device->keepAliveSeconds.load() == 2; }));
    g_now += 1999;
    EXPECT_FALSE(sim.WaitForRequests(0x10003, 2, 300));
    g_now += 1;
    EXPECT_TRUE(sim.WaitForRequests(0x10003, 2, 2000));
    EXPECT_EQ(sim.Requests().back().bytes, "65539 0 \r\n\r\n");

    // An interval of 0: a keep-alive every supervisor round, without the clock moving.
    sim.SetKeepAliveSeconds(0);
    g_now += 2000;
    ASSERT_TRUE(WaitUntil([&] { return device->keepAliveSeconds.load() == 0; }));
    int seen = sim.CountRequests(0x10003);
    EXPECT_TRUE(sim.WaitForRequests(0x10003, seen + 3, 3000));
}

// The threads sleep until a due time counted on the real clock: the keep-alives still go out on time,
// also when the DVR names a shorter interval than the one the supervisor was sleeping for.
TEST_F(SessionTest, KeepAlivesOnTheRealClockGoOutOnTime) {
    SetMonotonicClock(nullptr);
    dvrsim::SimConfig config = Config();
    config.keepAliveSeconds = 1;
    dvrsim::DvrSim sim(config);
    ASSERT_EQ(sim.Start(), 0);
    AddDevice(sim.Port());
    std::vector<std::chrono::steady_clock::time_point> sent;
    for (int count = 1; count <= 3; ++count) {
        ASSERT_TRUE(sim.WaitForRequests(0x10003, count, 5000)) << count;
        sent.push_back(std::chrono::steady_clock::now());
    }
    for (size_t i = 1; i < sent.size(); ++i) {
        auto gap = std::chrono::duration_cast<std::chrono::milliseconds>(sent[i] - sent[i - 1]).count();
        EXPECT_GE(gap, 900) << i;   // never early (less the loopback's jitter)
        EXPECT_LE(gap, 2500) << i;  // the first interval of 10 s was cut short by the DVR's reply
    }
}

TEST_F(SessionTest, OnlineSessionsSleepUntilTheirNextDueTime) {
    SetMonotonicClock(nullptr);
    dvrsim::SimConfig config = Config();
    config.keepAliveSeconds = 3600;  // no keep-alive falls in the interval measured
    dvrsim::DvrSim sim(config);
    ASSERT_EQ(sim.Start(), 0);
    std::vector<DVRDevice*> devices;
    for (int i = 0; i < 16; ++i)
        devices.push_back(AddDevice(sim.Port()));
    ASSERT_TRUE(WaitUntil([&] {
        for (DVRDevice* device : devices) {
            if (!HasFlags(device, kOnline) || device->keepAliveSeconds.load() != 3600)
                return false;
        }
        return true;
    }));
    // 16 command threads looking at their sockets once a second and a supervisor turning every 100 ms
    // would all wake in this second; of sleeping sessions none does. (The simulated DVR's own loop and
    // this thread wake.)
    EXPECT_LT(MeasureIdle(100, 10, 1000).threadsAwake, 5);
    // Still awake to their work: a lost connection restarts the session at once.
    uint32_t generation = devices[5]->generation.load();
    sim.DropConnections(dvrsim::SIM_LIVE);
    EXPECT_TRUE(WaitUntil([&] { return devices[5]->generation.load() != generation; }));
}

TEST_F(SessionTest, ASleepingOnlineSessionStopsWithinTheBound) {
    SetMonotonicClock(nullptr);
    dvrsim::DvrSim sim(Config());
    ASSERT_EQ(sim.Start(), 0);
    DVRDevice* device = AddDevice(sim.Port());
    ASSERT_TRUE(WaitUntil([&] { return HasFlags(device, kOnline); }));
    // Its three threads now sleep without a time-out; the stop wakes each of them at once, where one that
    // missed it would hold the stop for the whole bound.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    auto start = std::chrono::steady_clock::now();
    FreeDeviceList();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(THREAD_STOP_WAIT_MS));
    InitDeviceList();
}

TEST_F(SessionTest, CommandConnectionLostBeforeLoginIsConnectedAgain) {
    dvrsim::DvrSim sim(Config());
    sim.SetSilent(true);
    ASSERT_EQ(sim.Start(), 0);
    DVRDevice* device = AddDevice(sim.Port());
    ASSERT_TRUE(sim.WaitForRequests(0x10001, 1, 5000));
    uint32_t generation = device->generation.load();
    sim.DropConnections(dvrsim::SIM_COMMAND);
    ASSERT_TRUE(sim.WaitForRequests(0x10001, 2, 5000));  // hello at once on the new connection
    sim.SetSilent(false);
    g_now += 3001;
    ASSERT_TRUE(WaitUntil([&] { return HasFlags(device, kOnline); }));
    EXPECT_EQ(device->generation.load(), generation);  // no restart was needed
    // Each hello went out on a connection of its own, none on the dropped one after it closed.
    std::vector<int> helloConnections;
    for (const auto& request : sim.Requests()) {
        if (request.id == 0x10001)
            helloConnections.push_back(request.connectionId);
    }
    EXPECT_EQ(helloConnections[0], 1);
    EXPECT_GT(helloConnections[1], 1);
}

TEST_F(SessionTest, LostConnectionAfterLoginRestartsTheSession) {
    for (int kind : {dvrsim::SIM_COMMAND, dvrsim::SIM_LIVE, dvrsim::SIM_PLAYBACK}) {
        SCOPED_TRACE(kind);
        dvrsim::DvrSim sim(Config());
        ASSERT_EQ(sim.Start(), 0);
        DVRDevice* device = AddDevice(sim.Port());
        ASSERT_TRUE(WaitUntil([&] { return HasFlags(device, kOnline); }));
        uint32_t generation = device->generation.load();
        sim.DropConnections(kind);
        ASSERT_TRUE(WaitUntil([&] { return device->generation.load() != generation; }));
        ASSERT_TRUE(WaitUntil([&] { return HasFlags(device, kOnline); }));
        EXPECT_EQ(device->sessionId.load(), 1001);
        FreeDeviceList();
        InitDeviceList();
    }
}

TEST_F(SessionTest, UnboundSessionKeepsAliveButAsksForNoChannels) {
    dvrsim::DvrSim sim(Config());
    sim.SetIgnoreBinds(true);
    ASSERT_EQ(sim.Start(), 0);
    DVRDevice* device = AddDevice(sim.Port());
    ASSERT_TRUE(sim.WaitForRequests(0x10003, 1, 5000));
    // The keep-alive follows the login at once, maybe before the stream threads' first binds.
    ASSERT_TRUE(WaitUntil([&] { return sim.CountRequests(0x10002) >= 3; }));  // login + both binds
    g_now += 3001;
    ASSERT_TRUE(WaitUntil([&] { return sim.CountRequests(0x10002) >= 5; }));  // binds repeated
    EXPECT_EQ(sim.CountRequests(0x10005), 0);
    EXPECT_FALSE(HasFlags(device, DEVICE_FLAG_LIVE_BOUND));
}

TEST_F(SessionTest, AlarmEventSetsTheChannelFlag) {
    dvrsim::DvrSim sim(Config());
    ASSERT_EQ(sim.Start(), 0);
    DVRDevice* device = AddDevice(sim.Port());
    ASSERT_TRUE(WaitUntil([&] { return HasFlags(device, kOnline); }));
    sim.SendAlarm(1);
    ASSERT_TRUE(WaitUntil([&] { return (device->channels[1].flags.load() & CHANNEL_FLAG_ALARM) != 0; }));
    EXPECT_EQ(device->channels[0].flags.load() & CHANNEL_FLAG_ALARM, 0u);
}

TEST_F(SessionTest, SessionThatCannotConnectStopsPromptly) {
    // A port that nobody listens on: take one from a simulator and stop it.
    uint16_t port;
    {
        dvrsim::DvrSim sim(Config());
        ASSERT_EQ(sim.Start(), 0);
        port = sim.Port();
    }
    DVRDevice* device = AddDevice(port);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(device->commandSocket.load(), -1);
    auto start = std::chrono::steady_clock::now();
    FreeDeviceList();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
    InitDeviceList();
}

TEST_F(SessionTest, ReconnectsAfterAnEarlyCloseArePaced) {
    // A DVR that closes every connection at once: the session connects again, but not in a busy loop.
    int listener = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 16), 0);
    ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    DVRDevice* device = AddDevice(ntohs(address.sin_port));
    int accepted = 0;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    while (std::chrono::steady_clock::now() < end) {
        pollfd pfd{listener, POLLIN, 0};
        if (poll(&pfd, 1, 20) > 0) {
            int fd = accept(listener, nullptr, nullptr);
            if (fd >= 0) {
                ++accepted;
                close(fd);
            }
        }
    }
    EXPECT_GE(accepted, 2);
    EXPECT_LE(accepted, 10);  // about one every 100 ms
    EXPECT_FALSE(HasFlags(device, DEVICE_FLAG_LINK_ERROR));
    close(listener);
}

TEST_F(SessionTest, SixtyFourDvrsStartAndStop) {
    dvrsim::DvrSim sim(Config(4));
    ASSERT_EQ(sim.Start(), 0);
    std::vector<DVRDevice*> devices;
    for (int i = 0; i < 64; ++i)
        devices.push_back(AddDevice(sim.Port()));
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (DVRDevice* device : devices) {
                if (!HasFlags(device, kOnline))
                    return false;
            }
            return true;
        },
        20000));
    EXPECT_EQ(sim.AcceptedConnections(), 64 * 3);
    // All of them stop; how fast is a benchmark figure (bench_dvr idle sessions: stop_all_ms).
    FreeDeviceList();
    EXPECT_EQ(g_deviceList, nullptr);
    InitDeviceList();
}

TEST_F(SessionTest, LiveFramesReachTheScreenQueuesWithTheirHeader) {
    dvrsim::SimConfig config = Config(2);
    config.stream = true;
    config.framesPerSecond = 25;
    dvrsim::DvrSim sim(config);
    ASSERT_EQ(sim.Start(), 0);
    TestSlotQueues queues;
    harness::StopSessionsAtExit stopSessions;  // before the queues go
    FrameQueue* video = queues.Add(5, SLOT_QUEUE_VIDEO, LIVE_VIDEO_QUEUE_NODES);
    FrameQueue* audio = queues.Add(5, SLOT_QUEUE_AUDIO, LIVE_AUDIO_QUEUE_NODES);
    DVRDevice* device = AddDevice(sim.Port());
    ASSERT_TRUE(WaitUntil([&] { return HasFlags(device, kOnline); }));

    // What the screen grid does for the first screen that shows a channel.
    DVRChannel& channel = device->channels[1];
    std::atomic_ref<int32_t>(channel.viewSlots[0]).store(5);
    channel.flags.fetch_and(~CHANNEL_FLAG_STREAM_CLOSED);
    SendOpenStream(device, 1);

    std::vector<std::pair<std::string, std::string>> pictures;
    size_t audioPackets = 0;
    std::string audioHeader;
    ASSERT_TRUE(WaitUntil([&] {
        for (auto& frame : TestSlotQueues::Drain(video))
            pictures.push_back(frame);
        for (auto& frame : TestSlotQueues::Drain(audio)) {
            if (audioHeader.empty())
                audioHeader = frame.first;
            ++audioPackets;
        }
        return pictures.size() >= 21;
    }));
    auto gop = dvrsim::GetEncodedGop(16, 352, 288, 25);
    ASSERT_NE(gop, nullptr);
    VideoStreamHeader header{};
    ASSERT_EQ(pictures[0].first.size(), sizeof header);
    std::memcpy(&header, pictures[0].first.data(), sizeof header);
    EXPECT_EQ(header.width, 352);
    EXPECT_EQ(header.height, 288);
    EXPECT_EQ(header.frameRate, 2500);
    EXPECT_EQ(header.codecType, 16);
    // The header is sent again with every key frame and reaches the screen once each time.
    for (size_t i = 0; i < pictures.size(); ++i) {
        bool key = gop->pictures[i % gop->pictures.size()].key;
        EXPECT_EQ(!pictures[i].first.empty(), key) << i;
        EXPECT_EQ(pictures[i].second, gop->pictures[i % gop->pictures.size()].bytes) << i;
    }
    EXPECT_GT(audioPackets, 0u);
    AudioStreamHeader audioFormat{};
    ASSERT_EQ(audioHeader.size(), sizeof audioFormat);
    std::memcpy(&audioFormat, audioHeader.data(), sizeof audioFormat);
    EXPECT_EQ(audioFormat.sampleRate, 8000u);
    EXPECT_EQ(audioFormat.bitsPerSample, 16);
    // A channel that nobody opened gets nothing.
    EXPECT_EQ(device->channels[0].flags.load() & CHANNEL_FLAG_VIDEO_HEADER_VIEW, 0u);
}

TEST_F(SessionTest, BadFramesOnTheLiveConnectionDoNotStopIt) {
    dvrsim::DvrSim sim(Config(2));
    ASSERT_EQ(sim.Start(), 0);
    // The session stops before the DVR goes, so the supervisor does not restart it (and free the channels
    // this thread read) while the test ends.
    harness::StopSessionsAtExit stopSessions;
    DVRDevice* device = AddDevice(sim.Port());
    ASSERT_TRUE(WaitUntil([&] { return HasFlags(device, kOnline); }));
    // An alarm event in a text frame shows that the frames after the fault are parsed again.
    std::string probe = dvrsim::DvrSim::Frame(0x2FE, 0, "", "131126 0 65536 \r\n\r\n");
    std::string malformed = dvrsim::DvrSim::Frame(0x1FE, 0, "", "picture");
    malformed[12] = 1;
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"wrong length", malformed + probe},
        {"no magic", dvrsim::DvrSim::Frame(0x1AA, 0, "", "x") + probe},
        {"lost trailer", dvrsim::DvrSim::Frame(0x1FE, 0, "", "x", false) + probe + probe},
        {"oversized",
         dvrsim::DvrSim::Frame(0x1FE, 0, "", std::string(STREAM_BUFFER_SIZE + 4096, 'o')) + probe},
    };
    uint32_t generation = device->generation.load();
    for (const Case& c : cases) {
        device->channels[1].flags.fetch_and(~CHANNEL_FLAG_ALARM);
        sim.SendRaw(dvrsim::SIM_LIVE, c.bytes);
        EXPECT_TRUE(WaitUntil([&] { return (device->channels[1].flags.load() & CHANNEL_FLAG_ALARM) != 0; }))
            << c.name;
    }
    EXPECT_EQ(device->generation.load(), generation);
}

// Resident memory of this process in KiB.
long ResidentKib() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ')[0].toLong();
    }
    return -1;
}

// DVRs that flood their live connections with a frame that fills the whole stream buffer, and whose live
// connections are then lost, again and again, all at once: each restart of a session reuses its device's
// stream buffers, so resident memory stays flat (a bounded soak of kCycles rounds of restarts).
TEST_F(SessionTest, RestartsUnderAFloodKeepMemoryFlat) {
    constexpr int kDvrs = 16;
    constexpr int kWarmUp = 3;
    constexpr int kCycles = 12;
    std::vector<std::unique_ptr<dvrsim::DvrSim>> sims;
    harness::StopSessionsAtExit stopSessions;
    std::vector<DVRDevice*> devices;
    for (int i = 0; i < kDvrs; ++i) {
        sims.push_back(std::make_unique<dvrsim::DvrSim>(Config(2)));
        ASSERT_EQ(sims.back()->Start(), 0);
        devices.push_back(AddDevice(sims.back()->Port()));
    }
    // A frame larger than the stream buffer: it fills the whole buffer before the stream resynchronises.
    const std::string flood =
        dvrsim::DvrSim::Frame(0x1FE, 0, "", std::string(STREAM_BUFFER_SIZE + 4096, 'f')) +
        dvrsim::DvrSim::Frame(0x2FE, 0, "", "131126 0 65536 \r\n\r\n");
    auto all = [&](auto condition) {
        return WaitUntil([&] {
            for (DVRDevice* device : devices) {
                if (!condition(device))
                    return false;
            }
            return true;
        });
    };
    long warm = 0;
    for (int cycle = 0; cycle < kWarmUp + kCycles; ++cycle) {
        SCOPED_TRACE(cycle);
        ASSERT_TRUE(all([&](DVRDevice* device) { return HasFlags(device, kOnline); }));
        std::vector<uint32_t> generations;
        for (DVRDevice* device : devices) {
            generations.push_back(device->generation.load());
            std::lock_guard<std::mutex> guard(
                device->lock);  // the supervisor replaces a run's channels under it
            device->channels[1].flags.fetch_and(~CHANNEL_FLAG_ALARM);
        }
        for (auto& sim : sims)
            sim->SendRaw(dvrsim::SIM_LIVE, flood);
        // The alarm behind the flood shows that the whole flood went through the stream buffer.
        ASSERT_TRUE(all([](DVRDevice* device) {
            std::lock_guard<std::mutex> guard(device->lock);
            return (device->channels[1].flags.load() & CHANNEL_FLAG_ALARM) != 0;
        }));
        for (auto& sim : sims)
            sim->DropConnections(dvrsim::SIM_LIVE);
        for (int i = 0; i < kDvrs; ++i)
            ASSERT_TRUE(WaitUntil([&] {
                return devices[static_cast<size_t>(i)]->generation.load() !=
                       generations[static_cast<size_t>(i)];
            }));
        ApplyTreeEvents();
        if (cycle + 1 == kWarmUp)
            warm = ResidentKib();
    }
    const long grown = ResidentKib() - warm;
    std::printf("resident memory after %d rounds of %d restarts under a flood: %+ld KiB\n", kCycles, kDvrs,
                grown);
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)  // their own memory hides the program's
    EXPECT_LT(grown, 8 * 1024);
#endif
}

}  // namespace
