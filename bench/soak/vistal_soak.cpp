// The soak of the real Vistal with many simulated DVRs: every DVR's first channel on a screen, the DVRs
// restarted (every session killed and started again) at a fixed period, and the program's resident memory,
// threads and descriptors printed at each sample, with the spread after the warm-up at the end.
//   bench_vistal_soak [--seconds N] [--dvrs N] [--restart-every S] [--sample-every S] [--fps N]
// Defaults: 600 s, 64 DVRs, a restart of all every 20 s, a sample every 10 s, 2 pictures a second.

#include <sys/resource.h>

#include <QCoreApplication>
#include <QString>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "tests/app/vistal_fleet.h"

namespace {

struct Options {
    int seconds = 600;
    int dvrs = 64;
    int restartEvery = 20;
    int sampleEvery = 10;
    int fps = 2;
};

bool ParseOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        int value = std::atoi(argv[i + 1]);
        if (value <= 0)
            return false;
        if (std::strcmp(argv[i], "--seconds") == 0)
            options->seconds = value;
        else if (std::strcmp(argv[i], "--dvrs") == 0)
            options->dvrs = value;
        else if (std::strcmp(argv[i], "--restart-every") == 0)
            options->restartEvery = value;
        else if (std::strcmp(argv[i], "--sample-every") == 0)
            options->sampleEvery = value;
        else if (std::strcmp(argv[i], "--fps") == 0)
            options->fps = value;
        else
            return false;
    }
    return argc % 2 == 1;
}

struct Spread {
    long low = -1;
    long high = -1;
    void Add(long value) {
        low = low < 0 ? value : std::min(low, value);
        high = std::max(high, value);
    }
};

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr,
                     "usage: bench_vistal_soak [--seconds N] [--dvrs N] [--restart-every S] "
                     "[--sample-every S] [--fps N]\n");
        return 2;
    }
    QCoreApplication application(argc, argv);
    VistalFleet fleet(options.dvrs, options.fps);
    struct rlimit own;
    if (!fleet.Valid() || getrlimit(RLIMIT_NOFILE, &own) != 0 ||
        !fleet.Start(QStringLiteral(VISTAL_BINARY), 1024, own.rlim_max)) {
        std::fprintf(stderr, "bench_vistal_soak: the DVRs or the program could not be started\n");
        return 1;
    }
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto elapsed = [&] {
        return std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - start).count();
    };
    std::printf("soft limit 1024, %d DVRs, restarts every %d s, %d s\n", options.dvrs, options.restartEvery,
                options.seconds);
    std::printf("%8s %10s %8s %12s %10s %9s\n", "seconds", "rss_kib", "threads", "descriptors", "streaming",
                "restarts");
    Spread rss, threads, descriptors;
    int restarts = 0;
    long nextRestart = options.restartEvery;
    long nextSample = 0;
    // Spreads count from the first sample after the first restart (start-up and the first logins are
    // not the steady state); without restarts, from the second sample.
    while (fleet.Running() && elapsed() < options.seconds) {
        const long now = elapsed();
        if (now >= nextRestart) {
            for (auto& sim : fleet.Sims())
                sim->Restart();
            ++restarts;
            nextRestart += options.restartEvery;
        }
        if (now >= nextSample) {
            const ProcessCounts counts = fleet.Counts();
            std::printf("%8ld %10ld %8d %12d %10d %9d\n", now, counts.residentKib, counts.threads,
                        counts.descriptors, fleet.StreamingDvrs(), restarts);
            std::fflush(stdout);
            if (now > 0 && (restarts > 0 || options.restartEvery >= options.seconds)) {
                rss.Add(counts.residentKib);
                threads.Add(counts.threads);
                descriptors.Add(counts.descriptors);
            }
            nextSample += options.sampleEvery;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    const bool ran = fleet.Running();
    const bool closed = ran && fleet.CloseAndWait();
    std::printf("steady state: rss %ld-%ld KiB, threads %ld-%ld, descriptors %ld-%ld; %s\n", rss.low,
                rss.high, threads.low, threads.high, descriptors.low, descriptors.high,
                !ran     ? "the program ENDED during the soak"
                : closed ? "closed normally"
                         : "did NOT close");
    return ran && closed ? 0 : 1;
}
