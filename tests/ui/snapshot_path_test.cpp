// Snapshot file names: the channel number, the time, and the DVR name made one safe folder name.

#include <gtest/gtest.h>

#include "ui/snapshot_path.h"

namespace {

TEST(SnapshotPath, NamesTheChannelAndTimeInTheDvrsFolder) {
    const QDateTime when(QDate(2013, 5, 22), QTime(14, 25, 1));
    struct Case {
        const char* dvrName;
        int channel;
        const char* expected;
    } const cases[] = {
        {"Gate", 0, "C:\\Shots\\Gate\\CH001_20130522_142501.jpg"},
        {"Gate", 2, "C:\\Shots\\Gate\\CH003_20130522_142501.jpg"},
        {"Gate", 254, "C:\\Shots\\Gate\\CH255_20130522_142501.jpg"},
        // A name never leaves the snapshot folder nor makes more folders.
        {"..", 0, "C:\\Shots\\__\\CH001_20130522_142501.jpg"},
        {"a\\..\\b/c:d*e", 0, "C:\\Shots\\a_.._b_c_d_e\\CH001_20130522_142501.jpg"},
        {"", 0, "C:\\Shots\\_\\CH001_20130522_142501.jpg"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SnapshotFilePath("C:\\Shots\\", QString::fromUtf8(c.dvrName), c.channel, when),
                  QString::fromLatin1(c.expected))
            << c.dvrName;
    EXPECT_TRUE(SnapshotFilePath("C:\\Shots\\", "Gate", -1, when).isEmpty());
}

TEST(SnapshotPath, APathBeyondTheLimitIsRefusedNotCut) {
    const QDateTime when(QDate(2013, 5, 22), QTime(14, 25, 1));
    const QString folder = "C:\\Shots\\";
    // folder + name + "\CH001_20130522_142501.jpg" (26 characters)
    const int room = SNAPSHOT_PATH_MAX - static_cast<int>(folder.size()) - 26;
    EXPECT_EQ(SnapshotFilePath(folder, QString(room, 'n'), 0, when).size(), SNAPSHOT_PATH_MAX);
    EXPECT_TRUE(SnapshotFilePath(folder, QString(room + 1, 'n'), 0, when).isEmpty());
}

}  // namespace
