#pragma once

// What the benchmarks of the real main window share: turning the UI thread's event loop for a while, and
// a main that runs one benchmark on the offscreen platform with the client's resources and message loop.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <vector>

#include "platform/ui/message_loop.h"
#include "platform/ui/win_app.h"
#include "ui/client_resources.h"
#include "ui/main_window.h"

// Makes window the program's main window and shows it; false (with the benchmark skipped) when it cannot
// be made.
inline bool ShowMainWindow(CTarvikDlg& window, benchmark::State& state) {
    AfxGetApp()->m_pMainWnd = &window;
    if (!window.Create(IDD_TARVIK_DIALOG, nullptr)) {
        state.SkipWithError("window");
        return false;
    }
    window.ShowWindow(SW_SHOW);
    return true;
}

// Runs the UI thread's event loop for ms milliseconds; it sleeps while there is nothing to do.
inline void Pump(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// A tick on the UI thread every tickMs while it lives: how late each tick came measures how long the UI
// thread was held.
class LatenessTick {
public:
    explicit LatenessTick(int tickMs) : m_tickMs(tickMs) {
        m_clock.start();
        m_tick.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_tick, &QTimer::timeout, [this] {
            qint64 now = m_clock.nsecsElapsed();
            if (m_last != 0)
                m_late.push_back(std::max(0.0, static_cast<double>(now - m_last) / 1e6 - m_tickMs));
            m_last = now;
        });
        m_tick.start(tickMs);
    }
    // Milliseconds since the tick started.
    qint64 ElapsedMs() const { return m_clock.elapsed(); }
    // The longest lateness and its 99th percentile so far (ms).
    void Stop(double* maxMs, double* p99Ms) {
        m_tick.stop();
        std::sort(m_late.begin(), m_late.end());
        *maxMs = m_late.empty() ? 0 : m_late.back();
        *p99Ms =
            m_late.empty() ? 0 : m_late[static_cast<size_t>(static_cast<double>(m_late.size() - 1) * 0.99)];
    }

private:
    int m_tickMs;
    QElapsedTimer m_clock;
    QTimer m_tick;
    qint64 m_last = 0;
    std::vector<double> m_late;
};

// Runs the benchmark once (seconds as the unit) on the offscreen platform.
inline int RunOffscreenWindowBenchmark(int argc, char** argv, const char* name,
                                       void (*run)(benchmark::State&)) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InstallClientResources();
    InstallWindowMessageLoop();
    CWinApp windowApp;
    benchmark::RegisterBenchmark(name, run)->Unit(benchmark::kSecond)->Iterations(1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    RemoveWindowMessageLoop();
    return 0;
}
