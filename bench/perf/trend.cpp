// The trend of ten transmitters polled every second: readings appended as the decoders report
// them, stamped one tenth of a second apart by a clock of its own, for a day (864 000 readings)
// and on past the seven days kept. Reported: the time per append over each stretch and the CPU
// time per append of its slowest thousand appends, the heap the trend holds, and with a day in
// it, the window at 1200 x 800 redrawing everything (the reduction to the chart's width, the
// series, the paint), the reduction alone, and the CSV export of the day. Times are wall-clock
// and CPU time of the thread, which waiting for a core on a loaded machine does not count.

#include <malloc.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QBuffer>
#include <QChartView>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "bench/perf/scenarios.h"
#include "bench/support/statistics.h"
#include "tests/support/proc_stats.h"
#include "trend/line_reduction.h"
#include "trend/trend_export.h"
#include "trend/trend_recorder.h"
#include "trend/trend_window.h"

namespace bench {
namespace {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

constexpr trend::Milliseconds kStart = 1'700'000'000'000;
constexpr long kReadingsPerDay = 864000;
constexpr long kBatch = 1000;
constexpr int kRedraws = 50;
constexpr int kPlotColumns = 1100;  // about the plot area of a 1200 pixels wide window

double HeapMiB() {
    return static_cast<double>(mallinfo2().uordblks) / (1024.0 * 1024.0);
}

double ResidentMiB() {
    return static_cast<double>(procstats::ResidentKiB(getpid())) / 1024.0;
}

double ThreadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Wall-clock and CPU time of one run of `work`.
template <typename Work>
std::pair<double, double> Timed(Work work) {
    const double cpu = ThreadCpuMs();
    const auto start = Clock::now();
    work();
    return {Ms(Clock::now() - start).count(), ThreadCpuMs() - cpu};
}

// Every transmitter reports its pressure in kPa.
constexpr std::array<std::uint8_t, 1> kKilopascal{2};

// Reading `index`: slot 1..10 in turn, each drifting in its own way.
std::array<float, 1> PressureOf(long index) {
    const int slot = static_cast<int>(index % 10);
    const double seconds = static_cast<double>(index / 10);
    return {static_cast<float>(1.0 + 0.1 * slot + 0.05 * std::sin(seconds / (300.0 + 40 * slot)) +
                               0.002 * std::sin(seconds * 1.7))};
}

// The recorder fed as the decoders feed it, with a clock that moves a tenth of a second a reading.
class Feed {
public:
    explicit Feed(double heapBefore) : heapBefore_(heapBefore) {}

    const trend::TrendRecorder& Recorder() const { return recorder_; }

    // Appends readings up to `to` and prints the stretch's figures.
    void AppendUntil(long to) {
        const long from = next_;
        double slowestBatch = 0;
        const auto start = Clock::now();
        while (next_ < to) {
            const long end = std::min(to, next_ + kBatch);
            const double cpu =
                Timed([&] {
                    for (; next_ < end; ++next_) {
                        recorder_.RegistrationReading(static_cast<std::uint8_t>(next_ % 10 + 1), 1,
                                                      PressureOf(next_), kKilopascal);
                    }
                }).second;
            slowestBatch = std::max(slowestBatch, cpu * 1e6 / static_cast<double>(kBatch));
        }
        const double ns = Ms(Clock::now() - start).count() * 1e6 / static_cast<double>(to - from);
        std::printf("  %10ld %6.2f %12.0f %20.0f %10.1f %8.1f\n", to,
                    static_cast<double>(to) / kReadingsPerDay, ns, slowestBatch,
                    HeapMiB() - heapBefore_, ResidentMiB());
        std::fflush(stdout);
    }

private:
    double heapBefore_;
    long next_ = 0;
    trend::TrendRecorder recorder_{[this] { return kStart + next_ * 100; }};
};

void PrintTimes(const char* what, const std::vector<double>& wall, const std::vector<double>& cpu) {
    std::printf("  %-34s wall %s\n", what, SummaryText(Summarise(wall), "", 2).c_str());
    std::printf("  %-34s CPU  %s\n", "", SummaryText(Summarise(cpu), "", 2).c_str());
}

void Redraws(trend::TrendWindow& window) {
    auto* view = window.findChild<QChartView*>(QStringLiteral("TrendChartView"));
    const auto redraw = [&] {
        window.ShowEverything();
        view->viewport()->repaint();
    };
    // The first redraw of a day also makes the series of every unbroken piece, which the
    // following ones reuse.
    const auto [firstWall, firstCpu] = Timed(redraw);
    std::printf("  %-34s wall %.2f  CPU %.2f\n", "first redraw of the whole day, ms:", firstWall,
                firstCpu);
    std::vector<double> wall, cpu;
    for (int i = 0; i < kRedraws; ++i) {
        const auto [w, c] = Timed(redraw);
        wall.push_back(w);
        cpu.push_back(c);
    }
    PrintTimes("redraw of the whole day, ms:", wall, cpu);
}

void Reductions(const trend::TrendHistory& history) {
    std::vector<double> wall, cpu;
    for (int i = 0; i < kRedraws; ++i) {
        const auto [w, c] = Timed([&] {
            for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
                trend::ReduceLine(history.Readings(slot), trend::Variable::First,
                                  {*history.Oldest(), *history.Newest()}, kPlotColumns, 64);
            }
        });
        wall.push_back(w);
        cpu.push_back(c);
    }
    PrintTimes("of which the reduction, ms:", wall, cpu);
}

void ExportDay(const trend::TrendRecorder& recorder) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const auto [wall, cpu] = Timed([&] {
        trend::WriteCsv(buffer, recorder.History(), trend::Variable::First, QLocale::system());
    });
    std::printf("  CSV of the whole day: %.0f ms (CPU %.0f ms), %.1f MiB\n", wall, cpu,
                static_cast<double>(buffer.size()) / (1024.0 * 1024.0));
}

}  // namespace

int RunTrend(const Options& options) {
    Feed feed(HeapMiB());
    std::printf("trend: ten slots at period 1, %d days of readings, seven days kept\n",
                options.trendDays);
    std::printf("  %10s %6s %12s %20s %10s %8s\n", "readings", "days", "ns/append",
                "slowest 1000, CPU ns", "heap MiB", "RSS MiB");
    for (const long checkpoint : {10000L, 100000L, kReadingsPerDay}) {
        feed.AppendUntil(checkpoint);
    }
    {
        trend::TrendWindow window(feed.Recorder());
        window.resize(1200, 800);
        window.show();
        QApplication::processEvents();
        Redraws(window);
    }
    Reductions(feed.Recorder().History());
    ExportDay(feed.Recorder());
    for (int day = 2; day <= options.trendDays; ++day) {
        feed.AppendUntil(day * kReadingsPerDay);
    }
    return 0;
}

}  // namespace bench
