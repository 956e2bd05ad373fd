#pragma once

// The session record of one DVR and the records of its channels. Sessions live in g_deviceList; each is
// allocated with `new DVRDevice()` (value-initialised, so every plain field starts at zero).
//
// Lifetime: a DVRDevice lives from LoadDeviceTree until FreeDeviceList (or a reload) deletes it; what one
// run of its session owns (DVRSessionState) lives from StartDeviceSession to StopDeviceSession. The media
// threads never dereference a DVRDevice: a screen slot compares its device pointer only, and what the
// decode threads read of the channel they show they reach through the slot's own share of the channel
// array (AssignSlotChannel, media/screen_slot.h). A channel array therefore outlives the run that made it
// for as long as a slot still holds it, and a restart or a reload never frees a channel under a reader.

#include <netdb.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>

#include "dvr/handed_list.h"
#include "platform/system/thread_queue.h"
#include "platform/system/win_types.h"

struct DeviceTreeNode;
struct SystemSettings;
struct DVRNetworkParams;
struct DVRUserAccount;
struct DVRDiskInfo;
struct DVRLanguageInfo;
struct AddressLookup;

constexpr int COMMAND_BUFFER_SIZE = 8192;
constexpr int STREAM_BUFFER_SIZE = 2048000;
constexpr int STREAM_SOCKET_RCVBUF = 32768;
constexpr int REQUEST_RETRY_SECONDS = 3;
constexpr int SILENCE_TIMEOUT_SECONDS = 30;
constexpr int DEFAULT_KEEPALIVE_SECONDS = 10;

// Session flags (DVRDevice::flags).
constexpr uint32_t DEVICE_FLAG_HELLO = 0x1;
constexpr uint32_t DEVICE_FLAG_LOGGED_IN = 0x2;
constexpr uint32_t DEVICE_FLAG_LIVE_BOUND = 0x4;
constexpr uint32_t DEVICE_FLAG_PLAYBACK_BOUND = 0x8;
constexpr uint32_t DEVICE_FLAG_CHANNELS = 0x10;
constexpr uint32_t DEVICE_FLAG_SYSTEM_PARAMS = 0x20;
constexpr uint32_t DEVICE_FLAG_LINK_ERROR = 0x80000000u;

// Channel flags (DVRChannel::flags), shared by the sessions, the media threads and the main window. Every
// change is an atomic read-modify-write of the whole word.
constexpr uint32_t CHANNEL_FLAG_VIDEO_HEADER_RECORD = 0x1;
constexpr uint32_t CHANNEL_FLAG_AUDIO_HEADER_RECORD = 0x2;
constexpr uint32_t CHANNEL_FLAG_VIDEO_HEADER_VIEW = 0x4;
constexpr uint32_t CHANNEL_FLAG_AUDIO_HEADER_VIEW = 0x8;
constexpr uint32_t CHANNEL_FLAG_VIDEO_HEADER_PREVIEW = 0x10;
constexpr uint32_t CHANNEL_FLAG_AUDIO_HEADER_PREVIEW = 0x20;
constexpr uint32_t CHANNEL_FLAG_STREAM_CLOSED = 0x40;
constexpr uint32_t CHANNEL_FLAG_RECORD_WANTED = 0x80;
constexpr uint32_t CHANNEL_FLAG_RECORDING = 0x200;
constexpr uint32_t CHANNEL_FLAG_VIDEO_LOSS = 0x400;
constexpr uint32_t CHANNEL_FLAG_ALARM = 0x800;

// Rights of the logged-in user (DVRDevice::rights) and of a DVRUserAccount.
constexpr uint32_t USER_RIGHT_VIEW = 0x1;
constexpr uint32_t USER_RIGHT_RECORD = 0x2;
constexpr uint32_t USER_RIGHT_PTZ = 0x4;
constexpr uint32_t USER_RIGHT_REMOTE = 0x8;
constexpr uint32_t USER_RIGHT_ADMIN = 0x10;
constexpr uint32_t USER_RIGHT_EXIT = 0x20;

