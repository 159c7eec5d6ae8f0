#include "tests/support/pty_pair.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
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
