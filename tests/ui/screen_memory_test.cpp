// The screens' channels per DVR through a run: what comes back after a DVR's session dropped, and what
// view.dat gets at exit for DVRs that are online or offline then.

#include <gtest/gtest.h>

#include "ui/screen_memory.h"

namespace {

constexpr int kGate = 1;
constexpr int kYard = 2;

using Pairs = std::vector<std::pair<int, int>>;

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

TEST(ScreenMemory, ExitKeepsOfflineDvrsEntriesAndWritesWhatTheScreensShow) {
    struct Case {
        const char* what;
        bool gateOnline;         // Gate's channels came back and its session did not drop since
        std::vector<int> known;  // the DVRs of the tree at exit
        std::vector<std::pair<int, ViewEntry>> expected;
    } const cases[] = {
        // Gate offline at exit: its screens 0 and 1 keep their entries; screen 2 shows Yard as it is now,
        // screen 3 (Yard's remembered, Yard online and the screen emptied by the operator) is written empty.
        {"gate offline", false, {kGate, kYard}, {{0, {kGate, 0}}, {1, {kGate, 1}}, {2, {kYard, 5}}}},
        // Gate online: its screens are written as shown (empty), not as remembered.
        {"gate online", true, {kGate, kYard}, {{2, {kYard, 5}}}},
        // Gate no longer in the tree: nothing is kept for it.
        {"gate gone", false, {kYard}, {{2, {kYard, 5}}}},
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
        memory.ForExit(shown.views, c.known, out);
        ExpectViews(out, c.expected, c.what);
    }
}

}  // namespace
