#include "media/main_window_state.h"

#include "platform/audio/sound_buffer.h"

MainWindowState g_mainWindowState;

void MainWindowState::SetScreenRect(int screen, const VideoRect& rect) {
    if (screen >= 0 && screen < MAIN_SCREEN_COUNT)
        m_rcScreen[screen].Store(rect);
}

VideoRect MainWindowState::ScreenRect(int screen) const {
    if (screen < 0 || screen >= MAIN_SCREEN_COUNT)
        return VideoRect{0, 0, 0, 0};
    return m_rcScreen[screen].Load();
}

int32_t LiveVolume(int sliderPosition, int muted) {
    return muted ? SOUND_VOLUME_MIN : (sliderPosition - 50) * 100;
}

bool MainWindowPlaybackOpen() {
    return g_mainWindowState.m_bPlaybackOpen.load() != 0;
}
