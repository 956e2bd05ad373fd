#pragma once

// What the grid's screens showed of each DVR, kept through the run so that no DVR's layout is lost while
// the DVR is away: filled from view.dat at start, brought up to date with what a DVR's screens showed when
// its session dropped, handed out again when the DVR's channels come back, and written at exit for every
// DVR that is offline then. A DVR counts as online from the moment its channels came back until its session
// drops. Any thread: the sessions' supervisor reports the drops, the UI thread the rest.

#include <mutex>
#include <set>
#include <utility>
#include <vector>

#include "ui/view_file.h"

class ScreenMemory {
public:
    ScreenMemory();

    // The entries read at start (view.dat); no DVR is online yet.
    void Load(const ViewEntry (&views)[GRID_SCREENS]);
    // The DVR's channels came back: the (screen, channel) pairs remembered for it, in screen order. From now
    // on the DVR is online and its screens are what the operator sees.
    std::vector<std::pair<int, int>> TakeForRestore(int deviceId);
    // The DVR's session dropped; shown[s] is the channel screen s showed of it then (-1: none). When the DVR
    // was online, that becomes its remembered layout (a screen it no longer showed is forgotten for it); a
    // DVR that never came back this run keeps the layout it had. The DVR is offline from now on.
    void RememberDropped(int deviceId, const int (&shown)[GRID_SCREENS]);
    // What view.dat gets at exit: what each screen shows (shown); a screen that shows nothing keeps the
    // remembered entry of a DVR that is offline now and is still one of the DVRs (knownIds).
    void ForExit(const ViewEntry (&shown)[GRID_SCREENS], const std::vector<int>& knownIds,
                 ViewEntry (&out)[GRID_SCREENS]) const;

private:
    mutable std::mutex m_lock;
    ViewEntry m_views[GRID_SCREENS];
    std::set<int> m_online;
};
