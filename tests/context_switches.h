#pragma once

// How often the threads of this process have given up the processor of their own accord: a sleeping
// thread adds nothing, one that wakes on a timer adds one a turn. (Preemptions, which a busy machine adds
// to any thread, are not counted.) Tests compare two readings to show that idle threads sleep.

#include <chrono>
#include <climits>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>

#include "tests/bounded_wait.h"

namespace harness {

// Voluntary context switches of each of the process's threads so far, by thread id.
inline std::map<std::string, long> SwitchesByThread() {
    std::map<std::string, long> out;
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", error)) {
        std::ifstream status(task.path() / "status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0)
                out[task.path().filename().string()] = std::stol(line.substr(line.find(':') + 1));
        }
    }
    return out;
}

// Voluntary context switches of all the process's threads so far.
inline long ContextSwitches() {
    long total = 0;
    for (const auto& [id, switches] : SwitchesByThread())
        total += switches;
    return total;
}

// What the process's threads did over an interval: their switches together, and how many of them woke.
struct IdleActivity {
    long switches = LONG_MAX;
    int threadsAwake = INT_MAX;
};

// The activity over measureMs, measured once the threads have settled: fewer than settledBelow switches in
// settleMs. Threads reach their first wait slowly under the sanitizers on a busy machine, so the settling
// is waited for (up to 5 s) before the count begins. Both values are at their maximum when they never
// settled.
inline IdleActivity MeasureIdle(int settleMs, long settledBelow, int measureMs) {
    IdleActivity activity;
    bool settled = WaitUntil([&] {
        long start = ContextSwitches();
        std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
        return ContextSwitches() - start < settledBelow;
    });
    if (!settled)
        return activity;
    std::map<std::string, long> before = SwitchesByThread();
    std::this_thread::sleep_for(std::chrono::milliseconds(measureMs));
    activity.switches = 0;
    activity.threadsAwake = 0;
    for (const auto& [id, switches] : SwitchesByThread()) {
        auto old = before.find(id);
        long delta = switches - (old != before.end() ? old->second : 0);
        activity.switches += delta;
        activity.threadsAwake += delta > 0 ? 1 : 0;
    }
    return activity;
}

}  // namespace harness
