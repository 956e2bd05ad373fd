#include "media/record_storage.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <cstdio>
#include <ctime>

#include "core/file_helpers.h"
#include "core/safe_path.h"
#include "platform/system/paths.h"

std::unique_ptr<RecordStorage> g_recordStorage;

namespace {

constexpr int kBelowNormalNice = 5;

int RealDiskFreeBytes(QChar letter, uint64_t* freeBytes) {
    QString folder = DriveFolder(letter);
    uint64_t total = 0;
    if (folder.isEmpty())
        return -1;
    return GetDiskSpace(folder, &total, freeBytes);
}

int64_t RealRecordClock() {
    return static_cast<int64_t>(std::time(nullptr));
}

std::atomic<DiskFreeBytesFn> g_diskFreeBytes{RealDiskFreeBytes};
std::atomic<RecordClockFn> g_recordClock{RealRecordClock};

std::tm LocalTime(int64_t seconds) {
    std::time_t t = static_cast<std::time_t>(seconds);
    std::tm local{};
    localtime_r(&t, &local);
    return local;
}

struct DayName {
    int year = 0;
    int month = 0;
    int day = 0;
};

// A name that reads as "%4d_%2d_%2d" (and, with a suffix, "%4d_%2d_%2d<suffix>").
bool ReadDayName(const QString& name, const char* format, DayName* out) {
    QByteArray bytes = name.toLatin1();
    return std::sscanf(bytes.constData(), format, &out->year, &out->month, &out->day) == 3;
}

// A valid day: year 1900 or later, month 1-12, day 1-31; its date is local midnight of that day, with
// days past the month's end counted into the next month.
bool ValidDay(const DayName& day, int64_t* date) {
    if (day.year < 1900 || day.month < 1 || day.month > 12 || day.day < 1 || day.day > 31)
        return false;
    std::tm local{};
    local.tm_year = day.year - 1900;
    local.tm_mon = day.month - 1;
    local.tm_mday = day.day;
    local.tm_isdst = -1;
    *date = static_cast<int64_t>(std::mktime(&local));
    return true;
}

// When the folder was made, in nanoseconds (its change time where the file system keeps no birth time).
int64_t FolderCreated(const QString& path) {
    struct statx info {};
    QByteArray native = QFile::encodeName(path);
    if (statx(AT_FDCWD, native.constData(), 0, STATX_BTIME | STATX_CTIME, &info) != 0)
        return INT64_MAX;
    const statx_timestamp& t = (info.stx_mask & STATX_BTIME) != 0 ? info.stx_btime : info.stx_ctime;
    return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

QStringList SubFolders(const QString& folder) {
    QStringList paths;
    QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name))
        paths << QDir::cleanPath(dir.filePath(name));
    return paths;
}

// The native day folder of a record file path.
QString DayFolderOf(const QString& filePath) {
    QString native = QDir::cleanPath(ToNativePath(filePath));
    return native.left(native.lastIndexOf(QLatin1Char('/')));
}

}  // namespace

void SetDiskFreeBytesFunction(DiskFreeBytesFn fn) {
    g_diskFreeBytes.store(fn != nullptr ? fn : RealDiskFreeBytes);
}

int DiskFreeBytes(QChar letter, uint64_t* freeBytes) {
    return g_diskFreeBytes.load()(letter, freeBytes);
}

void SetRecordClock(RecordClockFn clock) {
    g_recordClock.store(clock != nullptr ? clock : RealRecordClock);
}

int64_t RecordClockNow() {
    return g_recordClock.load()();
}

RecordStorage::RecordStorage(const RecordStorageConfig& config) : m_config(config) {
    for (QChar letter : config.disks) {
        if (letter.isNull())
            break;
        uint64_t freeBytes = 0;
        if (DiskFreeBytes(letter, &freeBytes) != 0)
            freeBytes = 0;
        m_disks.push_back(RecordDiskNode{letter, freeBytes});
    }
    if (config.cleanupThread && StartWorkerThread(&m_cleanupHandle, &m_cleanupId, CleanupThread, this) != 0) {
        m_cleanupHandle = nullptr;
        m_cleanupId = 0;
    }
}

