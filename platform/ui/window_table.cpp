#include "platform/ui/window_table.h"

#include <cstdint>
#include <mutex>
#include <vector>

namespace {

// Low bits: entry index + 1 (so no handle is null); high bits: the entry's generation.
constexpr unsigned kIndexBits = 20;
constexpr uintptr_t kIndexMask = (uintptr_t{1} << kIndexBits) - 1;

struct Entry {
    uintptr_t generation = 1;
    CWnd* wnd = nullptr;
};

std::mutex g_lock;
std::vector<Entry> g_entries;
std::vector<uintptr_t> g_freeIndexes;

HWND MakeHandle(uintptr_t index, uintptr_t generation) {
    return reinterpret_cast<HWND>(((generation << kIndexBits) | (index + 1)));
}

// The entry of a handle whose generation still matches, else nullptr. Caller holds g_lock.
Entry* FindEntry(HWND hwnd) {
    uintptr_t value = reinterpret_cast<uintptr_t>(hwnd);
    uintptr_t slot = value & kIndexMask;
    if (slot == 0 || slot > g_entries.size())
        return nullptr;
    Entry& entry = g_entries[slot - 1];
    if (entry.wnd == nullptr || entry.generation != (value >> kIndexBits))
        return nullptr;
    return &entry;
}

}  // namespace

HWND AllocWindowHandle(CWnd* wnd) {
    std::lock_guard<std::mutex> guard(g_lock);
    uintptr_t index;
    if (!g_freeIndexes.empty()) {
        index = g_freeIndexes.back();
        g_freeIndexes.pop_back();
    } else {
        if (g_entries.size() >= kIndexMask)
            return nullptr;
        index = g_entries.size();
        g_entries.emplace_back();
    }
    g_entries[index].wnd = wnd;
    return MakeHandle(index, g_entries[index].generation);
}

void FreeWindowHandle(HWND hwnd) {
    std::lock_guard<std::mutex> guard(g_lock);
    Entry* entry = FindEntry(hwnd);
    if (entry == nullptr)
        return;
    entry->wnd = nullptr;
    // Generations wrap far beyond any run's number of windows per entry.
    entry->generation = (entry->generation + 1) & (~uintptr_t{0} >> kIndexBits);
    if (entry->generation == 0)
        entry->generation = 1;
    g_freeIndexes.push_back(static_cast<uintptr_t>(entry - g_entries.data()));
}

bool RetargetWindowHandle(HWND hwnd, CWnd* wnd) {
    std::lock_guard<std::mutex> guard(g_lock);
    Entry* entry = FindEntry(hwnd);
    if (entry == nullptr || wnd == nullptr)
        return false;
    entry->wnd = wnd;
    return true;
}

CWnd* LookupWindowHandle(HWND hwnd) {
    std::lock_guard<std::mutex> guard(g_lock);
    Entry* entry = FindEntry(hwnd);
    return entry == nullptr ? nullptr : entry->wnd;
}

bool IsWindowHandleLive(HWND hwnd) {
    return LookupWindowHandle(hwnd) != nullptr;
}
