#pragma once

// Runs the registered benchmarks with the console report and then prints, for each pair named
// "<case>/ours" and "<case>/reference", the ratio of their times measured in this run.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0)
                continue;
            std::string name = run.run_name.function_name;
            size_t slash = name.rfind('/');
            if (slash == std::string::npos)
                continue;
            m_times[name.substr(0, slash)][name.substr(slash + 1)] = run.GetAdjustedRealTime();
        }
    }
    void PrintRatios() const {
        std::printf("\nratio (ours / reference, below 1 is faster):\n");
        for (const auto& [name, sides] : m_times) {
            auto ours = sides.find("ours");
            auto reference = sides.find("reference");
            if (ours == sides.end() || reference == sides.end() || reference->second <= 0)
                continue;
            std::printf("  %-40s %.3f\n", name.c_str(), ours->second / reference->second);
        }
    }

private:
    std::map<std::string, std::map<std::string, double>> m_times;
};

inline int RunWithRatios(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
