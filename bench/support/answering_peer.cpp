#include "bench/support/answering_peer.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "tests/support/test_frames.h"

namespace bench {
namespace {

constexpr std::uint8_t kRequestDelimiter = 130;
// From the delimiter: delimiter, five address bytes, command, count; then data and checksum.
constexpr std::size_t kPollAddressAt = 5;
constexpr std::size_t kCommandAt = 6;
constexpr std::size_t kCountAt = 7;
constexpr std::size_t kFixedPart = 9;

const testframes::Bytes kPrimaryData{12, 66, 202, 166, 102};  // kPa, 101,325

sim::UniqueFd OpenSlave(const std::string& path) {
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        throw std::system_error(errno, std::generic_category(), "open " + path);
    }
    return sim::UniqueFd(fd);
}

}  // namespace

AnsweringPeer::AnsweringPeer(Release release)
    : release_(release),
      slaveKeeper_(OpenSlave(pty_.SlavePath())),
      thread_([this](std::stop_token stop) { Run(stop); }) {}

AnsweringPeer::~AnsweringPeer() {
    thread_.request_stop();
    wake_.Signal();
    thread_.join();
}

void AnsweringPeer::Go() {
    {
        std::lock_guard lock(mutex_);
        go_ = true;
    }
    wake_.Signal();
}

Clock::time_point AnsweringPeer::LastAnswer() const {
    std::lock_guard lock(mutex_);
    return lastAnswer_;
}

void AnsweringPeer::Run(const std::stop_token& stop) {
    pollfd fds[2] = {{pty_.Master(), POLLIN, 0},
                     {static_cast<int>(wake_.NativeHandle()), POLLIN, 0}};
    std::uint8_t chunk[256];
    while (!stop.stop_requested()) {
        if (poll(fds, 2, -1) < 0 && errno != EINTR) {
            return;
        }
        if (fds[1].revents != 0) {
            wake_.Clear();
        }
        if ((fds[0].revents & POLLIN) != 0) {
            const ssize_t n = read(pty_.Master(), chunk, sizeof chunk);
            if (n > 0) {
                input_.insert(input_.end(), chunk, chunk + n);
            }
        }
        AnswerReady();
    }
}

void AnsweringPeer::AnswerReady() {
    for (;;) {
        const auto start = std::find(input_.begin(), input_.end(), kRequestDelimiter);
        if (start == input_.end()) {
            input_.clear();
            return;
        }
        const auto available = static_cast<std::size_t>(input_.end() - start);
        if (available <= kCountAt || available < kFixedPart + start[kCountAt]) {
            return;
        }
        const auto end = start + static_cast<std::ptrdiff_t>(kFixedPart + start[kCountAt]);
        if (release_ == Release::Never) {
            input_.erase(input_.begin(), end);
            continue;
        }
        {
            std::lock_guard lock(mutex_);
            if (release_ == Release::OnGo && !go_) {
                return;
            }
            go_ = false;
        }
        WriteAnswer(start[kPollAddressAt], start[kCommandAt]);
        input_.erase(input_.begin(), end);
    }
}

void AnsweringPeer::AnswerNow(std::uint8_t address) {
    WriteAnswer(address, 1);
}

void AnsweringPeer::WriteAnswer(std::uint8_t address, std::uint8_t command) {
    const auto answer = testframes::Response(address, command, kPrimaryData);
    // Taken before the write: the program may be reading the bytes before write() returns.
    const auto written = Clock::now();
    pty_.Send(answer);
    std::lock_guard lock(mutex_);
    lastAnswer_ = written;
}

}  // namespace bench