RecordStorage::~RecordStorage() {
    StopWorkerThread(&m_cleanupHandle, &m_cleanupId);
    std::lock_guard<std::mutex> guard(m_lock);
    m_disks.clear();
    m_currentDisk = -1;
}

std::vector<RecordDiskNode> RecordStorage::Disks() {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_disks;
}

int RecordStorage::CurrentDisk() {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_currentDisk;
}

int RecordStorage::MakeRecordPath(const QString& dvrName, int channel, QString* path) {
    if (path == nullptr)
        return -1;
    QChar letter;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        const int count = static_cast<int>(m_disks.size());
        if (count == 0)
            return -1;
        auto firstWithRoom = [&](int from) {
            for (int i = from; i < count; ++i) {
                if (m_disks[i].freeBytes > m_minFree)
                    return i;
            }
            return -1;
        };
        int chosen = firstWithRoom(m_currentDisk < 0 ? 0 : m_currentDisk);
        if (chosen < 0 && m_currentDisk > 0)
            chosen = firstWithRoom(0);
        if (chosen < 0) {
            if (m_config.diskFullAction == 0)
                return -1;
            // The clean-up thread makes room on the disk in use.
            chosen = m_currentDisk < 0 ? 0 : m_currentDisk;
        }
        m_currentDisk = chosen;
        letter = m_disks[chosen].letter;
    }
    std::tm local = LocalTime(RecordClockNow());
    char day[32];
    char time[16];
    std::strftime(day, sizeof day, "%Y_%m_%d", &local);
    std::strftime(time, sizeof time, "%H%M%S", &local);
    // Built in one pass: a name or folder holding "%1" stays as it is.
    const QLatin1Char separator('\\');
    *path = QString(letter) + QLatin1Char(':') + separator + m_config.recordDir + separator +
            MakeSafePathComponent(dvrName) + separator + QLatin1String(day) + separator +
            QStringLiteral("CH") + QStringLiteral("%1").arg(channel + 1, 3, 10, QLatin1Char('0')) +
            QLatin1Char('_') + QLatin1String(time) + QLatin1Char('.') + m_config.extension;
    return 0;
}

void RecordStorage::BeginFile(const QString& path) {
    std::lock_guard<std::mutex> guard(m_lock);
    ++m_foldersInUse[DayFolderOf(path)];
}

void RecordStorage::EndFile(const QString& path) {
    std::lock_guard<std::mutex> guard(m_lock);
    auto it = m_foldersInUse.find(DayFolderOf(path));
    if (it != m_foldersInUse.end() && --it->second <= 0)
        m_foldersInUse.erase(it);
}

bool RecordStorage::FolderInUse(const QString& folder) {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_foldersInUse.count(folder) != 0;
}

QString RecordStorage::RecordRoot(QChar letter) const {
    return QDir::cleanPath(
        ToNativePath(QString(letter) + QStringLiteral(":\\") + m_config.recordDir + QLatin1Char('\\')));
}

unsigned RecordStorage::CleanupThread(void* arg) {
    auto* storage = static_cast<RecordStorage*>(arg);
    // Below the record and decode threads: the clean-up is never in a hurry.
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), kBelowNormalNice);
    CleanupState state;
    state.oldestDate = RecordClockNow();
    state.oldestCreated = state.oldestDate * 1000000000;
    state.previousPass = state.oldestDate;
    for (;;) {
        ThreadMessage msg;
        if (GetThreadMessage(&msg, RECORD_CLEANUP_INTERVAL_MS) != 0) {
            if (msg.message == WM_QUIT)
                return 0;
            continue;
        }
        storage->CleanupPass(&state);
    }
}

