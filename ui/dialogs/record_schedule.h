#pragma once

// The record schedule of one channel as the record page shows it: eight packed 32-bit words
// (DVRChannel::recordSchedule), one per list row. Word bits: 31 enabled, 28-30 record type, 24-27 day
// range, 12-23 begin and 0-11 end time, each time as hour x 100 + minute. A row keeps its two codes in
// its item data (type << 8 | range) and its times as "hh:mm" texts, empty for the empty day range.

#include <QString>
#include <cstdint>

constexpr int SCHEDULE_ENTRY_COUNT = 8;
constexpr uint32_t SCHEDULE_ENABLED = 0x80000000u;
constexpr int SCHEDULE_RANGE_COUNT = 12;
constexpr int SCHEDULE_TYPE_COUNT = 3;
// Day range 0 is the empty range: an entry without days, whose times are not shown.
constexpr int SCHEDULE_RANGE_NONE = 0;

// What one row of the schedule list holds, apart from its language texts.
struct ScheduleRow {
    bool enabled = false;
    uint32_t itemData = 0;  // record type << 8 | day range
    QString begin;          // "hh:mm", or empty
    QString end;
};

inline int ScheduleRowRange(uint32_t itemData) {
    return static_cast<int>(itemData & 0xFF);
}
inline int ScheduleRowType(uint32_t itemData) {
    return static_cast<int>((itemData >> 8) & 0xFF);
}
inline uint32_t ScheduleItemData(int type, int range) {
    return (static_cast<uint32_t>(type) & 0xFF) << 8 | (static_cast<uint32_t>(range) & 0xFF);
}

// "%02d:%02d" of the hours and minutes of hhmm (hour x 100 + minute).
QString ScheduleTimeText(int hhmm);
// Reads a time column "h:m" (two unsigned decimal numbers): 0 with hour and minute, -1 for anything else.
[[nodiscard]] int ParseScheduleTime(const QString& text, int* hour, int* minute);

// The row that shows a schedule word, and the word that a row packs to. A time column that does not read
// as "h:m" packs to 0.
ScheduleRow ScheduleRowFromWord(uint32_t word);
uint32_t ScheduleWordFromRow(const ScheduleRow& row);
