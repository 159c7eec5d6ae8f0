#pragma once
// The measurements of tensovia-perf. Each prints its figures on the standard output and returns
// the process exit status: 0, or 1 when the program did not behave as expected.

namespace bench {

struct Options {
    int transactions = 1000;     // latency and setup: measured transactions
    int idleSeconds = 60;        // idle: length of the observation
    int startups = 20;           // startup: starts of each window
    int ticks = 60;              // registration: measured ticks
    long traceLines = 10000000;  // trace: lines appended
    int trendDays = 8;           // trend: days of readings of ten slots at period 1
    int scans = 5;               // scan: scans of poll addresses 0 to 15
};

// (a) answer to row, and (b) "Старт" to row, with the program in this process.
int RunLatency(const Options& options);
// (c) CPU time and wake-ups per thread of the idle program with its port open.
int RunIdle(const Options& options);
// (d) start-up to the first event-loop pass and resident memory, beside a bare main window.
int RunStartup(const Options& options);
// (e) ten transmitters at period 1: tick duration and drift.
int RunRegistration(const Options& options);
// The trace memo over a day's lines, on the tab in front (`shown`) or behind: time per append
// and resident memory.
int RunTraceMemo(const Options& options, bool shown);

// The trend of ten slots at period 1 over days: time per append, memory, the window redrawing a
// whole day, the CSV export of a day.
int RunTrend(const Options& options);

// The scan of poll addresses 0 to 15 with three transmitters: its duration against the frames'
// wire time plus the silent addresses' waits.
int RunScan(const Options& options);

// The child of RunIdle and RunStartup: the program's main window (`program`) or a bare one.
int RunWindowChild(int argc, char** argv, bool program);

}  // namespace bench
