#include "ui/dialogs/record_schedule.h"

#include <QStringList>

namespace {

constexpr uint32_t kTimeMask = 0xFFF;

// An unsigned decimal number of one to four digits; -1 for anything else.
int ReadNumber(const QString& text) {
    if (text.isEmpty() || text.size() > 4)
        return -1;
    int value = 0;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

uint32_t PackedTime(const QString& text) {
    int hour = 0;
    int minute = 0;
    if (ParseScheduleTime(text, &hour, &minute) != 0)
        return 0;
    return static_cast<uint32_t>(hour * 100 + minute) & kTimeMask;
}

}  // namespace

QString ScheduleTimeText(int hhmm) {
    return QStringLiteral("%1:%2")
        .arg(hhmm / 100, 2, 10, QLatin1Char('0'))
        .arg(hhmm % 100, 2, 10, QLatin1Char('0'));
}

int ParseScheduleTime(const QString& text, int* hour, int* minute) {
    QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() != 2)
        return -1;
    int h = ReadNumber(parts[0]);
    int m = ReadNumber(parts[1]);
    if (h < 0 || m < 0)
        return -1;
    *hour = h;
    *minute = m;
    return 0;
}

ScheduleRow ScheduleRowFromWord(uint32_t word) {
    ScheduleRow row;
    row.enabled = (word & SCHEDULE_ENABLED) != 0;
    row.itemData = ScheduleItemData(static_cast<int>((word >> 28) & 7), static_cast<int>((word >> 24) & 0xF));
    row.begin = ScheduleTimeText(static_cast<int>((word >> 12) & kTimeMask));
    row.end = ScheduleTimeText(static_cast<int>(word & kTimeMask));
    return row;
}

uint32_t ScheduleWordFromRow(const ScheduleRow& row) {
    uint32_t word = row.enabled ? SCHEDULE_ENABLED : 0;
    word |= (static_cast<uint32_t>(ScheduleRowType(row.itemData)) & 7) << 28;
    word |= (static_cast<uint32_t>(ScheduleRowRange(row.itemData)) & 0xF) << 24;
    word |= PackedTime(row.begin) << 12;
    word |= PackedTime(row.end);
    return word;
}
