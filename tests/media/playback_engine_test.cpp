// The playback engine: speed labels, the label picture's size rule, its corner placement and blending,
// and a decoded picture presented with its label, its latest-frame copy and the slot state.

#include "media/playback_engine.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dvr/dvr_records.h"
#include "media/audio_player.h"
#include "media/overlay_text.h"
#include "media/pixel_color.h"
#include "media/pixel_routines.h"
#include "platform/audio/sound_buffer.h"

namespace {

std::u16string Label(int code) {
    char16_t text[16] = {};
    if (!FormatSpeedLabel(code, text, 16))
        return u"";
    return text;
}

TEST(SpeedLabel, EveryCodeHasItsLabel) {
    const struct {
        int code;
        const char16_t* label;
    } cases[] = {{0, u""},     {1, u"1/32X"}, {2, u"1/16X"}, {3, u"1/8X"}, {4, u"1/4X"},
                 {5, u"1/2X"}, {6, u"1X"},    {7, u"2X"},    {8, u"4X"},   {9, u"8X"},
                 {10, u"16X"}, {11, u"32X"},  {12, u""},     {-1, u""}};
    for (const auto& c : cases)
        EXPECT_EQ(Label(c.code), std::u16string(c.label)) << "code " << c.code;
}

TEST(OverlaySize, TextSizeGetsAMarginRoundedToTheBlockGrid) {
    const struct {
        SIZE text;
        SIZE picture;
    } cases[] = {{{40, 13}, {48, 14}},
                 {{39, 12}, {40, 14}},
                 {{47, 13}, {48, 14}},
                 {{48, 14}, {56, 16}},
                 {{1, 1}, {8, 2}}};
    for (const auto& c : cases) {
        SIZE got = OverlayPictureSize(c.text);
        EXPECT_EQ(got.cx, c.picture.cx) << c.text.cx << "x" << c.text.cy;
        EXPECT_EQ(got.cy, c.picture.cy) << c.text.cx << "x" << c.text.cy;
    }
}

TEST(OverlayPlace, CornersOffsetsAndClipping) {
    const struct {
        int corner, w, h, W, H, dx, dy;
        int result, x, y, placedW, placedH;
    } cases[] = {
        {0, 48, 14, 352, 288, 0, 0, 1, 0, 0, 48, 14},
        {1, 48, 14, 352, 288, 5, 3, 1, 5, 271, 48, 14},
        {2, 48, 14, 352, 288, 5, 3, 1, 299, 3, 48, 14},
        {3, 48, 14, 352, 288, 0, 0, 1, 304, 274, 48, 14},
        // Larger than the picture: placed at 0 and clipped to it.
        {3, 400, 300, 352, 288, 0, 0, 1, 0, 0, 352, 288},
        // An offset that pushes it out: clipped at the far edge.
        {0, 48, 14, 352, 288, 340, 280, 1, 340, 280, 12, 8},
        {4, 48, 14, 352, 288, 0, 0, 0, 0, 0, 48, 14},
        {-1, 48, 14, 352, 288, 0, 0, 0, 0, 0, 48, 14},
    };
    for (const auto& c : cases) {
        POINT at{0, 0};
        int w = c.w, h = c.h;
        EXPECT_EQ(PlaceOverlay(&at, c.corner, &w, &h, c.W, c.H, c.dx, c.dy), c.result)
            << "corner " << c.corner;
        if (c.result == 0)
            continue;
        EXPECT_EQ(at.x, c.x) << "corner " << c.corner;
        EXPECT_EQ(at.y, c.y) << "corner " << c.corner;
        EXPECT_EQ(w, c.placedW) << "corner " << c.corner;
        EXPECT_EQ(h, c.placedH) << "corner " << c.corner;
    }
}

// A width x height I420 picture filled with one colour.
std::vector<uint8_t> Plain(int width, int height, uint8_t y, uint8_t u, uint8_t v) {
    std::vector<uint8_t> p(I420Size(width, height));
    size_t luma = static_cast<size_t>(width) * height;
    std::memset(p.data(), y, luma);
    std::memset(p.data() + luma, u, luma / 4);
    std::memset(p.data() + luma + luma / 4, v, luma / 4);
    return p;
}

uint8_t& LumaAt(std::vector<uint8_t>& p, int width, int x, int y) {
    return p[static_cast<size_t>(y) * width + x];
}
uint8_t& UAt(std::vector<uint8_t>& p, int width, int height, int cx, int cy) {
    return p[static_cast<size_t>(width) * height + static_cast<size_t>(cy) * (width / 2) + cx];
}

TEST(OverlayBlend, KeyPixelsStayOthersAreWrittenWithTheirBlockChroma) {
    const OverlayKeyColor key = MakeOverlayKeyColor();
    ASSERT_EQ(key.y, 0);
    ASSERT_EQ(key.u, 128);
    ASSERT_EQ(key.v, 128);
    // A 4 x 2 overlay: its left 2 x 2 block is the key, its right block has one key pixel of four.
    std::vector<uint8_t> overlay = Plain(4, 2, 0, 128, 128);
    LumaAt(overlay, 4, 2, 0) = 200;
    LumaAt(overlay, 4, 3, 0) = 201;
    LumaAt(overlay, 4, 2, 1) = 202;
    UAt(overlay, 4, 2, 1, 0) = 60;
    overlay[8 + 2 + 1] = 70;  // V of block 1
    std::vector<uint8_t> picture = Plain(8, 8, 100, 90, 91);
    ASSERT_EQ(
        BlendOverlayI420(OSD_CORNER_BOTTOM_RIGHT, &key, picture.data(), 8, 8, overlay.data(), 4, 2, 0, 0), 0);
    // Placed at (4, 6): the key block leaves (4..5, 6..7) alone.
    EXPECT_EQ(LumaAt(picture, 8, 4, 6), 100);
    EXPECT_EQ(LumaAt(picture, 8, 5, 7), 100);
    EXPECT_EQ(LumaAt(picture, 8, 6, 6), 200);
    EXPECT_EQ(LumaAt(picture, 8, 7, 6), 201);
    EXPECT_EQ(LumaAt(picture, 8, 6, 7), 202);
    EXPECT_EQ(LumaAt(picture, 8, 7, 7), 0) << "a key luma in a coloured block differs from the key triple";
    EXPECT_EQ(UAt(picture, 8, 8, 2, 3), 90) << "key block's chroma untouched";
    EXPECT_EQ(UAt(picture, 8, 8, 3, 3), 60);
    EXPECT_EQ(picture[64 + 16 + 3 * 4 + 3], 70);
    EXPECT_EQ(LumaAt(picture, 8, 0, 0), 100);

    // Errors and nothing to draw.
    EXPECT_EQ(BlendOverlayI420(7, &key, picture.data(), 8, 8, overlay.data(), 4, 2, 0, 0), -1);
    std::vector<uint8_t> before = picture;
    EXPECT_EQ(BlendOverlayI420(0, &key, picture.data(), 8, 8, overlay.data(), 4, 1, 0, 0), 0);
    EXPECT_EQ(picture, before) << "an overlay of height 1 draws nothing";
}

TEST(OverlayText, LabelIsColouredOnATransparentMargin) {
    LOGFONTW font{};
    font.lfHeight = -10;
    font.lfWeight = 700;
    uint8_t* picture = nullptr;
    int32_t width = 0, height = 0;
    ASSERT_EQ(RenderOverlayTextI420(&picture, &width, &height, 0x00FF00, u"4X", &font), 0);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(width % 8, 0);
    EXPECT_EQ(height % 2, 0);
    EXPECT_GT(width, 8);
    const OverlayKeyColor key = MakeOverlayKeyColor();
    std::vector<uint8_t> p(picture, picture + I420Size(width, height));
    std::free(picture);
    // The last column is margin: it is the key. Somewhere the text is bright green.
    for (int y = 0; y < height; ++y)
        EXPECT_EQ(LumaAt(p, width, width - 1, y), key.y) << "row " << y;
    bool green = false;
    size_t luma = static_cast<size_t>(width) * height;
    for (int by = 0; by < height / 2; ++by)
        for (int bx = 0; bx < width / 2; ++bx) {
            uint8_t u = p[luma + by * (width / 2) + bx];
            uint8_t v = p[luma + luma / 4 + by * (width / 2) + bx];
            uint8_t y = LumaAt(p, width, bx * 2, by * 2);
            if (pixel::GFromYuv(y, u, v) > 120 && pixel::RFromYuv(y, v) < 60 && pixel::BFromYuv(y, u) < 60)
                green = true;
        }
    EXPECT_TRUE(green);
    // No text: no label, and the buffer given is kept.
    uint8_t* kept = nullptr;
    EXPECT_EQ(RenderOverlayTextI420(&kept, &width, &height, 0x00FF00, u"", &font), -1);
    EXPECT_EQ(kept, nullptr);
}

class PlaybackEngine : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(InitPlaybackChannels(&view), 0); }
    void TearDown() override { FreePlaybackChannels(); }
    PlaybackView view;
};

