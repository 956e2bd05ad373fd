// The sessions' restarts on the real tree control; run under the sanitizers (session threads post while
// the UI thread applies). The tree is never shown, so Qt paints nothing here.

#include "tests/ui/device_tree_fixture.h"

namespace {

using namespace device_tree_test;

// A restarted session puts its DVR back offline without channel items, whether the DVR dropped the
// connection or fell silent, and the next run shows them again.
TEST_F(DeviceTreeOnControl, RestartedSessionTakesTheChannelItemsAway) {
    struct Case {
        const char* name;
        void (*fault)(dvrsim::DvrSim& sim);
    };
    const Case cases[] = {
        {"dropped", [](dvrsim::DvrSim& sim) { sim.DropConnections(dvrsim::SIM_COMMAND); }},
        {"silent", [](dvrsim::DvrSim&) { g_now += 30001; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dvrsim::DvrSim sim(SimWithChannels({"Entrance", "Stairs"}));
        ASSERT_EQ(sim.Start(), 0);
        HTREEITEM dvr = LoadOnlineDvr(sim);
        ASSERT_EQ(Children(dvr).size(), 2);
        HTREEITEM stairs = Item(NODE_CHANNEL, 1, dvr);
        tree.SelectItem(stairs);
        DVRDevice* device = Device(dvr);
        uint32_t generation = device->generation.load();

        sim.SetSilent(true);
        c.fault(sim);
        ASSERT_TRUE(WaitUntil([&] { return device->generation.load() != generation; }));
        ASSERT_TRUE(WaitUntil([&] { return Image(dvr) == TREE_ICON_DVR; }));
        EXPECT_FALSE(tree.ItemHasChildren(dvr));
        HTREEITEM selected = tree.GetSelectedItem();
        EXPECT_TRUE(selected == nullptr || selected == dvr);
        EXPECT_EQ(SelectedTreeDevice(&view), selected == dvr ? device : nullptr);

        // The DVR answers again; a hello it ignored while silent is repeated after three seconds.
        sim.SetSilent(false);
        if (!WaitUntil([&] { return (device->flags.load() & DEVICE_FLAG_HELLO) != 0; }, 300))
            g_now += 3001;
        ASSERT_TRUE(
            WaitUntil([&] { return Image(dvr) == TREE_ICON_DVR_ONLINE && Children(dvr).size() == 2; }));

        FreeDeviceList();
        DrainPostedEvents();
        ClearDeviceTree(&view);
        InitDeviceList();
    }
}

TEST_F(DeviceTreeOnControl, EventsOfAnEarlierRunAreDropped) {
    dvrsim::DvrSim sim(SimWithChannels({"Entrance", "Stairs"}));
    ASSERT_EQ(sim.Start(), 0);
    Load({Record(NODE_DVR, 1, u"Gate", 0, sim.Port())});
    HTREEITEM dvr = Item(NODE_DVR, 1);
    DVRDevice* device = Device(dvr);
    // The login and channel events of the first run stay queued until that run has been replaced: these
    // waits do not turn the event loop.
    ASSERT_TRUE(harness::WaitUntil([&] { return (device->flags.load() & kOnline) == kOnline; }));
    uint32_t generation = device->generation.load();
    sim.SetSilent(true);
    g_now += 30001;
    ASSERT_TRUE(harness::WaitUntil([&] { return device->generation.load() != generation; }));

    ASSERT_TRUE(WaitUntil([&] { return window.applied + window.stale >= 3; }));
    DrainPostedEvents();
    EXPECT_EQ(window.stale, 2);    // login and channels
    EXPECT_EQ(window.applied, 1);  // the restart
    EXPECT_EQ(Image(dvr), TREE_ICON_DVR);
    EXPECT_FALSE(tree.ItemHasChildren(dvr));
}

}  // namespace
