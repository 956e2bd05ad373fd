// The channel page's rules without windows: what Set, All Set and the colour sliders write into a
// channel's record, the leading-number reading of the offset edits, and the video-mask grid.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "ui/dialogs/setup_channel_fields.h"
#include "ui/dialogs/setup_channel_mask.h"

namespace {

std::unique_ptr<DVRChannel> RecordNamed(const char16_t* name) {
    auto record = std::make_unique<DVRChannel>();
    std::u16string_view text(name);
    std::copy(text.begin(), text.end(), record->name);
    record->titleOverlay = OverlaySettings{1, 2, 10, 20, 0x00FFFFFFu, {}};
    record->timeOverlay = OverlaySettings{0, 3, 4, 5, 0x000000FFu, {}};
    record->titleOverlay.font.lfHeight = -12;
    std::u16string_view face(u"Sans");
    std::copy(face.begin(), face.end(), record->titleOverlay.font.lfFaceName);
    return record;
}

// The controls as a fill from the record shows them.
ChannelOverlayControls ControlsOf(const DVRChannel& r) {
    auto overlay = [](const OverlaySettings& o) {
        return OverlayControls{o.enabled, o.position, QString::number(o.offsetX), QString::number(o.offsetY),
                               o.color,   o.font};
    };
    return ChannelOverlayControls{QString::fromUtf16(r.name), overlay(r.titleOverlay),
                                  overlay(r.timeOverlay)};
}

TEST(SetupChannelFields, EditNumbersReadLikeTheEditsDo) {
    struct Case {
        const char* text;
        int32_t value;
    };
    const Case cases[] = {
        {"12", 12},
        {"  7", 7},
        {"-3", -3},
        {"+4", 4},
        {"15px", 15},
        {"abc", 0},
        {"", 0},
        {"- 3", 0},
        {"040", 40},
        {"99999999999", 2147483647},
        {"-99999999999", -2147483647 - 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseLeadingInt(QString::fromUtf8(c.text)), c.value) << c.text;
}

TEST(SetupChannelFields, OverlayCollect) {
    struct Case {
        const char* title;
        void (*edit)(ChannelOverlayControls&);
        bool keepName;
        int result;
        void (*expect)(DVRChannel&);  // applied to a copy of the record's values before the comparison
    };
    const Case cases[] = {
        {"unchanged", [](ChannelOverlayControls&) {}, false, -1, [](DVRChannel&) {}},
        {"name changed", [](ChannelOverlayControls& c) { c.name = "Yard"; }, false, 0,
         [](DVRChannel& r) {
             std::fill(std::begin(r.name), std::end(r.name), u'\0');
             std::copy_n(u"Yard", 4, r.name);
         }},
        {"name ignored when kept", [](ChannelOverlayControls& c) { c.name = "Yard"; }, true, -1,
         [](DVRChannel&) {}},
        {"offsets as typed, past the spin range", [](ChannelOverlayControls& c) { c.title.offsetX = "75"; },
         true, 0, [](DVRChannel& r) { r.titleOverlay.offsetX = 75; }},
        {"non-numeric offset gives 0", [](ChannelOverlayControls& c) { c.time.offsetY = "x"; }, false, 0,
         [](DVRChannel& r) { r.timeOverlay.offsetY = 0; }},
        {"position without selection keeps the record's",
         [](ChannelOverlayControls& c) { c.title.position = -1; }, false, -1, [](DVRChannel&) {}},
        {"position chosen", [](ChannelOverlayControls& c) { c.time.position = 0; }, false, 0,
         [](DVRChannel& r) { r.timeOverlay.position = 0; }},
        {"colour and enable",
         [](ChannelOverlayControls& c) {
             c.time.enabled = 1;
             c.time.color = 0x00123456u;
         },
         false, 0,
         [](DVRChannel& r) {
             r.timeOverlay.enabled = 1;
             r.timeOverlay.color = 0x00123456u;
         }},
        {"font weight", [](ChannelOverlayControls& c) { c.title.font.lfWeight = 700; }, false, 0,
         [](DVRChannel& r) { r.titleOverlay.font.lfWeight = 700; }},
    };
    for (const Case& c : cases) {
        auto record = RecordNamed(u"Gate");
        auto expected = RecordNamed(u"Gate");
        ChannelOverlayControls controls = ControlsOf(*record);
        c.edit(controls);
        c.expect(*expected);
        EXPECT_EQ(CollectOverlayInto(controls, c.keepName, record.get()), c.result) << c.title;
        EXPECT_EQ(std::memcmp(record->name, expected->name, sizeof(record->name)), 0) << c.title;
        EXPECT_EQ(std::memcmp(&record->titleOverlay, &expected->titleOverlay, sizeof(OverlaySettings)), 0)
            << c.title;
        EXPECT_EQ(std::memcmp(&record->timeOverlay, &expected->timeOverlay, sizeof(OverlaySettings)), 0)
            << c.title;
        // Collected once, the same controls find nothing more to write.
        EXPECT_EQ(CollectOverlayInto(controls, c.keepName, record.get()), -1) << c.title;
    }
}

TEST(SetupChannelFields, NameKeepsAtMost255Characters) {
    auto record = RecordNamed(u"Gate");
    ChannelOverlayControls controls = ControlsOf(*record);
    controls.name = QString(300, u'n');
    ASSERT_EQ(CollectOverlayInto(controls, false, record.get()), 0);
    EXPECT_EQ(record->name[254], u'n');
    EXPECT_EQ(record->name[255], u'\0');
}

TEST(SetupChannelFields, ColorCollect) {
    auto record = std::make_unique<DVRChannel>();
    record->brightness = 128;
    record->contrast = 100;
    record->hue = 50;
    record->saturation = 200;
    EXPECT_EQ(CollectColorInto({128, 100, 50, 200}, record.get()), -1);
    EXPECT_EQ(CollectColorInto({128, 100, 51, 200}, record.get()), 0);
    EXPECT_EQ(record->hue, 51);
    EXPECT_EQ(record->brightness, 128);
    EXPECT_EQ(CollectColorInto({128, 100, 51, 200}, record.get()), -1);
    EXPECT_EQ(CollectColorInto({}, nullptr), -1);
}

TEST(SetupChannelMask, GridCutsTheFrameToMultiplesOfEight) {
    MaskGrid grid = ComputeMaskGrid(RECT{10, 20, 10 + 331, 20 + 245});
    EXPECT_EQ(grid.preview.Width(), 328);
    EXPECT_EQ(grid.preview.Height(), 240);
    EXPECT_EQ(grid.cells[0].left, 10);
    EXPECT_EQ(grid.cells[0].top, 20);
    EXPECT_EQ(grid.cells[0].Width(), 41);
    EXPECT_EQ(grid.cells[0].Height(), 30);
    EXPECT_EQ(grid.cells[63].right, 10 + 328);
    EXPECT_EQ(grid.cells[63].bottom, 20 + 240);
    EXPECT_EQ(grid.cells[9].left, 51);
    EXPECT_EQ(grid.cells[9].top, 50);
}

TEST(SetupChannelMask, SelectionTogglesTheCellsItTouches) {
    // Cells of 10 x 10 from (0, 0).
    const MaskGrid grid = ComputeMaskGrid(RECT{0, 0, 80, 80});
    struct Case {
        const char* title;
        RECT selection;
        uint8_t before[8];
        uint8_t after[8];
    };
    const Case cases[] = {
        {"click inside a cell", {15, 25, 15, 25}, {}, {0, 0, 0x02, 0, 0, 0, 0, 0}},
        {"click on a vertical border", {10, 5, 10, 5}, {}, {0x03, 0, 0, 0, 0, 0, 0, 0}},
        {"click on a corner", {10, 10, 10, 10}, {}, {0x03, 0x03, 0, 0, 0, 0, 0, 0}},
        {"drag over the whole preview inverts every cell",
         {1, 1, 78, 78},
         {0xFF, 0x00, 0x0F, 0xF0, 0, 0, 0, 0x81},
         {0x00, 0xFF, 0xF0, 0x0F, 0xFF, 0xFF, 0xFF, 0x7E}},
        {"outside the grid", {200, 200, 210, 210}, {0x01}, {0x01}},
        {"last cell", {75, 75, 75, 75}, {}, {0, 0, 0, 0, 0, 0, 0, 0x80}},
    };
    for (const Case& c : cases) {
        uint8_t mask[8];
        std::memcpy(mask, c.before, sizeof(mask));
        (void)ToggleMaskCells(grid, c.selection, mask);
        EXPECT_EQ(std::memcmp(mask, c.after, sizeof(mask)), 0) << c.title;
    }
}

}  // namespace
