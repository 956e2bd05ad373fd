#include "media/record_thread.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstring>

#include "core/file_helpers.h"
#include "core/window_messages.h"
#include "dvr/device_tree_node.h"
#include "dvr/dvr_device.h"
#include "media/main_window_state.h"
#include "media/record_storage.h"
#include "media/screen_slot.h"
#include "media/thread_wait.h"
#include "platform/avi/avi_writer.h"
#include "platform/system/paths.h"
#include "platform/system/thread_queue.h"
#include "platform/system/window_post.h"

namespace {

constexpr int32_t DVR_CODEC_H264 = 17;

bool ValidSlot(int slot) {
    if (slot < 0 || slot >= GRID_SCREEN_COUNT)
        return false;
    const ScreenSlot& s = g_screenSlots[slot];
    return s.recordVideoQueue && s.recordAudioQueue && s.aviWriter;
}

// A video header the writer can store: a picture size of 1 .. AVI_MAX_PICTURE_SIDE each way (the
// height may be negative) and a frame rate above 0.
bool StorableVideoHeader(const VideoStreamHeader& h) {
    return h.width >= 1 && h.width <= AVI_MAX_PICTURE_SIDE && h.height != 0 &&
           h.height >= -AVI_MAX_PICTURE_SIDE && h.height <= AVI_MAX_PICTURE_SIDE && h.frameRate > 0;
}

// A sample rate the wave format can store (its bytes per second are twice the rate).
bool StorableAudioHeader(const AudioStreamHeader& h) {
    return h.sampleRate >= 1 && h.sampleRate <= static_cast<uint32_t>(INT32_MAX);
}

// The video format of the current header; all zero without a header (no file can be begun).
void BuildVideoFormat(RecordThreadState* state) {
    BITMAPINFOHEADER& f = state->videoFormat;
    f = BITMAPINFOHEADER{};
    if (state->videoHeader.width == 0)
        return;
    f.biSize = sizeof(BITMAPINFOHEADER);
    f.biWidth = state->videoHeader.width;
    f.biHeight = state->videoHeader.height < 0 ? -state->videoHeader.height : state->videoHeader.height;
    f.biPlanes = 1;
    f.biCompression = state->videoHeader.codecType == DVR_CODEC_H264 ? FOURCC_H264 : FOURCC_XVID;
}

// The audio format of the current header; all zero without a header (files have video only).
void BuildAudioFormat(RecordThreadState* state) {
    WAVEFORMATEX& f = state->audioFormat;
    f = WAVEFORMATEX{};
    if (state->audioHeader.sampleRate == 0)
        return;
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = 1;
    f.nSamplesPerSec = state->audioHeader.sampleRate;
    f.nAvgBytesPerSec = state->audioHeader.sampleRate * 2;
    f.nBlockAlign = 2;
    f.wBitsPerSample = 16;
}

// Takes the header a node carries; true when it changes the stream's format. A DVR repeats its headers
// (before every key frame): the same header again continues the file. A header the writer cannot store
// counts as no header at all.
template <typename Header>
bool TakeHeader(const FrameNode* node, Header* current, bool (*storable)(const Header&)) {
    if (node->header == nullptr || node->header->length == 0 || node->header->data == nullptr)
        return false;
    Header next = *current;
    ApplyStreamHeaderBlock(&next, node->header->data, node->header->length);
    if (!storable(next))
        next = Header{};
    bool changed = std::memcmp(&next, current, sizeof next) != 0;
    *current = next;
    return changed;
}

// The DVR name the slot copied when its channel was assigned (the session record is never read here).
QString DvrName(ScreenSlot& slot) {
    std::lock_guard<std::mutex> guard(slot.lock);
    qsizetype length = 0;
    while (length < static_cast<qsizetype>(std::size(slot.dvrName)) && slot.dvrName[length] != 0)
        ++length;
    return QString::fromUtf16(slot.dvrName, length);
}

void PostDiskFull(RecordThreadState* state) {
    if (state->diskFullPosted)
        return;
    state->diskFullPosted = true;
    PostMessage(g_mainWindowState.m_hWnd.load(), WM_RECORD_DISKFULL, 1, 0);
}

void CloseFile(ScreenSlot& slot, RecordStorage* storage, RecordThreadState* state) {
    // A file whose bytes or index could not all be written is a failed write too.
    if (slot.aviWriter->Close() != 0)
        PostDiskFull(state);
    if (!state->path.isEmpty() && storage != nullptr)
        storage->EndFile(state->path);
    state->path.clear();
    state->fileOpen = false;
    state->audioStream = false;
    state->fileDevice = nullptr;
    state->fileChannel = -1;
}

// A packet the file could not take (no room on the disk, or the disk failed): the file is closed with
// what it holds and its index, the operator is told, and the next video packet begins a new file.
void WriteFailed(ScreenSlot& slot, RecordStorage* storage, RecordThreadState* state) {
    // A file that could not take even its first picture holds nothing worth keeping.
    if (slot.aviWriter->VideoFrames() == 0)
        slot.aviWriter->Discard();
    CloseFile(slot, storage, state);
    PostDiskFull(state);
}

// Opens the writer's file with its streams. 0, or -1 (nothing left on disk).
int OpenStreams(AviWriter* writer, const QString& native, RecordThreadState* state) {
    if (state->videoFormat.biSize == 0 || writer->Open(QFile::encodeName(native).toStdString()) != 0)
        return -1;
    // Without an audio header yet the file has video only; the first audio header begins a file with both.
    static const WAVEFORMATEX kNoAudio{};
    state->audioStream = std::memcmp(&state->audioFormat, &kNoAudio, sizeof kNoAudio) != 0;
    if (writer->AddVideoStream(state->videoHeader.frameRate, state->videoFormat) != 0 ||
        (state->audioStream &&
         writer->AddAudioStream(static_cast<int32_t>(state->audioFormat.nSamplesPerSec), state->audioFormat,
                                sizeof(WAVEFORMATEX) + state->audioFormat.cbSize) != 0)) {
        writer->Discard();
        return -1;
    }
    return 0;
}

// Begins a new file with a video packet as its first frame; the packet is dropped when no file can be
// begun (the next video packet tries again).
void BeginFile(int index, RecordStorage* storage, RecordThreadState* state, int64_t halfHour,
               const FrameBuffer* payload) {
    ScreenSlot& slot = g_screenSlots[index];
    CloseFile(slot, storage, state);
    slot.lastSplitTime = static_cast<int32_t>(halfHour);
    DVRDevice* device = nullptr;
    int channel = -1;
    if (!SlotShows(slot, &device, &channel) || state->videoFormat.biSize == 0)
        return;
    // A drive letter the drive map does not know would put the file below the working folder: that
    // counts as no disk.
    QString path;
    if (storage == nullptr || storage->MakeRecordPath(DvrName(slot), channel, &path) != 0 ||
        !QDir::isAbsolutePath(ToNativePath(path))) {
        PostDiskFull(state);
        return;
    }
    // The day folder counts as in use from before it is made, so the clean-up never deletes it under
    // the file about to be begun.
    storage->BeginFile(path);
    if (CreateDirectoryPath(path) == 0) {
        storage->EndFile(path);
        PostDiskFull(state);
        return;
    }
    const QString native = ToNativePath(path);
    // A file of the same name (begun in the same second) moves aside; an existing file is never replaced.
    // This happens at nearly every start: the first audio header cuts the file the first picture began.
    bool free = !QFileInfo::exists(native);
    if (!free) {
        const QString aside = path + QStringLiteral(".avi");
        free = !QFileInfo::exists(ToNativePath(aside)) && ShellRenameFile(path, aside) != 0 &&
               !QFileInfo::exists(native);
    }
    // A file that cannot be begun on a disk with no room left is told like a path the storage lacks.
    if (!free || OpenStreams(slot.aviWriter.get(), native, state) != 0) {
        storage->EndFile(path);
        PostDiskFull(state);
        return;
    }
    state->fileOpen = true;
    state->path = path;
    state->fileDevice = device;
    state->fileChannel = channel;
    // A run of failures ends once a file took its first picture.
    if (slot.aviWriter->WriteVideo(payload->data, payload->length) != 0)
        WriteFailed(slot, storage, state);
    else
        state->diskFullPosted = false;
}

bool SlotStillShows(ScreenSlot& slot, const RecordThreadState* state) {
    DVRDevice* device = nullptr;
    int channel = -1;
    return SlotShows(slot, &device, &channel) && device == state->fileDevice && channel == state->fileChannel;
}

}  // namespace

