#include "tests/support/serial_test_support.h"

#include <algorithm>
#include <utility>

#include "tests/support/wake_wait.h"

namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

ser::TSerEnvironment TestUiThread::Environment(
    std::shared_ptr<ser::platform::DeviceFactory> devices) {
    return {queue_.SyncCall(),
            [this](std::exception_ptr error) {
                try {
                    std::rethrow_exception(error);
                } catch (const std::exception& e) {
                    reports_.emplace_back(e.what());
                }
            },
            std::move(devices)};
}

bool TestUiThread::PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        queue_.RunPending();
        if (done()) {
            return true;
        }
        if (Clock::now() >= deadline) {
            return false;
        }
        // Woken by the next synchronized call; a condition changed by another thread is
        // looked at again every few milliseconds.
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        WaitSignalled(queue_.WakeHandle(), std::clamp(left, 0ms, 5ms));
    }
}

void TestUiThread::PumpFor(std::chrono::milliseconds duration) {
    PumpUntil([] { return false; }, duration);
}

bool TestUiThread::CallPending() const {
    return WaitSignalled(queue_.WakeHandle(), 0ms);
}

std::vector<std::string> TestUiThread::TakeReports() {
    return std::exchange(reports_, {});
}

ser::TSerCommRxCharEvent RxLog::ReadingAll() {
    return [this](ser::TSerCustomComm& sender, int count) {
        counts.push_back(count);
        std::vector<std::uint8_t> buffer(static_cast<std::size_t>(count));
        const int n = sender.ReadBuf(buffer.data(), count);
        bytes.insert(bytes.end(), buffer.begin(), buffer.begin() + n);
    };
}

std::string ErrorOf(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const std::exception& e) {
        return e.what();
    }
    return {};
}
