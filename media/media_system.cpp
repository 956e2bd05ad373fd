#include "media/media_system.h"

#include <QImage>
#include <new>

#include "core/disk_list.h"
#include "core/language_list.h"
#include "core/system_settings.h"
#include "core/tarvik_app.h"
#include "dvr/dvr_session.h"
#include "dvr/session_hooks.h"
#include "dvr/wan_client.h"
#include "media/audio_output.h"
#include "media/decode_thread.h"
#include "media/main_window_state.h"
#include "media/pixel_routines.h"
#include "media/playback_engine.h"
#include "media/record_storage.h"
#include "media/video_decoder.h"
#include "media/video_renderer.h"
#include "platform/avi/avi_writer.h"
#include "resources/resource_bitmaps.h"

I420Picture g_noVideoImage;
I420Picture g_idleImage;

namespace {

constexpr int kPictureWidth = 352;
constexpr int kPictureHeight = 288;
constexpr unsigned kNoVideoBitmap = 130;
constexpr unsigned kIdleBitmap = 274;

std::unique_ptr<FrameQueue> MakeQueue(int nodes) {
    auto* queue = new (std::nothrow) FrameQueue();
    if (queue != nullptr)
        queue->Init(nodes);
    return std::unique_ptr<FrameQueue>(queue);
}

void ClearSlot(ScreenSlot& slot) {
    ResetSlotRecords(slot);
    slot.videoQueue.reset();
    slot.audioQueue.reset();
    slot.recordVideoQueue.reset();
    slot.recordAudioQueue.reset();
    slot.aviWriter.reset();  // closes an open record file
    slot.lastSplitTime = 0;
}

int MakeSlot(int index) {
    ScreenSlot& slot = g_screenSlots[index];
    ClearSlot(slot);
    slot.videoQueue = MakeQueue(LIVE_VIDEO_QUEUE_NODES);
    if (!slot.videoQueue)
        return -1;
    if (index < GRID_SCREEN_COUNT) {
        slot.audioQueue = MakeQueue(LIVE_AUDIO_QUEUE_NODES);
        slot.recordVideoQueue = MakeQueue(LIVE_VIDEO_QUEUE_NODES);
        slot.recordAudioQueue = MakeQueue(RECORD_AUDIO_QUEUE_NODES);
        if (!slot.audioQueue || !slot.recordVideoQueue || !slot.recordAudioQueue)
            return -1;
        // A slot without a writer records nothing; that is not a failure of the start.
        slot.aviWriter.reset(new (std::nothrow) AviWriter());
    }
    slot.decoder.reset(new (std::nothrow) VideoDecoder());
    return slot.decoder ? 0 : -1;
}

// A bitmap resource as a 352 x 288 I420 picture; empty when the bitmap is missing.
I420Picture LoadBuiltInPicture(unsigned id) {
    I420Picture picture;
    QImage bitmap = LoadResourceBitmap(id);
    if (bitmap.isNull())
        return picture;
    QImage bgr = bitmap.convertToFormat(QImage::Format_BGR888)
                     .scaled(kPictureWidth, kPictureHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (bgr.isNull() || bgr.width() != kPictureWidth || bgr.height() != kPictureHeight)
        return picture;
    // Rows of the BGR picture without padding, top-down.
    std::vector<uint8_t> rows(static_cast<size_t>(kPictureWidth) * kPictureHeight * 3);
    for (int y = 0; y < kPictureHeight; ++y)
        ImgCopyMem(rows.data() + static_cast<size_t>(y) * kPictureWidth * 3, bgr.constScanLine(y),
                   kPictureWidth * 3);
    picture.data.resize(I420Size(kPictureWidth, kPictureHeight));
    ImgBgr24ToI420(picture.data.data(), rows.data(), kPictureWidth, kPictureHeight, 0);
    picture.width = kPictureWidth;
    picture.height = kPictureHeight;
    return picture;
}

// The frame parser queues playback frames only while the main window says the playback dialog is open.
// Installed before the first session starts, removed after the last one stopped; the other hooks stay.
// A restarted or freed session's slots are released by ReleaseDeviceSlots unless the main window installed
// its own releaseDeviceScreens.
void InstallMediaHooks() {
    DvrSessionHooks hooks = GetDvrSessionHooks();
    hooks.playbackOpen = MainWindowPlaybackOpen;
    if (hooks.releaseDeviceScreens == nullptr)
        hooks.releaseDeviceScreens = ReleaseDeviceSlots;
    if (hooks.storePlaybackState == nullptr)
        hooks.storePlaybackState = StorePlaybackState;
    if (hooks.stopDevicePlayback == nullptr)
        hooks.stopDevicePlayback = StopDevicePlayback;
    if (hooks.playbackDialog == nullptr)
        hooks.playbackDialog = PlaybackDialogWindow;
    SetDvrSessionHooks(&hooks);
}

void RemoveMediaHooks() {
    DvrSessionHooks hooks = GetDvrSessionHooks();
    if (hooks.playbackOpen == MainWindowPlaybackOpen)
        hooks.playbackOpen = nullptr;
    if (hooks.releaseDeviceScreens == ReleaseDeviceSlots)
        hooks.releaseDeviceScreens = nullptr;
    if (hooks.storePlaybackState == StorePlaybackState)
        hooks.storePlaybackState = nullptr;
    if (hooks.stopDevicePlayback == StopDevicePlayback)
        hooks.stopDevicePlayback = nullptr;
    if (hooks.playbackDialog == PlaybackDialogWindow)
        hooks.playbackDialog = nullptr;
    SetDvrSessionHooks(&hooks);
}

// The record disks, folder and disk-full action of the client settings, with the index folder.
RecordStorageConfig RecordStorageFromSettings() {
    RecordStorageConfig config;
    const SystemSettings& s = g_systemSettings;
    auto text = [](const char16_t* field, size_t size) {
        size_t length = 0;
        while (length < size && field[length] != 0)
            ++length;
        return QString::fromUtf16(field, static_cast<qsizetype>(length));
    };
    config.disks = text(s.RecordDisks, std::size(s.RecordDisks));
    config.recordDir = text(s.RecordDir, std::size(s.RecordDir));
    config.indexDir = theApp.m_strIndexDir;
    config.extension = QStringLiteral("avi");
    config.diskFullAction = s.DiskFullAction;
    return config;
}

}  // namespace

FrameQueue* MediaSlotQueue(int slot, SlotQueueKind kind) {
    if (slot < 0 || slot >= SCREEN_SLOT_COUNT)
        return nullptr;
    ScreenSlot& s = g_screenSlots[slot];
    switch (kind) {
        case SLOT_QUEUE_VIDEO:
            return s.videoQueue.get();
        case SLOT_QUEUE_AUDIO:
            return s.audioQueue.get();
        case SLOT_QUEUE_RECORD_VIDEO:
            return s.recordVideoQueue.get();
        case SLOT_QUEUE_RECORD_AUDIO:
            return s.recordAudioQueue.get();
        case SLOT_QUEUE_PLAYBACK_VIDEO:
        case SLOT_QUEUE_PLAYBACK_AUDIO:
            return PlaybackSlotQueue(slot, kind == SLOT_QUEUE_PLAYBACK_VIDEO);
        default:
            return nullptr;
    }
}

int InitMediaSystem() {
    for (int i = 0; i < SCREEN_SLOT_COUNT; ++i) {
        if (MakeSlot(i) != 0)
            return -1;
    }
    SetSlotQueueProvider(MediaSlotQueue);
    // The client's own disk and language lists and the empty session list. A list that cannot be built
    // completely stays as far as it got: the start goes on without it.
    BuildDiskList();
    BuildLanguageList();
    InitDeviceList();
    if (InitRelaySession() != 0)
        return -1;
    InstallMediaHooks();
    for (auto& renderer : g_renderers) {
        renderer.reset(new (std::nothrow) VideoRenderer(g_systemSettings.EnableRGB));
        if (!renderer)
            return -1;
    }
    // The live player starts with 1 channel, 8000 Hz, 16 bits and a two-second buffer.
    if (ReplaceAudioPlayer(g_liveAudio, LiveAudioFormat{1, 8000, 16}, g_mainWindowState.m_hWnd.load()) != 0)
        return -1;
    g_recordStorage.reset(new (std::nothrow) RecordStorage(RecordStorageFromSettings()));
    if (!g_recordStorage)
        return -1;
    g_noVideoImage = LoadBuiltInPicture(kNoVideoBitmap);
    g_idleImage = LoadBuiltInPicture(kIdleBitmap);
    return 0;
}

void FreeMediaSystem() {
    // The sessions' stream threads write into the slots' queues: they end before any queue is freed.
    ReleaseAndFreeDeviceList();
    FreeRelaySession();
    RemoveMediaHooks();
    SetSlotQueueProvider(nullptr);
    for (ScreenSlot& slot : g_screenSlots)
        ClearSlot(slot);
    FreeDiskList();
    FreeLanguageList();
    for (auto& renderer : g_renderers)
        renderer.reset();
    FreeAudioOutput(g_liveAudio);
    g_recordStorage.reset();
    g_noVideoImage = I420Picture{};
    g_idleImage = I420Picture{};
}

namespace {
void* SlotArg(int index) {
    return reinterpret_cast<void*>(static_cast<intptr_t>(index));
}
int Start(WorkerThreadRef* ref, WorkerRoutine routine, void* arg) {
    if (routine == nullptr)
        return 0;
    return StartWorkerThread(&ref->handle, &ref->id, routine, arg);
}
}  // namespace

int StartMediaThreads(MediaThreadTable* threads) {
    if (threads == nullptr)
        return -1;
    for (int i = 0; i < SCREEN_SLOT_COUNT; ++i) {
        if (i < GRID_SCREEN_COUNT &&
            Start(&threads->recordThreads[i], threads->recordRoutine, SlotArg(i)) != 0)
            return -1;
        if (Start(&threads->decodeThreads[i], DecodeThread, SlotArg(i)) != 0)
            return -1;
    }
    return Start(&threads->supervisorThread, threads->supervisorRoutine, nullptr);
}

int StopMediaThreads(MediaThreadTable* threads) {
    if (threads == nullptr)
        return 0;
    for (int i = 0; i < SCREEN_SLOT_COUNT; ++i) {
        if (i < GRID_SCREEN_COUNT)
            StopWorkerThread(&threads->recordThreads[i].handle, &threads->recordThreads[i].id);
        // A decode thread sleeps on its doorbell, not on its message queue: it is rung after the stop.
        WorkerThreadRef& decode = threads->decodeThreads[i];
        if (decode.handle != nullptr && decode.id != 0) {
            PostThreadMessage(decode.id, WM_QUIT, 0, 0);
            g_screenSlots[i].decodeDoorbell.Ring();
        }
        StopWorkerThread(&decode.handle, &decode.id);
    }
    StopWorkerThread(&threads->supervisorThread.handle, &threads->supervisorThread.id);
    return 0;
}
