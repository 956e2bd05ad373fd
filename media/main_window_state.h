#pragma once

// The fields of the main window that the media threads read without a lock. The main window writes them
// on the UI thread; each is an atomic, so a reader sees whole values (a screen rectangle is one word) and
// may be one screen change behind.

#include <atomic>
#include <cstdint>

#include "media/atomic_rect.h"
#include "platform/system/win_types.h"
#include "platform/video/video_blit.h"

constexpr int MAIN_SCREEN_COUNT = 64;

struct MainWindowState {
    std::atomic<int> m_bPlaybackOpen{0};  // 1 while the playback dialog is open
    std::atomic<int> m_nCurScreen{0};     // selected grid screen 0-63
    std::atomic<int> m_bScreenShown[MAIN_SCREEN_COUNT] = {};
    std::atomic<HWND> m_hWnd{nullptr};  // the main window: owner of the live audio player
    std::atomic<int> m_nVolumePos{50};  // volume slider position 0-50
    std::atomic<int> m_bMute{0};        // live audio muted

    // Screen rectangles in the video window's coordinates.
    void SetScreenRect(int screen, const VideoRect& rect);
    VideoRect ScreenRect(int screen) const;

private:
    AtomicVideoRect m_rcScreen[MAIN_SCREEN_COUNT];
};

extern MainWindowState g_mainWindowState;

// The live volume for a volume slider position: (position - 50) x 100 hundredths of a decibel, or
// silence while muted.
int32_t LiveVolume(int sliderPosition, int muted);

// Whether the playback dialog is open, for the frame parser (any thread).
bool MainWindowPlaybackOpen();
