#pragma once

// The main window's notice that the record disks are full (WM_RECORD_DISKFULL, posted by the record
// threads): shown at once the first time, then at most once an hour however often it is posted.

#include <QString>
#include <cstdint>

#include "platform/system/win_types.h"

constexpr int64_t DISKFULL_MESSAGE_INTERVAL = 3600;

struct RecordDiskFullNotice {
    int64_t m_nLastDiskFullTime = 0;  // seconds since 1970 of the last notice shown

    // For WM_RECORD_DISKFULL with wParam 1 at time now: true when the notice is to be shown now (the time
    // is then kept). Other wParam values never show it.
    [[nodiscard]] bool OnRecordDiskFull(WPARAM wParam, int64_t now);
};

// The notice's text from the language table.
QString RecordDiskFullText();
