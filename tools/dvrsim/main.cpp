// dvrsim: a simulated DVR on a loopback port, for the demo and for trying the client by hand. It holds
// recordings of today and the two days before.
//   dvrsim [--port N] [--user name:password[:rights]]... [--channels N] [--codec CH=mpeg4|h264|h263]...
//          [--size CH=352x288|704x576]... [--keepalive S] [--fps N]
// --fps: pictures a second of each open channel (25 unless given, as cameras send them). --help prints
// the usage.

#include <unistd.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

extern "C" {
#include <libavutil/log.h>
}

#include "tools/dvrsim/dvr_sim.h"
#include "tools/dvrsim/video_source.h"
#include "tools/simkit/tool_options.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;

void OnSignal(int) {
    g_stop = 1;
}

int CodecByName(const std::string& name) {
    if (name == "h264")
        return dvrsim::kCodecH264;
    if (name == "h263")
        return dvrsim::kCodecH263;
    if (name == "mpeg4")
        return dvrsim::kCodecMpeg4;
    return -1;
}

const char kUsage[] =
    "usage: dvrsim [--port N] [--user name:password[:rights]]... [--channels N]\n"
    "              [--codec CH=mpeg4|h264|h263]... [--size CH=WxH]... [--keepalive S] [--fps N]\n"
    "A simulated DVR on 127.0.0.1 (port 0 or none: a free one, printed). Users: admin with no password\n"
    "unless given; 4 channels of 352x288 MPEG-4 at 25 pictures a second unless given. Runs until SIGINT\n"
    "or SIGTERM.\n";

}  // namespace

int main(int argc, char** argv) {
    dvrsim::SimConfig config;
    int channels = 4;
    std::vector<std::pair<int, int>> codecs;
    std::vector<std::pair<int, std::pair<int, int>>> sizes;
    int port = 0;
    int exitCode = 0;
    auto take = [&](const char* name, const char* text) {
        const std::string option = name;
        const std::string value = text;
        const size_t eq = value.find('=');
        if (option == "--port")
            return ParseToolNumber(text, 0, 65535, &port) == 0 ? kOptionTaken : kOptionBadValue;
        if (option == "--channels")
            return ParseToolNumber(text, 0, 256, &channels) == 0 ? kOptionTaken : kOptionBadValue;
        if (option == "--keepalive")
            return ParseToolNumber(text, 0, 3600, &config.keepAliveSeconds) == 0 ? kOptionTaken
                                                                                 : kOptionBadValue;
        if (option == "--fps")
            return ParseToolNumber(text, 1, 1000, &config.framesPerSecond) == 0 ? kOptionTaken
                                                                                : kOptionBadValue;
        if (option == "--user") {
            dvrsim::SimUser user;
            size_t colon = value.find(':');
            user.name = value.substr(0, colon);
            if (colon != std::string::npos) {
                std::string rest = value.substr(colon + 1);
                size_t second = rest.find(':');
                user.password = rest.substr(0, second);
                if (second != std::string::npos)
                    user.rights =
                        static_cast<uint32_t>(std::strtoul(rest.substr(second + 1).c_str(), nullptr, 0));
            }
            config.users.push_back(user);
            return kOptionTaken;
        }
        if (option == "--codec") {
            int codec = eq == std::string::npos ? -1 : CodecByName(value.substr(eq + 1));
            if (codec < 0)
                return kOptionBadValue;
            codecs.emplace_back(std::atoi(value.substr(0, eq).c_str()), codec);
            return kOptionTaken;
        }
        if (option == "--size") {
            int width = 0;
            int height = 0;
            if (eq == std::string::npos ||
                std::sscanf(value.substr(eq + 1).c_str(), "%dx%d", &width, &height) != 2)
                return kOptionBadValue;
            sizes.push_back({std::atoi(value.substr(0, eq).c_str()), {width, height}});
            return kOptionTaken;
        }
        return kOptionUnknown;
    };
    if (ReadToolOptions(argc, argv, kUsage, take, &exitCode) != 0)
        return exitCode;
    config.port = static_cast<uint16_t>(port);
    if (config.users.empty())
        config.users.push_back(dvrsim::SimUser{"admin", "", 0x3F});
    for (int i = 0; i < channels; ++i)
        config.channels.push_back(
            dvrsim::SimChannel{"Camera " + std::to_string(i + 1), dvrsim::kCodecMpeg4, 352, 288});
    for (auto& [channel, codec] : codecs) {
        if (channel >= 0 && channel < channels)
            config.channels[channel].codec = codec;
    }
    for (auto& [channel, size] : sizes) {
        if (channel >= 0 && channel < channels) {
            config.channels[channel].width = size.first;
            config.channels[channel].height = size.second;
        }
    }
    // Recordings on today and the two days before (local midnights).
    std::time_t now = std::time(nullptr);
    for (int back = 2; back >= 0; --back) {
        std::tm local{};
        std::time_t day = now - back * 86400;
        localtime_r(&day, &local);
        local.tm_hour = local.tm_min = local.tm_sec = 0;
        local.tm_isdst = -1;
        config.recordingDays.push_back(static_cast<int32_t>(std::mktime(&local)));
    }
    for (const auto& channel : config.channels) {
        if (!dvrsim::HasEncoder(channel.codec))
            std::fprintf(stderr, "dvrsim: no encoder for codec %d here; that channel sends no video\n",
                         channel.codec);
    }
    config.logCameraControl = true;
    // The encoders' warnings and statistics ("clipping dct coefficients", x264's summary) would bury the
    // lines above in a terminal: only their errors are shown.
    av_log_set_level(AV_LOG_ERROR);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    dvrsim::DvrSim sim(config);
    if (sim.Start() != 0) {
        std::fprintf(stderr, "dvrsim: cannot listen on 127.0.0.1:%u\n", config.port);
        return 1;
    }
    std::printf("dvrsim listening on 127.0.0.1:%u\n", sim.Port());
    std::fflush(stdout);
    while (!g_stop)
        pause();
    sim.Stop();
    return 0;
}
