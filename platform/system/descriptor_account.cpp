#include "platform/system/descriptor_account.h"

#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>

#include "platform/system/descriptor_limit.h"

namespace {

std::mutex g_accountLock;
long g_reserved = 0;              // under g_accountLock
long g_others = 0;                // descriptors of the rest of the program at the last count
int64_t g_countedAt = INT64_MIN;  // steady milliseconds of that count
std::atomic<long> g_held{0};      // descriptors the reserving users hold (noted after opening)
std::atomic<long> g_closings{0};  // notes of closing so far

int64_t SteadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Counts the rest of the program's descriptors: the table less what the reserving users surely held all
// through the count. A user's descriptor is noted after it opens and before it closes, so the noted count
// before the table is read, less the closings during it, is never more than those still open at its end:
// the result may be too high (a few opened meanwhile), never too low.
long CountOthers() {
    // Closings before held, as a closing notes them the other way round: a descriptor in heldBefore that
    // closes during the count is then always among the closings counted below.
    const long closingsBefore = g_closings.load();
    const long heldBefore = g_held.load();
    struct rlimit limit;
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return -1;
    const long free = FreeDescriptors();
    const long open = static_cast<long>(limit.rlim_cur) - free;
    const long surelyHeld = heldBefore - (g_closings.load() - closingsBefore);
    const long others = open - (surelyHeld > 0 ? surelyHeld : 0);
    return others > 0 ? others : 0;
}

}  // namespace

bool ReserveDescriptors(long count, long keepFree) {
    struct rlimit limit;
    if (count < 0 || getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return false;
    if (limit.rlim_cur == RLIM_INFINITY)
        return true;
    std::lock_guard<std::mutex> guard(g_accountLock);
    const int64_t now = SteadyMs();
    if (g_countedAt == INT64_MIN || now - g_countedAt >= DESCRIPTOR_RECOUNT_MS) {
        const long others = CountOthers();
        if (others < 0)
            return false;
        g_others = others;
        g_countedAt = now;
    }
    // One more than keepFree: a count of the table holds a descriptor of its own while it reads.
    if (static_cast<long>(limit.rlim_cur) - g_others - g_reserved - count < keepFree + 1)
        return false;
    g_reserved += count;
    return true;
}

void ReleaseDescriptors(long count) {
    std::lock_guard<std::mutex> guard(g_accountLock);
    g_reserved -= count;
    if (g_reserved < 0)
        g_reserved = 0;
}

void NoteDescriptorOpened() {
    g_held.fetch_add(1);
}

void NoteDescriptorClosing() {
    g_held.fetch_sub(1);
    g_closings.fetch_add(1);
}

long ReservedDescriptors() {
    std::lock_guard<std::mutex> guard(g_accountLock);
    return g_reserved;
}
