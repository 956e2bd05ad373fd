// The merge of a list of DVRs into a tree file, checked byte for byte.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "core/tarvik_app.h"
#include "dvr/device_tree.h"
#include "dvr/device_tree_merge.h"
#include "tests/dvr/tree_file_fixture.h"

namespace {

using Records = std::vector<DeviceTreeNode>;

struct MergeCase {
    const char* title;
    bool lanMode;
    QByteArray fileBefore;  // empty: no file
    Records list;
    int result;
    QByteArray fileAfter;  // what the file holds afterwards
};

const QString kA = QStringLiteral("10.0.0.1");
const QString kB = QStringLiteral("10.0.0.2");

DeviceTreeNode WithId(DeviceTreeNode node, int id) {
    node.id = id;
    return node;
}

std::vector<MergeCase> MergeCases() {
    const DeviceTreeNode gateFound = DvrRecord(0, "Gate", kA, 9000);
    const DeviceTreeNode gateStored = DvrRecord(4, "Gate", kB, 8000, "bob", "se cret");
    const DeviceTreeNode gateMerged = DvrRecord(0, "Gate", kA, 9000, "bob", "se cret");
    const DeviceTreeNode yard = DvrRecord(1, "Yard", kB, 9000);
    const DeviceTreeNode stored = DvrRecord(7, "Old", kB, 7000, "ann", "pw");
    const DeviceTreeNode area = AreaRecord(1, "North");
    return {
        {"missing file, nothing found: only the mark", true, {}, {}, 0, TreeFileBytes({})},
        {"credentials carried by name",
         false,
         TreeFileBytes({gateStored}),
         {gateFound, yard},
         0,
         TreeFileBytes({gateMerged, yard})},
        {"first of equal names receives them",
         false,
         TreeFileBytes({gateStored}),
         {gateFound, WithId(DvrRecord(1, "Gate", kB, 9001), 1)},
         0,
         TreeFileBytes({gateMerged, DvrRecord(1, "Gate", kB, 9001)})},
        {"same host and port: the later stays; same host, other port: both",
         false,
         {},
         {DvrRecord(0, "One", kA, 9000), DvrRecord(1, "Two", kA, 9001), DvrRecord(2, "Three", kA, 9000)},
         0,
         TreeFileBytes({DvrRecord(1, "Two", kA, 9001), DvrRecord(2, "Three", kA, 9000)})},
        {"LAN keeps stored DVRs that did not answer, drops areas",
         true,
         TreeFileBytes({area, stored, gateStored}),
         {gateFound},
         0,
         TreeFileBytes({gateMerged, stored})},
        {"WAN drops stored DVRs the server did not list",
         false,
         TreeFileBytes({area, stored, gateStored}),
         {gateFound},
         0,
         TreeFileBytes({gateMerged})},
        {"no FF FE mark: nothing written",
         false,
         QByteArray("plain text"),
         {gateFound},
         -1,
         QByteArray("plain text")},
        {"a file shorter than the mark: nothing written",
         true,
         QByteArray("\xFF", 1),
         {},
         -1,
         QByteArray("\xFF", 1)},
        {"trailing partial record is dropped",
         true,
         TreeFileBytes({stored}) + QByteArray(10, 'z'),
         {},
         0,
         TreeFileBytes({stored})},
    };
}

class MergeTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QTemporaryDir dir;
};

TEST_F(MergeTest, TableOfMerges) {
    for (const MergeCase& c : MergeCases()) {
        SCOPED_TRACE(c.title);
        const QString path = dir.filePath(QStringLiteral("treew.dat"));
        QFile::remove(path);
        if (!c.fileBefore.isEmpty()) {
            ASSERT_TRUE(WriteBytes(path, c.fileBefore));
        }
        DeviceList list;
        for (const DeviceTreeNode& node : c.list)
            ASSERT_NE(list.Append(node), nullptr);
        EXPECT_EQ(MergeDeviceTreeFileAt(path, c.lanMode, list.Head()), c.result);
        EXPECT_EQ(ReadBytes(path), c.fileAfter);
    }
}

// A tree file that exists but cannot be read (here a folder in its place) is left as it is: the stored
// DVRs and their credentials are not lost.
TEST_F(MergeTest, UnreadableFileIsLeftUntouched) {
    const QString path = dir.filePath(QStringLiteral("tree.dat"));
    ASSERT_TRUE(QDir().mkdir(path));
    DeviceList list;
    ASSERT_NE(list.Append(DvrRecord(0, "Gate", kA, 9000)), nullptr);
    EXPECT_EQ(MergeDeviceTreeFileAt(path, true, list.Head()), -1);
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_TRUE(QDir(path).isEmpty());
}

// An empty tree file (a write cut short before its mark) holds nothing to keep: a merge of either mode
// replaces it.
TEST_F(MergeTest, AnEmptyFileIsReplaced) {
    for (bool lan : {false, true}) {
        SCOPED_TRACE(lan);
        const QString path = dir.filePath(lan ? QStringLiteral("tree.dat") : QStringLiteral("treew.dat"));
        ASSERT_TRUE(WriteBytes(path, QByteArray()));
        ASSERT_TRUE(QFileInfo::exists(path));
        DeviceList list;
        ASSERT_NE(list.Append(DvrRecord(0, "Gate", kA, 9000)), nullptr);
        EXPECT_EQ(MergeDeviceTreeFileAt(path, lan, list.Head()), 0);
        EXPECT_EQ(ReadBytes(path), TreeFileBytes({DvrRecord(0, "Gate", kA, 9000)}));
    }
}

// The merge of the current mode goes to theApp's data folder, and hides the device list dialog again.
TEST_F(MergeTest, CurrentModeFileAndShowDevice) {
    theApp.m_strDataDir = dir.path() + QStringLiteral("/");
    theApp.m_bShowDevice = 1;
    for (int lan : {1, 0}) {
        theApp.m_bLanMode = lan;
        DeviceList list;
        ASSERT_NE(list.Append(DvrRecord(0, "Gate", kA, 9000)), nullptr);
        EXPECT_EQ(MergeDeviceTreeFile(list.Head()), 0);
        EXPECT_EQ(ReadBytes(DeviceTreeFilePath(theApp.m_strDataDir, lan != 0)),
                  TreeFileBytes({DvrRecord(0, "Gate", kA, 9000)}));
    }
    EXPECT_EQ(theApp.m_bShowDevice, 0);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);  // no temporary file left behind
}

}  // namespace
