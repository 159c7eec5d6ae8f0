#include "tests/serial/serial_test_support.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>
#include <system_error>

namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

bool WaitReadable(int fd, int milliseconds) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, milliseconds) > 0;
}

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
        WaitReadable(static_cast<int>(queue_.WakeHandle()),
                     std::min(MillisecondsLeft(deadline), 5));
    }
}

void TestUiThread::PumpFor(std::chrono::milliseconds duration) {
    PumpUntil([] { return false; }, duration);
}

bool TestUiThread::CallPending() const {
    return WaitReadable(static_cast<int>(queue_.WakeHandle()), 0);
}

std::vector<std::string> TestUiThread::TakeReports() {
    return std::exchange(reports_, {});
}

PtyPair::PtyPair() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        throw std::system_error(errno, std::generic_category(), "pseudo-terminal");
    }
    slavePath_ = ptsname(master_);
}

PtyPair::~PtyPair() {
    CloseMaster();
}

void PtyPair::Send(const std::vector<std::uint8_t>& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = write(master_, bytes.data() + sent, bytes.size() - sent);
        if (n < 0 && errno != EINTR && errno != EAGAIN) {
            throw std::system_error(errno, std::generic_category(), "pty write");
        }
        sent += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
}

std::vector<std::uint8_t> PtyPair::Receive(std::size_t count, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    std::vector<std::uint8_t> bytes;
    while (bytes.size() < count && WaitReadable(master_, MillisecondsLeft(deadline))) {
        std::uint8_t chunk[4096];
        const ssize_t n = read(master_, chunk, std::min(sizeof chunk, count - bytes.size()));
        if (n <= 0) {
            break;
        }
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    return bytes;
}

std::vector<std::uint8_t> PtyPair::ReceiveAll(std::chrono::milliseconds quiet) {
    std::vector<std::uint8_t> bytes;
    while (WaitReadable(master_, static_cast<int>(quiet.count()))) {
        std::uint8_t chunk[4096];
        const ssize_t n = read(master_, chunk, sizeof chunk);
        if (n <= 0) {
            break;
        }
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    return bytes;
}

void PtyPair::CloseMaster() {
    if (master_ >= 0) {
        close(master_);
        master_ = -1;
    }
}

ThreadUsage UsageOfNewThreads(const std::vector<procstats::ThreadSample>& before,
                              const std::vector<procstats::ThreadSample>& started,
                              const std::vector<procstats::ThreadSample>& after) {
    ThreadUsage total;
    for (const procstats::ThreadSample& used : procstats::Since(started, after)) {
        const bool old = std::any_of(before.begin(), before.end(),
                                     [&](const auto& thread) { return thread.tid == used.tid; });
        if (!old) {
            total.cpu += std::chrono::duration_cast<std::chrono::microseconds>(used.cpu);
            total.wakeUps += static_cast<long>(used.voluntary);
        }
    }
    return total;
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
