// The real Vistal with 64 simulated DVRs, each shown on a screen of the grid, under a limit of open files:
// the desktop's common soft limit of 1024 (the program raises it), and a hard limit too small for every
// session (the sessions that fit come online, the program keeps answering, a shortage is reported once).

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <thread>
#include <vector>

#include "tests/app/vistal_fleet.h"
#include "tests/bounded_wait.h"

namespace {

constexpr int kDvrs = 64;
// How long the program runs with every session online before it is asked to close (kept short for CI).
constexpr int kHoldMs = 12000;

class ManyDvrs : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(fleet.Valid()); }
    void Start(rlim_t soft, rlim_t hard) {
        ASSERT_TRUE(fleet.Start(QStringLiteral(VISTAL_BINARY), soft, hard));
    }
    int StreamingDvrs() { return fleet.StreamingDvrs(); }
    bool Running() { return fleet.Running(); }
    ProcessCounts Counts() { return fleet.Counts(); }
    bool CloseAndWait() {
        bool closed = fleet.CloseAndWait();
        errors = fleet.Errors();
        return closed;
    }

    VistalFleet fleet{kDvrs, 2};
    std::vector<std::unique_ptr<dvrsim::DvrSim>>& sims = fleet.Sims();
    QByteArray errors;
};

TEST_F(ManyDvrs, SixtyFourRunUnderTheCommonSoftLimit) {
    struct rlimit own;
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &own), 0);
    if (own.rlim_max <= 1024)
        GTEST_SKIP() << "the hard limit of open files is " << own.rlim_max << ", no room above 1024";
    Start(1024, own.rlim_max);
    ASSERT_TRUE(harness::WaitUntil([&] { return StreamingDvrs() == kDvrs || !Running(); }, 90000))
        << StreamingDvrs() << " of " << kDvrs << " DVRs streaming";
    ASSERT_TRUE(Running());
    const auto start = std::chrono::steady_clock::now();
    ProcessCounts most;
    while (Running() && std::chrono::steady_clock::now() - start < std::chrono::milliseconds(kHoldMs)) {
        ProcessCounts now = Counts();
        most.descriptors = std::max(most.descriptors, now.descriptors);
        most.threads = std::max(most.threads, now.threads);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    EXPECT_TRUE(Running());
    std::printf("64 DVRs online: at most %d descriptors and %d threads\n", most.descriptors, most.threads);
    RecordProperty("descriptors", most.descriptors);
    RecordProperty("threads", most.threads);
    EXPECT_TRUE(CloseAndWait()) << errors.constData();
}

TEST_F(ManyDvrs, ALimitTooSmallLeavesTheSessionsThatFitAndOneMessage) {
    constexpr rlim_t kSmall = 600;
    Start(kSmall, kSmall);
    // Some sessions come online; the others keep failing for want of descriptors.
    ASSERT_TRUE(harness::WaitUntil([&] { return StreamingDvrs() >= 8 || !Running(); }, 60000))
        << StreamingDvrs() << " DVRs streaming; " << Counts().descriptors << " descriptors";
    // The sessions that came online stay online: their pictures keep coming while the others fail.
    std::vector<int> pictures;
    for (const auto& sim : sims)
        pictures.push_back(sim->Streamed(0).pictures);
    std::this_thread::sleep_for(std::chrono::milliseconds(4000));
    EXPECT_TRUE(Running());
    int streaming = 0;
    int kept = 0;
    for (size_t i = 0; i < sims.size(); ++i) {
        const int now = sims[i]->Streamed(0).pictures;
        streaming += now > 0 ? 1 : 0;
        kept += pictures[i] > 0 && now > pictures[i] ? 1 : 0;
    }
    EXPECT_LT(streaming, kDvrs);
    EXPECT_GE(kept, 8);
    std::printf("a limit of %d descriptors: %d of %d DVRs streaming, %d of them throughout\n",
                static_cast<int>(kSmall), streaming, kDvrs, kept);
    EXPECT_TRUE(CloseAndWait()) << errors.constData();
    // Each kind of failure is reported once, however often it is tried again.
    std::map<QByteArray, int> lines;
    for (const QByteArray& line : errors.split('\n')) {
        if (line.contains("could not be started"))
            ++lines[line];
    }
    EXPECT_FALSE(lines.empty()) << errors.constData();
    for (const auto& [line, count] : lines)
        EXPECT_EQ(count, 1) << line.constData();
}

}  // namespace
