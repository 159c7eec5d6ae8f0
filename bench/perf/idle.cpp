// (c) The idle program with its port open: CPU time and wake-ups of each of its threads over the
// observation, after a settling pause. Wake-ups are the times the kernel put the thread on a
// CPU; a thread blocked for the whole observation has none.

#include <chrono>
#include <cstdio>
#include <thread>

#include "bench/perf/scenarios.h"
#include "bench/perf/window_launch.h"
#include "bench/support/answering_peer.h"
#include "tests/support/proc_stats.h"

namespace bench {
namespace {

using procstats::ResidentKiB;
using procstats::SampleThreads;
using procstats::Since;
using procstats::ThreadSample;

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
    for (const ThreadSample& used : Since(before, after)) {
        const double cpuMs = std::chrono::duration<double, std::milli>(used.cpu).count();
        std::printf("  %-16s %8d %10.3f %9.4f %9llu %12llu\n", used.name.c_str(), used.tid, cpuMs,
                    cpuMs / (seconds * 10.0), static_cast<unsigned long long>(used.wakeUps),
                    static_cast<unsigned long long>(used.voluntary + used.involuntary));
        if (IsProgramThread(used.name)) {
            programCpuMs += cpuMs;
            programWakeUps += used.wakeUps;
        }
    }
    std::printf("  resident memory %.1f MiB\n", static_cast<double>(ResidentKiB(pid)) / 1024.0);
    window->process->WriteLine("quit");
    return 0;
}

}  // namespace bench
