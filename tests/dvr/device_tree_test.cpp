// The device tree file, its items and the sessions they start.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstring>

#include "core/base64.h"
#include "dvr/device_tree.h"
#include "dvr/dvr_session.h"
#include "platform/system/paths.h"
#include "tests/bounded_wait.h"
#include "tests/dvr/memory_tree_view.h"

namespace {

void SetText(char16_t* field, size_t chars, const std::u16string& text) {
    std::memset(field, 0, chars * sizeof(char16_t));
    std::memcpy(field, text.data(), std::min(text.size(), chars) * sizeof(char16_t));
}

DeviceTreeNode Area(int id, const std::u16string& name, int parent = 0) {
    DeviceTreeNode node{};
    node.type = NODE_AREA;
    node.id = id;
    node.parentId = parent;
    SetText(node.name, 256, name);
    return node;
}

// A DVR on a loopback port where nothing listens, so its session only tries to connect.
DeviceTreeNode Dvr(int id, const std::u16string& name, int parent, const QString& user = QString()) {
    DeviceTreeNode node{};
    node.type = NODE_DVR;
    node.id = id;
    node.parentId = parent;
    node.port = 1;
    SetText(node.name, 256, name);
    SetText(node.host, 64, u"127.0.0.1");
    if (!user.isEmpty())
        SetText(node.user, 256, WideToBase64(user).toStdU16String());
    return node;
}

class DeviceTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = DeviceTreeFilePath(dir.path() + "/", true);
        InitDeviceList();
    }
    void TearDown() override {
        FreeDeviceList();
        ClearDeviceTree(&tree);
    }
    void Write(const std::vector<DeviceTreeNode>& records, bool mark = true, const QByteArray& tail = {}) {
        QFile file(ToNativePath(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        if (mark)
            file.write("\xFF\xFE", 2);
        for (const DeviceTreeNode& record : records)
            file.write(reinterpret_cast<const char*>(&record), sizeof record);
        file.write(tail);
    }
    int Sessions() {
        int count = 0;
        for (DVRDevice* device = g_deviceList; device != nullptr; device = device->next)
            ++count;
        return count;
    }

    QTemporaryDir dir;
    QString path;
    MemoryTreeView tree;
};

TEST(DeviceTreeNodeLayout, FieldsSitAtTheirOffsets) {
    DeviceTreeNode node{};
    node.type = NODE_DVR;
    node.port = 0x01020304;
    node.password[255] = 0x4142;
    const auto* bytes = reinterpret_cast<const uint8_t*>(&node);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[652], 4);
    EXPECT_EQ(bytes[655], 1);
    EXPECT_EQ(bytes[1810], 0x42);
    EXPECT_EQ(bytes[1811], 0x41);
}

TEST(DeviceTreeNodeLayout, FilePathByMode) {
    EXPECT_EQ(DeviceTreeFilePath("/data/", true), "/data/tree.dat");
    EXPECT_EQ(DeviceTreeFilePath("/data/", false), "/data/treew.dat");
}

// The tree file holds the DVRs' logins: each write leaves it readable by its owner only, whatever mode the
// file had, and writes exactly the mark and the records.
TEST_F(DeviceTreeTest, WrittenFileIsItsOwnersAlone) {
    const QFileDevice::Permissions ownerOnly =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser;
    const std::vector<DeviceTreeNode> records = {Dvr(1, u"Gate", 0, QStringLiteral("admin"))};
    for (bool existing : {false, true}) {
        SCOPED_TRACE(existing ? "an existing file readable by others" : "a new file");
        QFile::remove(ToNativePath(path));
        if (existing) {
            Write({});
            ASSERT_TRUE(QFile::setPermissions(ToNativePath(path),
                                              ownerOnly | QFileDevice::ReadGroup | QFileDevice::ReadOther));
        }
        ASSERT_EQ(WriteDeviceTreeFile(ToNativePath(path), records), 0);
        EXPECT_EQ(QFileInfo(ToNativePath(path)).permissions(), ownerOnly);
        QFile file(ToNativePath(path));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(),
                  QByteArray("\xFF\xFE", 2) +
                      QByteArray(reinterpret_cast<const char*>(&records[0]), sizeof(DeviceTreeNode)));
    }
}

// A view that counts the steps of walks through its items.
class CountingTreeView : public MemoryTreeView {
public:
    TreeItem GetNextSiblingItem(TreeItem item) override {
        ++steps;
        return MemoryTreeView::GetNextSiblingItem(item);
    }
    TreeItem GetChildItem(TreeItem item) override {
        ++steps;
        return MemoryTreeView::GetChildItem(item);
    }
    long steps = 0;
};

