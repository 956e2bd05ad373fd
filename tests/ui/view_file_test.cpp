// view.dat: exact bytes, round trip, and damaged files that load only what is valid.

#include "ui/view_file.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <string>
#include <vector>

namespace {

QByteArray Record(int32_t deviceId, int32_t channel) {
    QByteArray out;
    for (int32_t v : {deviceId, channel}) {
        auto u = static_cast<uint32_t>(v);
        for (int i = 0; i < 4; ++i)
            out.append(static_cast<char>((u >> (8 * i)) & 0xFF));
    }
    return out;
}

const QByteArray kMark("\xFF\xFE", 2);

QByteArray FullFile() {
    QByteArray bytes = kMark;
    for (int i = 0; i < GRID_SCREENS; ++i)
        bytes += Record(i / 16, i % 16);
    return bytes;
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

TEST(ViewFile, SavesTheMarkAndSixtyFourRecordsAndLoadsThemBack) {
    QTemporaryDir dir;
    const QString path = dir.filePath("view.dat");
    ViewEntry views[GRID_SCREENS];
    ClearViews(views);
    views[0] = {7, 3};
    views[5] = {12, 0};
    views[63] = {0, 255};
    ASSERT_EQ(SaveViewFile(path, views), 0);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray bytes = f.readAll();
    ASSERT_EQ(bytes.size(), VIEW_FILE_SIZE);
    EXPECT_EQ(bytes.left(2), kMark);
    EXPECT_EQ(bytes.mid(2, 8), Record(7, 3));
    EXPECT_EQ(bytes.mid(10, 8), Record(-1, -1));
    EXPECT_EQ(bytes.mid(2 + 63 * 8, 8), Record(0, 255));

    ViewEntry loaded[GRID_SCREENS];
    EXPECT_EQ(LoadViewFile(path, loaded), 3);
    for (int i = 0; i < GRID_SCREENS; ++i) {
        EXPECT_EQ(loaded[i].deviceId, views[i].deviceId) << i;
        EXPECT_EQ(loaded[i].channel, views[i].channel) << i;
    }
    // Saving again replaces the file whole, and no temporary file is left beside it.
    views[0] = {-1, -1};
    ASSERT_EQ(SaveViewFile(path, views), 0);
    EXPECT_EQ(LoadViewFile(path, loaded), 2);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"view.dat"});
}

TEST(ViewFile, DamagedFilesLoadWhatIsValid) {
    struct Case {
        const char* name;
        QByteArray bytes;
        int result;
        std::vector<std::pair<int, ViewEntry>> expected;  // screens that show something
    };
    QByteArray full = FullFile();
    QByteArray duplicate = kMark + Record(1, 2) + Record(3, 4) + Record(1, 2) + Record(1, 3);
    QByteArray ranges = kMark + Record(-5, 1) + Record(2, 256) + Record(2, -1) + Record(-1, 4) +
                        Record(9, 255) + Record(INT32_MAX, 0) + Record(4, INT32_MIN);
    const Case cases[] = {
        {"full", full, 64, {{0, {0, 0}}, {17, {1, 1}}, {63, {3, 15}}}},
        {"longer than 514 bytes", full + Record(5, 5) + "junk", 64, {{63, {3, 15}}}},
        {"wrong mark", QByteArray("\xFE\xFF", 2) + full.mid(2), -1, {}},
        {"no mark", full.mid(2), -1, {}},
        {"empty", QByteArray(), -1, {}},
        {"one byte", QByteArray("\xFF", 1), -1, {}},
        {"mark only", kMark, 0, {}},
        {"short last record",
         kMark + Record(1, 1) + Record(2, 2) + Record(3, 3).left(6),
         2,
         {{0, {1, 1}}, {1, {2, 2}}}},
        {"one channel on two screens", duplicate, 3, {{0, {1, 2}}, {1, {3, 4}}, {3, {1, 3}}}},
        {"ids out of range", ranges, 2, {{4, {9, 255}}, {5, {INT32_MAX, 0}}}},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        const QString path = dir.filePath("view.dat");
        ASSERT_TRUE(WriteBytes(path, c.bytes)) << c.name;
        ViewEntry views[GRID_SCREENS];
        views[10] = {77, 77};  // whatever was there before is cleared
        EXPECT_EQ(LoadViewFile(path, views), c.result) << c.name;
        int shown = 0;
        for (int i = 0; i < GRID_SCREENS; ++i)
            shown += views[i].deviceId >= 0 ? 1 : 0;
        EXPECT_EQ(shown, c.result < 0 ? 0 : c.result) << c.name;
        for (const auto& [screen, entry] : c.expected) {
            EXPECT_EQ(views[screen].deviceId, entry.deviceId) << c.name << " screen " << screen;
            EXPECT_EQ(views[screen].channel, entry.channel) << c.name << " screen " << screen;
        }
        for (const ViewEntry& e : views)
            EXPECT_TRUE((e.deviceId == -1 && e.channel == -1) || (e.deviceId >= 0 && e.channel >= 0))
                << c.name;
    }
}

TEST(ViewFile, MissingFileAndUnwritableFolderFailCleanly) {
    QTemporaryDir dir;
    ViewEntry views[GRID_SCREENS];
    EXPECT_EQ(LoadViewFile(dir.filePath("absent.dat"), views), -1);
    EXPECT_EQ(views[0].deviceId, -1);
    EXPECT_EQ(SaveViewFile(dir.filePath("no/such/folder/view.dat"), views), -1);
}

}  // namespace
