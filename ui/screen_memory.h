#pragma once

// What the grid's screens showed of each DVR, kept through the run so that no DVR's layout is lost while
// the DVR is away: filled from view.dat at start, brought up to date with what a DVR's screens showed when
// its session dropped (and which of those channels were recording), handed out again when the DVR's
// channels come back, and written at exit for every DVR that is offline then. A DVR counts as online from
// the moment its channels came back until its session drops. Any thread: the sessions' supervisor reports
// the drops, the UI thread the rest.

#include <bitset>
#include <mutex>
#include <set>
#include <vector>

#include "ui/view_file.h"

class ScreenMemory {
public:
    // One screen to give back to a DVR whose channels came back.
    struct Restore {
        int screen = -1;
        int channel = -1;
        bool record = false;  // the channel was recording when the DVR's session dropped
        bool operator==(const Restore&) const = default;
    };

    ScreenMemory();

    // The entries read at start (view.dat); no DVR is online yet and nothing records.
    void Load(const ViewEntry (&views)[GRID_SCREENS]);
    // The DVR's channels came back: the screens remembered for it, in screen order. From now on the DVR is
    // online and its screens are what the operator sees.
    std::vector<Restore> TakeForRestore(int deviceId);
    // The DVR's session dropped; shown[s] is the channel screen s showed of it then (-1: none) and
    // recording[s] whether that channel was recording. When the DVR was online, that becomes its
    // remembered layout (a screen it no longer showed is forgotten for it); a DVR that never came back this
    // run keeps the layout it had. The DVR is offline from now on.
    void RememberDropped(int deviceId, const int (&shown)[GRID_SCREENS],
                         std::bitset<GRID_SCREENS> recording = {});
    // What view.dat gets at exit: what each screen shows (shown); a screen that shows nothing keeps the
    // remembered entry of a DVR that is offline now, unless the DVR was removed from the device tree.
    // treeIds are the DVRs of the loaded tree; null when no tree is loaded (before the first login, between
    // a Switch User and the next login): no DVR counts as removed then, and every offline DVR keeps its
    // entries.
    void ForExit(const ViewEntry (&shown)[GRID_SCREENS], const std::vector<int>* treeIds,
                 ViewEntry (&out)[GRID_SCREENS]) const;

private:
    mutable std::mutex m_lock;
    ViewEntry m_views[GRID_SCREENS];
    std::bitset<GRID_SCREENS> m_recording;
    std::set<int> m_online;
};
