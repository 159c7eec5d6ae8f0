// Registration of ten simulated transmitters at a period of one second for a given time, with
// the program's resident memory and CPU printed as it goes. With --check it ends with status 1
// when the memory grew beyond what the trace legitimately takes, or when the program kept a core
// busy.
//
// Usage: tensovia-soak SECONDS [--every SECONDS] [--check]

#include <QApplication>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextDocument>
#include <cstdio>

#include "tests/support/expectations.h"
#include "tests/support/proc_stats.h"
#include "tests/support/program_fixture.h"
#include "tests/support/tab_drivers.h"

namespace {

// The bound on memory growth after the warm-up. The trace is the one thing that legitimately
// grows: every request adds eight lines and every answer three, some 50 lines a second with ten
// transmitters, until it holds its limit of 100000 lines (up to 110000), after about 37 minutes.
// A trace line costs about 0.2 KiB while the window is hidden, as here (measured in this run), and
// up to about 0.6 KiB once a shown window has laid it out; allow 1 KiB a line, and a fixed 4 MiB
// for the allocator's arenas and Qt's caches settling. The registration table has a fixed number
// of rows and everything else is bounded, so anything that grows with the polls (a table, a
// queue, a leak) by more than that in the run fails it. Unreachable leaks of any size are
// LeakSanitizer's part, in the sanitizer run.
constexpr double kKiBPerTraceLine = 1.0;
constexpr long long kSlackKiB = 4 * 1024;
// A program that polls with its thread asleep between sends uses a few per cent of a core.
constexpr double kMaxCpuShare = 0.5;
// Memory is compared from this point on: start-up and the first polls fill caches once.
constexpr int kWarmUpSeconds = 10;

double Seconds(std::chrono::nanoseconds time) {
    return std::chrono::duration<double>(time).count();
}

struct Sample {
    double seconds = 0;
    long long rssKiB = 0;
    double cpuSeconds = 0;
    double simulatorCpuSeconds = 0;
    int traceLines = 0;
    int greenLamps = 0;
};

struct Options {
    int seconds = 60;
    int every = 10;
    bool check = false;
};

bool ParseOptions(const QStringList& arguments, Options& options) {
    if (arguments.size() < 2) {
        return false;
    }
    bool ok = false;
    options.seconds = arguments[1].toInt(&ok);
    options.every = std::max(5, options.seconds / 30);
    for (qsizetype i = 2; ok && i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--check")) {
            options.check = true;
        } else if (arguments[i] == QLatin1String("--every") && i + 1 < arguments.size()) {
            options.every = arguments[++i].toInt(&ok);
        } else {
            ok = false;
        }
    }
    return ok && options.seconds > kWarmUpSeconds && options.every > 0;
}

class Soak {
public:
    Soak() : tab_(program_) {}

    void Start() {
        tab_.TickAllSlots();
        tab_.Toggle();
        clock_.start();
        std::printf("%8s %10s %8s %9s %12s %6s\n", "time/s", "RSS/KiB", "CPU/%", "sim CPU/%",
                    "trace lines", "green");
    }
    void Stop() { tab_.Toggle(); }
    qint64 ElapsedMs() const { return clock_.elapsed(); }

    Sample Take() {
        Sample sample;
        sample.seconds = static_cast<double>(clock_.elapsed()) / 1000.0;
        sample.rssKiB = static_cast<long long>(procstats::ResidentKiB(0));
        sample.cpuSeconds = Seconds(procstats::ProcessCpuTime(0));
        sample.simulatorCpuSeconds = Seconds(procstats::ProcessCpuTime(
            static_cast<int>(program_.Simulator().Process().processId())));
        sample.traceLines = program_.Form()
                                .findChild<QPlainTextEdit*>(QStringLiteral("Memo1"))
                                ->document()
                                ->blockCount();
        for (int slot = 1; slot <= 10; ++slot) {
            sample.greenLamps += tab_.Lamp(slot) == kGreen ? 1 : 0;
        }
        return sample;
    }

    static void Print(const Sample& now, const Sample& before) {
        const double span = std::max(now.seconds - before.seconds, 1e-3);
        std::printf("%8.0f %10lld %8.1f %9.1f %12d %6d\n", now.seconds, now.rssKiB,
                    100.0 * (now.cpuSeconds - before.cpuSeconds) / span,
                    100.0 * (now.simulatorCpuSeconds - before.simulatorCpuSeconds) / span,
                    now.traceLines, now.greenLamps);
        std::fflush(stdout);
    }

private:
    ProgramFixture program_;
    RegistrationTabDriver tab_;
    QElapsedTimer clock_;
};

// Prints the verdict; false when a bound is broken.
bool Verdict(const Sample& start, const Sample& warm, const Sample& end) {
    const long long growth = end.rssKiB - warm.rssKiB;
    const long long allowed =
        kSlackKiB + static_cast<long long>(kKiBPerTraceLine * (end.traceLines - warm.traceLines));
    const double cpuShare = (end.cpuSeconds - start.cpuSeconds) / (end.seconds - start.seconds);
    std::printf(
        "RSS %lld KiB at start, %lld KiB after the warm-up, %lld KiB at the end: growth %lld "
        "KiB, allowed %lld KiB for %d trace lines\n",
        start.rssKiB, warm.rssKiB, end.rssKiB, growth, allowed, end.traceLines - warm.traceLines);
    std::printf("CPU %.1f%% of a core on average, allowed %.0f%%\n", 100 * cpuShare,
                100 * kMaxCpuShare);
    return growth <= allowed && cpuShare <= kMaxCpuShare;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    Options options;
    if (!ParseOptions(QApplication::arguments(), options)) {
        std::fprintf(stderr, "usage: %s SECONDS (more than %d) [--every SECONDS] [--check]\n",
                     argv[0], kWarmUpSeconds);
        return 2;
    }
    Soak soak;
    soak.Start();
    const Sample start = soak.Take();
    Sample warm = start;
    Sample last = start;
    for (int next = options.every; next <= options.seconds; next += options.every) {
        QTest::qWait(static_cast<int>(std::max<qint64>(0, next * 1000LL - soak.ElapsedMs())));
        const Sample sample = soak.Take();
        Soak::Print(sample, last);
        // The first sample after the warm-up is the reference.
        if (warm.seconds < kWarmUpSeconds) {
            warm = sample;
        }
        last = sample;
    }
    soak.Stop();
    const bool withinBounds = Verdict(start, warm, last);
    return options.check && !withinBounds ? 1 : 0;
}
