#include "tools/dvrsim/sim_playback.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "tools/dvrsim/sim_settings.h"
#include "tools/dvrsim/video_source.h"

namespace dvrsim {

namespace {

constexpr int kPlaybackOpen = 0x1000B;
constexpr int kPlaybackClose = 0x1000C;
constexpr int kSearch = 0x1000D;
constexpr int kMonth = 0x1002C;
constexpr int kControl = 0x1002D;
constexpr int kDay = 0x1002E;
constexpr int kFileListReply = 0x2000D;
constexpr int kMonthReply = 0x2002C;
constexpr int kDayReply = 0x2002E;
constexpr int kStateReply = 0x2002F;
constexpr char kTerminator[] = " \r\n\r\n";

constexpr int kPlaying = 1;
constexpr int kPaused = 2;
constexpr int kStopped = 3;
constexpr int kStepping = 4;
constexpr int kSpeed = 5;
constexpr int kNormalSpeed = 6;
constexpr int kMaxFramesPerTick = 256;
// A playing window reports its position this often.
constexpr int64_t kPositionReportMs = 1000;

std::tm LocalTime(int32_t t) {
    time_t value = t;
    std::tm out{};
    localtime_r(&value, &out);
    return out;
}

std::string RestoreSpaces(std::string text) {
    for (char& c : text) {
        if (c == 0x08)
            c = ' ';
    }
    return text;
}

}  // namespace

std::string SimLe32(uint32_t value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

SimPlayback::SimPlayback(const SimConfig& config) : config_(config) {
    for (size_t c = 0; c < config.channels.size(); ++c) {
        for (int32_t day : config.recordingDays) {
            for (int k = 0; k < config.filesPerDay; ++k) {
                int32_t start = day + 8 * 3600 + k * 7200;
                std::tm local = LocalTime(start);
                char path[96];
                // The DVR's own path form: a folder with a space, the day, then CH<channel>_<time>.
                std::snprintf(path, sizeof path, "D:\\rec files\\%04d-%02d-%02d\\CH%03d_%02d%02d.avi",
                              local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, static_cast<int>(c) + 1,
                              local.tm_hour, local.tm_min);
                recordings_.push_back(SimRecording{static_cast<int>(c), start, 1800, path});
            }
        }
    }
}

int64_t SimPlayback::Now() const {
    if (config_.playbackClock)
        return config_.playbackClock();
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void SimPlayback::SetFault(SimReplyFault fault, int count) {
    fault_ = fault;
    faultCount_ = count;
}

bool SimPlayback::Playing() const {
    for (const auto& [key, window] : windows_) {
        if (window.state == kPlaying || window.state == kSpeed)
            return true;
    }
    return false;
}

void SimPlayback::EndSession(int session) {
    for (auto it = windows_.begin(); it != windows_.end();)
        it = it->first.first == session ? windows_.erase(it) : std::next(it);
}

void SimPlayback::Clear() {
    windows_.clear();
}

double SimPlayback::Interval(const Window& window) const {
    int fps = config_.framesPerSecond > 0 ? config_.framesPerSecond : 1;
    int speed = window.speed < 2 ? 2 : window.speed > 10 ? 10 : window.speed;
    double factor =
        speed >= kNormalSpeed ? double(1 << (speed - kNormalSpeed)) : 1.0 / (1 << (kNormalSpeed - speed));
    return 1000.0 / (fps * factor);
}

void SimPlayback::State(const Key& key, Window& window, int change, std::vector<SimOutput>* out) const {
    int fps = config_.framesPerSecond > 0 ? config_.framesPerSecond : 1;
    int32_t position = static_cast<int32_t>(window.frames / fps);
    window.reportedAt = Now();
    std::string text = std::to_string(kStateReply) + " " + std::to_string(key.second) + " " +
                       std::to_string(change) + " " + std::to_string(window.state) + " " +
                       std::to_string(window.speed) + " " + std::to_string(window.begin) + " " +
                       std::to_string(window.duration) + " " + std::to_string(position) + " " +
                       std::to_string(window.dayStart) + kTerminator;
    out->push_back(SimOutput{key.first, SIM_COMMAND, text});
}

void SimPlayback::SendFrame(const Key& key, Window& window, std::vector<SimOutput>* out) {
    const SimChannel& channel = config_.channels[static_cast<size_t>(window.channel)];
    const int fps = config_.framesPerSecond > 0 ? config_.framesPerSecond : 1;
    std::unique_ptr<RecordedPictureEncoder>& encoder =
        encoders_[{channel.codec, channel.width << 16 | channel.height}];
    if (encoder == nullptr)
        encoder = std::make_unique<RecordedPictureEncoder>(channel.codec, channel.width, channel.height, fps);
    // Every picture is a key frame showing the second it was recorded at.
    const auto recorded = static_cast<uint32_t>(int64_t{window.begin} + window.frames / fps);
    std::string picture;
    if (!encoder->Encode(window.frames, recorded, &picture))
        return;
    // The stream header goes before the first picture and then once a second, as before a DVR's key frames.
    if (!window.headersSent || window.frames % fps == 0) {
        std::string header =
            SimLe32(static_cast<uint32_t>(channel.width)) + SimLe32(static_cast<uint32_t>(channel.height)) +
            SimLe32(static_cast<uint32_t>(fps * 100)) + SimLe32(static_cast<uint32_t>(channel.codec));
        out->push_back(
            SimOutput{key.first, SIM_PLAYBACK, DvrSim::Frame(0x1FE, key.second, header, std::string())});
        window.headersSent = true;
    }
    out->push_back(
        SimOutput{key.first, SIM_PLAYBACK, DvrSim::Frame(0x1FE, key.second, std::string(), picture)});
    ++window.frames;
    ++framesSent_;
}

void SimPlayback::Open(int session, const std::vector<std::string>& fields, std::vector<SimOutput>* out) {
    int mode = SimFieldInt(fields, 1);
    int index = SimFieldInt(fields, 2);
    if (index < 0 || index >= 16)
        return;
    Window window;
    window.mode = mode;
    window.state = kStopped;
    if (mode == 0) {
        window.channel = SimFieldInt(fields, 3);
        window.dayStart = SimFieldInt(fields, 4);
        window.begin = window.dayStart;
        for (const SimRecording& r : recordings_) {
            if (r.channel == window.channel && r.start >= window.dayStart &&
                r.start < window.dayStart + 86400) {
                if (window.duration == 0)
                    window.begin = r.start;
                window.duration = r.start + r.length - window.begin;
                window.state = kPlaying;
            }
        }
    } else if (mode == 1 && fields.size() > 3) {
        std::string path = RestoreSpaces(fields[3]);
        for (const SimRecording& r : recordings_) {
            if (r.path == path) {
                window.channel = r.channel;
                window.begin = r.start;
                window.duration = r.length;
                window.dayStart = r.start - r.start % 86400;
                window.state = kPlaying;
            }
        }
    } else {
        return;
    }
    if (window.channel < 0 || window.channel >= static_cast<int>(config_.channels.size()))
        window.state = kStopped, window.channel = 0;
    window.nextAt = static_cast<double>(Now());
    Key key{session, index};
    windows_[key] = window;
    State(key, windows_[key], 3, out);
}

void SimPlayback::Control(int session, const std::vector<std::string>& fields, std::vector<SimOutput>* out) {
    Key key{session, SimFieldInt(fields, 1)};
    auto found = windows_.find(key);
    if (found == windows_.end())
        return;
    Window& window = found->second;
    int command = SimFieldInt(fields, 2);
    int parameter = SimFieldInt(fields, 3);
    int fps = config_.framesPerSecond > 0 ? config_.framesPerSecond : 1;
    switch (command) {
        case 1:  // play: the next picture one interval from now
            window.state = window.speed == kNormalSpeed ? kPlaying : kSpeed;
            window.nextAt = static_cast<double>(Now()) + Interval(window);
            break;
        case 2:
            window.state = kPaused;
            break;
        case 3:
            window.state = kStopped;
            window.frames = 0;
            break;
        case 4:  // one frame, then hold
            window.state = kStepping;
            SendFrame(key, window, out);
            break;
        case 5:
            window.speed += parameter > 0 ? 1 : -1;
            window.speed = window.speed < 2 ? 2 : window.speed > 10 ? 10 : window.speed;
            window.state = window.speed == kNormalSpeed ? kPlaying : kSpeed;
            window.nextAt = static_cast<double>(Now()) + Interval(window);
            break;
        case 6: {
            // Time mode: an absolute time; file mode: seconds from the file's start.
            int64_t seconds = window.mode == 0 ? int64_t{parameter} - window.begin : parameter;
            window.frames = seconds < 0 ? 0 : seconds * fps;
            break;
        }
        default:
            return;
    }
    State(key, window, 3, out);
}

void SimPlayback::Tick(std::vector<SimOutput>* out) {
    double now = static_cast<double>(Now());
    int fps = config_.framesPerSecond > 0 ? config_.framesPerSecond : 1;
    for (auto& [key, window] : windows_) {
        if (window.state != kPlaying && window.state != kSpeed)
            continue;
        double interval = Interval(window);
        for (int sent = 0; window.nextAt <= now && sent < kMaxFramesPerTick; ++sent) {
            SendFrame(key, window, out);
            window.nextAt += interval;
        }
        if (window.nextAt <= now)
            window.nextAt = now + interval;  // too far behind: skip rather than burst
        if (window.duration > 0 && window.frames / fps >= window.duration) {
            window.state = kStopped;
            State(key, window, 3, out);
        } else if (Now() - window.reportedAt >= kPositionReportMs) {
            State(key, window, 1, out);
        }
    }
}

bool SimPlayback::Answer(int session, const std::vector<std::string>& fields, std::vector<SimOutput>* out) {
    int id = SimFieldInt(fields, 0);
    switch (id) {
        case kSearch: {
            int channel = SimFieldInt(fields, 1);
            int32_t begin = SimFieldInt(fields, 2);
            int32_t end = SimFieldInt(fields, 3);
            std::vector<const SimRecording*> found;
            for (const SimRecording& r : recordings_) {
                if ((channel == -1 || channel == r.channel) && r.start < end && r.start + r.length > begin)
                    found.push_back(&r);
            }
            SimReplyFault fault = SIM_FAULT_NONE;
            if (faultCount_ > 0) {
                --faultCount_;
                fault = fault_;
            }
            std::string head = std::to_string(kFileListReply) + " ";
            int count = static_cast<int>(found.size());
            out->push_back(SimOutput{
                session, SIM_COMMAND,
                head + "240 " + std::to_string(fault == SIM_FAULT_COUNT_OUT_OF_RANGE ? 100000 : count) +
                    kTerminator});
            int sent = fault == SIM_FAULT_TRUNCATED_LIST && count > 0 ? count - 1 : count;
            for (int i = 0; i < sent; ++i) {
                out->push_back(SimOutput{session, SIM_COMMAND,
                                         head + std::to_string(count) + " " + std::to_string(i) + " " +
                                             SimTextField(found[i]->path) + " " +
                                             std::to_string(found[i]->start) + " " +
                                             std::to_string(found[i]->length) + kTerminator});
            }
            if (fault != SIM_FAULT_TRUNCATED_LIST)
                out->push_back(SimOutput{session, SIM_COMMAND, head + "255" + kTerminator});
            return true;
        }
        case kMonth: {
            int32_t date = SimFieldInt(fields, 1);
            std::tm month = LocalTime(date);
            uint32_t days = 0;
            for (int32_t day : config_.recordingDays) {
                std::tm local = LocalTime(day);
                if (local.tm_year == month.tm_year && local.tm_mon == month.tm_mon && !recordings_.empty())
                    days |= 1u << (local.tm_mday - 1);
            }
            out->push_back(SimOutput{session, SIM_COMMAND,
                                     std::to_string(kMonthReply) + " " + std::to_string(date) + " " +
                                         std::to_string(static_cast<int32_t>(days)) + kTerminator});
            return true;
        }
        case kDay: {
            int32_t word = SimFieldInt(fields, 1);
            int32_t dayStart = SimFieldInt(fields, 2);
            int channel = static_cast<int>(static_cast<uint32_t>(word) >> 16);
            uint8_t minutes[360] = {};
            for (const SimRecording& r : recordings_) {
                if (r.channel != channel)
                    continue;
                for (int32_t t = r.start; t < r.start + r.length; t += 60) {
                    int64_t m = (int64_t{t} - dayStart) / 60;
                    if (m >= 0 && m < 1440)
                        minutes[m / 4] |= static_cast<uint8_t>(1u << (2 * (m % 4)));
                }
            }
            // value1 is the playback window the map is for (the low half of the request word).
            std::string text = std::to_string(kDayReply) + " " + std::to_string(word & 0xFFFF) + " " +
                               std::to_string(dayStart) + " 360";
            char hex[4];
            for (uint8_t byte : minutes) {
                std::snprintf(hex, sizeof hex, " %X", byte);
                text += hex;
            }
            out->push_back(SimOutput{session, SIM_COMMAND, text + kTerminator});
            return true;
        }
        case kPlaybackOpen:
            Open(session, fields, out);
            return true;
        case kPlaybackClose: {
            Key key{session, SimFieldInt(fields, 1)};
            auto found = windows_.find(key);
            if (found != windows_.end()) {
                found->second.state = 0;
                State(key, found->second, 3, out);
                windows_.erase(found);
            }
            return true;
        }
        case kControl:
            Control(session, fields, out);
            return true;
        default:
            return false;
    }
}

}  // namespace dvrsim
