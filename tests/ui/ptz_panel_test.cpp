// The PTZ panel's command words, packing, preset field arithmetic and the auto-scan toggle.

#include "ui/ptz_panel.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(PtzPanel, ButtonsGiveTheirCommandWords) {
    struct Case {
        UINT control;
        int motion, preset;
    };
    const Case cases[] = {
        {1020, 1, 0},  {1022, 2, 0}, {1023, 3, 0}, {1024, 4, 0},  {1008, 5, 0},  {1009, 6, 0},
        {1010, 7, 0},  {1011, 8, 0}, {1012, 9, 0}, {1013, 10, 0}, {1017, 0, 11}, {1018, 0, 12},
        {1019, 0, 13}, {1021, 0, 0}, {1015, 0, 0}, {1000, 0, 0},  {0, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PtzMotionCommandOfButton(c.control), c.motion) << c.control;
        EXPECT_EQ(PtzPresetCommandOfButton(c.control), c.preset) << c.control;
    }
}

TEST(PtzPanel, RequestWordsPackSixteenBitHalves) {
    struct Case {
        int command, channel, p1, p2;
        uint32_t word1, word2;
    };
    const Case cases[] = {
        {PTZ_TILT_UP, 0, 0, 0, 0x00010000u, 0u},
        {PTZ_STOP, 15, 0, 0, 0x000E000Fu, 0u},
        {PTZ_PRESET_GOTO, 3, 45, 0, 0x000D0003u, 45u},
        {PTZ_PRESET_SET, 255, 70000, 2, 0x000B00FFu, 0x00020000u | (70000u & 0xFFFFu)},
        {PTZ_PRESET_CLEAR, 1, -1, 0, 0x000C0001u, 0x0000FFFFu},
    };
    for (const Case& c : cases) {
        PtzWords w = PackPtzWords(c.command, c.channel, c.p1, c.p2);
        EXPECT_EQ(w.command, c.word1) << c.command;
        EXPECT_EQ(w.parameters, c.word2) << c.command;
    }
}

TEST(PtzPanel, PresetFieldReadsAsADecimalNumberAndTheButtonsKeepItInRange) {
    struct Case {
        const char* text;
        int value, up, down;
    };
    const Case cases[] = {
        {"Preset number", 0, 1, 1},
        {"", 0, 1, 1},
        {"1", 1, 2, 1},
        {"0", 0, 1, 1},
        {"32", 32, 32, 31},
        {"100", 100, 32, 99},
        {"45", 45, 32, 44},
        {"  7", 7, 8, 6},
        {"+12abc", 12, 13, 11},
        {"-3", -3, -2, 1},
        {"2", 2, 3, 1},
        {"99999999999", INT_MAX, 32, INT_MAX - 1},
        {"-99999999999", INT_MIN, INT_MIN + 1, 1},
        {"\xe9\x85\x8d 5", 0, 1, 1},
    };
    for (const Case& c : cases) {
        int value = ParsePresetNumber(QString::fromUtf8(c.text));
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(PresetNumberUp(value), c.up) << c.text;
        EXPECT_EQ(PresetNumberDown(value), c.down) << c.text;
    }
}

TEST(PtzPanel, AutoScanToggleAlternatesWhateverTheScreen) {
    int on = 0;
    EXPECT_EQ(TogglePtzAutoScanCommand(on), PTZ_AUTOSCAN_START);
    EXPECT_EQ(on, 1);
    EXPECT_EQ(TogglePtzAutoScanCommand(on), PTZ_AUTOSCAN_STOP);
    EXPECT_EQ(on, 0);
    EXPECT_EQ(TogglePtzAutoScanCommand(on), PTZ_AUTOSCAN_START);
}

}  // namespace
