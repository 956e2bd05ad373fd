// A tree file loaded into the real tree control, its DVRs logged in, clicked and drawn (the picture goes to
// <build>/tests/out/device_tree_online.png).

#include "tests/picture_output.h"
#include "tests/ui/device_tree_fixture.h"

namespace {

using namespace device_tree_test;

TEST_F(DeviceTreeOnControl, LoadedTreeLogsInAndShowsChannelItems) {
    dvrsim::DvrSim lobbySim(SimWithChannels({"Entrance", "", "Stairs"}));
    dvrsim::DvrSim yardSim(SimWithChannels({"Yard"}));
    yardSim.RefuseLogins(-1);
    ASSERT_EQ(lobbySim.Start(), 0);
    ASSERT_EQ(yardSim.Start(), 0);
    Load({
        Record(NODE_AREA, 1, u"Head office", 0), Record(NODE_AREA, 2, u"North wing", 1),
        Record(NODE_DVR, 1, u"Lobby", 2, lobbySim.Port()), Record(NODE_DVR, 2, u"Yard", 1, yardSim.Port()),
        Record(NODE_DVR, 3, u"Stray", 7, lobbySim.Port()),  // no area 7: top level
    });

    // The file's shape, each item with its record's type as image and its record as data.
    HTREEITEM office = tree.GetRootItem();
    ASSERT_NE(office, nullptr);
    EXPECT_EQ(Children(nullptr), (QStringList{"Head office", "Stray"}));
    EXPECT_EQ(Children(office), (QStringList{"North wing", "Yard"}));
    HTREEITEM lobby = Item(NODE_DVR, 1);
    HTREEITEM yard = Item(NODE_DVR, 2);
    HTREEITEM stray = Item(NODE_DVR, 3);
    ASSERT_TRUE(lobby != nullptr && yard != nullptr && stray != nullptr);
    EXPECT_EQ(tree.GetItemText(tree.GetParentItem(lobby)), "North wing");
    EXPECT_EQ(Image(office), TREE_ICON_AREA);
    EXPECT_EQ(Image(Item(NODE_AREA, 2)), TREE_ICON_AREA);
    EXPECT_EQ(Image(lobby), TREE_ICON_DVR);
    EXPECT_EQ(view.GetItemData(yard)->id, 2);
    ASSERT_NE(Device(lobby), nullptr);
    EXPECT_NE(Device(stray), Device(lobby));  // the same DVR twice: two sessions

    // The sessions' events arrive through the message loop.
    ASSERT_TRUE(WaitUntil([&] {
        return Children(lobby).size() == 2 && Children(stray).size() == 2 &&
               Image(yard) == TREE_ICON_DVR_REFUSED;
    }));
    EXPECT_EQ(Image(lobby), TREE_ICON_DVR_ONLINE);
    EXPECT_EQ(Image(stray), TREE_ICON_DVR_ONLINE);
    EXPECT_EQ(Children(lobby), (QStringList{"Entrance", "Stairs"}));  // the unnamed channel has no item
    EXPECT_TRUE(Children(yard).isEmpty());
    HTREEITEM stairs = Item(NODE_CHANNEL, 2, lobby);
    ASSERT_EQ(tree.GetParentItem(stairs), lobby);
    EXPECT_EQ(Image(stairs), TREE_ICON_CHANNEL);

    // A channel put on a screen: only that DVR's item changes, though both DVRs have a channel 2.
    SetChannelItemIcon(&view, Device(lobby), TREE_ICON_CHANNEL_OPEN, 2);
    EXPECT_EQ(Image(stairs), TREE_ICON_CHANNEL_OPEN);
    EXPECT_EQ(Image(Item(NODE_CHANNEL, 2, stray)), TREE_ICON_CHANNEL);

    // A click on a channel item makes its DVR the current device; a click on an area clears it.
    for (HTREEITEM item : {office, lobby, Item(NODE_AREA, 2), stray})
        tree.Expand(item, TVE_EXPAND);
    window.ShowWindow(SW_SHOW);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.GetWidget()));
    auto click = [&](HTREEITEM item) {
        RECT r;
        ASSERT_TRUE(tree.GetItemRect(item, &r, TRUE));
        QTest::mouseClick(tree.GetPaintWidget(), Qt::LeftButton, {},
                          QPoint(r.left + 24, (r.top + r.bottom) / 2));
    };
    click(stairs);
    EXPECT_EQ(g_currentDevice.load(), Device(lobby));
    click(office);
    EXPECT_EQ(g_currentDevice.load(), nullptr);

    // The picture of the logged-in tree, nothing selected: each item shows the picture of its image.
    tree.SelectItem(nullptr);
    QImage shot = tree.GetPaintWidget()->grab().toImage();
    const std::pair<HTREEITEM, int> shown[] = {{office, TREE_ICON_AREA},
                                               {lobby, TREE_ICON_DVR_ONLINE},
                                               {yard, TREE_ICON_DVR_REFUSED},
                                               {Item(NODE_CHANNEL, 0, lobby), TREE_ICON_CHANNEL},
                                               {stairs, TREE_ICON_CHANNEL_OPEN}};
    for (auto [item, image] : shown)
        EXPECT_TRUE(ShowsPicture(shot, item, *images.Image(image))) << tree.GetItemText(item).toStdString();
    EXPECT_TRUE(shot.save(PicturePath(QStringLiteral("device_tree_online.png"))));
}

}  // namespace
