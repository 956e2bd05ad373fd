#pragma once

// The playback dialog's search and opening as plain logic: the colours of a day-record bar row, the
// channel a recording's file name belongs to, and the accepted search span.

#include <QString>
#include <cstdint>

#include "platform/system/win_types.h"

struct DayRecordMap;

constexpr COLORREF DAY_BAR_EMPTY = 0xFFFFFF;     // white
constexpr COLORREF DAY_BAR_RECORDED = 0x00FF00;  // green
constexpr COLORREF DAY_BAR_ALARM = 0x0000FF;     // red (COLORREF is 0x00BBGGRR)

// The colour of each hour: red when any minute has the alarm bit, else green when any minute was
// recorded, else white.
void DayBarColours(const DayRecordMap& map, COLORREF hours[24]);

// The 0-based channel of a recording file name: the digits that start two characters after the last
// backslash, read up to the first non-digit, minus one ("...\CH03_..." is channel 2; no digit there gives
// -1). False when the name has no backslash or no underscore.
bool ChannelFromFileName(const char16_t* name, int length, int* channel);

// A search span is accepted from one minute to seven days, both included.
constexpr int64_t SEARCH_SPAN_MIN = 60;
constexpr int64_t SEARCH_SPAN_MAX = 604800;
inline bool SearchSpanValid(int64_t begin, int64_t end) {
    int64_t d = end - begin;
    return d >= SEARCH_SPAN_MIN && d <= SEARCH_SPAN_MAX;
}
