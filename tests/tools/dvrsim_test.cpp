// The simulated DVR: its encoded video decodes, and it answers a raw client as the protocol says.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
}

#include "tools/dvrsim/dvr_sim.h"
#include "tools/dvrsim/ptz_log.h"
#include "tools/dvrsim/sim_playback.h"
#include "tools/dvrsim/time_mark.h"
#include "tools/dvrsim/video_source.h"

namespace {

using namespace dvrsim;

// Decodes every picture of the group; the count of pictures that came out and their size.
int DecodeAll(const EncodedGop& gop, AVCodecID id, int* width, int* height) {
    const AVCodec* codec = avcodec_find_decoder(id);
    AVCodecContext* context = avcodec_alloc_context3(codec);
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    int decoded = 0;
    if (avcodec_open2(context, codec, nullptr) == 0) {
        for (size_t i = 0; i <= gop.pictures.size(); ++i) {
            if (i < gop.pictures.size()) {
                packet->data = reinterpret_cast<uint8_t*>(const_cast<char*>(gop.pictures[i].bytes.data()));
                packet->size = static_cast<int>(gop.pictures[i].bytes.size());
                avcodec_send_packet(context, packet);
            } else {
                avcodec_send_packet(context, nullptr);
            }
            while (avcodec_receive_frame(context, frame) == 0) {
                *width = frame->width;
                *height = frame->height;
                ++decoded;
            }
        }
    }
    packet->data = nullptr;
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&context);
    return decoded;
}

// A DVR codec with its libavcodec decoder and a picture size.
struct CodecCase {
    int codec;
    AVCodecID id;
    int width;
    int height;
};

TEST(DvrSimVideo, EncodedGroupsDecode) {
    const CodecCase cases[] = {
        {kCodecMpeg4, AV_CODEC_ID_MPEG4, 352, 288}, {kCodecH263, AV_CODEC_ID_H263, 352, 288},
        {kCodecH264, AV_CODEC_ID_H264, 352, 288},   {kCodecMpeg4, AV_CODEC_ID_MPEG4, 704, 576},
        {kCodecH264, AV_CODEC_ID_H264, 704, 576},
    };
    for (const CodecCase& c : cases) {
        SCOPED_TRACE(c.codec);
        if (!HasEncoder(c.codec)) {
            ADD_FAILURE() << "no encoder for codec " << c.codec;
            continue;
        }
        auto gop = GetEncodedGop(c.codec, c.width, c.height, 5);
        ASSERT_NE(gop, nullptr);
        ASSERT_EQ(gop->pictures.size(), 10u);
        EXPECT_TRUE(gop->pictures[0].key);
        EXPECT_EQ(GetEncodedGop(c.codec, c.width, c.height, 5), gop);  // encoded once
        int width = 0;
        int height = 0;
        EXPECT_EQ(DecodeAll(*gop, c.id, &width, &height), 10);
        EXPECT_EQ(width, c.width);
        EXPECT_EQ(height, c.height);
    }
}

// Decodes one picture and reads its time mark, at full size and from a copy a third of the size.
void DecodeMark(const std::string& bytes, AVCodecID id, int64_t* full, int64_t* small) {
    const AVCodec* codec = avcodec_find_decoder(id);
    AVCodecContext* context = avcodec_alloc_context3(codec);
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    *full = *small = -2;
    if (avcodec_open2(context, codec, nullptr) == 0) {
        packet->data = reinterpret_cast<uint8_t*>(const_cast<char*>(bytes.data()));
        packet->size = static_cast<int>(bytes.size());
        avcodec_send_packet(context, packet);
        avcodec_send_packet(context, nullptr);
        if (avcodec_receive_frame(context, frame) == 0) {
            *full = ReadTimeMarkLuma(frame->data[0], frame->linesize[0], frame->width, frame->height);
            const int w = frame->width / 3, h = frame->height / 3;
            std::vector<uint8_t> reduced(static_cast<size_t>(w * h));
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    reduced[static_cast<size_t>(y * w + x)] =
                        frame->data[0][3 * y * frame->linesize[0] + 3 * x];
            *small = ReadTimeMarkLuma(reduced.data(), w, w, h);
        }
    }
    packet->data = nullptr;
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&context);
}