int RecordSlotTurn(int index, RecordStorage* storage, RecordThreadState* state) {
    if (!ValidSlot(index) || state == nullptr)
        return -1;
    ScreenSlot& slot = g_screenSlots[index];
    FrameNode* video = nullptr;
    FrameNode* audio = nullptr;
    if (slot.recordVideoQueue->PopReady(&video) != 0)
        video = nullptr;
    if (slot.recordAudioQueue->PopReady(&audio) != 0)
        audio = nullptr;
    if (video == nullptr && audio == nullptr) {
        // A screen that no longer shows the channel keeps no file open.
        if (state->fileOpen && !SlotStillShows(slot, state))
            CloseFile(slot, storage, state);
        return 0;
    }
    bool newHeader = false;
    if (video != nullptr && TakeHeader(video, &state->videoHeader, StorableVideoHeader)) {
        BuildVideoFormat(state);
        newHeader = true;
    }
    if (audio != nullptr && TakeHeader(audio, &state->audioHeader, StorableAudioHeader)) {
        BuildAudioFormat(state);
        newHeader = true;
    }
    const int64_t now = RecordClockNow();
    const int64_t rem = ((now % RECORD_FILE_SECONDS) + RECORD_FILE_SECONDS) % RECORD_FILE_SECONDS;
    // A file holds one half hour: it is cut once the clock is in another half hour than the one it was
    // begun in, also when no packet came in the boundary second itself.
    if (state->fileOpen && (newHeader || now - rem != slot.lastSplitTime))
        CloseFile(slot, storage, state);
    if (video != nullptr) {
        const FrameBuffer* payload = video->payload;
        if (payload == nullptr || payload->length == 0) {
            CloseFile(slot, storage, state);  // the end marker
        } else {
            if (state->fileOpen && !SlotStillShows(slot, state))
                CloseFile(slot, storage, state);
            if (state->fileOpen) {
                if (slot.aviWriter->WriteVideo(payload->data, payload->length) != 0)
                    WriteFailed(slot, storage, state);
            } else {
                BeginFile(index, storage, state, now - rem, payload);
            }
        }
        slot.recordVideoQueue->ReleaseNode(video);
    }
    if (audio != nullptr) {
        const FrameBuffer* payload = audio->payload;
        const int32_t samples = static_cast<int32_t>(state->audioHeader.sampleRate / 4);
        if (payload != nullptr && payload->length > 0 && state->fileOpen && state->audioStream &&
            samples > 0 && slot.aviWriter->WriteAudio(samples, payload->data, payload->length) != 0)
            WriteFailed(slot, storage, state);
        slot.recordAudioQueue->ReleaseNode(audio);
    }
    return 1;
}

