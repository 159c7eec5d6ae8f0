// The trace memo over a day of a ten-transmitter run: ten million lines appended to the memo of
// the setup tab, with the event loop given a pass (a repaint when the tab is in front) every
// hundred lines, about once a second of such a run. Reported at checkpoints: the time per append
// over the last stretch, the time of a pass, the lines kept and the resident memory.

#include <unistd.h>

#include <QApplication>
#include <QStringList>
#include <chrono>
#include <cstdio>
#include <set>

#include "app/setup_tab.h"
#include "bench/perf/scenarios.h"
#include "tests/support/proc_stats.h"

namespace bench {
namespace {

using Clock = std::chrono::steady_clock;

constexpr long kLinesPerPass = 100;
constexpr long kStretch = 100000;

// 100 000, 200 000 and 300 000 lines (the memo fills up), every million, and the last stretch.
std::set<long> Checkpoints(long lines) {
    std::set<long> checkpoints{kStretch, 2 * kStretch, 3 * kStretch, lines - kStretch, lines};
    for (long line = 1000000; line < lines; line += 1000000) {
        checkpoints.insert(line);
    }
    std::erase_if(checkpoints, [lines](long line) { return line <= 0 || line > lines; });
    return checkpoints;
}

// The lines of one registration answer and its request, as the trace shows them.
const QStringList kTransactionLines{
    QStringLiteral("Передача началась"),
    QStringLiteral("Преамбула: 255 255 255"),
    QStringLiteral("Стартовый байт: 130"),
    QStringLiteral("Адрес: 255 255 255 255 7"),
    QStringLiteral("Команда: 1"),
    QStringLiteral("Размер переданных байт: 0"),
    QStringLiteral("Данные: "),
    QStringLiteral("Контрольная сумма: 134"),
    QStringLiteral("Буфер приемника: Приняты все байты: 19"),
    QStringLiteral("Режим регистрации. Получен ответ:"),
    QStringLiteral(" 255 255 255 134 255 255 255 255 7 1 5 0 0 12 66 202 166 102 139"),
};

}  // namespace

int RunTraceMemo(const Options& options, bool shown) {
    SetupTab tab;
    tab.resize(1200, 800);
    if (shown) {
        tab.show();
    }
    QApplication::processEvents();
    TraceMemo& memo = *tab.Memo1;

    std::printf("trace memo, %s: %ld lines appended, an event-loop pass every %ld lines\n",
                shown ? "shown" : "on a tab behind", options.traceLines, kLinesPerPass);
    std::printf("  %12s %14s %16s %12s %10s\n", "lines", "us per append", "ms per pass",
                "lines kept", "RSS MiB");
    std::printf("  %12d %14s %16s %12d %10.1f\n", 0, "", "", memo.blockCount(),
                static_cast<double>(procstats::ResidentKiB(getpid())) / 1024.0);
    Clock::duration appending{}, repainting{};
    long appendedSinceCheckpoint = 0, passesSinceCheckpoint = 0;
    const std::set<long> checkpoints = Checkpoints(options.traceLines);
    for (long line = 1; line <= options.traceLines; ++line) {
        const auto start = Clock::now();
        memo.AppendLine(kTransactionLines[line % kTransactionLines.size()]);
        appending += Clock::now() - start;
        ++appendedSinceCheckpoint;
        if (line % kLinesPerPass == 0) {
            const auto passStart = Clock::now();
            QApplication::processEvents();
            repainting += Clock::now() - passStart;
            ++passesSinceCheckpoint;
        }
        if (checkpoints.contains(line)) {
            std::printf("  %12ld %14.2f %16.3f %12d %10.1f\n", line,
                        std::chrono::duration<double, std::micro>(appending).count() /
                            static_cast<double>(appendedSinceCheckpoint),
                        std::chrono::duration<double, std::milli>(repainting).count() /
                            static_cast<double>(std::max(passesSinceCheckpoint, 1L)),
                        memo.blockCount(),
                        static_cast<double>(procstats::ResidentKiB(getpid())) / 1024.0);
            std::fflush(stdout);
            appending = repainting = {};
            appendedSinceCheckpoint = passesSinceCheckpoint = 0;
        }
    }
    return 0;
}

}  // namespace bench
