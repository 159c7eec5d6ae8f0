// tensovia-perf: end-to-end measurements of Tensovia on pseudo-terminals (see bench/run.sh).
//
//   tensovia-perf latency|idle|startup|registration|trace|trace-hidden|trend|scan
//                 [--transactions N] [--idle-seconds S] [--startups N] [--ticks N]
//                 [--trace-lines N] [--trend-days N] [--scans N]

#include <signal.h>

#include <QApplication>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>

#include "bench/perf/scenarios.h"

namespace {

const char kUsage[] =
    "usage: tensovia-perf latency|idle|startup|registration|trace|trace-hidden|trend|scan\n"
    "       [--transactions N] [--idle-seconds S] [--startups N] [--ticks N] [--trace-lines N]\n"
    "       [--trend-days N] [--scans N]\n";

QtMessageHandler standardMessages = nullptr;

// The offscreen platform says this whenever a window's size constraints change; it tells
// nothing about the program.
void QuietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message != QLatin1String("This plugin does not support propagateSizeHints()")) {
        standardMessages(type, context, message);
    }
}

bool ParseOptions(int argc, char** argv, bench::Options& options) {
    const std::map<std::string, std::function<void(long)>> setters{
        {"--transactions", [&](long n) { options.transactions = static_cast<int>(n); }},
        {"--idle-seconds", [&](long n) { options.idleSeconds = static_cast<int>(n); }},
        {"--startups", [&](long n) { options.startups = static_cast<int>(n); }},
        {"--ticks", [&](long n) { options.ticks = static_cast<int>(n); }},
        {"--trace-lines", [&](long n) { options.traceLines = n; }},
        {"--trend-days", [&](long n) { options.trendDays = static_cast<int>(n); }},
        {"--scans", [&](long n) { options.scans = static_cast<int>(n); }},
    };
    for (int i = 2; i < argc; i += 2) {
        const auto setter = setters.find(argv[i]);
        if (setter == setters.end() || i + 1 >= argc) {
            return false;
        }
        const long value = std::strtol(argv[i + 1], nullptr, 10);
        if (value <= 0) {
            return false;
        }
        setter->second(value);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    // A child that has gone must not end the measurement with SIGPIPE.
    signal(SIGPIPE, SIG_IGN);
    standardMessages = qInstallMessageHandler(QuietMessages);
    if (argc >= 3 && std::strcmp(argv[1], "--window") == 0) {
        return bench::RunWindowChild(argc, argv, std::strcmp(argv[2], "program") == 0);
    }
    bench::Options options;
    if (argc < 2 || !ParseOptions(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::map<std::string, std::function<int(const bench::Options&)>> scenarios{
        {"latency", bench::RunLatency},
        {"idle", bench::RunIdle},
        {"startup", bench::RunStartup},
        {"registration", bench::RunRegistration},
        {"trace", [](const bench::Options& o) { return bench::RunTraceMemo(o, true); }},
        {"trace-hidden", [](const bench::Options& o) { return bench::RunTraceMemo(o, false); }},
        {"trend", bench::RunTrend},
        {"scan", bench::RunScan},
    };
    const auto scenario = scenarios.find(argv[1]);
    if (scenario == scenarios.end()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    return scenario->second(options);
}
