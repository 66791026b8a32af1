// The window under a worker's load: the worker fills the table (or the log) through the UI thread
// while a timer on the UI thread measures how long its ticks are kept waiting. And the window at the
// end of a run: how soon it is idle and the worker gone after a stop or a close.
#include "StopDrill.h"
#include "app/ControlOperations.h"
#include "app/MainWindow.h"
#include "app/WindowRunView.h"
#include "app/browserEngine.h"
#include "text/numbers.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <numeric>
#include <random>
#include <thread>

namespace {

using namespace velmora;

// The window the benchmarks drive; main() owns it so that it goes before the application does.
MainWindow* benchWindowInstance = nullptr;

MainWindow& benchWindow() {
    return *benchWindowInstance;
}

/// Runs `work` on a worker thread while the UI thread serves it; the longest gap between the ticks
/// of a 5 ms timer on the UI thread meanwhile, in milliseconds.
double serveWhile(const std::function<void()>& work) {
    std::atomic<bool> done{false};
    QEventLoop loop;
    QTimer ticks;
    ticks.setTimerType(Qt::PreciseTimer);
    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    QObject::connect(&ticks, &QTimer::timeout, &loop, [&] {
        longestGap = std::max(longestGap, sinceTick.nsecsElapsed());
        sinceTick.restart();
        if (done) {
            loop.quit();
        }
    });
    ticks.start(5);
    sinceTick.start();
    std::thread worker([&] {
        work();
        done = true;
    });
    loop.exec();
    worker.join();
    return static_cast<double>(longestGap) / 1e6;
}

// 10,000 rows, each one appendRow, four setCell and one setStatusText from the worker.
void workerFillsTheTable(benchmark::State& state) {
    MainWindow& window = benchWindow();
    const int rows = static_cast<int>(state.range(0));
    double longestGap = 0;
    for (auto _ : state) {
        window.clearRows();
        longestGap = std::max(longestGap, serveWhile([&] {
                                  WindowRunView view(window.bridge(), std::make_shared<CancelToken>());
                                  for (int number = 1; number <= rows; ++number) {
                                      const int row = view.appendRow(intToText(number));
                                      view.setCell(row, 1,
                                                   "http://item.market.localhost/item.htm?id=" +
                                                       intToText(500000 + number));
                                      view.setCell(row, 2, "\xC1\xAC\xD2\xC2\xC8\xB9 " + intToText(number));
                                      view.setCell(row, 3, "seller" + intToText(number % 97));
                                      view.setCell(row, 4, intToText(number * 3));
                                      view.setStatusText("\xB5\xDA"
                                                         "1"
                                                         "\xD2\xB3\xA3\xAC" +
                                                         intToText(number)); // 第1页，N
                                  }
                              }));
        if (window.rowCount() != rows) {
            state.SkipWithError("rows went missing");
        }
    }
    state.counters["max_ui_gap_ms"] = longestGap;
    state.counters["calls"] = benchmark::Counter(rows * 6.0, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(workerFillsTheTable)->Arg(10000)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same timer with a worker that only sleeps: the gap the machine itself causes, for comparison.
void idleTimerGap(benchmark::State& state) {
    double longestGap = 0;
    for (auto _ : state) {
        longestGap =
            std::max(longestGap, serveWhile([] { std::this_thread::sleep_for(std::chrono::seconds(1)); }));
    }
    state.counters["max_ui_gap_ms"] = longestGap;
}
BENCHMARK(idleTimerGap)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// 100,000 log lines from the worker: the log box must keep every line and stay quick to add to.
void workerWritesTheLog(benchmark::State& state) {
    MainWindow& window = benchWindow();
    const int lines = static_cast<int>(state.range(0));
    double longestGap = 0;
    for (auto _ : state) {
        window.编辑框2shop->clear();
        longestGap =
            std::max(longestGap, serveWhile([&] {
                         WindowRunView view(window.bridge(), std::make_shared<CancelToken>());
                         for (int line = 1; line <= lines; ++line) {
                             view.log("page " + intToText(line) + " \xB2\xC9\xBC\xAF\xCD\xEA\xB1\xCF");
                         }
                     }));
        if (window.编辑框2shop->document()->blockCount() != lines + 1) {
            state.SkipWithError("log lines went missing");
        }
    }
    state.counters["max_ui_gap_ms"] = longestGap;
}
BENCHMARK(workerWritesTheLog)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// One more line into a log that already holds 100,000, on the UI thread.
void appendToLongLog(benchmark::State& state) {
    MainWindow& window = benchWindow();
    ControlOperations operations(window.bridge());
    if (window.编辑框2shop->document()->blockCount() < 100000) {
        for (int line = 0; line < 100000; ++line) {
            operations.appendText(&MainWindow::编辑框2shop, "filler line\r\n");
        }
    }
    for (auto _ : state) {
        operations.appendText(&MainWindow::编辑框2shop, "one more line\r\n");
        QCoreApplication::processEvents();
    }
}
BENCHMARK(appendToLongLog)->Unit(benchmark::kMicrosecond);

// Runs of the collectors against the simulator ended at random points of every kind, with the
// button (close = 0) or by closing the window (close = 1): how long the window takes to serve its
// next event after the press, and how long until the run's worker has gone.
void runsEndedAtRandomPoints(benchmark::State& state) {
    const bool close = state.range(0) != 0;
    test::StopDrill drill;
    std::mt19937 random(static_cast<std::uint32_t>(state.range(0)));
    std::vector<double> toIdle;
    std::vector<double> toGone;
    const auto milliseconds = [](std::chrono::nanoseconds span) {
        return static_cast<double>(span.count()) / 1e6;
    };
    for (auto _ : state) {
        for (test::StopPoint point : test::kStopPoints) {
            const test::StopRecord record =
                close ? drill.closeDuringRun(point, random()) : drill.stopRun(point, random());
            if (!record.workerGone) {
                state.SkipWithError("a stopped run's worker did not end");
            }
            toIdle.push_back(milliseconds(record.toIdle));
            toGone.push_back(milliseconds(record.toGone));
        }
    }
    const auto mean = [](const std::vector<double>& values) {
        return values.empty() ? 0.0
                              : std::accumulate(values.begin(), values.end(), 0.0) / double(values.size());
    };
    const auto most = [](const std::vector<double>& values) {
        return values.empty() ? 0.0 : *std::max_element(values.begin(), values.end());
    };
    state.counters["ends"] = static_cast<double>(toIdle.size());
    state.counters["idle_mean_ms"] = mean(toIdle);
    state.counters["idle_max_ms"] = most(toIdle);
    state.counters["gone_mean_ms"] = mean(toGone);
    state.counters["gone_max_ms"] = most(toGone);
    // The targets: idle within 100 ms of the press, the old worker gone within 1 s.
    if (most(toIdle) > 100.0 || most(toGone) > 1000.0) {
        state.SkipWithError("an end took longer than its target");
    }
}
// 40 rounds of the five kinds of point: 200 stops; 4 rounds: 20 closes.
BENCHMARK(runsEndedAtRandomPoints)
    ->ArgName("close")
    ->Arg(0)
    ->Iterations(40)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(runsEndedAtRandomPoints)
    ->ArgName("close")
    ->Arg(1)
    ->Iterations(4)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    velmora::prepareBrowserEngine();
    QApplication application(argc, argv);
    velmora::MainWindow window(QStringLiteral("about:blank"));
    window.showCentred();
    benchWindowInstance = &window;
    // The first showing loads fonts and starts the browser engine; that is start-up, not load.
    window.setStatusText(QStringLiteral("第1页，0"));
    QEventLoop settle;
    QTimer::singleShot(1000, &settle, &QEventLoop::quit);
    settle.exec();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