void RecordStorage::ScanDisk(QChar letter, CleanupState* state) {
    for (const QString& dvrFolder : SubFolders(RecordRoot(letter))) {
        for (const QString& dayFolder : SubFolders(dvrFolder)) {
            DayName day;
            int64_t date = 0;
            if (!ReadDayName(QDir(dayFolder).dirName(), "%4d_%2d_%2d", &day) || !ValidDay(day, &date))
                continue;
            // A folder a record thread writes into is never a candidate.
            if (date > state->oldestDate || FolderInUse(dayFolder))
                continue;
            int64_t created = FolderCreated(dayFolder);
            if (date < state->oldestDate || created < state->oldestCreated) {
                state->oldestDate = date;
                state->oldestCreated = created;
                state->oldestPath = dayFolder;
            }
        }
    }
}

void RecordStorage::DeleteOldest(CleanupState* state) {
    // Whether a record thread writes into the folder is decided at the moment of deleting, not when it
    // was found: under the lock the folder is checked and moved aside in one step (a record thread that
    // begins a file there afterwards makes the folder anew), then deleted without the lock.
    const QString aside = state->oldestPath + QStringLiteral(".deleting");
    bool moved = false;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_foldersInUse.count(state->oldestPath) == 0 && !QFileInfo::exists(aside))
            moved = ::rename(QFile::encodeName(state->oldestPath).constData(),
                             QFile::encodeName(aside).constData()) == 0;
    }
    if (moved && ShellDeleteFiles(QStringList{aside}) == 0) {
        // What can go goes, one entry at a time; what stays is found again as a day folder of that date.
        QDir dir(aside);
        for (const QString& name : dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
            (void)ShellDeleteFiles(QStringList{dir.filePath(name)});
    }
    state->oldestPath.clear();
    state->oldestDate = RecordClockNow();
    state->oldestCreated = state->oldestDate * 1000000000;
}

void RecordStorage::PruneIndexFiles() {
    QString indexFolder = ToNativePath(m_config.indexDir);
    QDir index(indexFolder);
    std::vector<DayName> days;
    for (const RecordDiskNode& disk : Disks()) {
        for (const QString& dvrFolder : SubFolders(RecordRoot(disk.letter))) {
            for (const QString& dayFolder : SubFolders(dvrFolder)) {
                DayName day;
                if (ReadDayName(QDir(dayFolder).dirName(), "%4d_%2d_%2d", &day))
                    days.push_back(day);
            }
        }
    }
    for (const QString& name : index.entryList(QDir::Files | QDir::Hidden)) {
        DayName file;
        if (!ReadDayName(name, "%4d_%2d_%2d.idx", &file) || !name.endsWith(QStringLiteral(".idx")))
            continue;
        bool kept = false;
        for (const DayName& d : days)
            kept = kept || (d.year == file.year && d.month == file.month && d.day == file.day);
        if (!kept)
            (void)ShellDeleteFiles(QStringList{index.filePath(name)});
    }
}

void RecordStorage::CleanupPass(CleanupState* state) {
    const int64_t now = RecordClockNow();
    const bool rescan =
        state->oldestPath.isEmpty() || LocalTime(now).tm_mday != LocalTime(state->previousPass).tm_mday;
    // With no record folder name the disks' roots would be searched: nothing there is ours to delete.
    const bool searchable = !m_config.recordDir.isEmpty();
    bool rescanned = false;
    uint64_t totalFree = 0;
    std::vector<RecordDiskNode> disks = Disks();
    for (size_t i = 0; i < disks.size(); ++i) {
        uint64_t freeBytes = 0;
        bool read = DiskFreeBytes(disks[i].letter, &freeBytes) == 0;
        if (!read)
            freeBytes = 0;
        totalFree += freeBytes;
        if (read && rescan && searchable) {
            ScanDisk(disks[i].letter, state);
            rescanned = true;
        }
        std::lock_guard<std::mutex> guard(m_lock);
        if (i < m_disks.size())
            m_disks[i].freeBytes = freeBytes;
    }
    const uint64_t limit = static_cast<uint64_t>(disks.size()) * m_minFree + RECORD_CLEANUP_RESERVE;
    if (m_config.diskFullAction != 0 && !state->oldestPath.isEmpty() && totalFree <= limit)
        DeleteOldest(state);
    if (rescanned)
        PruneIndexFiles();
    state->previousPass = now;
}