// Camera options (DVRChannel::ptzOptions, bits 0-23 the speed level).
constexpr uint32_t CAMERA_REVERSE_TILT = 0x80000000u;
constexpr uint32_t CAMERA_REVERSE_PAN = 0x40000000u;
constexpr uint32_t CAMERA_REVERSE_FOCUS = 0x20000000u;
constexpr uint32_t CAMERA_REVERSE_ZOOM = 0x10000000u;

// Alarm actions (DVRChannel::alarmActions).
constexpr uint32_t ALARM_ACTION_EMAIL = 0x1;
constexpr uint32_t ALARM_ACTION_MMS = 0x2;
constexpr uint32_t ALARM_ACTION_SMS = 0x4;
constexpr uint32_t ALARM_ACTION_CLIENT = 0x8;

// One video overlay of a channel.
struct OverlaySettings {
    int32_t enabled;
    int32_t position;  // 0 left-top, 1 left-bottom, 2 right-top, 3 right-bottom
    int32_t offsetX;
    int32_t offsetY;
    COLORREF color;
    LOGFONTW font;
};

// One step of a camera's auto-scan tour (step i for preset i + 1).
struct AutoScanStep {
    uint8_t enabled;
    int32_t staySeconds;
};

// 8 x 8 zones: byte r = row r from the top, bit c = column c from the left.
struct MotionZoneMask {
    uint8_t rows[8];
};

// A worker thread's handle and queue id.
struct WorkerThreadRef {
    WorkerThread* handle;
    ThreadId id;
};

struct DVRChannel {
    char16_t name[256];
    int32_t resolution;
    uint32_t width;
    int32_t height;
    int32_t frameRate;
    int32_t brightness;
    int32_t contrast;
    int32_t hue;
    int32_t saturation;
    int32_t sampleRate;
    uint16_t bitsPerSample;
    OverlaySettings titleOverlay;
    OverlaySettings timeOverlay;
    int32_t quality;
    int32_t audioQuality;
    int32_t audioEnabled;
    uint32_t recordSchedule[8];
    int32_t motionSensitivity;
    MotionZoneMask motionMask;
    uint8_t videoMask[8];
    int32_t cameraType;
    uint32_t ptzOptions;
    int32_t ptzProtocol;
    int32_t ptzAddress;
    char16_t comPort[256];
    int32_t baudRate;
    uint8_t dataBits;
    uint8_t parity;
    uint8_t stopBits;
    AutoScanStep autoScan[32];
    uint32_t alarmActions;
    int32_t subResolution;
    int32_t subWidth;
    int32_t subHeight;
    int32_t subFrameRate;
    int32_t subQuality;
    uint8_t* videoHeader;  // 16 bytes, owned: newest video stream header of the live connection
    uint8_t* audioHeader;  // 16 bytes, owned: newest audio stream header
    int32_t frameAge;      // 160 ms ticks since the last live video frame (under lock)
    std::atomic<uint32_t> flags;
    int32_t viewSlots[4];  // 0: grid slot 0-63; 1-3: preview slots 64-66; -1 none
    std::mutex lock;
};

// Owners of the per-run records: malloc'd blocks and arrays, the resolved address, the file chain.
struct FreeDeleter {
    void operator()(void* block) const { std::free(block); }
};
template <typename T>
using MallocPtr = std::unique_ptr<T, FreeDeleter>;
struct AddressDeleter {
    void operator()(struct addrinfo* address) const {
        if (address != nullptr)
            freeaddrinfo(address);
    }
};
struct RemoteFileListDeleter {
    void operator()(RemoteFileNode* head) const;
};

// An atomic count that the per-run record's assignment resets (std::atomic itself is not assignable from
// another atomic). Used as the atomic it is everywhere else.
struct RunCount : std::atomic<int32_t> {
    RunCount() : std::atomic<int32_t>(0) {}
    RunCount(RunCount&& other) noexcept : std::atomic<int32_t>(other.load()) {}
    RunCount& operator=(RunCount&& other) noexcept {
        store(other.load());
        return *this;
    }
    using std::atomic<int32_t>::operator=;
};