TEST_F(PlaybackEngine, PresentedFrameCarriesTheLabelBottomRightAndKeepsACopy) {
    const int w = 352, h = 288;
    std::vector<uint8_t> picture = Plain(w, h, 100, 128, 128);
    ASSERT_EQ(PresentPlaybackFrame(3, picture.data(), picture.size(), w, h, 8), 0);
    ScreenSlot& slot = g_playbackChannels[3];
    ASSERT_NE(slot.osdImage, nullptr);
    int changedInCorner = 0, changedElsewhere = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            bool inCorner = x >= w - slot.osdImageWidth && y >= h - slot.osdImageHeight;
            if (LumaAt(picture, w, x, y) != 100)
                ++(inCorner ? changedInCorner : changedElsewhere);
        }
    EXPECT_GT(changedInCorner, 0);
    EXPECT_EQ(changedElsewhere, 0);
    {
        std::lock_guard<std::mutex> guard(slot.lastFrameLock);
        EXPECT_NE(slot.lastFrame, nullptr);
        EXPECT_EQ(slot.lastFrameWidth, w);
    }
    // Speed 0 keeps the label that exists; another slot without a speed has none.
    std::vector<uint8_t> next = Plain(w, h, 100, 128, 128);
    ASSERT_EQ(PresentPlaybackFrame(3, next.data(), next.size(), w, h, 0), 0);
    EXPECT_NE(next, Plain(w, h, 100, 128, 128));
    std::vector<uint8_t> other = Plain(w, h, 100, 128, 128);
    ASSERT_EQ(PresentPlaybackFrame(4, other.data(), other.size(), w, h, 0), 0);
    EXPECT_EQ(other, Plain(w, h, 100, 128, 128));
    EXPECT_EQ(PresentPlaybackFrame(4, nullptr, 0, w, h, 8), 0);
    EXPECT_EQ(g_playbackChannels[4].osdImage, nullptr);
}

