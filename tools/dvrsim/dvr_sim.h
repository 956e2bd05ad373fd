#pragma once

// A simulated DVR on a loopback port: it accepts the command, live and playback connections of a client
// session, answers the session's requests from its own state, streams encoded video with PCM audio for
// every opened channel, records every request it receives, and plays scripted faults.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace dvrsim {

struct SimUser {
    std::string name;      // compared with the decoded login
    std::string password;  // empty: no password
    uint32_t rights = 0x3F;
};

struct SimChannel {
    std::string name;  // may hold spaces; empty is sent as "(NULL)"
    int codec = 16;    // kCodecMpeg4, kCodecH264 or kCodecH263
    int width = 352;
    int height = 288;
};

// Faults of the settings and playback replies (DvrSim::SetReplyFault).
enum SimReplyFault {
    SIM_FAULT_NONE,
    SIM_FAULT_COUNT_OUT_OF_RANGE,  // lists announce a count past every bound, inline lists a huge n
    SIM_FAULT_TRUNCATED_LIST,      // the last entry and the list end are left out, inline lists cut short
    SIM_FAULT_OTHER_CHANNEL,       // a channel reply names a channel the DVR does not have
};

// One recorded file of a channel.
struct SimRecording {
    int channel;
    int32_t start;     // time_t
    int32_t length;    // seconds
    std::string path;  // holds a space
};

struct SimConfig {
    uint16_t port = 0;  // 0: any free loopback port
    std::vector<SimUser> users;
    std::vector<SimChannel> channels;
    int keepAliveSeconds = 10;  // the interval the keep-alive reply names
    int framesPerSecond = 25;   // per open channel, as cameras send them
    int audioSampleRate = 8000;
    bool stream = true;  // false: open channels get no frames (the text side only)
    bool logCameraControl = false;  // true: one line on stdout per PTZ command, auto-scan switch and tour
    // Recordings: every channel has filesPerDay half-hour files on each of these days (local midnights,
    // 32-bit time), the first at 08:00 and one every two hours.
    std::vector<int32_t> recordingDays;
    int filesPerDay = 2;
    // The clock that paces playback streams (milliseconds); null: the steady clock.
    std::function<int64_t()> playbackClock;
};

// What the simulator streamed for one channel on the live connections (stream headers not counted).
struct SimStreamed {
    int pictures = 0;
    int64_t audioBytes = 0;
};

// Connection kinds as the simulator sees them (a connection is a stream once its bind arrived).
enum SimConnection { SIM_UNKNOWN = -1, SIM_COMMAND = 0, SIM_LIVE = 1, SIM_PLAYBACK = 2 };

struct SimRequest {
    int connection;     // SimConnection of the connection it came on (at that moment)
    int connectionId;   // counts the accepted connections from 1
    std::string bytes;  // the whole message, terminator included
    int id;             // first field, 0 when none
};

class DvrSim {
public:
    explicit DvrSim(SimConfig config);
    ~DvrSim();
    DvrSim(const DvrSim&) = delete;
    DvrSim& operator=(const DvrSim&) = delete;

    // Listens on 127.0.0.1 and starts serving. 0, or -1 when the port cannot be had.
    int Start();
    void Stop();
    uint16_t Port() const { return port_; }

    // --- What the simulator received ---
    std::vector<SimRequest> Requests();
    void ClearRequests();
    // Waits (bounded) until at least count requests with the id arrived; true when they did.
    bool WaitForRequests(int id, int count, int timeoutMs);
    int CountRequests(int id);
    int AcceptedConnections();
    SimStreamed Streamed(int channel);

    // --- Faults and events (carried out on the simulator's thread) ---
    // Silent: nothing is answered or streamed while set (connections stay open).
    void SetSilent(bool silent);
    // Refuse the next count logins (negative: every login).
    void RefuseLogins(int count);
    void SetKeepAliveSeconds(int seconds);
    // Closes every connection of that kind.
    void DropConnections(int connection);
    // Do not answer binds (the session stays binding).
    void SetIgnoreBinds(bool ignore);
    // Sends an alarm event for channel on the command connections.
    void SendAlarm(int channel);
    // Sends raw bytes on every connection of the kind (malformed, oversized or trailer-less frames).
    void SendRaw(int connection, std::string bytes);
    // Leaves the trailer off the next count frames of the live connections.
    void LoseTrailers(int count);
    // The next count replies of settings lists, channel parameters and file lists carry the fault.
    void SetReplyFault(SimReplyFault fault, int count);
    // Restarts the simulated DVR: every connection is closed, sessions, open channels and playback streams
    // end; its settings and recordings stay.
    void Restart();
    // The recordings the DVR holds (fixed at construction).
    std::vector<SimRecording> Recordings() const;
    // Playback frames sent so far on playback connections (all windows).
    int PlaybackFramesSent();
    // A frame as this simulator sends it (for tests that build their own streams).
    static std::string Frame(uint32_t flags, int32_t channel, const std::string& ext,
                             const std::string& payload, bool trailer = true);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    uint16_t port_ = 0;
};

}  // namespace dvrsim