TEST(DvrSimVideo, RecordedPicturesCarryTheSecondTheyWereRecordedAt) {
    const CodecCase cases[] = {
        {kCodecMpeg4, AV_CODEC_ID_MPEG4, 352, 288},
        {kCodecH263, AV_CODEC_ID_H263, 352, 288},
        {kCodecH264, AV_CODEC_ID_H264, 704, 576},
    };
    const uint32_t times[] = {0u, 1765432109u, 0xFFFFFFFFu, 0x80000001u};
    for (const CodecCase& c : cases) {
        SCOPED_TRACE(c.codec);
        if (!HasEncoder(c.codec))
            continue;  // EncodedGroupsDecode reports it
        RecordedPictureEncoder encoder(c.codec, c.width, c.height, 10);
        for (size_t i = 0; i < std::size(times); ++i) {
            std::string bytes;
            // Windows share an encoder: their frame indices need not rise.
            ASSERT_TRUE(encoder.Encode(static_cast<int64_t>(std::size(times) - i), times[i], &bytes));
            int64_t full = 0, small = 0;
            DecodeMark(bytes, c.id, &full, &small);  // each picture decodes on its own
            EXPECT_EQ(full, int64_t{times[i]}) << i;
            EXPECT_EQ(small, int64_t{times[i]}) << i;
        }
    }
    // A picture without a mark reads as none.
    std::vector<uint8_t> grey(64 * 48, 128);
    EXPECT_EQ(ReadTimeMarkLuma(grey.data(), 64, 64, 48), -1);
}

TEST(DvrSimVideo, PcmPacketLength) {
    EXPECT_EQ(PcmPacket(8000, 5, 0).size(), 3200u);
}

class RawClient {
public:
    explicit RawClient(uint16_t port) {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port);
        connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~RawClient() { close(fd_); }
    bool connected() const { return connected_; }
    void Send(const std::string& text) {
        ASSERT_EQ(send(fd_, text.data(), text.size(), 0), ssize_t(text.size()));
    }
    // Receives until `bytes` bytes came or 2 s passed.
    std::string Receive(size_t bytes) {
        std::string out;
        while (out.size() < bytes) {
            pollfd pfd{fd_, POLLIN, 0};
            if (poll(&pfd, 1, 2000) <= 0)
                break;
            char buffer[4096];
            ssize_t got = recv(fd_, buffer, std::min(sizeof buffer, bytes - out.size()), 0);
            if (got <= 0)
                break;
            out.append(buffer, static_cast<size_t>(got));
        }
        return out;
    }

private:
    int fd_ = -1;
    bool connected_ = false;
};

// The reports of a playback window: change, state and position of each, in order.
struct Report {
    int window, change, state, position;
    bool operator==(const Report&) const = default;
};
std::vector<Report> Reports(const std::vector<SimOutput>& out) {
    std::vector<Report> reports;
    for (const SimOutput& o : out) {
        Report r{};
        int id = 0, speed = 0, begin = 0, duration = 0, day = 0;
        if (o.connection == SIM_COMMAND &&
            std::sscanf(o.bytes.c_str(), "%d %d %d %d %d %d %d %d %d", &id, &r.window, &r.change, &r.state,
                        &speed, &begin, &duration, &r.position, &day) == 9 &&
            id == 131119)
            reports.push_back(r);
    }
    return reports;
}

