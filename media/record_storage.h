#pragma once

// Where record files go, and keeping the record disks from filling up. The storage holds the record
// disks (drive letters) with their free space, makes the path of each new record file on the first disk
// with room, and runs one clean-up thread that refreshes the free space every 10 s and, when the
// disk-full action is on and the disks run low, deletes the oldest day folder of recordings.
//
// A record file is <letter>:\<RecordDir>\<DVR name>\<yyyy_mm_dd>\CH<nnn>_<hhmmss>.<extension>; a day
// folder is a folder whose name reads as a valid date "%4d_%2d_%2d"; an index file is a file of the index
// folder named "%4d_%2d_%2d.idx".

#include <QChar>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "core/worker_threads.h"

constexpr uint64_t RECORD_DISK_MIN_FREE = 0x0C800000;    // 200 MiB
constexpr uint64_t RECORD_CLEANUP_RESERVE = 0x40000000;  // 1 GiB above the disks' minimum
constexpr int RECORD_FILE_SECONDS = 1800;                // one record file per half hour
constexpr int RECORD_CLEANUP_INTERVAL_MS = 10000;

// Free bytes of the drive named by a letter: 0, or -1 when they cannot be read. The real one asks the
// file system behind the drive map; tests replace it (nullptr restores the real one).
using DiskFreeBytesFn = int (*)(QChar letter, uint64_t* freeBytes);
void SetDiskFreeBytesFunction(DiskFreeBytesFn fn);
int DiskFreeBytes(QChar letter, uint64_t* freeBytes);

// Seconds since 1970 for record file names and cuts; tests replace it (nullptr restores the real one).
using RecordClockFn = int64_t (*)();
void SetRecordClock(RecordClockFn clock);
int64_t RecordClockNow();

struct RecordDiskNode {
    QChar letter;
    uint64_t freeBytes = 0;
};

struct RecordStorageConfig {
    QString disks;      // one drive letter per disk, in order
    QString recordDir;  // record folder name on every disk ("Records")
    QString indexDir;   // the application's index folder
    QString extension;  // "avi"
    int diskFullAction = 0;
    bool cleanupThread = true;  // false: no thread; the owner runs CleanupPass itself
};

// What the clean-up keeps from one pass to the next.
struct CleanupState {
    int64_t oldestDate = 0;     // local midnight of the oldest day found, seconds
    int64_t oldestCreated = 0;  // creation time of that folder, nanoseconds
    QString oldestPath;         // native path of that day folder; empty: search again
    int64_t previousPass = 0;   // time of the previous pass, seconds
};

class RecordStorage {
public:
    // Reads each disk's free space and starts the clean-up thread (a thread that cannot be started leaves
    // the storage without clean-up).
    explicit RecordStorage(const RecordStorageConfig& config);
    // Stops the clean-up thread and forgets the disks.
    ~RecordStorage();
    RecordStorage(const RecordStorage&) = delete;
    RecordStorage& operator=(const RecordStorage&) = delete;

    // The Windows-form path of a new record file for a DVR's channel (0-based), on the current disk when
    // it still has more than RECORD_DISK_MIN_FREE free, otherwise on the first disk that has. The DVR's
    // name becomes one safe folder name. 0, or -1 when no disk qualifies and the disk-full action is off,
    // and when there is no disk.
    [[nodiscard]] int MakeRecordPath(const QString& dvrName, int channel, QString* path);

    // The record threads name the files they hold open, so the clean-up never deletes their day folder.
    void BeginFile(const QString& path);
    void EndFile(const QString& path);

    // One clean-up pass (the thread runs one every RECORD_CLEANUP_INTERVAL_MS).
    void CleanupPass(CleanupState* state);

    std::vector<RecordDiskNode> Disks();
    int CurrentDisk();

private:
    static unsigned CleanupThread(void* arg);
    void ScanDisk(QChar letter, CleanupState* state);
    void DeleteOldest(CleanupState* state);
    void PruneIndexFiles();
    bool FolderInUse(const QString& folder);
    QString RecordRoot(QChar letter) const;

    RecordStorageConfig m_config;
    std::mutex m_lock;  // the disks' free bytes, the current disk and the folders in use
    std::vector<RecordDiskNode> m_disks;
    int m_currentDisk = -1;
    std::map<QString, int> m_foldersInUse;  // native day folder -> files open in it
    uint64_t m_minFree = RECORD_DISK_MIN_FREE;
    WorkerThread* m_cleanupHandle = nullptr;
    ThreadId m_cleanupId = 0;
};

// The one storage of the client, made by InitMediaSystem and freed by FreeMediaSystem.
extern std::unique_ptr<RecordStorage> g_recordStorage;
