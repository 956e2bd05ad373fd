// The record storage: which disk a new record file goes to, the names of record files, and the clean-up
// that frees the disks one day folder at a time, on folders of temporary drives.

#include "media/record_storage.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstdlib>
#include <map>
#include <thread>

namespace {

constexpr uint64_t kMiB = 1024 * 1024;

// Free bytes per drive letter as the test sets them; a letter without an entry cannot be read.
std::map<char16_t, uint64_t> g_free;
int TestFreeBytes(QChar letter, uint64_t* freeBytes) {
    auto it = g_free.find(letter.unicode());
    if (it == g_free.end())
        return -1;
    *freeBytes = it->second;
    return 0;
}

int64_t g_now = 0;
int64_t TestClock() {
    return g_now;
}

// 2024-06-01 12:00:00 UTC.
constexpr int64_t kJune1Noon = 1717243200;

class RecordStorageTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TZ", "UTC", 1);
        tzset();
        g_free.clear();
        g_now = kJune1Noon;
        SetDiskFreeBytesFunction(TestFreeBytes);
        SetRecordClock(TestClock);
        ASSERT_TRUE(drives.isValid());
        for (const char* letter : {"X", "Y"}) {
            QString folder = drives.filePath(QString::fromLatin1(letter));
            ASSERT_TRUE(QDir().mkpath(folder));
            qputenv(QByteArray("VISTAL_DRIVE_") + letter, QFile::encodeName(folder));
        }
    }
    void TearDown() override {
        SetDiskFreeBytesFunction(nullptr);
        SetRecordClock(nullptr);
        qunsetenv("VISTAL_DRIVE_X");
        qunsetenv("VISTAL_DRIVE_Y");
    }
    static RecordStorageConfig Config(const char* disks, int action, const char* recordDir = "Records") {
        RecordStorageConfig config;
        config.disks = QString::fromLatin1(disks);
        config.recordDir = QString::fromLatin1(recordDir);
        config.indexDir = QString();
        config.extension = QStringLiteral("avi");
        config.diskFullAction = action;
        config.cleanupThread = false;
        return config;
    }
    // The drive letter of a path the storage made, or '-' when it made none.
    static char LetterOf(RecordStorage& storage) {
        QString path;
        if (storage.MakeRecordPath(QStringLiteral("DVR"), 0, &path) != 0)
            return '-';
        return path.at(0).toLatin1();
    }
    QString MakeFolder(const QString& relative) {
        QString path = drives.filePath(relative);
        EXPECT_TRUE(QDir().mkpath(path));
        return path;
    }
    bool Exists(const QString& relative) { return QFileInfo::exists(drives.filePath(relative)); }

    QTemporaryDir drives;
};

// Free space per disk before the first path and, after a clean-up pass, before the second.
struct DiskChoiceCase {
    const char* name;
    const char* disks;
    int action;
    std::map<char16_t, uint64_t> before;
    std::map<char16_t, uint64_t> after;
    const char* expected;  // the letters of the two paths ('-': none)
};

TEST_F(RecordStorageTest, ChoosesTheFirstDiskWithRoomFromTheCurrentOne) {
    const DiskChoiceCase cases[] = {
        {"E has room, D not",
         "XY",
         0,
         {{u'X', 150 * kMiB}, {u'Y', 300 * kMiB}},
         {{u'X', 150 * kMiB}, {u'Y', 300 * kMiB}},
         "YY"},
        {"strictly more than the minimum",
         "XY",
         0,
         {{u'X', 150 * kMiB}, {u'Y', 300 * kMiB}},
         {{u'X', 150 * kMiB}, {u'Y', 200 * kMiB}},
         "Y-"},
        {"the search wraps once to the first disk",
         "XY",
         0,
         {{u'X', 150 * kMiB}, {u'Y', 300 * kMiB}},
         {{u'X', 900 * kMiB}, {u'Y', 100 * kMiB}},
         "YX"},
        {"the current disk stays while it has room",
         "XY",
         0,
         {{u'X', 150 * kMiB}, {u'Y', 300 * kMiB}},
         {{u'X', 900 * kMiB}, {u'Y', 300 * kMiB}},
         "YY"},
        {"none qualifies, action off",
         "XY",
         0,
         {{u'X', 100 * kMiB}, {u'Y', 100 * kMiB}},
         {{u'X', 100 * kMiB}, {u'Y', 100 * kMiB}},
         "--"},
        {"none qualifies, action on: the first disk",
         "XY",
         1,
         {{u'X', 100 * kMiB}, {u'Y', 100 * kMiB}},
         {{u'X', 100 * kMiB}, {u'Y', 100 * kMiB}},
         "XX"},
        {"action on keeps the current disk when all fill",
         "XY",
         1,
         {{u'X', 100 * kMiB}, {u'Y', 300 * kMiB}},
         {{u'X', 100 * kMiB}, {u'Y', 100 * kMiB}},
         "YY"},
        {"a disk that cannot be read counts as full",
         "XY",
         0,
         {{u'Y', 300 * kMiB}},
         {{u'Y', 300 * kMiB}},
         "YY"},
        {"no disks, action off", "", 0, {}, {}, "--"},
        {"no disks, action on", "", 1, {}, {}, "--"},
    };
    for (const DiskChoiceCase& c : cases) {
        SCOPED_TRACE(c.name);
        g_free = c.before;
        RecordStorage storage(Config(c.disks, c.action, ""));
        char first = LetterOf(storage);
        g_free = c.after;
        CleanupState state;
        storage.CleanupPass(&state);  // refreshes the free space
        char second = LetterOf(storage);
        EXPECT_EQ(std::string({first, second}), c.expected);
    }
}

