#include "ui/record_disk_full.h"

#include "core/tarvik_app.h"

bool RecordDiskFullNotice::OnRecordDiskFull(WPARAM wParam, int64_t now) {
    if (wParam != 1 || now - m_nLastDiskFullTime <= DISKFULL_MESSAGE_INTERVAL)
        return false;
    m_nLastDiskFullTime = now;
    return true;
}

QString RecordDiskFullText() {
    return GetLanguageText(QStringLiteral("DLGMAIN_MSG_DISKFULL"),
                           QStringLiteral("Record disks is full, please release some space on these disks!"));
}
