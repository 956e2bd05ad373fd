#pragma once

// How often the threads of this process have given up the processor: a sleeping thread adds nothing, one
// that wakes on a timer adds one a turn. Tests compare two readings to show that idle threads sleep.

#include <chrono>
#include <climits>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "tests/bounded_wait.h"

namespace harness {

// Context switches (voluntary and not) of all the process's threads so far.
inline long ContextSwitches() {
    long total = 0;
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", error)) {
        std::ifstream status(task.path() / "status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.find("ctxt_switches:") != std::string::npos)
                total += std::stol(line.substr(line.find(':') + 1));
        }
    }
    return total;
}

// The switches of the process's threads over measureMs, counted once they have settled: fewer than
// settledBelow in settleMs. Threads reach their first wait slowly under the sanitizers on a busy machine,
// so the settling is waited for (up to 5 s) before the count begins. LONG_MAX when they never settled.
inline long IdleContextSwitches(int settleMs, long settledBelow, int measureMs) {
    bool settled = WaitUntil([&] {
        long start = ContextSwitches();
        std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
        return ContextSwitches() - start < settledBelow;
    });
    if (!settled)
        return LONG_MAX;
    long before = ContextSwitches();
    std::this_thread::sleep_for(std::chrono::milliseconds(measureMs));
    return ContextSwitches() - before;
}

}  // namespace harness
