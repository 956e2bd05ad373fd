#include "tools/dvrsim/dvr_sim.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <sstream>

#include "tools/dvrsim/ptz_log.h"
#include "tools/dvrsim/sim_playback.h"
#include "tools/dvrsim/sim_settings.h"
#include "tools/dvrsim/video_source.h"

namespace dvrsim {

namespace {

constexpr char kTerminator[] = "\r\n\r\n";
constexpr char kTrailer[] = "$ETX\r\n\r\n";
constexpr size_t kMaxPendingOutput = 8u << 20;
constexpr int kHelloReply = 0x20001;
constexpr int kLoginReply = 0x20002;
constexpr int kKeepAliveReply = 0x20003;
constexpr int kChannelNamesReply = 0x20005;
constexpr int kAlarmEvent = 0x20036;

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::vector<std::string> SplitFields(const std::string& text) {
    std::vector<std::string> fields;
    std::istringstream in(text);
    std::string field;
    while (in >> field)
        fields.push_back(field);
    return fields;
}

struct ChannelStream {
    int pictureIndex = 0;
    bool headersSent = false;
};

struct Conn {
    int fd = -1;
    int id = 0;
    int kind = SIM_UNKNOWN;
    std::string in;
    std::string out;
    std::map<int, ChannelStream> streams;
    bool closed = false;
    int session = 0;  // the session the connection belongs to (0: none yet)
};

}  // namespace

struct DvrSim::Impl {
    SimConfig config;
    int listenFd = -1;
    int wakeFd = -1;
    std::thread thread;
    std::atomic<bool> running{false};

    std::mutex requestLock;
    std::condition_variable requestChanged;
    std::vector<SimRequest> requests;
    int accepted = 0;
    std::map<int, SimStreamed> streamed;  // under requestLock

    std::mutex commandLock;
    std::vector<std::function<void()>> commands;

    // Simulator-thread state.
    std::vector<std::unique_ptr<Conn>> conns;
    bool silent = false;
    int refuseLogins = 0;
    bool ignoreBinds = false;
    int loseTrailers = 0;
    int nextSessionId = 1000;
    // Open live channels of each session: a session's live connection receives only its own.
    std::map<int, std::set<int>> openChannels;
    std::unique_ptr<SimSettings> settings;
    std::unique_ptr<SimPlayback> playback;
    std::atomic<int> playbackFrames{0};
    int64_t nextTick = 0;
    int audioIndex = 0;

    void Post(std::function<void()> command) {
        {
            std::lock_guard<std::mutex> guard(commandLock);
            commands.push_back(std::move(command));
        }
        uint64_t one = 1;
        ssize_t r = write(wakeFd, &one, sizeof one);
        (void)r;
    }

    void RunCommands() {
        uint64_t value = 0;
        ssize_t r = read(wakeFd, &value, sizeof value);
        (void)r;
        std::vector<std::function<void()>> pending;
        {
            std::lock_guard<std::mutex> guard(commandLock);
            pending.swap(commands);
        }
        for (auto& command : pending)
            command();
    }

    void Write(Conn& conn, const std::string& bytes, bool droppable = false) {
        if (conn.closed || (droppable && conn.out.size() > kMaxPendingOutput))
            return;
        conn.out += bytes;
        Flush(conn);
    }