TEST_F(RecordStorageTest, RecordFileNames) {
    struct Case {
        const char* name;
        QString dvr;
        int channel;
        int64_t time;
        QString expected;
    } cases[] = {
        {"plain", QStringLiteral("Shop"), 0, kJune1Noon,
         QStringLiteral("X:\\Records\\Shop\\2024_06_01\\CH001_120000.avi")},
        {"last channel, one second before midnight", QStringLiteral("Shop"), 63, kJune1Noon + 43199,
         QStringLiteral("X:\\Records\\Shop\\2024_06_01\\CH064_235959.avi")},
        {"channel 999", QStringLiteral("Shop"), 998, kJune1Noon,
         QStringLiteral("X:\\Records\\Shop\\2024_06_01\\CH999_120000.avi")},
        {"separators and reserved characters", QStringLiteral("a/b\\c:d*e?f\"g<h>i|j"), 1, kJune1Noon,
         QStringLiteral("X:\\Records\\a_b_c_d_e_f_g_h_i_j\\2024_06_01\\CH002_120000.avi")},
        {"parent folder", QStringLiteral(".."), 0, kJune1Noon,
         QStringLiteral("X:\\Records\\__\\2024_06_01\\CH001_120000.avi")},
        {"empty name", QString(), 0, kJune1Noon,
         QStringLiteral("X:\\Records\\_\\2024_06_01\\CH001_120000.avi")},
        {"unicode kept", QStringLiteral(u"门口 2"), 0, kJune1Noon,
         QStringLiteral(u"X:\\Records\\门口 2\\2024_06_01\\CH001_120000.avi")},
        {"placeholders in the name stay as they are", QStringLiteral("Shop%1%2%7"), 1, kJune1Noon,
         QStringLiteral("X:\\Records\\Shop%1%2%7\\2024_06_01\\CH002_120000.avi")},
    };
    g_free = {{u'X', 1000 * kMiB}};
    RecordStorage storage(Config("X", 0));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_now = c.time;
        QString path;
        ASSERT_EQ(storage.MakeRecordPath(c.dvr, c.channel, &path), 0);
        EXPECT_EQ(path, c.expected);
    }
    // The record folder name is taken as it is too.
    g_now = kJune1Noon;
    RecordStorage percent(Config("X", 0, "Rec%1%5"));
    QString path;
    ASSERT_EQ(percent.MakeRecordPath(QStringLiteral("Shop"), 1, &path), 0);
    EXPECT_EQ(path, QStringLiteral("X:\\Rec%1%5\\Shop\\2024_06_01\\CH002_120000.avi"));
}

// Folders under drive X (and Y), free space, and what must be gone or kept after one pass.
struct CleanupCase {
    const char* name;
    int action;
    std::map<char16_t, uint64_t> free;
    std::vector<const char*> folders;
    std::vector<const char*> gone;
    std::vector<const char*> kept;
};

