#pragma once
// A transmitter behind a pseudo-terminal for the end-to-end measurements. It reads the program's
// request frames and answers each with a primary-variable answer from the poll address asked, in
// one write, noting when it wrote.

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "serial/platform/wake_handle.h"
#include "tests/support/pty_pair.h"
#include "tests/support/serial_test_support.h"
#include "tools/simulator/unique_fd.h"

namespace bench {

using Clock = std::chrono::steady_clock;

class AnsweringPeer {
public:
    enum class Release {
        AtOnce,  // as soon as the request is complete
        OnGo,    // once Go() has been called for it
        Never,   // requests are read and dropped
    };
    explicit AnsweringPeer(Release release);
    AnsweringPeer(const AnsweringPeer&) = delete;
    AnsweringPeer& operator=(const AnsweringPeer&) = delete;
    ~AnsweringPeer();

    const std::string& SlavePath() const { return pty_.SlavePath(); }
    // Lets the held answer go (Release::OnGo); one Go releases one answer.
    void Go();
    // Writes an answer from `address` now, asked for or not (with Release::Never, so that the
    // peer's own thread writes nothing meanwhile).
    void AnswerNow(std::uint8_t address);
    // When the last answer was handed to the pseudo-terminal.
    Clock::time_point LastAnswer() const;

private:
    void Run(const std::stop_token& stop);
    // Answers the complete requests in `input_` that may go; drops what they used.
    void AnswerReady();
    void WriteAnswer(std::uint8_t address, std::uint8_t command);

    const Release release_;
    PtyPair pty_;
    // Held open so that the master never reads as hung up while the program has the slave
    // closed: poll() would report that at once, over and over.
    sim::UniqueFd slaveKeeper_;
    ser::platform::WakeHandle wake_;
    std::vector<std::uint8_t> input_;
    mutable std::mutex mutex_;
    bool go_ = false;
    Clock::time_point lastAnswer_;
    std::jthread thread_;
};

}  // namespace bench
