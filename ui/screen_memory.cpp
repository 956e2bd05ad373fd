#include "ui/screen_memory.h"

#include <algorithm>

ScreenMemory::ScreenMemory() {
    ClearViews(m_views);
}

void ScreenMemory::Load(const ViewEntry (&views)[GRID_SCREENS]) {
    std::lock_guard<std::mutex> guard(m_lock);
    std::copy(std::begin(views), std::end(views), std::begin(m_views));
    m_recording.reset();
    m_online.clear();
}

std::vector<ScreenMemory::Restore> ScreenMemory::TakeForRestore(int deviceId) {
    std::lock_guard<std::mutex> guard(m_lock);
    std::vector<Restore> restore;
    for (int screen = 0; screen < GRID_SCREENS; ++screen) {
        if (m_views[screen].deviceId == deviceId && m_views[screen].channel >= 0)
            restore.push_back(Restore{screen, m_views[screen].channel, m_recording.test(screen)});
    }
    m_online.insert(deviceId);
    return restore;
}

void ScreenMemory::RememberDropped(int deviceId, const int (&shown)[GRID_SCREENS],
                                   std::bitset<GRID_SCREENS> recording) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_online.erase(deviceId) == 0)
        return;
    for (int screen = 0; screen < GRID_SCREENS; ++screen) {
        ViewEntry& entry = m_views[screen];
        if (shown[screen] >= 0) {
            entry = ViewEntry{deviceId, shown[screen]};
            m_recording.set(screen, recording.test(screen));
        } else if (entry.deviceId == deviceId) {
            entry = ViewEntry{-1, -1};
            m_recording.reset(screen);
        }
    }
}

void ScreenMemory::ForExit(const ViewEntry (&shown)[GRID_SCREENS], const std::vector<int>* treeIds,
                           ViewEntry (&out)[GRID_SCREENS]) const {
    std::lock_guard<std::mutex> guard(m_lock);
    for (int screen = 0; screen < GRID_SCREENS; ++screen) {
        const ViewEntry& kept = m_views[screen];
        const bool removed = treeIds != nullptr &&
                             std::find(treeIds->begin(), treeIds->end(), kept.deviceId) == treeIds->end();
        const bool keep = shown[screen].deviceId < 0 && kept.deviceId >= 0 &&
                          m_online.count(kept.deviceId) == 0 && !removed;
        out[screen] = keep ? kept : shown[screen];
    }
}
