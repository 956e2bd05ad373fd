// Posting to a window from worker threads: messages delivered per second on the UI thread, and the time
// from each post to its delivery (p50, p99, max). Arguments: posting threads, posts per thread per round.
// Bursts of 400 posts per thread measure throughput (their latency includes the wait behind the burst);
// one post per thread per round measures delivery latency while 64 threads post at once.
//
//   build/bench/bench_ui_post

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/ui/message_loop.h"
#include "platform/ui/wnd.h"

namespace {

constexpr UINT kMsg = WM_USER + 1;

uint64_t NowNs() {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

// Counts deliveries and keeps each one's latency (wParam carries the post time).
class SinkWnd : public CWnd {
public:
    std::vector<uint64_t> latencies;
    size_t received = 0;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != kMsg)
            return CWnd::WindowProc(message, wParam, lParam);
        latencies.push_back(NowNs() - static_cast<uint64_t>(wParam));
        ++received;
        return 0;
    }
};

// Workers that each post their share when a round starts.
class Posters {
public:
    Posters(int count, int postsPerThread, HWND target) : m_target(target), m_posts(postsPerThread) {
        for (int i = 0; i < count; ++i)
            m_threads.emplace_back([this] { Run(); });
    }
    ~Posters() {
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_stop = true;
        }
        m_wake.notify_all();
        for (auto& t : m_threads)
            t.join();
    }
    void StartRound() {
        {
            std::lock_guard<std::mutex> guard(m_lock);
            ++m_round;
        }
        m_wake.notify_all();
    }

private:
    void Run() {
        uint64_t seen = 0;
        for (;;) {
            {
                std::unique_lock<std::mutex> guard(m_lock);
                m_wake.wait(guard, [&] { return m_stop || m_round != seen; });
                if (m_stop)
                    return;
                seen = m_round;
            }
            for (int i = 0; i < m_posts; ++i)
                PostMessage(m_target, kMsg, static_cast<WPARAM>(NowNs()), 0);
        }
    }
    HWND m_target;
    int m_posts;
    std::mutex m_lock;
    std::condition_variable m_wake;
    uint64_t m_round = 0;
    bool m_stop = false;
    std::vector<std::thread> m_threads;
};

uint64_t Percentile(std::vector<uint64_t>& values, double p) {
    if (values.empty())
        return 0;
    size_t index = std::min(values.size() - 1, static_cast<size_t>(p * static_cast<double>(values.size())));
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(index), values.end());
    return values[index];
}

void BM_PostToUiThread(benchmark::State& state) {
    const int threads = static_cast<int>(state.range(0));
    const int postsPerThread = static_cast<int>(state.range(1));
    const size_t perRound = static_cast<size_t>(threads) * static_cast<size_t>(postsPerThread);
    SinkWnd sink;
    sink.Attach(new QWidget, nullptr, 0, 0);
    sink.latencies.reserve(perRound * 64);
    Posters posters(threads, postsPerThread, sink.m_hWnd);
    size_t total = 0;
    for (auto _ : state) {
        size_t target = sink.received + perRound;
        posters.StartRound();
        while (sink.received < target)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        total += perRound;
    }
    state.SetItemsProcessed(static_cast<int64_t>(total));
    state.counters["p50_us"] = static_cast<double>(Percentile(sink.latencies, 0.50)) / 1000.0;
    state.counters["p99_us"] = static_cast<double>(Percentile(sink.latencies, 0.99)) / 1000.0;
    state.counters["max_us"] =
        static_cast<double>(*std::max_element(sink.latencies.begin(), sink.latencies.end())) / 1000.0;
}
BENCHMARK(BM_PostToUiThread)
    ->Args({1, 400})
    ->Args({64, 400})
    ->Args({64, 1})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InstallWindowMessageLoop();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    RemoveWindowMessageLoop();
    return 0;
}