TEST_F(RecordStorageTest, CleanupDeletesTheOldestValidDayFolderWhenTheDisksRunLow) {
    const CleanupCase cases[] = {
        {"oldest date in any DVR folder; invalid names skipped",
         1,
         {{u'X', 100 * kMiB}},
         {"X/Records/A/2024_01_02", "X/Records/B/2024_01_01", "X/Records/A/1899_01_01",
          "X/Records/A/2024_13_01", "X/Records/A/notes"},
         {"X/Records/B/2024_01_01"},
         {"X/Records/A/2024_01_02", "X/Records/A/1899_01_01", "X/Records/A/2024_13_01", "X/Records/A/notes"}},
        {"an impossible date counts as the next month's day",
         1,
         {{u'X', 100 * kMiB}},
         {"X/Records/A/2024_03_02", "X/Records/A/2024_02_30"},
         {"X/Records/A/2024_02_30"},
         {"X/Records/A/2024_03_02"}},
        {"two disks with 1300 MiB together are below the limit",
         1,
         {{u'X', 650 * kMiB}, {u'Y', 650 * kMiB}},
         {"X/Records/A/2024_05_01", "Y/Records/A/2024_04_01"},
         {"Y/Records/A/2024_04_01"},
         {"X/Records/A/2024_05_01"}},
        {"two disks with 1500 MiB together keep everything",
         1,
         {{u'X', 750 * kMiB}, {u'Y', 750 * kMiB}},
         {"X/Records/A/2024_05_01", "Y/Records/A/2024_04_01"},
         {},
         {"X/Records/A/2024_05_01", "Y/Records/A/2024_04_01"}},
        {"action off keeps everything",
         0,
         {{u'X', 10 * kMiB}},
         {"X/Records/A/2024_05_01"},
         {},
         {"X/Records/A/2024_05_01"}},
        {"a disk that cannot be read is not searched",
         1,
         {{u'Y', 10 * kMiB}},
         {"X/Records/A/2024_01_01", "Y/Records/A/2024_05_01"},
         {"Y/Records/A/2024_05_01"},
         {"X/Records/A/2024_01_01"}},
    };
    for (const CleanupCase& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* folder : c.folders) {
            MakeFolder(QString::fromLatin1(folder));
            QFile file(drives.filePath(QString::fromLatin1(folder) + QStringLiteral("/CH001_000000.avi")));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        g_free = c.free;
        RecordStorage storage(Config(c.free.size() == 2 || c.free.count(u'Y') ? "XY" : "X", c.action));
        CleanupState state;
        state.oldestDate = state.previousPass = g_now;
        state.oldestCreated = g_now * 1000000000;
        storage.CleanupPass(&state);
        for (const char* folder : c.gone)
            EXPECT_FALSE(Exists(QString::fromLatin1(folder))) << folder;
        for (const char* folder : c.kept)
            EXPECT_TRUE(Exists(QString::fromLatin1(folder))) << folder;
        QDir(drives.filePath("X/Records")).removeRecursively();
        QDir(drives.filePath("Y/Records")).removeRecursively();
    }
}

TEST_F(RecordStorageTest, CleanupFreesOneDayAPassOldestFirstAndSkipsTheFolderInUse) {
    // Two DVR folders with the same oldest date: the one made first goes first, whatever the order of
    // the search (B is made first, A is searched first).
    MakeFolder(QStringLiteral("X/Records/B/2024_01_01"));
    std::this_thread::sleep_for(std::chrono::milliseconds(30));  // file systems stamp times coarsely
    MakeFolder(QStringLiteral("X/Records/A/2024_01_01"));
    MakeFolder(QStringLiteral("X/Records/A/2024_01_02"));
    MakeFolder(QStringLiteral("X/Records/A/2024_01_03"));
    g_free = {{u'X', 10 * kMiB}};
    RecordStorage storage(Config("X", 1));
    // A record thread writes into 2024_01_02.
    const QString open = QStringLiteral("X:\\Records\\A\\2024_01_02\\CH001_100000.avi");
    storage.BeginFile(open);
    CleanupState state;
    state.oldestDate = state.previousPass = g_now;
    state.oldestCreated = g_now * 1000000000;

    const std::vector<std::vector<const char*>> afterPass = {
        {"X/Records/A/2024_01_01", "X/Records/A/2024_01_02", "X/Records/A/2024_01_03"},
        {"X/Records/A/2024_01_02", "X/Records/A/2024_01_03"},
        {"X/Records/A/2024_01_02"},
        {"X/Records/A/2024_01_02"},
    };
    for (size_t pass = 0; pass < afterPass.size(); ++pass) {
        SCOPED_TRACE(pass);
        g_now += 10;
        storage.CleanupPass(&state);
        EXPECT_EQ(Exists(QStringLiteral("X/Records/B/2024_01_01")), false);
        for (const char* day :
             {"X/Records/A/2024_01_01", "X/Records/A/2024_01_02", "X/Records/A/2024_01_03"}) {
            bool expected = std::find_if(afterPass[pass].begin(), afterPass[pass].end(), [&](const char* d) {
                                return std::string(d) == day;
                            }) != afterPass[pass].end();
            EXPECT_EQ(Exists(QString::fromLatin1(day)), expected) << day;
        }
    }
    // Once the file is closed, its folder is the oldest one left.
    storage.EndFile(open);
    g_now += 10;
    storage.CleanupPass(&state);
    EXPECT_FALSE(Exists(QStringLiteral("X/Records/A/2024_01_02")));
}

