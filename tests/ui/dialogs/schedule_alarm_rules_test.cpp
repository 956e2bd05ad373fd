// The record page's schedule words and the alarm page's rules, without windows: packing and unpacking
// schedule words through the row texts, reading time columns, what Set takes from the alarm controls,
// and the motion-zone grid with the cells a click or a drag toggles.

#include <gtest/gtest.h>

#include <vector>

#include "ui/dialogs/alarm_fields.h"
#include "ui/dialogs/record_schedule.h"

namespace {

TEST(RecordSchedule, WordsShowAsRowsAndPackBack) {
    struct Case {
        const char* title;
        uint32_t word;
        bool enabled;
        int type;
        int range;
        const char* begin;
        const char* end;
    };
    const Case cases[] = {
        {"weekdays, continuous, 08:30-17:45", 0x9233E6D1u, true, 1, 2, "08:30", "17:45"},
        {"all zero", 0u, false, 0, 0, "00:00", "00:00"},
        {"23:59 to 23:59, alarm, Saturday", 0xAB000000u | 2359u << 12 | 2359u, true, 2, 11, "23:59", "23:59"},
        {"widest fields a DVR can send", 0xFFFFFFFFu, true, 7, 15, "40:95", "40:95"},
        {"disabled entry keeps its fields", 0x31000000u | 100u << 12 | 200u, false, 3, 1, "01:00", "02:00"},
    };
    for (const Case& c : cases) {
        ScheduleRow row = ScheduleRowFromWord(c.word);
        EXPECT_EQ(row.enabled, c.enabled) << c.title;
        EXPECT_EQ(ScheduleRowType(row.itemData), c.type) << c.title;
        EXPECT_EQ(ScheduleRowRange(row.itemData), c.range) << c.title;
        EXPECT_EQ(row.begin, QString(c.begin)) << c.title;
        EXPECT_EQ(row.end, QString(c.end)) << c.title;
        EXPECT_EQ(ScheduleWordFromRow(row), c.word) << c.title;
    }
}

TEST(RecordSchedule, RowsPackTheirTimeColumns) {
    struct Case {
        const char* title;
        ScheduleRow row;
        uint32_t word;
    };
    const Case cases[] = {
        {"empty range with empty times", {true, ScheduleItemData(1, 0), "", ""}, 0x90000000u},
        {"single-digit columns",
         {false, ScheduleItemData(0, 1), "8:5", "9:0"},
         0x01000000u | 805u << 12 | 900u},
        {"unreadable begin packs as 0",
         {false, ScheduleItemData(0, 1), "8h30", "10:00"},
         0x01000000u | 1000u},
        {"three parts pack as 0", {false, ScheduleItemData(0, 1), "1:2:3", "1:2"}, 0x01000000u | 102u},
        {"sign is not a number", {false, ScheduleItemData(0, 1), "-1:30", "+1:30"}, 0x01000000u},
        {"type and range beyond their bits are cut", {false, 0xFFFFu, "", ""}, 0x7F000000u},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScheduleWordFromRow(c.row), c.word) << c.title;
}

TEST(RecordSchedule, TimeColumnsRead) {
    struct Case {
        const char* text;
        int result;
        int hour;
        int minute;
    };
    const Case cases[] = {
        {"08:30", 0, 8, 30}, {"23:59", 0, 23, 59},  {"40:95", 0, 40, 95}, {"", -1, 0, 0},
        {"12", -1, 0, 0},    {"12:", -1, 0, 0},     {":30", -1, 0, 0},    {"1 :30", -1, 0, 0},
        {"a:b", -1, 0, 0},   {"12345:1", -1, 0, 0},
    };
    for (const Case& c : cases) {
        int hour = 0;
        int minute = 0;
        EXPECT_EQ(ParseScheduleTime(c.text, &hour, &minute), c.result) << c.text;
        EXPECT_EQ(hour, c.hour) << c.text;
        EXPECT_EQ(minute, c.minute) << c.text;
    }
}

TEST(AlarmValues, SetTakesOnlyWhatThePageShows) {
    struct Case {
        const char* title;
        AlarmControls controls;
        AlarmValues record;
        int result;
        AlarmValues after;
    };
    const Case cases[] = {
        {"unchanged", {2, true, false}, {2, ALARM_ACTION_EMAIL}, -1, {2, ALARM_ACTION_EMAIL}},
        {"sensitivity changed", {4, true, false}, {2, ALARM_ACTION_EMAIL}, 0, {4, ALARM_ACTION_EMAIL}},
        {"client added",
         {2, true, true},
         {2, ALARM_ACTION_EMAIL},
         0,
         {2, ALARM_ACTION_EMAIL | ALARM_ACTION_CLIENT}},
        {"e-mail removed", {0, false, true}, {0, 0x9u}, 0, {0, ALARM_ACTION_CLIENT}},
        {"no sensitivity selected keeps the record's", {-1, false, false}, {3, 0}, -1, {3, 0}},
        {"no selection, an action changed", {-1, true, false}, {3, 0}, 0, {3, ALARM_ACTION_EMAIL}},
        {"SMS comes back as it came", {1, false, false}, {0, ALARM_ACTION_SMS}, 0, {1, ALARM_ACTION_SMS}},
        {"MMS and SMS both kept", {1, false, false}, {0, 0x6u}, 0, {1, 0x6u}},
        {"MMS and SMS, nothing changed", {0, false, false}, {0, 0x6u}, -1, {0, 0x6u}},
        {"bits the page does not know are kept", {0, true, false}, {0, 0x30u}, 0, {0, 0x31u}},
    };
    for (const Case& c : cases) {
        AlarmValues values = c.record;
        EXPECT_EQ(CollectAlarmValues(c.controls, &values), c.result) << c.title;
        EXPECT_EQ(values.sensitivity, c.after.sensitivity) << c.title;
        EXPECT_EQ(values.actions, c.after.actions) << c.title;
    }
}

TEST(MotionGrid, CellsAreEighthsOfTheFrameCutToMultiplesOfEight) {
    MotionGrid grid = ComputeMotionGrid({10, 20, 10 + 211, 20 + 165});
    EXPECT_EQ(grid.preview.right - grid.preview.left, 208);
    EXPECT_EQ(grid.preview.bottom - grid.preview.top, 160);
    const RECT& first = grid.cells[0];
    EXPECT_EQ(first.left, 10);
    EXPECT_EQ(first.top, 20);
    EXPECT_EQ(first.right, 36);
    EXPECT_EQ(first.bottom, 40);
    const RECT& cell = grid.cells[8 * 3 + 5];  // row 3, column 5
    EXPECT_EQ(cell.left, 10 + 5 * 26);
    EXPECT_EQ(cell.top, 20 + 3 * 20);
    const RECT& last = grid.cells[MOTION_CELL_COUNT - 1];
    EXPECT_EQ(last.right, grid.preview.right);
    EXPECT_EQ(last.bottom, grid.preview.bottom);
}

TEST(MotionGrid, SelectionsToggleTheCellsTheyTouch) {
    // Cells of 20 x 10 from (100, 50).
    const MotionGrid grid = ComputeMotionGrid({100, 50, 260, 130});
    struct Case {
        const char* title;
        RECT selection;
        std::vector<uint8_t> rows;  // the mask after toggling an empty one
    };
    const Case cases[] = {
        {"click inside row 0 column 0", {105, 55, 105, 55}, {0x01, 0, 0, 0, 0, 0, 0, 0}},
        {"drag from (0,0) to (3,3)", {105, 55, 175, 85}, {0x0F, 0x0F, 0x0F, 0x0F, 0, 0, 0, 0}},
        {"drag drawn backwards", {175, 85, 105, 55}, {0x0F, 0x0F, 0x0F, 0x0F, 0, 0, 0, 0}},
        {"click on a vertical border", {120, 55, 120, 55}, {0x03, 0, 0, 0, 0, 0, 0, 0}},
        {"click on a corner of four cells", {120, 60, 120, 60}, {0x03, 0x03, 0, 0, 0, 0, 0, 0}},
        {"click in the last cell", {255, 125, 255, 125}, {0, 0, 0, 0, 0, 0, 0, 0x80}},
        {"whole preview", {100, 50, 259, 129}, std::vector<uint8_t>(8, 0xFF)},
        {"click outside the preview", {20, 20, 20, 20}, std::vector<uint8_t>(8, 0)},
    };
    for (const Case& c : cases) {
        MotionZoneMask mask{};
        ToggleMotionCells(grid, c.selection, &mask);
        EXPECT_EQ(std::vector<uint8_t>(mask.rows, mask.rows + 8), c.rows) << c.title;
    }
    // A second toggle of the same selection restores the zones.
    MotionZoneMask mask{{0x81, 0, 0, 0, 0, 0, 0, 0x18}};
    ToggleMotionCells(grid, {105, 55, 175, 85}, &mask);
    ToggleMotionCells(grid, {105, 55, 175, 85}, &mask);
    EXPECT_EQ(std::vector<uint8_t>(mask.rows, mask.rows + 8),
              std::vector<uint8_t>({0x81, 0, 0, 0, 0, 0, 0, 0x18}));
    // A frame too small for a grid toggles nothing.
    MotionZoneMask untouched{};
    ToggleMotionCells(ComputeMotionGrid({0, 0, 7, 7}), {0, 0, 0, 0}, &untouched);
    EXPECT_EQ(std::vector<uint8_t>(untouched.rows, untouched.rows + 8), std::vector<uint8_t>(8, 0));
}

}  // namespace
