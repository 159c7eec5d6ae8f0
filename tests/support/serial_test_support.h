#pragma once
// Helpers of the serial-layer tests on every system: the test thread acting as the user-interface
// thread, and what the component reported.

#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "serial/ser_comm.h"
#include "serial/sync_call_queue.h"

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

// The message of the exception `operation` raised; empty when it raised none.
std::string ErrorOf(const std::function<void()>& operation);

// Collects what OnRxChar delivered: each call's Count and the bytes it read.
struct RxLog {
    std::vector<int> counts;
    std::vector<std::uint8_t> bytes;
    // A handler that reads everything it is told about.
    ser::TSerCommRxCharEvent ReadingAll();
};
