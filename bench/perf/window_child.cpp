// The child process of the idle and start-up measurements: the program's main window created and
// shown as main() does it, or a bare main window shown the same way. It reports on its standard
// output, each with steady-clock nanoseconds:
//   main <ns>       entry into main
//   shown <ns>      the first pass of the event loop, the window shown
//   rss <KiB>       resident memory a second later, at idle
// and ends when its standard input says "quit" or ends.

#include <unistd.h>

#include <QApplication>
#include <QMainWindow>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "bench/perf/scenarios.h"
#include "tests/support/proc_stats.h"
#include "ui/named.h"

namespace bench {
namespace {

using procstats::NameOwnThread;
using procstats::ResidentKiB;
using procstats::ThreadIds;

constexpr int kSettleMs = 1000;

void Report(const char* what, long long value) {
    std::printf("%s %lld\n", what, value);
    std::fflush(stdout);
}

long long Now() {
    return std::chrono::steady_clock::now().time_since_epoch().count();
}

// The component's threads are unnamed; they are the threads the main window started, the event
// thread first.
void NameSerialThreads(const std::vector<int>& before) {
    const char* names[] = {"ser-event", "ser-write"};
    std::size_t next = 0;
    for (const int tid : ThreadIds(getpid())) {
        if (std::find(before.begin(), before.end(), tid) == before.end()) {
            NameOwnThread(tid, next < std::size(names) ? names[next] : "new-thread");
            ++next;
        }
    }
    NameOwnThread(getpid(), "ui");
}

}  // namespace

int RunWindowChild(int argc, char** argv, bool program) {
    Report("main", Now());
    QApplication application(argc, argv);
    std::unique_ptr<QMainWindow> window;
    if (program) {
        QApplication::setApplicationName(QStringLiteral("Tensovia"));
        const std::vector<int> before = ThreadIds(getpid());
        window = std::make_unique<TForm1>();
        NameSerialThreads(before);
    } else {
        window = std::make_unique<QMainWindow>();
    }
    window->resize(1200, 800);
    CentreOnScreen(*window);
    window->showMaximized();
    QTimer::singleShot(0, [] { Report("shown", Now()); });
    QTimer::singleShot(kSettleMs,
                       [] { Report("rss", static_cast<long long>(ResidentKiB(getpid()))); });
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&input] {
        char line[64];
        const ssize_t n = read(STDIN_FILENO, line, sizeof line);
        if (n <= 0 || std::string(line, static_cast<std::size_t>(n)).starts_with("quit")) {
            input.setEnabled(false);
            QApplication::quit();
        }
    });
    return QApplication::exec();
}

}  // namespace bench
