#pragma once
// The operating system's serial devices, with time stamps of two moments the measurements split
// a transaction at: when the event thread's wait returned for input, and how long the last
// drain of the output took.

#include <atomic>
#include <chrono>
#include <memory>

#include "serial/platform/device.h"

namespace bench {

class TimedDevices : public ser::platform::DeviceFactory {
public:
    using Clock = std::chrono::steady_clock;

    TimedDevices() : system_(ser::platform::SystemDevices()) {}

    ser::platform::OsValue<std::unique_ptr<ser::platform::Device>> Open(
        const std::string& path) override;

    Clock::time_point InputSeen() const {
        return Clock::time_point(Clock::duration(inputSeen_.load()));
    }
    Clock::duration LastDrain() const { return Clock::duration(lastDrain_.load()); }

private:
    class TimedDevice;

    std::shared_ptr<ser::platform::DeviceFactory> system_;
    std::atomic<Clock::rep> inputSeen_{0};
    std::atomic<Clock::rep> lastDrain_{0};
};

}  // namespace bench
