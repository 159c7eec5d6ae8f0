#include "bench/perf/timed_devices.h"

namespace bench {

using namespace ser::platform;

class TimedDevices::TimedDevice final : public Device {
public:
    TimedDevice(std::unique_ptr<Device> device, TimedDevices& marks)
        : device_(std::move(device)), marks_(marks) {}

    bool HasModemLines() const override { return device_->HasModemLines(); }
    OsResult ApplySettings(const LineSettings& settings) override {
        return device_->ApplySettings(settings);
    }
    OsResult SetQueueSizes(int input, int output) override {
        return device_->SetQueueSizes(input, output);
    }
    OsResult SetTimeouts(std::chrono::milliseconds readBound) override {
        return device_->SetTimeouts(readBound);
    }
    OsResult SetEventMask(ser::TSerEventMask mask) override { return device_->SetEventMask(mask); }
    OsValue<int> Read(std::uint8_t* buffer, int count) override {
        return device_->Read(buffer, count);
    }
    OsValue<int> Write(const std::uint8_t* data, int count) override {
        return device_->Write(data, count);
    }
    void InterruptWrite() override { device_->InterruptWrite(); }
    WaitOutcome WaitEvent(WatchFor watch) override {
        const WaitOutcome outcome = device_->WaitEvent(watch);
        if (outcome == WaitOutcome::Input) {
            marks_.inputSeen_.store(Clock::now().time_since_epoch().count());
        }
        return outcome;
    }
    void InterruptWait() override { device_->InterruptWait(); }
    OsValue<int> InputCount() override { return device_->InputCount(); }
    OsValue<std::uint32_t> ClearErrors() override { return device_->ClearErrors(); }
    OsResult PurgeInput() override { return device_->PurgeInput(); }
    OsResult SetModemLine(ModemLine line, bool on) override {
        return device_->SetModemLine(line, on);
    }
    OsValue<bool> Drain(std::chrono::milliseconds timeout) override {
        const auto start = Clock::now();
        OsValue<bool> drained = device_->Drain(timeout);
        marks_.lastDrain_.store((Clock::now() - start).count());
        return drained;
    }

private:
    std::unique_ptr<Device> device_;
    TimedDevices& marks_;
};

OsValue<std::unique_ptr<Device>> TimedDevices::Open(const std::string& path) {
    OsValue<std::unique_ptr<Device>> opened = system_->Open(path);
    if (opened.value) {
        opened.value = std::make_unique<TimedDevice>(std::move(opened.value), *this);
    }
    return opened;
}

}  // namespace bench
