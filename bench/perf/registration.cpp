// (e) Registration of ten transmitters (the simulator, answering at the line's pace) at period 1:
// the duration of each tick and how far the ticks drift from a one-second rhythm. The tick is
// re-armed for 1000 ms at its end, so each period is one second plus the tick's own work; the
// drift beyond that work is what the timer adds.

#include <QCheckBox>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <numeric>
#include <vector>

#include "bench/perf/child_process.h"
#include "bench/perf/program_under_test.h"
#include "bench/perf/scenarios.h"
#include "bench/support/statistics.h"
#include "hart/frame_sender.h"
#include "modes/registration_cycle.h"
#include "ui/timer.h"

namespace bench {
namespace {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

constexpr std::chrono::seconds kSimulatorPatience{10};
constexpr std::chrono::seconds kTickPatience{10};

struct Tick {
    Clock::time_point start;
    Clock::time_point end;
    int answeredAtFirstAttempt = 0;  // green lamps when the tick began
};

// The slave path from the simulator's first line, "slave: /dev/pts/N".
std::string SimulatorSlave(ChildProcess& simulator) {
    const std::optional<std::string> line = simulator.ReadLine(kSimulatorPatience);
    const std::string prefix = "slave: ";
    return line && line->starts_with(prefix) ? line->substr(prefix.size()) : std::string();
}

std::vector<Tick> RunTicks(ProgramUnderTest& program, int count) {
    std::vector<Tick> ticks;
    QEventLoop loop;
    TTimer& timer1 = program.Find<TTimer>("Timer1");
    const hart::SlotArrays& slotArrays = program.Form().State().slotArrays;
    timer1.OnTimer = [&, inner = timer1.OnTimer] {
        Tick tick{Clock::now(), {}, 0};
        for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
            tick.answeredAtFirstAttempt += slotArrays.SlotState[slot] == hart::kLampGreen ? 1 : 0;
        }
        inner();
        tick.end = Clock::now();
        ticks.push_back(tick);
        if (static_cast<int>(ticks.size()) > count) {
            loop.quit();
        }
    };
    QTimer::singleShot(kTickPatience * (count + 2), &loop, &QEventLoop::quit);
    for (int slot = 1; slot <= hart::kSlotCount; ++slot) {
        program.Find<QCheckBox>(QStringLiteral("CheckBox%1").arg(11 + slot).toLatin1().constData())
            .setChecked(true);
    }
    // Period 1 and the primary-variable command are the start-up defaults.
    auto& startStop = program.Find<QPushButton>("Button2");
    startStop.click();
    loop.exec();
    startStop.click();
    return ticks;
}

// Seconds per hour that `part` takes of `whole`.
double PerHour(double part, double whole) {
    return part / whole * 3600.0;
}

}  // namespace

int RunRegistration(const Options& options) {
    ChildProcess simulator({TENSOVIA_SIM_PATH, "--pace", "--addresses", "1-10"}, {});
    const std::string slave = SimulatorSlave(simulator);
    if (slave.empty()) {
        std::fprintf(stderr, "(e) the simulator did not start\n");
        return 1;
    }
    ProgramUnderTest program(slave);
    const std::vector<Tick> ticks = RunTicks(program, options.ticks);
    simulator.WriteLine("quit");
    if (static_cast<int>(ticks.size()) <= options.ticks) {
        std::fprintf(stderr, "(e) only %zu ticks came\n", ticks.size());
        return 1;
    }

    const double period = modes::RegistrationCycle::kTickInterval;
    const double fixed = hart::kSlotCount * (modes::RegistrationCycle::kPauseAfterSend +
                                             Ms(hart::FrameSender::kRtsHold).count());
    std::vector<double> work, beyondFixed, lateness;
    double sumInterval = 0, sumWork = 0, sumDrift = 0;
    int minAnswered = hart::kSlotCount;
    for (std::size_t i = 0; i + 1 < ticks.size(); ++i) {
        const double w = Ms(ticks[i].end - ticks[i].start).count();
        const double interval = Ms(ticks[i + 1].start - ticks[i].start).count();
        work.push_back(w);
        beyondFixed.push_back(w - fixed);
        lateness.push_back(interval - period - w);
        sumInterval += interval;
        sumWork += w;
        sumDrift += interval - period;
        minAnswered = std::min(minAnswered, ticks[i + 1].answeredAtFirstAttempt);
    }
    std::printf("(e) registration, ten transmitters (simulator, paced), period 1 s, %zu ticks\n",
                work.size());
    std::printf("  %-44s %s\n", "tick duration, ms", SummaryText(Summarise(work), "", 1).c_str());
    std::printf("  %-44s %.0f ms\n", "  fixed: ten sends x (100 ms pause + 20 ms hold)", fixed);
    std::printf("  %-44s %s\n", "  beyond the fixed waits, ms",
                SummaryText(Summarise(beyondFixed), "", 2).c_str());
    std::printf("  %-44s %s\n", "timer lateness (interval - 1 s - work), ms",
                SummaryText(Summarise(lateness), "", 3).c_str());
    std::printf(
        "  drift per hour %.1f s; work of the ticks per hour %.1f s; difference %+.2f s "
        "(target <= 0)\n",
        PerHour(sumDrift, sumInterval), PerHour(sumWork, sumInterval),
        PerHour(sumDrift - sumWork, sumInterval));
    std::printf("  transmitters green at each tick: at least %d of %d\n", minAnswered,
                hart::kSlotCount);
    return 0;
}

}  // namespace bench
