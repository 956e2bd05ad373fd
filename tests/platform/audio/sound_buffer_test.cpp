// The looping sound buffer through the capture sink (stepped by grants) and the null sink (real time).

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "platform/audio/sound_buffer.h"
#include "platform/audio/sound_capture.h"

namespace {

// 8000 Hz, 16-bit mono: plays in steps of 320 bytes (20 ms).
const PcmFormat kFormat = MakePcmFormat(16, 8000, 1);

class CaptureBuffer : public ::testing::Test {
protected:
    void SetUp() override {
        SetSoundBackend(SOUND_BACKEND_CAPTURE);
        sound_capture::Reset();
        positionFd = eventfd(0, EFD_NONBLOCK);
        stopFd = eventfd(0, EFD_NONBLOCK);
    }
    void TearDown() override {
        buffer.reset();
        close(positionFd);
        close(stopFd);
        SetSoundBackend(SOUND_BACKEND_AUTO);
    }
    // Signals counted on an eventfd, waiting up to a second for at least `want`.
    static uint64_t Signals(int fd, uint64_t want) {
        uint64_t total = 0;
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (total < want && std::chrono::steady_clock::now() < end) {
            struct pollfd p = {fd, POLLIN, 0};
            if (poll(&p, 1, 20) > 0) {
                uint64_t n = 0;
                if (read(fd, &n, sizeof n) == sizeof n)
                    total += n;
            }
        }
        return total;
    }
    std::unique_ptr<SoundBuffer> buffer;
    int positionFd = -1;
    int stopFd = -1;
};

TEST_F(CaptureBuffer, RejectsUnplayableFormatsAndSizes) {
    EXPECT_EQ(SoundBuffer::Create(MakePcmFormat(16, 8000, 0), 3200), nullptr);
    EXPECT_EQ(SoundBuffer::Create(MakePcmFormat(4, 8000, 1), 3200), nullptr);
    EXPECT_EQ(SoundBuffer::Create(MakePcmFormat(16, 5000000, 1), 3200), nullptr);
    EXPECT_EQ(SoundBuffer::Create(kFormat, 0), nullptr);
    EXPECT_EQ(SoundBuffer::Create(kFormat, 3201), nullptr);
    EXPECT_NE(SoundBuffer::Create(kFormat, 3200), nullptr);
}

TEST_F(CaptureBuffer, PlaysFromTheStartRoundAndRoundAndNotifies) {
    buffer = SoundBuffer::Create(kFormat, 1280);
    ASSERT_NE(buffer, nullptr);
    std::vector<uint8_t> pattern(1280);
    for (size_t i = 0; i < pattern.size(); ++i)
        pattern[i] = static_cast<uint8_t>(i * 7);
    uint32_t copied = 0;
    ASSERT_EQ(buffer->WriteRegion(0, pattern.data(), 1280, &copied), 1280);
    buffer->SetNotifications({319, 639, 959, 1279}, positionFd, stopFd);
    buffer->Play();
    sound_capture::Grant(1280 + 640);
    ASSERT_TRUE(sound_capture::WaitPlayed(1920, 1000));
    std::vector<uint8_t> played = sound_capture::Played();
    ASSERT_EQ(played.size(), 1920u);
    EXPECT_TRUE(std::equal(pattern.begin(), pattern.end(), played.begin()));
    EXPECT_TRUE(std::equal(pattern.begin(), pattern.begin() + 640, played.begin() + 1280));
    EXPECT_EQ(Signals(positionFd, 6), 6u);
    // Play again starts from offset 0.
    buffer->Stop();
    EXPECT_EQ(Signals(stopFd, 1), 1u);
    buffer->Play();
    sound_capture::Grant(320);
    ASSERT_TRUE(sound_capture::WaitPlayed(1920 + 320, 1000));
    played = sound_capture::Played();
    EXPECT_TRUE(std::equal(pattern.begin(), pattern.begin() + 320, played.begin() + 1920));
}

TEST_F(CaptureBuffer, RegionsAreWholeBlocksPaddedWithSilence) {
    buffer = SoundBuffer::Create(kFormat, 1280);
    ASSERT_NE(buffer, nullptr);
    std::vector<uint8_t> ones(1280, 0x11);
    uint32_t copied = 0;
    ASSERT_EQ(buffer->WriteRegion(0, ones.data(), 1280, &copied), 1280);
    const uint8_t odd[3] = {1, 2, 3};
    EXPECT_EQ(buffer->WriteRegion(100, odd, 3, &copied), 4);  // a broken last sample fills its block
    EXPECT_EQ(copied, 3u);
    EXPECT_EQ(buffer->WriteRegion(1278, odd, 3, &copied), 2);  // cut at the end
    EXPECT_EQ(copied, 2u);
    EXPECT_EQ(buffer->WriteRegion(1280, odd, 3, &copied), -1);
    EXPECT_EQ(buffer->WriteRegion(0, ones.data(), 1281, &copied), -1);
    buffer->Play();
    sound_capture::Grant(1280);
    ASSERT_TRUE(sound_capture::WaitPlayed(1280, 1000));
    std::vector<uint8_t> played = sound_capture::Played();
    EXPECT_EQ(std::vector<uint8_t>(played.begin() + 100, played.begin() + 105),
              (std::vector<uint8_t>{1, 2, 3, 0, 0x11}));
}

TEST_F(CaptureBuffer, VolumeScalesSamplesAndSilencesAtTheBottom) {
    struct Case {
        int32_t volume;
        int16_t expect;
    };
    const Case cases[] = {{0, 10000}, {-600, 5011}, {-2000, 1000}, {SOUND_VOLUME_MIN, 0}, {-20000, 0}};
    for (const Case& c : cases) {
        sound_capture::Reset();
        buffer = SoundBuffer::Create(kFormat, 320);
        ASSERT_NE(buffer, nullptr);
        std::vector<int16_t> samples(160, 10000);
        uint32_t copied = 0;
        buffer->WriteRegion(0, reinterpret_cast<const uint8_t*>(samples.data()), 320, &copied);
        buffer->SetVolume(c.volume);
        buffer->Play();
        sound_capture::Grant(320);
        ASSERT_TRUE(sound_capture::WaitPlayed(320, 1000));
        std::vector<uint8_t> played = sound_capture::Played();
        int16_t first;
        std::memcpy(&first, played.data(), 2);
        EXPECT_EQ(first, c.expect) << "volume " << c.volume;
        buffer.reset();
    }
}

TEST_F(CaptureBuffer, ADeviceThatTakesBytesAtOnceIsPacedInRealTime) {
    // A failing or over-eager device: every byte is taken the moment it is offered.
    buffer = SoundBuffer::Create(kFormat, 32000);  // 2 s at 16000 bytes a second
    ASSERT_NE(buffer, nullptr);
    buffer->SetNotifications({7999, 15999, 23999, 31999}, positionFd, stopFd);
    sound_capture::Grant(4000000);
    buffer->Play();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    buffer->Stop();
    // 300 ms of sound plus a short lead; a loop without a clock of its own plays megabytes here.
    EXPECT_LT(sound_capture::Played().size(), 16000u);
    uint64_t quarters = 0;
    read(positionFd, &quarters, sizeof quarters);
    EXPECT_LE(quarters, 1u);
}

TEST_F(CaptureBuffer, StopAndMuteDropWhatTheDeviceHolds) {
    buffer = SoundBuffer::Create(kFormat, 3200);
    ASSERT_NE(buffer, nullptr);
    sound_capture::Grant(640);
    buffer->Play();
    ASSERT_TRUE(sound_capture::WaitResets(1, 1000));  // the start
    ASSERT_TRUE(sound_capture::WaitPlayed(640, 1000));
    buffer->SetVolume(-600);
    buffer->SetVolume(SOUND_VOLUME_MIN);
    EXPECT_TRUE(sound_capture::WaitResets(2, 1000)) << "mute";
    sound_capture::Grant(320);
    ASSERT_TRUE(sound_capture::WaitPlayed(960, 1000));
    buffer->Stop();
    EXPECT_TRUE(sound_capture::WaitResets(3, 1000)) << "stop";
}

TEST(NullBuffer, PlaysNoFasterThanRealTime) {
    SetSoundBackend(SOUND_BACKEND_NULL);
    std::unique_ptr<SoundBuffer> buffer = SoundBuffer::Create(kFormat, 3200);  // 200 ms
    SetSoundBackend(SOUND_BACKEND_AUTO);
    ASSERT_NE(buffer, nullptr);
    auto start = std::chrono::steady_clock::now();
    buffer->Play();
    // Wait (bounded) until 100 ms of sound have gone by the play cursor.
    auto limit = start + std::chrono::seconds(2);
    while (buffer->PlayCursor() < 1600 && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(buffer->PlayCursor(), 1600u);
    EXPECT_GE(elapsed, std::chrono::milliseconds(95));
    buffer->Stop();
}

}  // namespace