TEST_F(PlaybackEngine, ReopeningStartsFromEmptySlots) {
    const int values[6] = {1, 8, 1000, 3600, 25, 900};
    StorePlaybackState(5, values);
    StorePlaybackState(16, values);  // outside the screens: ignored
    {
        std::lock_guard<std::mutex> guard(g_playbackChannels[5].lock);
        EXPECT_EQ(g_playbackChannels[5].playState, 1);
        EXPECT_EQ(g_playbackChannels[5].playSpeed, 8);
        EXPECT_EQ(g_playbackChannels[5].playBegin, 1000);
        EXPECT_EQ(g_playbackChannels[5].playDuration, 3600);
        EXPECT_EQ(g_playbackChannels[5].playPosition, 25);
        EXPECT_EQ(g_playbackChannels[5].playDayStart, 900);
    }
    std::vector<uint8_t> picture = Plain(16, 16, 100, 128, 128);
    ASSERT_EQ(PresentPlaybackFrame(5, picture.data(), picture.size(), 16, 16, 0), 0);
    EXPECT_NE(PlaybackSlotQueue(5, true), nullptr);
    EXPECT_EQ(PlaybackDialogWindow(), view.m_hWnd.load());
    FreePlaybackChannels();
    EXPECT_EQ(PlaybackSlotQueue(5, true), nullptr);
    EXPECT_EQ(g_playbackDialog.load(), nullptr);
    ASSERT_EQ(InitPlaybackChannels(&view), 0);
    ScreenSlot& slot = g_playbackChannels[5];
    std::lock_guard<std::mutex> guard(slot.lastFrameLock);
    EXPECT_EQ(slot.lastFrame, nullptr);
    EXPECT_EQ(slot.playState, 0);
    EXPECT_EQ(slot.osdCorner, OSD_CORNER_BOTTOM_RIGHT);
    EXPECT_EQ(slot.osdColor, 0x00FF00u);
}