TEST(DvrSimPlayback, ReportsAfterEveryCommandAndOnceASecondWhilePlaying) {
    int64_t now = 0;
    SimConfig config;
    config.channels.push_back(SimChannel{"A", kCodecMpeg4, 352, 288});
    config.channels.push_back(SimChannel{"B", kCodecMpeg4, 352, 288});
    config.recordingDays.push_back(1765411200);  // a midnight in UTC
    config.framesPerSecond = 5;
    config.playbackClock = [&] { return now; };
    SimPlayback playback(config);
    auto answer = [&](const std::vector<std::string>& fields) {
        std::vector<SimOutput> out;
        EXPECT_TRUE(playback.Answer(1, fields, &out));
        return out;
    };
    // Day records: value1 is the window the request named in its low half, whatever the channel.
    const std::vector<SimOutput> day = answer({"65582", std::to_string(1 << 16 | 7), "1765411200"});
    ASSERT_EQ(day.size(), 1u);
    EXPECT_EQ(day[0].bytes.rfind("131118 7 1765411200 360 ", 0), 0u) << day[0].bytes.substr(0, 40);

    const std::string path = playback.Recordings()[0].path;
    EXPECT_EQ(Reports(answer({"65547", "1", "2", path})), (std::vector<Report>{{2, 3, 1, 0}}));
    // Playing: one position report a second, with the position it reached.
    std::vector<Report> reports;
    std::vector<SimOutput> frames;
    for (int step = 0; step < 30; ++step) {  // three seconds in 100 ms steps
        now += 100;
        std::vector<SimOutput> out;
        playback.Tick(&out);
        for (const Report& r : Reports(out))
            reports.push_back(r);
        frames.insert(frames.end(), out.begin(), out.end());
    }
    EXPECT_EQ(reports, (std::vector<Report>{{2, 1, 1, 1}, {2, 1, 1, 2}, {2, 1, 1, 3}}));
    // Every command gets a report of state and position at once; a paused window reports no more.
    EXPECT_EQ(Reports(answer({"65581", "2", "2", "0", "1"})), (std::vector<Report>{{2, 3, 2, 3}}));
    for (int step = 0; step < 20; ++step) {
        now += 100;
        std::vector<SimOutput> out;
        playback.Tick(&out);
        EXPECT_TRUE(out.empty());
    }
    EXPECT_EQ(Reports(answer({"65581", "2", "6", "900", "1"})), (std::vector<Report>{{2, 3, 2, 900}}));
    EXPECT_EQ(Reports(answer({"65581", "2", "1", "0", "1"})), (std::vector<Report>{{2, 3, 1, 900}}));
    EXPECT_EQ(Reports(answer({"65548", "2"})), (std::vector<Report>{{2, 3, 0, 900}}));
}

TEST(DvrSimProtocol, AnswersAndRecords) {
    SimConfig config;
    config.users.push_back(SimUser{"admin", "secret", 0x15});
    config.channels.push_back(SimChannel{"Front door", kCodecMpeg4, 352, 288});
    config.keepAliveSeconds = 7;
    DvrSim sim(config);
    ASSERT_EQ(sim.Start(), 0);
    RawClient command(sim.Port());
    ASSERT_TRUE(command.connected());
    struct Case {
        std::string request;
        std::string reply;
    } cases[] = {
        {"65537 67108864 \r\n\r\n", "131073 67108864 \r\n\r\n"},
        {"65538 0 0 YWRtaW4= d3Jvbmc= \r\n\r\n", "131074 0 0 -1 0 \r\n\r\n"},  // wrong password
        {"65538 0 0 YWRtaW4= c2VjcmV0 \r\n\r\n", "131074 1000 0 0 21 \r\n\r\n"},
        {"65539 0 \r\n\r\n", "131075 7 \r\n\r\n"},
        {"65541 \r\n\r\n",
         "131077 240 1 \r\n\r\n131077 1 0 Front\x08"
         "door \r\n\r\n131077 255 \r\n\r\n"},
    };
    for (const Case& c : cases) {
        command.Send(c.request);
        EXPECT_EQ(command.Receive(c.reply.size()), c.reply) << c.request;
    }
    RawClient live(sim.Port());
    live.Send("65538 1000 1 \r\n\r\n");
    std::string bind = "131074 1000 1 0 0 \r\n\r\n";
    EXPECT_EQ(live.Receive(16 + bind.size() + 8), DvrSim::Frame(0x2FE, 0, "", bind));
    ASSERT_TRUE(sim.WaitForRequests(0x10002, 3, 2000));
    auto requests = sim.Requests();
    ASSERT_EQ(requests.size(), 6u);
    EXPECT_EQ(requests[0].bytes, cases[0].request);
    EXPECT_EQ(requests[5].connection, SIM_LIVE);
    EXPECT_EQ(requests[5].connectionId, 2);
}