void EndSlotRecording(int index, RecordStorage* storage, RecordThreadState* state) {
    if (ValidSlot(index) && state != nullptr)
        CloseFile(g_screenSlots[index], storage, state);
}

unsigned RecordThread(void* arg) {
    const int index = static_cast<int>(reinterpret_cast<intptr_t>(arg));
    RecordStorage* storage = g_recordStorage.get();
    if (!ValidSlot(index) || storage == nullptr)
        return static_cast<unsigned>(-1);
    RecordThreadState state;
    ScreenSlot& slot = g_screenSlots[index];
    FrameQueue* videoQueue = slot.recordVideoQueue.get();
    FrameQueue* audioQueue = slot.recordAudioQueue.get();
    PrepareFrameWait(videoQueue, audioQueue);
    // Ready packets are drained at once, so a busy stream never overflows its queue. Between them the
    // thread sleeps until a packet (or the end marker) is pushed, the slot's channel changes (a screen that
    // no longer shows the channel closes its file even when no packet comes) or the thread is stopped.
    for (;;) {
        const int took = RecordSlotTurn(index, storage, &state);
        if (took <= 0)
            WaitForFrames(videoQueue, audioQueue, -1);
        if (QuitRequested(0))
            break;
    }
    EndSlotRecording(index, storage, &state);
    return 0;
}