// The end of a DVR's session stops the screens that play its recordings, and only those.
TEST_F(PlaybackEngine, AnEndedSessionStopsTheScreensThatPlayItsRecordings) {
    auto* lost = reinterpret_cast<DVRDevice*>(uintptr_t{0x1000});
    auto* other = reinterpret_cast<DVRDevice*>(uintptr_t{0x2000});
    const struct {
        DVRDevice* device;
        int32_t state;
        int32_t after;
    } screens[] = {
        {lost, PLAYBACK_STATE_PLAYING, PLAYBACK_STATE_STOPPED},
        {lost, PLAYBACK_STATE_PAUSED, PLAYBACK_STATE_STOPPED},
        {lost, PLAYBACK_STATE_SPEED, PLAYBACK_STATE_STOPPED},
        {lost, PLAYBACK_STATE_IDLE, PLAYBACK_STATE_IDLE},
        {lost, PLAYBACK_STATE_STOPPED, PLAYBACK_STATE_STOPPED},
        {other, PLAYBACK_STATE_PLAYING, PLAYBACK_STATE_PLAYING},
    };
    for (int s = 0; s < 6; ++s) {
        std::lock_guard<std::mutex> guard(g_playbackChannels[s].lock);
        g_playbackChannels[s].device = screens[s].device;
        g_playbackChannels[s].playState = screens[s].state;
        g_playbackChannels[s].playPosition = 25;
    }
    EXPECT_EQ(StopDevicePlayback(lost), 0x7u);
    EXPECT_EQ(StopDevicePlayback(lost), 0u);  // told once
    EXPECT_EQ(StopDevicePlayback(nullptr), 0u);
    for (int s = 0; s < 6; ++s) {
        std::lock_guard<std::mutex> guard(g_playbackChannels[s].lock);
        EXPECT_EQ(g_playbackChannels[s].playState, screens[s].after) << s;
        g_playbackChannels[s].device = nullptr;
    }
}

TEST_F(PlaybackEngine, OnlyTheSelectedScreenIsHeard) {
    SetSoundBackend(SOUND_BACKEND_CAPTURE);
    std::vector<uint8_t> pcm(640, 1);
    view.m_nCurScreen.store(2);
    auto format = [&] {
        std::lock_guard<std::mutex> guard(view.audio.lock);
        return view.audio.format.sampleRate;
    };
    auto playing = [&] {
        std::lock_guard<std::mutex> guard(view.audio.lock);
        return view.audio.player != nullptr && view.audio.player->IsPlaying() != 0;
    };
    // Another screen's packet changes nothing, not even the format.
    EXPECT_EQ(PlayPlaybackAudio(1, 3, pcm.data(), pcm.size(), 11025, 16), 0);
    EXPECT_EQ(format(), 8000u);
    EXPECT_FALSE(playing());
    // The selected screen's packet replaces the player for its format and starts it.
    EXPECT_EQ(PlayPlaybackAudio(1, 2, pcm.data(), pcm.size(), 11025, 16), 0);
    EXPECT_EQ(format(), 11025u);
    EXPECT_TRUE(playing());
    // An empty packet stops it; the next packet starts it again.
    EXPECT_EQ(PlayPlaybackAudio(1, 2, nullptr, 0, 11025, 16), 0);
    EXPECT_EQ(PlayPlaybackAudio(1, 2, pcm.data(), pcm.size(), 11025, 16), 0);
    EXPECT_TRUE(playing());
    // Selecting another screen moves the sound to it at its next packet.
    StopAudioOutput(view.audio);
    view.m_nCurScreen.store(3);
    EXPECT_EQ(PlayPlaybackAudio(1, 2, pcm.data(), pcm.size(), 11025, 16), 0);
    EXPECT_FALSE(playing());
    EXPECT_EQ(PlayPlaybackAudio(1, 3, pcm.data(), pcm.size(), 8000, 16), 0);
    EXPECT_EQ(format(), 8000u);
    EXPECT_TRUE(playing());
    FreePlaybackChannels();
    SetSoundBackend(SOUND_BACKEND_AUTO);
    ASSERT_EQ(InitPlaybackChannels(&view), 0);
}

TEST(PlaybackThreadStart, FailsAtOnceWithoutItsSlot) {
    EXPECT_EQ(PlaybackThread(reinterpret_cast<void*>(intptr_t{16})), static_cast<unsigned>(-1));
}

}  // namespace
