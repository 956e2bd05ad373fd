#pragma once

// Runs the registered benchmarks and then prints, for each pair named "<case>/ours" and "<case>/reference",
// the ratio of the medians of their repetitions and the range of the ratios of the repetitions run in
// the same round. A program of such pairs asks for repetitions (RunWithRatios' third argument) with random
// interleaving, unless its command line says otherwise: round k runs the k-th repetition of every
// benchmark in a random order, so that a drift in the machine's load falls on both sides of a pair. With
// repetitions the console shows each benchmark's aggregates (mean, median, spread), not every repetition.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        std::vector<Run> shown;
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate || runs.size() == 1)
                shown.push_back(run);
            std::string name = run.run_name.function_name;
            size_t slash = name.rfind('/');
            if (slash == std::string::npos || run.error_occurred)
                continue;
            Side& side = m_sides[name.substr(0, slash)][name.substr(slash + 1)];
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                side.repetitions[run.repetition_index < 0 ? 0 : run.repetition_index] =
                    run.GetAdjustedRealTime();
            else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                side.reportedMedian = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(shown);
    }

    void PrintRatios() const {
        std::printf(
            "\nratio (ours / reference, below 1 is faster): median over median of the repetitions; in\n"
            "brackets the lowest and highest ratio of two repetitions of the same round\n");
        for (const auto& [name, sides] : m_sides) {
            auto ours = sides.find("ours");
            auto reference = sides.find("reference");
            if (ours == sides.end() || reference == sides.end())
                continue;
            double o = ours->second.Median(), r = reference->second.Median();
            if (o <= 0 || r <= 0)
                continue;
            std::vector<double> paired;
            for (const auto& [round, time] : ours->second.repetitions) {
                auto match = reference->second.repetitions.find(round);
                if (match != reference->second.repetitions.end() && match->second > 0)
                    paired.push_back(time / match->second);
            }
            if (paired.size() < 2) {
                std::printf("  %-40s %.3f   (one round: no spread)\n", name.c_str(), o / r);
                continue;
            }
            auto [low, high] = std::minmax_element(paired.begin(), paired.end());
            std::printf("  %-40s %.3f   (%.3f - %.3f, %zu rounds)\n", name.c_str(), o / r, *low, *high,
                        paired.size());
        }
    }

private:
    struct Side {
        std::map<int64_t, double> repetitions;  // by repetition index (the round)
        double reportedMedian = 0;              // when only aggregates were reported
        double Median() const {
            if (repetitions.empty())
                return reportedMedian;
            std::vector<double> v;
            for (const auto& [round, time] : repetitions)
                v.push_back(time);
            std::sort(v.begin(), v.end());
            size_t n = v.size();
            return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
        }
    };
    std::map<std::string, std::map<std::string, Side>> m_sides;
};

// The program's command line with the repetitions, the interleaving and the time of a repetition added
// where it does not set them.
inline std::vector<char*> WithRatioDefaults(int argc, char** argv, int repetitions, const char* minSeconds) {
    static std::string repetitionsFlag, minTimeFlag;
    static char interleaving[] = "--benchmark_enable_random_interleaving=true";
    auto given = [&](const char* flag) {
        for (int i = 1; i < argc; ++i) {
            if (std::strncmp(argv[i], flag, std::strlen(flag)) == 0)
                return true;
        }
        return false;
    };
    std::vector<char*> args(argv, argv + argc);
    if (repetitions > 1 && !given("--benchmark_repetitions")) {
        repetitionsFlag = "--benchmark_repetitions=" + std::to_string(repetitions);
        args.push_back(repetitionsFlag.data());
        if (!given("--benchmark_enable_random_interleaving"))
            args.push_back(interleaving);
        if (minSeconds != nullptr && !given("--benchmark_min_time")) {
            minTimeFlag = std::string("--benchmark_min_time=") + minSeconds;
            args.push_back(minTimeFlag.data());
        }
    }
    args.push_back(nullptr);
    return args;
}

// repetitions: of every benchmark, interleaved (1: each runs once); minSeconds: the least time of one
// repetition (nullptr: the library's default).
inline int RunWithRatios(int argc, char** argv, int repetitions = 1, const char* minSeconds = nullptr) {
    std::vector<char*> args = WithRatioDefaults(argc, argv, repetitions, minSeconds);
    int count = static_cast<int>(args.size()) - 1;
    benchmark::Initialize(&count, args.data());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
