#pragma once

// Our side against the reference in the same process: a round of each to reach the steady state (not
// counted), then rounds of each side alternating which goes first, so that a drift in the machine's load
// falls on both. The median processor time of each side, their ratio ("ratio": median over median) and the
// range of the per-round ratios go into the benchmark's counters (the reference's under referenceName).

#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <functional>
#include <vector>

inline double ProcessSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Each round function returns the processor seconds of its round. Returns the number of rounds counted.
inline int RunInterleavedRounds(benchmark::State& state, int rounds, const std::function<double()>& ours,
                                const std::function<double()>& reference, const char* referenceName) {
    ours();
    reference();
    std::vector<double> oursSeconds, referenceSeconds, ratios;
    for (auto _ : state) {
        for (int r = 0; r < rounds; ++r) {
            double o = 0, b = 0;
            if (r % 2 == 0) {
                o = ours();
                b = reference();
            } else {
                b = reference();
                o = ours();
            }
            oursSeconds.push_back(o);
            referenceSeconds.push_back(b);
            ratios.push_back(o / b);
        }
    }
    state.counters["ours_cpu_s"] = Median(oursSeconds);
    state.counters[referenceName] = Median(referenceSeconds);
    state.counters["ratio"] = Median(oursSeconds) / Median(referenceSeconds);
    state.counters["ratio_min"] = *std::min_element(ratios.begin(), ratios.end());
    state.counters["ratio_max"] = *std::max_element(ratios.begin(), ratios.end());
    return static_cast<int>(ratios.size());
}