// Reads frames from a stream connection for up to about timeoutMs; the channel of each picture.
std::vector<int> PictureChannels(RawClient& client, int pictures, int timeoutMs) {
    std::vector<int> channels;
    std::string buffer;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (static_cast<int>(channels.size()) < pictures && std::chrono::steady_clock::now() < end) {
        buffer += client.Receive(buffer.size() < 16 ? 16 - buffer.size() : 1);
        for (;;) {
            if (buffer.size() < 16)
                break;
            auto le = [&](size_t at) {
                uint32_t v = 0;
                for (int i = 3; i >= 0; --i)
                    v = v << 8 | static_cast<uint8_t>(buffer[at + static_cast<size_t>(i)]);
                return v;
            };
            size_t total = 16 + le(8) + le(12) + 8;
            if (buffer.size() < total) {
                buffer += client.Receive(total - buffer.size());
                if (buffer.size() < total)
                    break;
            }
            if (le(8) == 0 && le(12) > 0 && (le(0) & 0x100) != 0)
                channels.push_back(static_cast<int>(le(4)));
            buffer.erase(0, total);
        }
    }
    return channels;
}

// A logged-in session of a raw client: its command and live connections.
struct RawSession {
    RawSession(uint16_t port, int sessionId) : command(port), live(port) {
        command.Send("65538 0 0 YWRtaW4= (NULL) \r\n\r\n");
        std::string reply = "131074 " + std::to_string(sessionId) + " 0 0 63 \r\n\r\n";
        EXPECT_EQ(command.Receive(reply.size()), reply);
        live.Send("65538 " + std::to_string(sessionId) + " 1 \r\n\r\n");
        std::string bind = "131074 " + std::to_string(sessionId) + " 1 0 0 \r\n\r\n";
        EXPECT_EQ(live.Receive(16 + bind.size() + 8), DvrSim::Frame(0x2FE, 0, "", bind));
    }
    RawClient command;
    RawClient live;
};

TEST(DvrSimProtocol, OpenChannelsBelongToTheirSession) {
    SimConfig config;
    config.users.push_back(SimUser{"admin", "", 0x3F});
    config.channels.push_back(SimChannel{"A", kCodecMpeg4, 352, 288});
    config.channels.push_back(SimChannel{"B", kCodecMpeg4, 352, 288});
    config.framesPerSecond = 25;
    DvrSim sim(config);
    ASSERT_EQ(sim.Start(), 0);
    RawSession first(sim.Port(), 1000);
    RawSession second(sim.Port(), 1001);
    first.command.Send("65542 0 \r\n\r\n");
    second.command.Send("65542 1 \r\n\r\n");
    EXPECT_EQ(PictureChannels(second.live, 6, 3000), std::vector<int>(6, 1));  // never the other's channel
    EXPECT_EQ(PictureChannels(first.live, 6, 3000), std::vector<int>(6, 0));
    // The first session's close stops only its own stream.
    second.command.Send("65542 0 \r\n\r\n");
    first.command.Send("65543 0 \r\n\r\n");
    ASSERT_TRUE(sim.WaitForRequests(0x10007, 1, 2000));
    std::vector<int> seen = PictureChannels(second.live, 12, 3000);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 0) > 0 && std::count(seen.begin(), seen.end(), 1) > 0,
              true);
}

