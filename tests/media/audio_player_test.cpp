// The audio player's buffer, write cursor, quarter notifications, volume and silence through the
// capture backend.

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

#include "core/window_messages.h"
#include "media/audio_player.h"
#include "platform/audio/sound_buffer.h"
#include "platform/audio/sound_capture.h"
#include "tests/media/window_posts.h"

namespace {

HWND TestWindow() {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(0x51));
}

class AudioPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetSoundBackend(SOUND_BACKEND_CAPTURE);
        sound_capture::Reset();
    }
    void TearDown() override { SetSoundBackend(SOUND_BACKEND_AUTO); }
    // A player made the way every owner makes one, for two seconds of sound.
    static std::unique_ptr<AudioPlayer> MakePlayer(int bits, int rate, int channels) {
        auto player = std::make_unique<AudioPlayer>();
        player->SetWindow(TestWindow());
        if (player->SetFormat(bits, rate, channels) != 1)
            return nullptr;
        if (player->CreateBuffer(static_cast<uint32_t>(bits / 8 * channels * 2 * rate)) != 1)
            return nullptr;
        return player;
    }
};

TEST_F(AudioPlayerTest, TwoSecondBuffersKeepQuartersOnWholeBlocks) {
    struct Case {
        int bits, rate, channels;
        uint32_t size;
    };
    const Case cases[] = {
        {16, 8000, 1, 32000}, {16, 8000, 3, 96000}, {16, 11025, 2, 88208}, {8, 8000, 1, 16000}};
    for (const Case& c : cases) {
        auto player = MakePlayer(c.bits, c.rate, c.channels);
        ASSERT_NE(player, nullptr);
        EXPECT_EQ(player->BufferSize(), c.size) << c.bits << " bits " << c.rate << " Hz " << c.channels;
    }
}

TEST_F(AudioPlayerTest, AbsurdFormatsAreRefused) {
    AudioPlayer player;
    EXPECT_EQ(player.SetFormat(16, 8000, 0), 0);
    EXPECT_EQ(player.SetFormat(4, 8000, 1), 0);
    EXPECT_EQ(player.SetFormat(16, 0, 1), 0);
    EXPECT_EQ(player.SetFormat(16, 4000000, 1), 0);
    EXPECT_EQ(player.SetFormat(16, 8000, 200), 0);
    EXPECT_EQ(player.CreateBuffer(32000), 0);  // no format yet
    uint32_t taken = 99;
    const uint8_t pcm[4] = {};
    EXPECT_EQ(player.Write(pcm, 4, &taken), 0);
    EXPECT_EQ(taken, 0u);
    EXPECT_EQ(player.Play(), 0);
}

TEST_F(AudioPlayerTest, PacketsPastTheEndAreCutAndTheCursorWraps) {
    auto player = MakePlayer(16, 8000, 1);
    ASSERT_NE(player, nullptr);
    std::vector<uint8_t> packet(10000, 1);
    uint32_t taken = 0;
    for (int i = 0; i < 3; ++i)
        player->Write(packet.data(), 10000, &taken);
    EXPECT_EQ(player->WriteCursor(), 30000u);
    std::vector<uint8_t> last(4000, 2);
    player->Write(last.data(), 4000, &taken);
    EXPECT_EQ(taken, 2000u);
    EXPECT_EQ(player->WriteCursor(), 0u);
    // A broken last sample: the cursor stays on a sample boundary.
    player->Write(last.data(), 801, &taken);
    EXPECT_EQ(taken, 801u);
    EXPECT_EQ(player->WriteCursor(), 802u);
}

TEST_F(AudioPlayerTest, QuartersPlayedArePostedToTheOwner) {
    WindowPostRecorder posts;
    auto player = MakePlayer(16, 8000, 1);
    ASSERT_NE(player, nullptr);
    ASSERT_EQ(player->Play(), 1);
    EXPECT_EQ(player->IsPlaying(), 1);
    sound_capture::Grant(16000);  // half the buffer
    ASSERT_TRUE(posts.WaitFor(WM_AUDIO_NOTIFY_POSITION, 2, 2000));
    ASSERT_EQ(player->Stop(), 1);
    EXPECT_EQ(player->IsPlaying(), 0);
    ASSERT_TRUE(posts.WaitFor(WM_AUDIO_NOTIFY_STOP, 1, 2000));
    EXPECT_EQ(posts.CountOf(WM_AUDIO_NOTIFY_POSITION), 2u);
    for (const RecordedPost& p : posts.Posts()) {
        EXPECT_EQ(p.hwnd, TestWindow());
        EXPECT_EQ(p.wParam, reinterpret_cast<WPARAM>(player.get()));
    }
}

TEST_F(AudioPlayerTest, PlaysWhatWasWrittenAtTheVolumeSetAndSilenceElsewhere) {
    auto player = MakePlayer(16, 8000, 1);
    ASSERT_NE(player, nullptr);
    std::vector<int16_t> tone(160, 8000);
    uint32_t taken = 0;
    player->Write(reinterpret_cast<const uint8_t*>(tone.data()), 320, &taken);
    player->SetVolume(-600);
    player->Play();
    sound_capture::Grant(640);
    ASSERT_TRUE(sound_capture::WaitPlayed(640, 2000));
    std::vector<uint8_t> played = sound_capture::Played();
    int16_t first = 0, after = 0;
    std::memcpy(&first, played.data(), 2);
    std::memcpy(&after, played.data() + 320, 2);
    EXPECT_EQ(first, 4009);  // 8000 x 10^(-6/20) = 4009.5, toward zero
    EXPECT_EQ(after, 0);
}

TEST_F(AudioPlayerTest, DeletingAPlayingPlayerEndsPromptly) {
    auto start = std::chrono::steady_clock::now();
    auto player = MakePlayer(16, 8000, 1);
    ASSERT_NE(player, nullptr);
    player->Play();
    player.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(AUDIO_NOTIFY_STOP_WAIT_MS));
}

}  // namespace
