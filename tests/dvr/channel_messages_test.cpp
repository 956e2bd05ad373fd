// Channel parameter messages: request bytes from the channel's record and replies parsed into it.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/system_settings.h"
#include "core/window_messages.h"
#include "dvr/channel_requests.h"
#include "dvr/dvr_parsers.h"
#include "dvr/dvr_protocol.h"
#include "tests/dvr/post_capture.h"
#include "tests/dvr/test_device.h"

namespace {

class ChannelMessages : public PostCapture {
protected:
    void SetUp() override {
        PostCapture::SetUp();
        ASSERT_EQ(AllocDeviceChannels(t.device, 4), 0);
    }
    int Dispatch(const std::string& text) {
        return DispatchDvrMessage(text.data(), t.device, nullptr, static_cast<int>(text.size()));
    }
    DVRChannel& Ch(int i) { return t.device->channels[i]; }
    TestDevice t;
};

TEST_F(ChannelMessages, GetRequestBytes) {
    struct Case {
        int (*send)(DVRDevice*, int);
        const char* bytes;
    } cases[] = {
        {SendGetOverlayParams, "65555 3 \r\n\r\n"},   {SendGetColorParams, "65557 3 \r\n\r\n"},
        {SendGetVideoMask, "65559 3 \r\n\r\n"},       {SendGetCameraParams, "65561 3 \r\n\r\n"},
        {SendGetPresets, "65563 3 \r\n\r\n"},         {SendGetVideoParams, "65565 3 \r\n\r\n"},
        {SendGetAudioParams, "65567 3 \r\n\r\n"},     {SendGetSchedule, "65569 3 \r\n\r\n"},
        {SendGetAlarmParams, "65571 3 \r\n\r\n"},     {SendGetMotionMask, "65573 3 \r\n\r\n"},
        {SendGetSubStreamParams, "65585 3 \r\n\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.send(t.device, 3), static_cast<int>(strlen(c.bytes)));
        EXPECT_EQ(t.Sent(), c.bytes);
        EXPECT_EQ(c.send(t.device, 4), -1);  // not below the channel count
        EXPECT_EQ(c.send(t.device, -1), -1);
        EXPECT_EQ(t.Sent(), "");
    }
    EXPECT_GT(SendRestoreColor(t.device, 1, 0), 0);
    EXPECT_EQ(t.Sent(), "65584 1 0 \r\n\r\n");
}

TEST_F(ChannelMessages, SetRequestBytes) {
    DVRChannel& c = Ch(2);
    t.SetText(c.name, 256, u"Front door");
    c.titleOverlay = OverlaySettings{1, 2, 10, 20, 0xFF, {}};
    c.titleOverlay.font.lfOutPrecision = 3;
    c.titleOverlay.font.lfClipPrecision = 2;
    c.titleOverlay.font.lfQuality = 255;
    t.SetText(c.titleOverlay.font.lfFaceName, 32, u"Sans Serif");
    c.timeOverlay.color = 0x80000000u;
    c.brightness = 64;
    c.contrast = 50;
    c.hue = -3;
    c.saturation = 99;
    const uint8_t mask[8] = {0x81, 0, 255, 1, 2, 3, 4, 5};
    std::memcpy(c.videoMask, mask, 8);
    std::memcpy(c.motionMask.rows, mask, 8);
    c.cameraType = 1;
    c.ptzProtocol = 2;
    c.ptzAddress = 7;
    t.SetText(c.comPort, 256, u"COM1");
    c.baudRate = 9600;
    c.dataBits = 8;
    c.parity = 2;
    c.stopBits = 1;
    c.ptzOptions = CAMERA_REVERSE_TILT | 5;
    c.autoScan[0] = AutoScanStep{1, 10};
    c.autoScan[31] = AutoScanStep{200, -1};
    c.resolution = 4;
    c.quality = 1;
    c.frameRate = 2500;
    c.sampleRate = 8000;
    c.bitsPerSample = 16;
    c.audioQuality = 2;
    c.audioEnabled = 1;
    c.recordSchedule[0] = 0x91000000u | (800u << 12) | 1800u;
    c.motionSensitivity = 4;
    c.alarmActions = ALARM_ACTION_EMAIL | ALARM_ACTION_CLIENT;
    c.subResolution = 1;
    c.subQuality = 3;
    c.subFrameRate = 500;
    std::string presets;
    for (int i = 0; i < 32; ++i)
        presets += i == 0 ? "1 10 " : i == 31 ? "200 -1" : "0 0 ";
    struct Case {
        int (*send)(DVRDevice*, int);
        std::string bytes;
    } cases[] = {
        {SendSetOverlayParams,
         "65556 2 Front\x08"
         "door 1 2 10 20 255 3 2 255 Sans\x08"
         "Serif 0 0 0 0 -2147483648 0 0 0 (NULL) \r\n\r\n"},
        {SendSetColorParams, "65558 2 64 50 -3 99 \r\n\r\n"},
        {SendSetVideoMask, "65560 2 8 129 0 255 1 2 3 4 5 \r\n\r\n"},
        {SendSetMotionMask, "65574 2 8 129 0 255 1 2 3 4 5 \r\n\r\n"},
        {SendSetCameraParams, "65562 2 1 2 7 COM1 9600 8 2 1 -2147483643 \r\n\r\n"},
        {SendSetPresets, "65564 2 32 " + presets + " \r\n\r\n"},
        {SendSetVideoParams, "65566 2 4 1 2500 \r\n\r\n"},
        {SendSetAudioParams, "65568 2 8000 16 2 1 \r\n\r\n"},
        {SendSetSchedule, "65570 2 8 " + std::to_string(static_cast<int32_t>(c.recordSchedule[0])) +
                              " 0 0 0 0 0 0 0 \r\n\r\n"},
        {SendSetAlarmParams, "65572 2 4 9 \r\n\r\n"},
        {SendSetSubStreamParams, "65586 2 1 3 500 \r\n\r\n"},
    };
    for (const Case& k : cases) {
        EXPECT_GT(k.send(t.device, 2), 0);
        EXPECT_EQ(t.Sent(), k.bytes);
        EXPECT_EQ(k.send(t.device, 9), -1);
    }
}

TEST_F(ChannelMessages, RepliesFillTheRecord) {
    EXPECT_EQ(Dispatch("131091 1 Gate\x08"
                       "A 1 3 5 6 16711680 1 2 259 Courier\x08"
                       "New 0 0 0 0 0 4 5 6 (NULL) \r\n\r\n"),
              0);
    EXPECT_EQ(std::u16string(Ch(1).name), u"Gate A");
    EXPECT_EQ(Ch(1).titleOverlay.position, 3);
    EXPECT_EQ(Ch(1).titleOverlay.color, 0xFF0000u);
    EXPECT_EQ(Ch(1).titleOverlay.font.lfQuality, 3);  // low byte of 259
    EXPECT_EQ(std::u16string(Ch(1).titleOverlay.font.lfFaceName), u"Courier New");
    EXPECT_EQ(Ch(1).timeOverlay.font.lfQuality, 6);
    Dispatch("131093 1 10 20 30 40 \r\n\r\n");
    EXPECT_EQ(Ch(1).hue, 30);
    // The last field -2147483648 is the reversed tilt with speed level 0.
    Dispatch("131097 1 2 1 3 (NULL) 4800 263 1 2 -2147483648 \r\n\r\n");
    EXPECT_EQ(Ch(1).cameraType, 2);
    EXPECT_EQ(Ch(1).dataBits, 7);  // low byte of 263
    EXPECT_EQ(Ch(1).ptzOptions, CAMERA_REVERSE_TILT);
    EXPECT_EQ(std::u16string(Ch(1).comPort), u"");
    Dispatch("131103 1 16000 65544 1 0 \r\n\r\n");
    EXPECT_EQ(Ch(1).sampleRate, 16000);
    EXPECT_EQ(Ch(1).bitsPerSample, 8);  // stored in 16 bits
    Dispatch("131107 1 2 15 \r\n\r\n");
    EXPECT_EQ(Ch(1).motionSensitivity, 2);
    EXPECT_EQ(Ch(1).alarmActions, 15u);
    std::vector<std::pair<WPARAM, LPARAM>> expected = {{SETUP_REPLY_OVERLAY, 1},
                                                       {SETUP_REPLY_COLOR, 1},
                                                       {SETUP_REPLY_CAMERA, 1},
                                                       {SETUP_REPLY_AUDIO, 1},
                                                       {SETUP_REPLY_ALARM, 1}};
    EXPECT_EQ(SetupReplies(), expected);
}

TEST_F(ChannelMessages, UnparsableAndOutOfRangeChangeNothingAndPostNothing) {
    const char* texts[] = {
        "131093 4 10 20 30 40 \r\n\r\n",   // channel 4 of 4
        "131093 -1 10 20 30 40 \r\n\r\n",  // negative channel
        "131093 1 10 20 30 \r\n\r\n",      // three of four values
        // A 32-byte face name token does not fit its 32-byte field.
        "131091 1 Gate 1 3 5 6 0 1 2 3 ABCDEFGHIJKLMNOPQRSTUVWXYZ012345 0 0 0 0 0 4 5 6 (NULL) \r\n\r\n",
        "131097 1 2 1 3 (NULL) 4800 8 1 2 \r\n\r\n", "131101 7 1 2 3 \r\n\r\n",
        "131105 1 \r\n\r\n",  // no count
    };
    for (const char* text : texts) {
        ClearPosted();
        EXPECT_EQ(FindDvrParser(std::atoi(text))(text, static_cast<int>(strlen(text)), t.device, nullptr), -1)
            << text;
        EXPECT_TRUE(g_posted.empty()) << text;
    }
    EXPECT_EQ(Ch(1).brightness, 0);
    EXPECT_EQ(std::u16string(Ch(1).name), u"");
}

TEST_F(ChannelMessages, InlineLists) {
    std::memset(Ch(0).videoMask, 0xEE, 8);
    Dispatch("131095 0 3 1 2 258 \r\n\r\n");  // n = 3: bytes 0-2, the rest kept
    EXPECT_EQ(std::vector<int>(Ch(0).videoMask, Ch(0).videoMask + 8),
              (std::vector<int>{1, 2, 2, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}));
    std::string twenty = "131109 0 20";
    for (int i = 0; i < 20; ++i)
        twenty += " " + std::to_string(i + 10);
    Dispatch(twenty + " \r\n\r\n");  // n = 20 stores at most 8
    EXPECT_EQ(Ch(0).motionMask.rows[7], 17);
    Dispatch("131095 0 8 9 9 \r\n\r\n");  // fewer values than n: ends at the message's end
    EXPECT_EQ(Ch(0).videoMask[1], 9);
    EXPECT_EQ(Ch(0).videoMask[2], 2);
    Ch(0).autoScan[31] = AutoScanStep{5, 55};
    std::string presets = "131099 0 32";
    for (int i = 0; i < 31; ++i)
        presets += " " + std::to_string(i + 1) + " " + std::to_string(i * 10);
    Dispatch(presets + " \r\n\r\n");  // 31 pairs with n = 32: the 32nd step is kept
    EXPECT_EQ(Ch(0).autoScan[30].enabled, 31);
    EXPECT_EQ(Ch(0).autoScan[30].staySeconds, 300);
    EXPECT_EQ(Ch(0).autoScan[31].enabled, 5);
    EXPECT_EQ(Ch(0).autoScan[31].staySeconds, 55);
    Dispatch("131105 0 2 -1 7 99 \r\n\r\n");
    EXPECT_EQ(Ch(0).recordSchedule[0], 0xFFFFFFFFu);
    EXPECT_EQ(Ch(0).recordSchedule[1], 7u);
    EXPECT_EQ(Ch(0).recordSchedule[2], 0u);
    ClearPosted();
    Dispatch("131105 0 -4 1 \r\n\r\n");  // a negative n reads nothing, still notifies
    EXPECT_EQ(Ch(0).recordSchedule[0], 0xFFFFFFFFu);
    EXPECT_EQ(SetupReplies(), (std::vector<std::pair<WPARAM, LPARAM>>{{SETUP_REPLY_SCHEDULE, 0}}));
}

TEST_F(ChannelMessages, PictureSizeFollowsTheVideoStandard) {
    struct Case {
        int standard;  // -1: no system parameters yet
        int code;
        int width;
        int height;
    } cases[] = {
        {1, 3, 320, 288}, {1, 4, 640, 576}, {1, 2, 640, 288},  {1, 0, 320, 288},
        {0, 3, 320, 240}, {0, 4, 640, 480}, {-1, 4, 640, 576},
    };
    for (const Case& c : cases) {
        t.device->systemParams.reset();
        if (c.standard >= 0) {
            t.device->systemParams.reset(static_cast<SystemSettings*>(std::calloc(1, sizeof(SystemSettings))));
            t.device->systemParams->VideoStandard = c.standard;
        }
        Dispatch("131101 2 " + std::to_string(c.code) + " 1 2500 \r\n\r\n");
        EXPECT_EQ(Ch(2).resolution, c.code);
        EXPECT_EQ(static_cast<int>(Ch(2).width), c.width) << c.standard << " " << c.code;
        EXPECT_EQ(Ch(2).height, c.height) << c.standard << " " << c.code;
        Dispatch("131121 2 " + std::to_string(c.code) + " 3 500 \r\n\r\n");
        EXPECT_EQ(Ch(2).subWidth, c.width);
        EXPECT_EQ(Ch(2).subHeight, c.height);
        EXPECT_EQ(Ch(2).subFrameRate, 500);
    }
    EXPECT_EQ(SetupReplies().back(), (std::pair<WPARAM, LPARAM>{SETUP_REPLY_VIDEO, 2}));
}

}  // namespace
