#pragma once

// The playback engine: the 16 playback slots (one per screen of the playback dialog) with their queues,
// decoders and speed-label overlays, the playback renderer and the dialog's audio output, the playback
// thread of each screen, and the frame presentation with the speed label.
//
// The media layer never includes the dialog: what the threads read of it lives in PlaybackView, which the
// dialog owns, writes on the UI thread and publishes in g_playbackDialog while it is open.

#include <atomic>
#include <cstdint>
#include <memory>

#include "media/atomic_rect.h"
#include "media/audio_output.h"
#include "media/screen_slot.h"
#include "platform/system/win_types.h"
#include "platform/video/video_blit.h"

constexpr int PLAYBACK_CHANNEL_COUNT = 16;

// The fields of the playback dialog that the playback threads read without a lock (each an atomic: a
// thread sees whole values and may be one change behind), and the dialog's audio output, whose player and
// format one lock guards against the thread that replaces the player and the UI thread that stops it.
struct PlaybackView {
    std::atomic<HWND> m_hWnd{nullptr};  // owner of the audio player's notifications
    std::atomic<int> m_nCurScreen{0};
    std::atomic<int> m_bScreenShown[PLAYBACK_CHANNEL_COUNT] = {};
    std::atomic<int> m_nVolumePos{40};  // volume slider 0-50
    std::atomic<int> m_bMuted{0};
    AudioOutput audio;

    // Screen rectangles in the video window's coordinates.
    void SetScreenRect(int screen, const VideoRect& rect);
    VideoRect ScreenRect(int screen) const;

private:
    AtomicVideoRect m_rcScreen[PLAYBACK_CHANNEL_COUNT];
};

extern ScreenSlot g_playbackChannels[PLAYBACK_CHANNEL_COUNT];
class VideoRenderer;
extern std::unique_ptr<VideoRenderer> g_playbackRenderer;
// The open playback dialog's view, null while it is closed.
extern std::atomic<PlaybackView*> g_playbackDialog;

// Makes the 16 slots anew (queues emptied, decoders, overlay defaults), the renderer and the dialog's
// player (1 channel, 8000 Hz, 16 bits, two seconds) and publishes view. Installs the slot-state store and
// the playback queues for the frame parser. 0, or -1 at the first failure (what was made stays for
// FreePlaybackChannels). The playback threads must not run.
[[nodiscard]] int InitPlaybackChannels(PlaybackView* view);
// Frees what InitPlaybackChannels made and unpublishes the view. The playback threads have stopped.
void FreePlaybackChannels();
// The speed label's settings of one slot: bottom-right, no offsets, green, a bold 10-pixel font.
void InitPlaybackOsd(int screen);

// Thread routine; arg is the screen 0-15. 0 at WM_QUIT, -1 at once when the slot lacks its decoder or
// queues.
unsigned PlaybackThread(void* arg);
// Keeps the latest-frame copy, renders the speed label for a speed code other than 0, blends the slot's
// label into the picture and draws it when its screen is shown. Returns 0.
int PresentPlaybackFrame(int screen, uint8_t* picture, uint32_t bytes, int width, int height, int speedCode);
// Plays a packet of the selected screen on the dialog's player (other screens: nothing). 0, or -1 when a
// new player cannot be made.
int PlayPlaybackAudio(int channels, int screen, const uint8_t* data, uint32_t length, uint32_t sampleRate,
                      int bitsPerSample);

// Writes the six state values of a DVR's playback report into the slot, under its lock.
void StorePlaybackState(int window, const int32_t values[6]);
// The session of device ended: each slot that plays one of its recordings (a state other than idle or
// stopped) is marked stopped, under its lock. Bit w of the result: slot w was marked (the sessions'
// stopDevicePlayback hook).
uint32_t StopDevicePlayback(DVRDevice* device);
// The open playback dialog's window, or null (the sessions' playbackDialog hook).
HWND PlaybackDialogWindow();
// The playback slots' queues for the frame parser (null outside 0-15 or while the engine is down).
FrameQueue* PlaybackSlotQueue(int screen, bool video);
