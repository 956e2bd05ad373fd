#include "media/main_window_state.h"

#include "platform/audio/sound_buffer.h"

MainWindowState g_mainWindowState;

namespace {
// Four 16-bit coordinates in one word.
uint64_t Pack(const VideoRect& r) {
    auto field = [](int32_t v, int shift) {
        return static_cast<uint64_t>(static_cast<uint16_t>(v)) << shift;
    };
    return field(r.left, 0) | field(r.top, 16) | field(r.right, 32) | field(r.bottom, 48);
}
int32_t Field(uint64_t word, int shift) {
    return static_cast<int16_t>(static_cast<uint16_t>(word >> shift));
}
}  // namespace

void MainWindowState::SetScreenRect(int screen, const VideoRect& rect) {
    if (screen >= 0 && screen < MAIN_SCREEN_COUNT)
        m_rcScreen[screen].store(Pack(rect));
}

VideoRect MainWindowState::ScreenRect(int screen) const {
    if (screen < 0 || screen >= MAIN_SCREEN_COUNT)
        return VideoRect{0, 0, 0, 0};
    uint64_t word = m_rcScreen[screen].load();
    return VideoRect{Field(word, 0), Field(word, 16), Field(word, 32), Field(word, 48)};
}

int32_t LiveVolume(int sliderPosition, int muted) {
    return muted ? SOUND_VOLUME_MIN : (sliderPosition - 50) * 100;
}

bool MainWindowPlaybackOpen() {
    return g_mainWindowState.m_bPlaybackOpen.load() != 0;
}