    void Flush(Conn& conn) {
        while (!conn.out.empty() && !conn.closed) {
            ssize_t sent = send(conn.fd, conn.out.data(), conn.out.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
            if (sent > 0) {
                conn.out.erase(0, static_cast<size_t>(sent));
                continue;
            }
            if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
                return;
            conn.closed = true;
        }
    }

    static void LogCameraControl(const std::vector<std::string>& fields) {
        std::string line = DescribeCameraControl(fields);
        if (line.empty())
            return;
        std::printf("dvrsim: %s\n", line.c_str());
        std::fflush(stdout);
    }

    void Reply(Conn& conn, const std::string& text) { Write(conn, text + " " + kTerminator); }

    void Record(const Conn& conn, const std::string& bytes, int id) {
        std::lock_guard<std::mutex> guard(requestLock);
        requests.push_back(SimRequest{conn.kind, conn.id, bytes, id});
        requestChanged.notify_all();
    }

    void HandleMessage(Conn& conn, const std::string& bytes) {
        std::vector<std::string> fields = SplitFields(bytes);
        int id = SimFieldInt(fields, 0);
        if (id == 0x10002 && conn.kind == SIM_UNKNOWN) {
            int type = SimFieldInt(fields, 2);
            conn.kind = (type == 1 || type == 2) ? type : SIM_COMMAND;
        } else if (conn.kind == SIM_UNKNOWN) {
            conn.kind = SIM_COMMAND;
        }
        Record(conn, bytes, id);
        if (config.logCameraControl)
            LogCameraControl(fields);
        if (silent)
            return;
        switch (id) {
            case 0x10001:
                Reply(conn, std::to_string(kHelloReply) + " 67108864");
                break;
            case 0x10002:
                HandleLogin(conn, fields);
                break;
            case 0x10003:
                Reply(conn, std::to_string(kKeepAliveReply) + " " + std::to_string(config.keepAliveSeconds));
                break;
            case 0x10005: {
                std::string head = std::to_string(kChannelNamesReply);
                int count = static_cast<int>(config.channels.size());
                Reply(conn, head + " 240 " + std::to_string(count));
                for (int i = 0; i < count; ++i) {
                    Reply(conn, head + " " + std::to_string(count) + " " + std::to_string(i) + " " +
                                    SimTextField(config.channels[i].name));
                }
                Reply(conn, head + " 255");
                break;
            }
            case 0x10006: {
                int channel = SimFieldInt(fields, 1);
                if (channel >= 0 && channel < static_cast<int>(config.channels.size()) &&
                    openChannels[conn.session].insert(channel).second)
                    RestartStreams(conn.session, channel);
                break;
            }
            case 0x10007:
                // Only the session's own stream stops; another session that opened the channel keeps it.
                openChannels[conn.session].erase(SimFieldInt(fields, 1));
                RestartStreams(conn.session, SimFieldInt(fields, 1));
                break;
            default: {
                std::vector<std::string> replies;
                if (settings->Answer(fields, &replies)) {
                    for (const std::string& reply : replies)
                        Reply(conn, reply);
                    break;
                }
                std::vector<SimOutput> outputs;
                if (playback->Answer(conn.session, fields, &outputs))
                    Route(outputs);
                break;
            }
        }
    }

    // The live connections of a session start a channel's stream over (headers first).
    void RestartStreams(int session, int channel) {
        for (auto& other : conns) {
            if (other->session == session)
                other->streams.erase(channel);
        }
    }

    // Bytes of the playback engine to the session's connections of their kind.
    void Route(const std::vector<SimOutput>& outputs) {
        for (const SimOutput& output : outputs) {
            for (auto& conn : conns) {
                if (conn->session == output.session && conn->kind == output.connection)
                    Write(*conn, output.bytes, output.connection == SIM_PLAYBACK);
            }
        }
        playbackFrames.store(playback->FramesSent());
    }

    void HandleLogin(Conn& conn, const std::vector<std::string>& fields) {
        int type = SimFieldInt(fields, 2);
        if (type == 1 || type == 2) {
            if (ignoreBinds)
                return;
            conn.session = SimFieldInt(fields, 1);
            std::string text = std::to_string(kLoginReply) + " " + std::to_string(SimFieldInt(fields, 1)) +
                               " " + std::to_string(type) + " 0 0 " + kTerminator;
            Write(conn, Frame(0x2FE, 0, std::string(), text));
            return;
        }
        std::string user = fields.size() > 3 ? SimDecodeCredential(fields[3]) : std::string();
        std::string password = fields.size() > 4 ? SimDecodeCredential(fields[4]) : std::string();
        const SimUserAccount* match = settings->Login(user, password);
        bool refuse = match == nullptr || refuseLogins != 0;
        if (refuseLogins > 0)
            --refuseLogins;
        if (refuse) {
            Reply(conn, std::to_string(kLoginReply) + " 0 0 -1 0");
            return;
        }
        int sessionId = nextSessionId++;
        conn.session = sessionId;
        Reply(conn, std::to_string(kLoginReply) + " " + std::to_string(sessionId) + " 0 0 " +
                        std::to_string(match->rights));
    }

    void Receive(Conn& conn) {
        char chunk[65536];
        for (;;) {
            ssize_t got = recv(conn.fd, chunk, sizeof chunk, MSG_DONTWAIT);
            if (got > 0) {
                conn.in.append(chunk, static_cast<size_t>(got));
                continue;
            }
            if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
                break;
            conn.closed = true;
            break;
        }
        size_t end;
        while (!conn.closed && (end = conn.in.find(kTerminator)) != std::string::npos) {
            std::string message = conn.in.substr(0, end + 4);
            conn.in.erase(0, end + 4);
            HandleMessage(conn, message);
        }
    }

    void StreamTick() {
        if (silent || !config.stream)
            return;
        for (auto& conn : conns) {
            if (conn->kind != SIM_LIVE || conn->closed)
                continue;
            for (int channel : openChannels[conn->session])
                StreamChannel(*conn, channel);
        }
        ++audioIndex;
    }

    void SendFrame(Conn& conn, uint32_t flags, int channel, const std::string& ext,
                   const std::string& payload) {
        bool trailer = true;
        if (loseTrailers > 0) {
            --loseTrailers;
            trailer = false;
        }
        Write(conn, Frame(flags, channel, ext, payload, trailer), true);
    }

    void StreamChannel(Conn& conn, int channel) {
        const SimChannel& config_channel = config.channels[channel];
        std::shared_ptr<const EncodedGop> gop = GetEncodedGop(config_channel.codec, config_channel.width,
                                                              config_channel.height, config.framesPerSecond);
        if (gop == nullptr)
            return;
        ChannelStream& stream = conn.streams[channel];
        const EncodedPicture& picture = gop->pictures[stream.pictureIndex % gop->pictures.size()];
        if (picture.key || !stream.headersSent) {
            std::string video = SimLe32(gop->width) + SimLe32(gop->height) +
                                SimLe32(gop->framesPerSecond * 100) + SimLe32(gop->codec);
            std::string audio = SimLe32(1) + SimLe32(config.audioSampleRate) + SimLe32(16) + SimLe32(0);
            SendFrame(conn, 0x1FE, channel, video, std::string());
            SendFrame(conn, 0x0FE, channel, audio, std::string());
            stream.headersSent = true;
        }
        std::string pcm = PcmPacket(config.audioSampleRate, config.framesPerSecond, audioIndex);
        SendFrame(conn, 0x1FE, channel, std::string(), picture.bytes);
        SendFrame(conn, 0x0FE, channel, std::string(), pcm);
        {
            std::lock_guard<std::mutex> guard(requestLock);
            SimStreamed& sent = streamed[channel];
            ++sent.pictures;
            sent.audioBytes += static_cast<int64_t>(pcm.size());
        }
        ++stream.pictureIndex;
    }

    void Loop() {
        int period = 1000 / (config.framesPerSecond > 0 ? config.framesPerSecond : 1);
        nextTick = NowMs() + period;
        RunCommands();  // what was set before the start
        while (running.load()) {
            std::vector<pollfd> fds;
            fds.push_back(pollfd{listenFd, POLLIN, 0});
            fds.push_back(pollfd{wakeFd, POLLIN, 0});
            for (auto& conn : conns)
                fds.push_back(
                    pollfd{conn->fd, static_cast<short>(POLLIN | (conn->out.empty() ? 0 : POLLOUT)), 0});
            int64_t wait = nextTick - NowMs();
            int64_t longest = playback->Playing() ? 5 : 100;  // playing streams are paced finely
            poll(fds.data(), fds.size(), static_cast<int>(wait < 0 ? 0 : wait > longest ? longest : wait));
            if (fds[1].revents & POLLIN)
                RunCommands();
            if (fds[0].revents & POLLIN)
                Accept();
            for (size_t i = 2; i < fds.size() && i - 2 < conns.size(); ++i) {
                Conn& conn = *conns[i - 2];
                if (fds[i].revents & (POLLIN | POLLHUP | POLLERR))
                    Receive(conn);
                if (fds[i].revents & POLLOUT)
                    Flush(conn);
            }
            if (!silent) {
                std::vector<SimOutput> outputs;
                playback->Tick(&outputs);
                if (!outputs.empty())
                    Route(outputs);
            }
            if (NowMs() >= nextTick) {
                StreamTick();
                nextTick += period;
                if (nextTick < NowMs())
                    nextTick = NowMs() + period;
            }
            RemoveClosed();
        }
        for (auto& conn : conns)
            close(conn->fd);
        conns.clear();
    }

    void Accept() {
        for (;;) {
            int fd = accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd < 0)
                return;
            int one = 1;
            setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);  // replies of several messages
            auto conn = std::make_unique<Conn>();
            conn->fd = fd;
            {
                std::lock_guard<std::mutex> guard(requestLock);
                conn->id = ++accepted;
            }
            conns.push_back(std::move(conn));
        }
    }