// A large list loads in linear time: each record's area is found without a walk through the whole tree.
// Areas that share an id still go under the first of them in tree order.
TEST_F(DeviceTreeTest, ALargeListLoadsWithoutWalkingTheTreeForEachRecord) {
    constexpr int kAreas = 3000;
    std::vector<DeviceTreeNode> records;
    for (int i = 1; i <= kAreas; ++i)
        records.push_back(Area(i, u"Area", i > 1500 ? i - 1500 : 0));
    Write(records);
    CountingTreeView counting;
    LoadDeviceTree(&counting, path);
    EXPECT_EQ(counting.Roots().size(), 1500u);
    EXPECT_EQ(counting.Roots()[1499]->children.size(), 1u);
    EXPECT_LT(counting.steps, 10L * kAreas);
    ClearDeviceTree(&counting);

    Write({Area(4, u"Outer"), Area(5, u"Shared"), Area(4, u"Inner", 5), Area(6, u"Child", 4)});
    LoadDeviceTree(&tree, path);
    ASSERT_EQ(tree.Roots().size(), 2u);
    EXPECT_EQ(tree.Roots()[0]->children.size(), 1u);  // Child, under the first area 4 in tree order
    EXPECT_EQ(tree.Roots()[0]->children[0]->text, u"Child");
}

TEST_F(DeviceTreeTest, AreasAndDvrsInTheirPlaces) {
    Write({Area(1, u"North"), Area(2, u"Depot", 1), Dvr(1, u"Gate", 2, "admin"), Dvr(2, u"Lost", 7),
           Dvr(3, u"Top", 0)});
    LoadDeviceTree(&tree, path);
    ASSERT_EQ(tree.Roots().size(), 3u);
    auto* north = tree.Roots()[0].get();
    EXPECT_EQ(north->text, u"North");
    EXPECT_EQ(north->image, TREE_ICON_AREA);
    auto* gate = north->children[0]->children[0].get();
    EXPECT_EQ(gate->text, u"Gate");
    EXPECT_EQ(gate->image, TREE_ICON_DVR);
    EXPECT_EQ(std::u16string(gate->data->user), u"admin");  // decoded in memory
    EXPECT_EQ(tree.Roots()[1]->text, u"Lost");              // no area 7: top level
    EXPECT_EQ(Sessions(), 3);
    EXPECT_EQ(FindDeviceByNode(gate->data)->node, gate->data);
    EXPECT_EQ(FindTreeItem(&tree, NODE_DVR, 3, nullptr), tree.Roots()[2].get());
    EXPECT_EQ(FindTreeItem(&tree, NODE_AREA, 9, nullptr), nullptr);
}

TEST_F(DeviceTreeTest, LoadsTheTreeFromTheProgramsDataFolder) {
    // The application keeps its data folder (m_strDataDir) in stored form: "<program folder>data\\".
    qputenv("VISTAL_HOME", dir.path().toLocal8Bit());
    ASSERT_TRUE(QDir(dir.path()).mkpath("data"));
    const QString dataDirs[] = {ProgramFolder() + QStringLiteral("data\\"), QStringLiteral(".\\data\\")};
    for (const QString& dataDir : dataDirs) {
        path = DeviceTreeFilePath(dataDir, true);
        Write({Area(1, u"North"), Dvr(1, u"Gate", 1)});
        LoadDeviceTree(&tree, path);
        ASSERT_EQ(tree.Roots().size(), 1u) << dataDir.toStdString();
        EXPECT_EQ(tree.Roots()[0]->children[0]->text, u"Gate");
        FreeDeviceList();
        InitDeviceList();
    }
    EXPECT_TRUE(QFileInfo::exists(dir.path() + "/data/tree.dat"));
    qunsetenv("VISTAL_HOME");
}

TEST_F(DeviceTreeTest, FilesThatGiveAnEmptyTree) {
    struct Case {
        const char* name;
        bool mark;
        std::vector<DeviceTreeNode> records;
    } cases[] = {
        {"mark only", true, {}},
        {"no mark", false, {Dvr(1, u"A", 0)}},
    };
    for (const Case& c : cases) {
        Write(c.records, c.mark);
        LoadDeviceTree(&tree, path);
        EXPECT_TRUE(tree.Roots().empty()) << c.name;
        EXPECT_EQ(Sessions(), 0) << c.name;
    }
    QFile::remove(path);
    LoadDeviceTree(&tree, path);
    EXPECT_TRUE(tree.Roots().empty());
}