TEST(DvrSimProtocol, SettingsAnswerWhatWasSet) {
    SimConfig config;
    config.users.push_back(SimUser{"admin", "", 0x3F});
    config.channels.push_back(SimChannel{"Gate", kCodecMpeg4, 352, 288});
    DvrSim sim(config);
    ASSERT_EQ(sim.Start(), 0);
    RawSession session(sim.Port(), 1000);
    RawClient& c = session.command;
    struct Case {
        std::string request;
        std::string reply;  // "" : none
    } cases[] = {
        {"65557 0 \r\n\r\n", "131093 0 64 64 64 64 \r\n\r\n"},
        {"65558 0 1 2 3 4 \r\n\r\n", ""},
        {"65558 0 1 2 \r\n\r\n", ""},  // another shape: ignored
        {"65557 0 \r\n\r\n", "131093 0 1 2 3 4 \r\n\r\n"},
        {"65584 0 0 \r\n\r\n", ""},  // restore the colours
        {"65557 0 \r\n\r\n", "131093 0 64 64 64 64 \r\n\r\n"},
        {"65571 0 \r\n\r\n", "131107 0 2 9 \r\n\r\n"},
        {"65578 \r\n\r\n",
         "131114 240 2 \r\n\r\n131114 2 0 English \r\n\r\n131114 2 1 Simplified\x08"
         "Chinese \r\n\r\n131114 255 \r\n\r\n"},
        {"65553 0 0 \r\n\r\n", "131089 0 0 YWRtaW4= (NULL) (NULL) 63 \r\n\r\n"},
        {"65554 0 0 YWRtaW4= cHc= Boss 31 \r\n\r\n", ""},
        {"65553 0 0 \r\n\r\n", "131089 0 0 YWRtaW4= cHc= Boss 31 \r\n\r\n"},
    };
    for (const Case& k : cases) {
        c.Send(k.request);
        if (!k.reply.empty()) {
            EXPECT_EQ(c.Receive(k.reply.size()), k.reply) << k.request;
        }
    }
    // Faults: a reply for a channel the DVR does not have, a count out of range, a truncated list.
    auto receive = [&](const std::string& expected) { EXPECT_EQ(c.Receive(expected.size()), expected); };
    sim.SetReplyFault(SIM_FAULT_OTHER_CHANNEL, 1);
    c.Send("65571 0 \r\n\r\n");
    receive("131107 1 2 9 \r\n\r\n");
    sim.SetReplyFault(SIM_FAULT_COUNT_OUT_OF_RANGE, 1);
    c.Send("65578 \r\n\r\n");
    receive(
        "131114 240 100000 \r\n\r\n131114 2 0 English \r\n\r\n131114 2 1 Simplified\x08"
        "Chinese \r\n\r\n131114 255 \r\n\r\n");
    // Truncated: the last entry and the end are left out; the next reply follows at once.
    sim.SetReplyFault(SIM_FAULT_TRUNCATED_LIST, 1);
    c.Send("65578 \r\n\r\n65571 0 \r\n\r\n");
    receive("131114 240 2 \r\n\r\n131114 2 0 English \r\n\r\n131107 0 2 9 \r\n\r\n");
}

TEST(DvrSimProtocol, RestartClosesEveryConnection) {
    SimConfig config;
    config.users.push_back(SimUser{"admin", "", 0x3F});
    DvrSim sim(config);
    ASSERT_EQ(sim.Start(), 0);
    RawSession session(sim.Port(), 1000);
    sim.Restart();
    EXPECT_EQ(session.command.Receive(1), "");  // closed
    RawSession again(sim.Port(), 1001);         // a new session is served
}

}  // namespace

// What dvrsim prints for the camera-control requests the client sends (fields as they arrive, id first).
TEST(DvrSimCameraControl, DescribesEachRequestInOneLine) {
    struct Case {
        std::vector<std::string> fields;
        const char* line;
    };
    const Case cases[] = {
        {{"65544", "0", "3", "0", "0"}, "PTZ channel 0: pan left"},
        {{"65544", "2", "14", "0", "0"}, "PTZ channel 2: stop"},
        {{"65544", "1", "13", "7", "0"}, "PTZ channel 1: preset goto 7"},
        {{"65544", "1", "11", "32", "0"}, "PTZ channel 1: preset set 32"},
        {{"65544", "3", "99", "0", "0"}, "PTZ channel 3: command 99"},
        {{"65579", "0", "1", "1"}, "auto-scan channel 0: mode 1 on"},
        {{"65579", "0", "1", "0"}, "auto-scan channel 0: mode 1 off"},
        {{"65564", "1", "3", "1", "10", "0", "0", "1", "5"},
         "auto-scan tour channel 1: preset 1 for 10 s, preset 3 for 5 s"},
        {{"65564", "1", "2", "0", "0", "0", "0"}, "auto-scan tour channel 1: no presets"},
        // A tour that says more steps than it carries stops at the last whole step.
        {{"65564", "0", "32", "1", "4"}, "auto-scan tour channel 0: preset 1 for 4 s"},
        {{"65542", "0"}, ""},
        {{}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DescribeCameraControl(c.fields), c.line) << (c.fields.empty() ? "" : c.fields[0]);
}
