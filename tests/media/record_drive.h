#pragma once

// A temporary record drive X for the recording suites: local time is UTC, the record clock and the free
// space come from the suite, and live audio goes nowhere. Everything is put back when it ends.

#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <ctime>

#include "media/record_storage.h"
#include "platform/audio/sound_buffer.h"

class RecordDrive {
public:
    RecordDrive(RecordClockFn clock, DiskFreeBytesFn freeBytes) {
        setenv("TZ", "UTC", 1);
        tzset();
        SetSoundBackend(SOUND_BACKEND_NULL);
        qputenv("VISTAL_DRIVE_X", QFile::encodeName(m_folder.path()));
        SetRecordClock(clock);
        SetDiskFreeBytesFunction(freeBytes);
    }
    ~RecordDrive() {
        SetRecordClock(nullptr);
        SetDiskFreeBytesFunction(nullptr);
        qunsetenv("VISTAL_DRIVE_X");
        SetSoundBackend(SOUND_BACKEND_AUTO);
    }
    RecordDrive(const RecordDrive&) = delete;
    RecordDrive& operator=(const RecordDrive&) = delete;

    bool isValid() const { return m_folder.isValid(); }
    QString path() const { return m_folder.path(); }
    QString filePath(const QString& name) const { return m_folder.filePath(name); }

    // A storage on drive X without a clean-up thread.
    static RecordStorageConfig Storage(int diskFullAction, const char* disks = "X") {
        RecordStorageConfig config;
        config.disks = QString::fromLatin1(disks);
        config.recordDir = QStringLiteral("Records");
        config.extension = QStringLiteral("avi");
        config.diskFullAction = diskFullAction;
        config.cleanupThread = false;
        return config;
    }

private:
    QTemporaryDir m_folder;
};
