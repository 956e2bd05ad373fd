#pragma once

// The recordings of a simulated DVR and its remote playback: the file search, the month and day maps,
// and the playback streams of each session's windows, opened, controlled and closed by requests and
// paced by their speed on the playback clock. Every recorded picture carries the time mark of the second
// it was recorded at (time_mark.h). A window reports its state and position after every command and,
// while it plays, its position about once a second.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tools/dvrsim/dvr_sim.h"
#include "tools/dvrsim/video_source.h"

namespace dvrsim {

// Bytes for a session's connection of a kind (SIM_COMMAND or SIM_PLAYBACK).
struct SimOutput {
    int session;
    int connection;
    std::string bytes;
};

class SimPlayback {
public:
    explicit SimPlayback(const SimConfig& config);

    // Answers a playback request of a session (fields[0] is the id); false when the id is not one.
    bool Answer(int session, const std::vector<std::string>& fields, std::vector<SimOutput>* out);
    // The frames that are due on the playback clock.
    void Tick(std::vector<SimOutput>* out);
    // Whether a stream is playing (the simulator then looks at the clock often).
    bool Playing() const;
    void EndSession(int session);
    void Clear();
    void SetFault(SimReplyFault fault, int count);
    int FramesSent() const { return framesSent_; }
    const std::vector<SimRecording>& Recordings() const { return recordings_; }

private:
    struct Window {
        int channel = 0;
        int mode = 0;
        int state = 0;
        int speed = 6;
        int32_t begin = 0;
        int32_t duration = 0;
        int32_t dayStart = 0;
        int64_t frames = 0;  // frames played from the start
        double nextAt = 0;
        int64_t reportedAt = 0;  // when the last state report went out
        bool headersSent = false;
    };
    using Key = std::pair<int, int>;  // session, window

    int64_t Now() const;
    void Open(int session, const std::vector<std::string>& fields, std::vector<SimOutput>* out);
    void Control(int session, const std::vector<std::string>& fields, std::vector<SimOutput>* out);
    // A state report; change 3 (state and position) after a command, 1 (position) while playing.
    void State(const Key& key, Window& window, int change, std::vector<SimOutput>* out) const;
    void SendFrame(const Key& key, Window& window, std::vector<SimOutput>* out);
    double Interval(const Window& window) const;

    SimConfig config_;
    std::vector<SimRecording> recordings_;
    std::map<Key, Window> windows_;
    std::map<std::pair<int, int>, std::unique_ptr<RecordedPictureEncoder>> encoders_;  // by codec, size
    SimReplyFault fault_ = SIM_FAULT_NONE;
    int faultCount_ = 0;
    int framesSent_ = 0;
};

// Four bytes little-endian.
std::string SimLe32(uint32_t value);

}  // namespace dvrsim