TEST_F(DeviceTreeTest, PartialRecordAndUnterminatedFields) {
    DeviceTreeNode open = Dvr(1, u"", 0);
    for (char16_t& c : open.name)
        c = u'x';
    for (char16_t& c : open.user)
        c = u'Q';
    Write({open}, true, QByteArray(100, '\x01'));
    LoadDeviceTree(&tree, path);
    ASSERT_EQ(tree.Roots().size(), 1u);  // the partial record is ignored
    EXPECT_EQ(tree.Roots()[0]->text.size(), 255u);
    EXPECT_LT(std::char_traits<char16_t>::length(tree.Roots()[0]->data->user), 256u);
}

TEST_F(DeviceTreeTest, EmptyUserStaysEmptyAndDuplicatesGetSessionsOfTheirOwn) {
    DeviceTreeNode first = Dvr(5, u"One", 0);
    DeviceTreeNode second = Dvr(5, u"Two", 0);
    Write({first, second});
    LoadDeviceTree(&tree, path);
    ASSERT_EQ(tree.Roots().size(), 2u);
    EXPECT_EQ(Sessions(), 2);
    EXPECT_EQ(tree.Roots()[0]->data->user[0], 0);

    // Channel items go under the DVR whose record they belong to, not the first with the same id.
    DVRDevice* two = FindDeviceByNode(tree.Roots()[1]->data);
    const char16_t names[3][256] = {u"A", u"", u"C"};
    ShowChannelItems(&tree, two, names, 3);
    EXPECT_TRUE(tree.Roots()[0]->children.empty());
    ASSERT_EQ(tree.Roots()[1]->children.size(), 2u);
    EXPECT_EQ(tree.Roots()[1]->children[1]->data->id, 2);  // indexes kept as ids
    SetChannelItemIcon(&tree, two, TREE_ICON_CHANNEL_OPEN, 2);
    EXPECT_EQ(tree.Roots()[1]->children[1]->image, TREE_ICON_CHANNEL_OPEN);
    SetChannelItemIcon(&tree, two, TREE_ICON_CHANNEL_OPEN, 5);  // no such channel: nothing
    // Showing them again replaces them.
    ShowChannelItems(&tree, two, names, 1);
    EXPECT_EQ(tree.Roots()[1]->children.size(), 1u);
}

TEST_F(DeviceTreeTest, ClickSelectsTheSessionOfTheDvr) {
    Write({Area(1, u"North"), Dvr(1, u"Gate", 1)});
    LoadDeviceTree(&tree, path);
    auto* area = tree.Roots()[0].get();
    auto* dvr = area->children[0].get();
    DVRDevice* device = FindDeviceByNode(dvr->data);
    const char16_t names[1][256] = {u"Cam"};
    ShowChannelItems(&tree, device, names, 1);

    tree.Select(dvr->children[0].get());
    OnClickDeviceTree(&tree);
    EXPECT_EQ(g_currentDevice.load(), device);
    tree.Select(area);
    OnClickDeviceTree(&tree);
    EXPECT_EQ(g_currentDevice.load(), nullptr);
    tree.Select(dvr);
    OnClickDeviceTree(&tree);
    EXPECT_EQ(g_currentDevice.load(), device);
}

// A load replaces the sessions of the previous one itself (they point at the items it frees), and a DVR
// whose item cannot be made gets no session and leaves no record behind.
TEST_F(DeviceTreeTest, LoadStopsEarlierSessionsAndKeepsNothingOfAnItemNotMade) {
    ASSERT_EQ(StartSupervisorThread(), 0);  // it starts the sessions the load puts on the list
    Write({Area(1, u"North"), Dvr(1, u"A", 1), Dvr(2, u"B", 1)});
    LoadDeviceTree(&tree, path);
    ASSERT_EQ(Sessions(), 2);
    tree.insertsLeft = 2;  // the area and the first DVR
    LoadDeviceTree(&tree, path);
    ASSERT_EQ(tree.Roots().size(), 1u);
    ASSERT_EQ(tree.Roots()[0]->children.size(), 1u);
    ASSERT_EQ(Sessions(), 1);
    EXPECT_EQ(g_deviceList->node, tree.Roots()[0]->children[0]->data);
    EXPECT_TRUE(harness::WaitUntil([] { return g_deviceList->commandQueue.load() != 0; }))
        << "the session's command thread did not start";
    StopSupervisorThread();
}

TEST_F(DeviceTreeTest, ReloadReplacesItemsAndSessions) {
    Write({Dvr(1, u"A", 0)});
    LoadDeviceTree(&tree, path);
    DVRDevice* before = g_deviceList;
    g_currentDevice = before;
    Write({Dvr(1, u"A", 0), Dvr(2, u"B", 0)});
    ReloadDevices(&tree, path);
    EXPECT_EQ(tree.Roots().size(), 2u);
    EXPECT_EQ(Sessions(), 2);
    EXPECT_EQ(g_currentDevice.load(), nullptr);
}

}  // namespace
