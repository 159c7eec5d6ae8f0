#include "fuzz/memory_port.h"

#include <algorithm>
#include <vector>

#include "serial/platform/device.h"

namespace fuzzing {

// The bytes the device holds "in its driver" until they are read.
struct MemoryLine {
    std::vector<std::uint8_t> pending;
};

namespace {

using ser::platform::OsResult;
using ser::platform::OsValue;

// Used from one thread only: the port starts none of its own.
class MemoryDevice : public ser::platform::Device {
public:
    explicit MemoryDevice(std::shared_ptr<MemoryLine> line) : line_(std::move(line)) {}

    // Like a pseudo-terminal, the memory line has no modem lines.
    bool HasModemLines() const override { return false; }
    OsResult ApplySettings(const ser::platform::LineSettings&) override { return {}; }
    OsResult SetQueueSizes(int, int) override { return {}; }
    OsResult SetTimeouts(std::chrono::milliseconds) override { return {}; }
    OsResult SetEventMask(ser::TSerEventMask) override { return {}; }

    OsValue<int> Read(std::uint8_t* buffer, int count) override {
        auto& pending = line_->pending;
        const auto taken = std::min(pending.size(), static_cast<std::size_t>(count));
        std::copy_n(pending.begin(), taken, buffer);
        pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(taken));
        return {static_cast<int>(taken), {}};
    }
    OsValue<int> Write(const std::uint8_t*, int count) override { return {count, {}}; }
    void InterruptWrite() override {}
    ser::platform::WaitOutcome WaitEvent(ser::platform::WatchFor) override {
        return ser::platform::WaitOutcome::Woken;
    }
    void InterruptWait() override {}
    OsValue<int> InputCount() override { return {static_cast<int>(line_->pending.size()), {}}; }
    OsValue<std::uint32_t> ClearErrors() override { return {0, {}}; }
    OsResult PurgeInput() override {
        line_->pending.clear();
        return {};
    }
    OsResult SetModemLine(ser::platform::ModemLine, bool) override { return {}; }
    OsValue<bool> Drain(std::chrono::milliseconds) override { return {true, {}}; }

private:
    std::shared_ptr<MemoryLine> line_;
};

class MemoryDevices : public ser::platform::DeviceFactory {
public:
    explicit MemoryDevices(std::shared_ptr<MemoryLine> line) : line_(std::move(line)) {}

    OsValue<std::unique_ptr<ser::platform::Device>> Open(const std::string&) override {
        return {std::make_unique<MemoryDevice>(line_), {}};
    }

private:
    std::shared_ptr<MemoryLine> line_;
};

ser::TSerEnvironment MemoryEnvironment(std::shared_ptr<MemoryLine> line) {
    ser::TSerEnvironment environment;
    // No thread of the port ever calls these.
    environment.syncCall = [](const std::function<void()>& call, std::stop_token) {
        call();
        return true;
    };
    environment.reportException = [](std::exception_ptr error) { std::rethrow_exception(error); };
    environment.devices = std::make_shared<MemoryDevices>(std::move(line));
    return environment;
}

}  // namespace

MemoryPort::MemoryPort() : MemoryPort(std::make_shared<MemoryLine>()) {}

MemoryPort::MemoryPort(std::shared_ptr<MemoryLine> line)
    : ser::TSerCustomComm(MemoryEnvironment(line)), line_(std::move(line)) {
    SetDeviceName("memory");
    Open();
}

void MemoryPort::Arrive(std::span<const std::uint8_t> bytes) {
    line_->pending.insert(line_->pending.end(), bytes.begin(), bytes.end());
}

}  // namespace fuzzing
