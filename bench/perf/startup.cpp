// (d) Start-up to the first event-loop pass and resident memory at idle: the program's main
// window beside a bare Qt main window, started alternately in the same run, the first start of
// each discarded (cold caches).

#include <cstdio>
#include <vector>

#include "bench/perf/scenarios.h"
#include "bench/perf/window_launch.h"
#include "bench/support/answering_peer.h"
#include "bench/support/statistics.h"

namespace bench {
namespace {

struct Series {
    std::vector<double> toMain, toShown, rss;
};

void Print(const char* name, const Series& series) {
    std::printf("  %-8s start-up to first event-loop pass  %s\n", name,
                SummaryText(Summarise(series.toShown), " ms", 1).c_str());
    std::printf("  %-8s   of which process start to main()  %s\n", name,
                SummaryText(Summarise(series.toMain), " ms", 1).c_str());
    std::printf("  %-8s resident memory at idle            %s\n", name,
                SummaryText(Summarise(series.rss), " MiB", 1).c_str());
}

}  // namespace

int RunStartup(const Options& options) {
    // COM1 of the program: a pseudo-terminal nobody answers on.
    const AnsweringPeer line(AnsweringPeer::Release::Never);
    Series program, bare;
    for (int run = 0; run <= options.startups; ++run) {
        for (const bool isProgram : {false, true}) {
            const std::optional<LaunchedWindow> window = LaunchWindow(isProgram, line.SlavePath());
            if (!window) {
                return 1;
            }
            window->process->WriteLine("quit");
            if (run == 0) {
                continue;
            }
            Series& series = isProgram ? program : bare;
            series.toMain.push_back(window->toMainMs);
            series.toShown.push_back(window->toShownMs);
            series.rss.push_back(window->rssMiB);
        }
    }
    std::printf("(d) start-up and resident memory, offscreen, %d starts each\n", options.startups);
    Print("bare", bare);
    Print("program", program);
    const double timeRatio = Summarise(program.toShown).median / Summarise(bare.toShown).median;
    const double extraMiB = Summarise(program.rss).median - Summarise(bare.rss).median;
    std::printf(
        "  program/bare start-up %.2fx (target <= 2x); memory %+.1f MiB (target <= +15 MB)\n",
        timeRatio, extraMiB);
    return 0;
}

}  // namespace bench
