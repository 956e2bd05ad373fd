// The disk-full notice of the main window: at once the first time, then at most once an hour.

#include "ui/record_disk_full.h"

#include <gtest/gtest.h>

namespace {

TEST(RecordDiskFullNotice, ShowsAtOnceThenAtMostOnceAnHour) {
    constexpr int64_t kStart = 1717243200;
    struct Step {
        WPARAM wParam;
        int64_t now;
        bool shown;
    } steps[] = {
        {1, kStart, true},          // the first notice always shows
        {1, kStart + 1, false},     // posted again at once
        {1, kStart + 3600, false},  // exactly an hour later: not yet
        {0, kStart + 3601, false},  // other wParam values do nothing
        {2, kStart + 3601, false}, {1, kStart + 3601, true}, {1, kStart + 3700, false},
    };
    RecordDiskFullNotice notice;
    for (const Step& s : steps)
        EXPECT_EQ(notice.OnRecordDiskFull(s.wParam, s.now), s.shown) << s.now - kStart;
    EXPECT_FALSE(RecordDiskFullText().isEmpty());
}

}  // namespace
