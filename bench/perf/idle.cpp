// (c) The idle program with its port open: CPU time and wake-ups of each of its threads over the
// observation, after a settling pause. Wake-ups are the times the kernel put the thread on a
// CPU; a thread blocked for the whole observation has none.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "bench/perf/proc_stats.h"
#include "bench/perf/scenarios.h"
#include "bench/perf/window_launch.h"
#include "bench/support/answering_peer.h"

namespace bench {
namespace {

constexpr std::chrono::seconds kSettle{2};

bool IsProgramThread(const std::string& name) {
    return name == "ui" || name == "ser-event" || name == "ser-write";
}

}  // namespace

int RunIdle(const Options& options) {
    const AnsweringPeer line(AnsweringPeer::Release::Never);
    const std::optional<LaunchedWindow> window = LaunchWindow(true, line.SlavePath());
    if (!window) {
        return 1;
    }
    const int pid = window->process->Pid();
    std::this_thread::sleep_for(kSettle);
    const std::vector<ThreadSample> before = SampleThreads(pid);
    std::this_thread::sleep_for(std::chrono::seconds(options.idleSeconds));
    const std::vector<ThreadSample> after = SampleThreads(pid);
    const double seconds = options.idleSeconds;

    std::printf("(c) idle program, port open on a pseudo-terminal, %d s\n", options.idleSeconds);
    std::printf("  %-16s %8s %10s %9s %9s %12s\n", "thread", "tid", "CPU ms", "% core", "wake-ups",
                "context sw.");
    double programCpuMs = 0;
    std::uint64_t programWakeUps = 0;
    for (const ThreadSample& end : after) {
        const auto start = std::find_if(before.begin(), before.end(),
                                        [&](const ThreadSample& s) { return s.tid == end.tid; });
        const ThreadSample zero{};
        const ThreadSample& begin = start != before.end() ? *start : zero;
        const double cpuMs = static_cast<double>(end.cpuNs - begin.cpuNs) / 1e6;
        const std::uint64_t wakeUps = end.wakeUps - begin.wakeUps;
        std::printf("  %-16s %8d %10.3f %9.4f %9llu %12llu\n", end.name.c_str(), end.tid, cpuMs,
                    cpuMs / (seconds * 10.0), static_cast<unsigned long long>(wakeUps),
                    static_cast<unsigned long long>(end.voluntary + end.involuntary -
                                                    begin.voluntary - begin.involuntary));
        if (IsProgramThread(end.name)) {
            programCpuMs += cpuMs;
            programWakeUps += wakeUps;
        }
    }
    std::printf(
        "  program's own threads: %.3f ms CPU (%.4f %% of a core, target < 0.1 %%), "
        "%llu wake-ups (target: none periodic)\n",
        programCpuMs, programCpuMs / (seconds * 10.0),
        static_cast<unsigned long long>(programWakeUps));
    std::printf("  resident memory %.1f MiB\n", static_cast<double>(ResidentKiB(pid)) / 1024.0);
    window->process->WriteLine("quit");
    return 0;
}

}  // namespace bench