TEST_F(RecordStorageTest, AFolderARecordingBeganInSinceItWasFoundIsNotDeleted) {
    MakeFolder(QStringLiteral("X/Records/A/2024_01_01"));
    MakeFolder(QStringLiteral("X/Records/A/2024_01_02"));
    g_free = {{u'X', 5000 * kMiB}};
    RecordStorage storage(Config("X", 1));
    CleanupState state;
    state.oldestDate = state.previousPass = g_now;
    state.oldestCreated = g_now * 1000000000;
    storage.CleanupPass(&state);  // room enough: the oldest folder is only remembered
    ASSERT_EQ(QDir::cleanPath(state.oldestPath), QDir::cleanPath(drives.filePath("X/Records/A/2024_01_01")));

    // A recording begins in it; then the disk runs low.
    const QString open = QStringLiteral("X:\\Records\\A\\2024_01_01\\CH001_000000.avi");
    storage.BeginFile(open);
    g_free = {{u'X', 10 * kMiB}};
    g_now += 10;
    storage.CleanupPass(&state);
    EXPECT_TRUE(Exists(QStringLiteral("X/Records/A/2024_01_01")));
    EXPECT_TRUE(Exists(QStringLiteral("X/Records/A/2024_01_02")));
    g_now += 10;
    storage.CleanupPass(&state);  // searched again: the next oldest goes
    EXPECT_TRUE(Exists(QStringLiteral("X/Records/A/2024_01_01")));
    EXPECT_FALSE(Exists(QStringLiteral("X/Records/A/2024_01_02")));
    EXPECT_EQ(QDir(drives.filePath("X/Records/A")).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("2024_01_01")});
    storage.EndFile(open);
}

TEST_F(RecordStorageTest, CleanupPrunesIndexFilesWithoutADayFolder) {
    MakeFolder(QStringLiteral("X/Records/A/2024_05_01"));
    MakeFolder(QStringLiteral("Y/Records/B/2024_05_02"));
    QString index = MakeFolder(QStringLiteral("index"));
    for (const char* name :
         {"2024_05_01.idx", "2024_05_02.idx", "2024_05_03.idx", "2023_12_31.idx", "notes.txt"}) {
        QFile file(index + QLatin1Char('/') + QString::fromLatin1(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    g_free = {{u'X', 5000 * kMiB}, {u'Y', 5000 * kMiB}};
    RecordStorageConfig config = Config("XY", 1);
    config.indexDir = index + QLatin1Char('/');
    RecordStorage storage(config);
    CleanupState state;
    storage.CleanupPass(&state);
    EXPECT_TRUE(QFileInfo::exists(index + QStringLiteral("/2024_05_01.idx")));
    EXPECT_TRUE(QFileInfo::exists(index + QStringLiteral("/2024_05_02.idx")));
    EXPECT_FALSE(QFileInfo::exists(index + QStringLiteral("/2024_05_03.idx")));
    EXPECT_FALSE(QFileInfo::exists(index + QStringLiteral("/2023_12_31.idx")));
    EXPECT_TRUE(QFileInfo::exists(index + QStringLiteral("/notes.txt")));
}

TEST_F(RecordStorageTest, AnEmptyRecordFolderNameSearchesNothing) {
    // The drive's own folders would otherwise be taken for DVR folders.
    MakeFolder(QStringLiteral("X/Photos/2024_01_01"));
    QString index = MakeFolder(QStringLiteral("index"));
    QFile file(index + QStringLiteral("/2023_01_01.idx"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    g_free = {{u'X', 10 * kMiB}};
    RecordStorageConfig config = Config("X", 1, "");
    config.indexDir = index + QLatin1Char('/');
    RecordStorage storage(config);
    CleanupState state;
    storage.CleanupPass(&state);
    storage.CleanupPass(&state);
    EXPECT_TRUE(Exists(QStringLiteral("X/Photos/2024_01_01")));
    EXPECT_TRUE(QFileInfo::exists(index + QStringLiteral("/2023_01_01.idx")));
}

TEST_F(RecordStorageTest, TheCleanupThreadStopsPromptly) {
    g_free = {{u'X', 1000 * kMiB}};
    RecordStorageConfig config = Config("X", 1);
    config.cleanupThread = true;
    auto start = std::chrono::steady_clock::now();
    { RecordStorage storage(config); }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(THREAD_STOP_WAIT_MS));
}

}  // namespace