    void RemoveClosed() {
        for (size_t i = 0; i < conns.size();) {
            if (conns[i]->closed) {
                close(conns[i]->fd);
                conns.erase(conns.begin() + static_cast<long>(i));
            } else {
                ++i;
            }
        }
    }
};

DvrSim::DvrSim(SimConfig config) : impl_(std::make_unique<Impl>()) {
    impl_->config = std::move(config);
    impl_->settings = std::make_unique<SimSettings>(impl_->config);
    impl_->playback = std::make_unique<SimPlayback>(impl_->config);
}

DvrSim::~DvrSim() {
    Stop();
}

int DvrSim::Start() {
    Impl& impl = *impl_;
    impl.listenFd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (impl.listenFd < 0)
        return -1;
    int one = 1;
    setsockopt(impl.listenFd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(impl.config.port);
    socklen_t length = sizeof address;
    if (bind(impl.listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(impl.listenFd, 64) != 0 ||
        getsockname(impl.listenFd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        close(impl.listenFd);
        impl.listenFd = -1;
        return -1;
    }
    port_ = ntohs(address.sin_port);
    impl.wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    impl.running.store(true);
    impl.thread = std::thread([&impl] { impl.Loop(); });
    return 0;
}

void DvrSim::Stop() {
    Impl& impl = *impl_;
    if (!impl.running.exchange(false))
        return;
    uint64_t one = 1;
    ssize_t r = write(impl.wakeFd, &one, sizeof one);
    (void)r;
    impl.thread.join();
    close(impl.listenFd);
    close(impl.wakeFd);
    impl.listenFd = impl.wakeFd = -1;
}

std::vector<SimRequest> DvrSim::Requests() {
    std::lock_guard<std::mutex> guard(impl_->requestLock);
    return impl_->requests;
}

void DvrSim::ClearRequests() {
    std::lock_guard<std::mutex> guard(impl_->requestLock);
    impl_->requests.clear();
}

int DvrSim::CountRequests(int id) {
    std::lock_guard<std::mutex> guard(impl_->requestLock);
    int count = 0;
    for (const SimRequest& request : impl_->requests)
        count += request.id == id ? 1 : 0;
    return count;
}

bool DvrSim::WaitForRequests(int id, int count, int timeoutMs) {
    std::unique_lock<std::mutex> guard(impl_->requestLock);
    return impl_->requestChanged.wait_for(guard, std::chrono::milliseconds(timeoutMs), [&] {
        int seen = 0;
        for (const SimRequest& request : impl_->requests)
            seen += request.id == id ? 1 : 0;
        return seen >= count;
    });
}

int DvrSim::AcceptedConnections() {
    std::lock_guard<std::mutex> guard(impl_->requestLock);
    return impl_->accepted;
}

SimStreamed DvrSim::Streamed(int channel) {
    std::lock_guard<std::mutex> guard(impl_->requestLock);
    auto it = impl_->streamed.find(channel);
    return it != impl_->streamed.end() ? it->second : SimStreamed{};
}

void DvrSim::SetSilent(bool silent) {
    impl_->Post([this, silent] { impl_->silent = silent; });
}

void DvrSim::RefuseLogins(int count) {
    impl_->Post([this, count] { impl_->refuseLogins = count; });
}

void DvrSim::SetKeepAliveSeconds(int seconds) {
    impl_->Post([this, seconds] { impl_->config.keepAliveSeconds = seconds; });
}

void DvrSim::DropConnections(int connection) {
    impl_->Post([this, connection] {
        for (auto& conn : impl_->conns) {
            if (conn->kind == connection)
                conn->closed = true;
        }
    });
}

void DvrSim::SetIgnoreBinds(bool ignore) {
    impl_->Post([this, ignore] { impl_->ignoreBinds = ignore; });
}

void DvrSim::SendAlarm(int channel) {
    impl_->Post([this, channel] {
        for (auto& conn : impl_->conns) {
            if (conn->kind == SIM_COMMAND)
                impl_->Reply(*conn, std::to_string(kAlarmEvent) + " 0 " + std::to_string(channel << 16));
        }
    });
}

void DvrSim::SendRaw(int connection, std::string bytes) {
    impl_->Post([this, connection, bytes = std::move(bytes)] {
        for (auto& conn : impl_->conns) {
            if (conn->kind == connection)
                impl_->Write(*conn, bytes);
        }
    });
}

void DvrSim::SetReplyFault(SimReplyFault fault, int count) {
    impl_->Post([this, fault, count] {
        impl_->settings->SetFault(fault, count);
        impl_->playback->SetFault(fault, count);
    });
}

void DvrSim::Restart() {
    impl_->Post([this] {
        for (auto& conn : impl_->conns)
            conn->closed = true;
        impl_->openChannels.clear();
        impl_->playback->Clear();
    });
}

std::vector<SimRecording> DvrSim::Recordings() const {
    return impl_->playback->Recordings();
}

int DvrSim::PlaybackFramesSent() {
    return impl_->playbackFrames.load();
}

void DvrSim::LoseTrailers(int count) {
    impl_->Post([this, count] { impl_->loseTrailers = count; });
}

std::string DvrSim::Frame(uint32_t flags, int32_t channel, const std::string& ext, const std::string& payload,
                          bool trailer) {
    std::string frame = SimLe32(flags) + SimLe32(static_cast<uint32_t>(channel)) +
                        SimLe32(static_cast<uint32_t>(ext.size())) +
                        SimLe32(static_cast<uint32_t>(payload.size()));
    frame += ext;
    frame += payload;
    if (trailer)
        frame += kTrailer;
    return frame;
}

}  // namespace dvrsim
