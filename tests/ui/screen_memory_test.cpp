// The screens' channels per DVR through a run: what comes back after a DVR's session dropped (recording
// included), and what view.dat gets at exit for DVRs that are online, offline, removed from the tree, or
// not in any device list because no operator is logged in.

#include <gtest/gtest.h>

#include <bitset>
#include <ostream>

#include "ui/screen_memory.h"

// How gtest shows a screen handed back (found by argument-dependent lookup).
void PrintTo(const ScreenMemory::Restore& r, std::ostream* os) {
    *os << "{" << r.screen << ", " << r.channel << (r.record ? ", recording}" : "}");
}

namespace {

constexpr int kGate = 1;
constexpr int kYard = 2;

// Screen, channel and (when true) recording of the screens handed back.
using Pairs = std::vector<ScreenMemory::Restore>;

struct Layout {
    ViewEntry views[GRID_SCREENS];
    Layout(std::initializer_list<std::pair<int, ViewEntry>> entries) {
        ClearViews(views);
        for (const auto& [screen, entry] : entries)
            views[screen] = entry;
    }
};

std::vector<std::pair<int, ViewEntry>> Used(const ViewEntry (&views)[GRID_SCREENS]) {
    std::vector<std::pair<int, ViewEntry>> used;
    for (int s = 0; s < GRID_SCREENS; ++s) {
        if (views[s].deviceId >= 0 || views[s].channel >= 0)
            used.emplace_back(s, views[s]);
    }
    return used;
}

void ExpectViews(const ViewEntry (&views)[GRID_SCREENS], std::vector<std::pair<int, ViewEntry>> expected,
                 const char* what) {
    auto used = Used(views);
    ASSERT_EQ(used.size(), expected.size()) << what;
    for (size_t i = 0; i < used.size(); ++i) {
        EXPECT_EQ(used[i].first, expected[i].first) << what;
        EXPECT_EQ(used[i].second.deviceId, expected[i].second.deviceId)
            << what << " screen " << used[i].first;
        EXPECT_EQ(used[i].second.channel, expected[i].second.channel) << what << " screen " << used[i].first;
    }
}

TEST(ScreenMemory, DroppedDvrComesBackWithWhatItsScreensShowedThen) {
    ScreenMemory memory;
    memory.Load(Layout{{0, {kGate, 0}}, {1, {kGate, 1}}, {2, {kYard, 0}}}.views);
    EXPECT_EQ(memory.TakeForRestore(kGate), (Pairs{{0, 0}, {1, 1}}));
    // During the run the operator closed channel 1 on screen 1 and put channel 3 on screen 9; then the
    // session dropped.
    int shown[GRID_SCREENS];
    std::fill(std::begin(shown), std::end(shown), -1);
    shown[0] = 0;
    shown[9] = 3;
    memory.RememberDropped(kGate, shown);
    EXPECT_EQ(memory.TakeForRestore(kGate), (Pairs{{0, 0}, {9, 3}}));
    // The other DVR's layout is untouched.
    EXPECT_EQ(memory.TakeForRestore(kYard), (Pairs{{2, 0}}));
}

TEST(ScreenMemory, DvrThatNeverCameBackKeepsItsLayoutThroughDrops) {
    ScreenMemory memory;
    memory.Load(Layout{{4, {kGate, 2}}}.views);
    // Its session fails before its channels ever came back: the screens showed nothing of it.
    int nothing[GRID_SCREENS];
    std::fill(std::begin(nothing), std::end(nothing), -1);
    memory.RememberDropped(kGate, nothing);
    memory.RememberDropped(kGate, nothing);
    EXPECT_EQ(memory.TakeForRestore(kGate), (Pairs{{4, 2}}));
}

TEST(ScreenMemory, DroppedDvrComesBackRecordingWhatRecordedThen) {
    ScreenMemory memory;
    memory.Load(Layout{{0, {kGate, 0}}, {1, {kGate, 1}}, {2, {kYard, 0}}}.views);
    // Nothing records at start, whatever view.dat holds.
    EXPECT_EQ(memory.TakeForRestore(kGate), (Pairs{{0, 0}, {1, 1}}));
    (void)memory.TakeForRestore(kYard);
    int shown[GRID_SCREENS];
    std::fill(std::begin(shown), std::end(shown), -1);
    shown[0] = 0;
    shown[1] = 1;
    std::bitset<GRID_SCREENS> recording;
    recording.set(1);
    recording.set(2);  // Yard's screen: not Gate's to remember
    memory.RememberDropped(kGate, shown, recording);
    EXPECT_EQ(memory.TakeForRestore(kGate), (Pairs{{0, 0}, {1, 1, true}}));
    // Dropped again after the operator stopped the recording: it stays stopped.
    memory.RememberDropped(kGate, shown);
    EXPECT_EQ(memory.TakeForRestore(kGate), (Pairs{{0, 0}, {1, 1}}));
    // Yard's drop with nothing recording leaves its screen without the bit Gate's call carried.
    int yardShown[GRID_SCREENS];
    std::fill(std::begin(yardShown), std::end(yardShown), -1);
    yardShown[2] = 0;
    memory.RememberDropped(kYard, yardShown);
    EXPECT_EQ(memory.TakeForRestore(kYard), (Pairs{{2, 0}}));
    // A new start forgets every recording.
    memory.RememberDropped(kGate, shown, recording);
    memory.Load(Layout{{1, {kGate, 1}}}.views);
    EXPECT_EQ(memory.TakeForRestore(kGate), (Pairs{{1, 1}}));
}

TEST(ScreenMemory, ExitKeepsOfflineDvrsEntriesAndWritesWhatTheScreensShow) {
    struct Case {
        const char* what;
        bool gateOnline;        // Gate's channels came back and its session did not drop since
        std::vector<int> tree;  // the DVRs of the loaded tree at exit
        std::vector<std::pair<int, ViewEntry>> expected;
    } const cases[] = {
        // Gate offline at exit: its screens 0 and 1 keep their entries; screen 2 shows Yard as it is now,
        // screen 3 (Yard's remembered, Yard online and the screen emptied by the operator) is written empty.
        {"gate offline", false, {kGate, kYard}, {{0, {kGate, 0}}, {1, {kGate, 1}}, {2, {kYard, 5}}}},
        // Gate online: its screens are written as shown (empty), not as remembered.
        {"gate online", true, {kGate, kYard}, {{2, {kYard, 5}}}},
        // Gate removed from the tree: nothing is kept for it.
        {"gate removed", false, {kYard}, {{2, {kYard, 5}}}},
    };
    for (const Case& c : cases) {
        ScreenMemory memory;
        memory.Load(Layout{{0, {kGate, 0}}, {1, {kGate, 1}}, {2, {kGate, 2}}, {3, {kYard, 1}}}.views);
        (void)memory.TakeForRestore(kYard);
        if (c.gateOnline)
            (void)memory.TakeForRestore(kGate);
        // Screen 2 shows Yard's channel 5 (over Gate's remembered entry).
        Layout shown{{2, {kYard, 5}}};
        ViewEntry out[GRID_SCREENS];
        memory.ForExit(shown.views, &c.tree, out);
        ExpectViews(out, c.expected, c.what);
    }
}

// With no tree loaded (before the first login, or between a Switch User and the next login) no DVR is in
// the device list, yet none was removed: every DVR keeps what it had. Only a loaded tree that lacks a DVR
// drops its entries.
TEST(ScreenMemory, ExitWithoutALoadedTreeRemovesNoDvr) {
    const Layout read{{0, {kGate, 0}}, {1, {kGate, 1}}, {5, {kYard, 3}}};
    const Layout nothingShown{};
    int gateShown[GRID_SCREENS];
    std::fill(std::begin(gateShown), std::end(gateShown), -1);
    gateShown[0] = 0;
    gateShown[7] = 2;  // the operator moved channel 1 away and put channel 2 on screen 7
    const std::vector<int> onlyYard = {kYard};
    struct Case {
        const char* what;
        bool gateCameBackAndSwitched;  // Gate's channels came back, then Switch User remembered its screens
        const std::vector<int>* tree;
        std::vector<std::pair<int, ViewEntry>> expected;
    } const cases[] = {
        {"before the first login", false, nullptr, {{0, {kGate, 0}}, {1, {kGate, 1}}, {5, {kYard, 3}}}},
        {"between logins", true, nullptr, {{0, {kGate, 0}}, {5, {kYard, 3}}, {7, {kGate, 2}}}},
        {"tree without gate", true, &onlyYard, {{5, {kYard, 3}}}},
    };
    for (const Case& c : cases) {
        ScreenMemory memory;
        memory.Load(read.views);
        if (c.gateCameBackAndSwitched) {
            (void)memory.TakeForRestore(kGate);
            memory.RememberDropped(kGate, gateShown);
        }
        ViewEntry out[GRID_SCREENS];
        memory.ForExit(nothingShown.views, c.tree, out);
        ExpectViews(out, c.expected, c.what);
    }
}

}  // namespace