// What one run of a session owns. StartDeviceSession and StopDeviceSession reset it by assigning an empty
// record, which frees whatever the previous run left; the session's threads have ended by then.
struct DVRSessionState {
    std::unique_ptr<struct addrinfo, AddressDeleter> address;  // resolved by the command thread
    // A name lookup in progress on its own thread (session_threads.cpp), shared with that thread.
    std::shared_ptr<AddressLookup> addressLookup;
    uint8_t commandBuffer[COMMAND_BUFFER_SIZE] = {};
    int32_t commandFill = 0;
    int32_t liveFill = 0;      // bytes held in DVRDevice::liveBuffer
    int32_t playbackFill = 0;  // bytes held in DVRDevice::playbackBuffer
    MallocPtr<SystemSettings> systemParams;
    MallocPtr<DVRNetworkParams> networkParams;
    // Zeroed before the array is dropped and published after it is set (release), so a reader that sees
    // a count sees the channels. The array is shared with the screen slots that show its channels.
    RunCount channelCount;
    std::shared_ptr<DVRChannel[]> channels;
    int32_t userCount = 0;
    MallocPtr<DVRUserAccount[]> users;
    int32_t diskCount = 0;
    MallocPtr<DVRDiskInfo[]> disks;
    int32_t languageCount = 0;
    MallocPtr<DVRLanguageInfo[]> languages;
    std::unique_ptr<RemoteFileNode, RemoteFileListDeleter> remoteFiles;  // head of the chain
};

struct DVRDevice : DVRSessionState {
    DeviceTreeNode* node;  // not owned
    std::atomic<int32_t> sessionId;
    std::atomic<int> commandSocket;
    std::atomic<int> liveSocket;
    std::atomic<int> playbackSocket;
    WorkerThreadRef commandThread;
    WorkerThreadRef liveThread;
    WorkerThreadRef playbackThread;
    std::atomic<uint32_t> flags;
    std::atomic<int32_t> loginResult;
    std::atomic<uint32_t> rights;
    std::atomic<int32_t> keepAliveSeconds;
    // Monotonic milliseconds (MonotonicMs); 0 means "never", so the next keep-alive or step goes out at once.
    std::atomic<int64_t> lastKeepAlive;
    std::atomic<int64_t> lastReceived;
    std::atomic<int64_t> lastRequest;
    // A run that could not get its threads or descriptors is not restarted before this time, so a
    // shortage is tried again at the supervisor's pace rather than on every wake-up.
    std::atomic<int64_t> restartNotBefore;
    std::mutex lock;
    // Held while one received text message is parsed: replies may arrive on every connection of the
    // session (text frames of the stream connections too), and the parsers of one DVR run one at a time.
    std::mutex parseLock;
    DVRDevice* next;
    // Counts the starts of this session; messages posted to the UI thread carry it so that one posted by
    // an earlier run of the session is dropped.
    std::atomic<uint32_t> generation;
    // Serialises the senders of this DVR's connections and their closing, so that no message interleaves
    // with another and no send reaches a descriptor that was closed (and perhaps reused).
    std::mutex sendLock;
    // The command thread's queue, set by that thread itself: a bind reply on a stream thread wakes it.
    std::atomic<ThreadId> commandQueue;
    // The user, disk, language and remote-file lists: built by the parsers, handed to the UI thread
    // (dvr/handed_list.h). The windows read these, not users / disks / languages / remoteFiles above.
    DeviceLists lists;
    // The stream connections' buffers (STREAM_BUFFER_SIZE each, made on the first data). They belong to
    // the device, not to a run: a restarted session reuses them (only the stream thread of the running run
    // touches them), so restarts never leave 2 MB blocks behind in the allocator's per-thread arenas.
    MallocPtr<uint8_t> liveBuffer;
    MallocPtr<uint8_t> playbackBuffer;
    // Descriptors the running run holds reserved in the descriptor account (0 between runs).
    std::atomic<long> reservedDescriptors;
};
