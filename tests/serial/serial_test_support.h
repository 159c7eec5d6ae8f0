#pragma once
// Helpers of the serial-layer tests: the test thread acting as the user-interface thread, a
// pseudo-terminal pair whose master side the test drives, and the CPU the component's threads use.

#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "serial/ser_comm.h"
#include "serial/sync_call_queue.h"
#include "tests/support/proc_stats.h"

using namespace std::chrono_literals;

// The test thread as the user-interface thread: runs the component's synchronized calls while
// it pumps, and keeps what the component reported as errors.
class TestUiThread {
public:
    ser::TSerEnvironment Environment(std::shared_ptr<ser::platform::DeviceFactory> devices = {});
    // Runs synchronized calls as they come until `done` holds; false after `timeout`.
    bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 10s);
    // Runs synchronized calls as they come for `duration`.
    void PumpFor(std::chrono::milliseconds duration);
    // True when a synchronized call is waiting to run.
    bool CallPending() const;
    std::vector<std::string> TakeReports();

    ser::SyncCallQueue& Queue() { return queue_; }

private:
    ser::SyncCallQueue queue_;
    std::vector<std::string> reports_;
};

// A pseudo-terminal pair; the component opens the slave, the test drives the master.
class PtyPair {
public:
    PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;
    ~PtyPair();

    const std::string& SlavePath() const { return slavePath_; }
    int Master() const { return master_; }
    void Send(const std::vector<std::uint8_t>& bytes);
    // Reads until `count` bytes came or `timeout` passed.
    std::vector<std::uint8_t> Receive(std::size_t count, std::chrono::milliseconds timeout = 5s);
    // Everything that can be read now, after the line was quiet for `quiet`.
    std::vector<std::uint8_t> ReceiveAll(std::chrono::milliseconds quiet = 200ms);
    // The slave hangs up: its reads and writes fail with EIO from now on.
    void CloseMaster();

private:
    int master_ = -1;
    std::string slavePath_;
};

// CPU time and blocking waits (wake-ups) of the threads started between `before` and `started`,
// from `started` to `after`.
struct ThreadUsage {
    std::chrono::microseconds cpu{0};
    long wakeUps = 0;
};
ThreadUsage UsageOfNewThreads(const std::vector<procstats::ThreadSample>& before,
                              const std::vector<procstats::ThreadSample>& started,
                              const std::vector<procstats::ThreadSample>& after);

// The message of the exception `operation` raised; empty when it raised none.
std::string ErrorOf(const std::function<void()>& operation);

// Collects what OnRxChar delivered: each call's Count and the bytes it read.
struct RxLog {
    std::vector<int> counts;
    std::vector<std::uint8_t> bytes;
    // A handler that reads everything it is told about.
    ser::TSerCommRxCharEvent ReadingAll();
};
